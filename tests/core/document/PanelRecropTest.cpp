#include "core/document/PanelRecrop.h"

#include "core/model/PanelGeometry.h"
#include "support/ModelBuilders.h"

#include <gtest/gtest.h>

#include <limits>

using namespace vorlix;

namespace {

Panel panelWithClippedArrow()
{
    Panel p;
    p.id = test::uuid(1);
    p.imageID = test::uuid(2);
    p.pixelSize = {200, 100};
    p.origin = {40, 30};
    p.annotations.push_back(Annotation::make(test::uuid(3), AnnotationKind::arrow, {{10, 10}, {90, 60}}, {},
                                             std::nullopt, Rect(1, 2, 3, 4)));
    return p;
}

} // namespace

TEST(PanelRecrop, CropIsStandardisedMadeIntegralAndCopiedToEveryClip)
{
    struct Case {
        const char* name;
        std::optional<Rect> requested;
        std::optional<Rect> stored;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"fractional", Rect(0.5, 0.5, 9.5, 9), Rect(0, 0, 10, 10)},
        {"negative width", Rect(50, 10, -20, 30), Rect(30, 10, 20, 30)},
        {"whole image", Rect(0, 0, 200, 100), std::nullopt},
        {"whole image after rounding", Rect(0.2, 0, 199.5, 99.9), std::nullopt},
        {"no crop", std::nullopt, std::nullopt},
        {"null rectangle", Rect::null(), std::nullopt},
        {"not finite", Rect(nan, 0, 10, 10), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Panel out = recropped(panelWithClippedArrow(), c.requested);
        EXPECT_EQ(out.crop, c.stored);
        ASSERT_EQ(out.annotations.size(), 1u);
        EXPECT_EQ(out.annotations[0].cropClip, c.stored);
        EXPECT_EQ(out.annotations[0].points, panelWithClippedArrow().annotations[0].points);
    }
}

TEST(PanelRecrop, CroppingAwayTheLeftEdgeMovesTheOriginSoPixelsStayAndUncroppingMovesItBack)
{
    const Panel original = panelWithClippedArrow();
    const Panel cropped = recropped(original, Rect(100, 0, 100, 100));
    EXPECT_EQ(cropped.origin, (Point{140, 30}));
    EXPECT_EQ(recropped(cropped, std::nullopt).origin, original.origin);
}

TEST(PanelRecrop, VisiblePixelsKeepTheirCanvasPositionUnderScaleTurnsAndMirror)
{
    Panel p = panelWithClippedArrow();
    p.pixelsPerPoint = 2;
    p.scale = 1.5;
    p.orientation = PanelOrientation::make(1, true);
    p.crop = Rect(20, 10, 120, 70);

    const Panel out = recropped(p, Rect(60, 30, 50, 40));
    EXPECT_EQ(out.scale, p.scale);
    EXPECT_EQ(out.orientation, p.orientation);
    for (const Point imagePoint : {Point{60, 30}, Point{110, 70}, Point{85, 50}}) {
        SCOPED_TRACE(testing::Message() << imagePoint.x << "," << imagePoint.y);
        const Point before = canvasPointFromImage(p, imagePoint);
        const Point after = canvasPointFromImage(out, imagePoint);
        EXPECT_NEAR(after.x, before.x, 1e-9);
        EXPECT_NEAR(after.y, before.y, 1e-9);
    }
}
