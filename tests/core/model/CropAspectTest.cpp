#include "core/model/CropAspect.h"
#include "core/model/TextPreset.h"

#include <gtest/gtest.h>

using namespace vorlix;

TEST(CropAspect, RatiosAndTexts)
{
    EXPECT_FALSE(enumFromText<CropAspect>("Square"));
    EXPECT_EQ(enumFromText<CropAspect>("square"), CropAspect::square);
    EXPECT_FALSE(ratio(CropAspect::original, {300, 0}));
    EXPECT_EQ(ratio(CropAspect::original, {300, 200}), 1.5);
    EXPECT_FALSE(ratio(CropAspect::free, {300, 200}));
    EXPECT_EQ(title(CropAspect::free), "Libere");
}

TEST(CropAspect, FitCentresThenShrinksAndClamps)
{
    const Rect big(-1e5, -1e5, 2e5, 2e5);
    EXPECT_EQ(fit(CropAspect::fourThree, Rect(0, 0, 400, 400), {}, big), Rect(0, 50, 400, 300));
    EXPECT_EQ(fit(CropAspect::sixteenNine, Rect(0, 0, 1600, 900), {}, Rect(0, 0, 800, 800)), Rect(0, 0, 800, 450));
    EXPECT_EQ(fit(CropAspect::free, Rect(1, 2, 3, 4), {}, big), Rect(1, 2, 3, 4));
    EXPECT_EQ(fit(CropAspect::square, Rect(1, 2, 0, 4), {}, big), Rect(1, 2, 0, 4));
}

TEST(TextPreset, WritesOnlyItsFields)
{
    Style s = Style::defaults(AnnotationKind::text);
    s.strokeColor = RGBAColor::hex("#2ED573");
    apply(TextPreset::label, s);
    EXPECT_EQ(s.fill, FillMode::solid);
    EXPECT_TRUE(s.textBoxBorder);
    EXPECT_EQ(s.lineWidth, 2);
    EXPECT_EQ(s.fontSize, 17);
    EXPECT_EQ(s.strokeColor, RGBAColor::hex("#2ED573"));
    s.lineWidth = 5;
    apply(TextPreset::note, s);
    EXPECT_EQ(s.lineWidth, 5);
    EXPECT_FALSE(s.fontBold);
    EXPECT_EQ(title(TextPreset::outlined), "Con contorno");
}
