#include "core/model/StyleMeasure.h"

#include <gtest/gtest.h>

using namespace vorlix;
using K = AnnotationKind;

TEST(StyleMeasure, PrimaryMeasureFollowsTheKindsInPlay)
{
    struct Case {
        std::set<K> kinds;
        const char* title;
        double Style::*field;
    };
    const Case cases[] = {
        {{K::text}, "Dimensione", &Style::fontSize},
        {{K::text, K::number, K::stamp}, "Dimensione", &Style::fontSize},
        {{}, "Dimensione", &Style::fontSize},
        {{K::text, K::arrow}, "Spessore", &Style::lineWidth},
        {{K::pixelate, K::blur}, "Spessore", &Style::lineWidth},
        {{K::blur}, "Intensità", &Style::filterIntensity},
        {{K::spotlight}, "Oscurità", &Style::filterIntensity},
        {{K::lens}, "Ingrandimento", &Style::filterIntensity},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        const StyleMeasure m = StyleMeasure::primary(c.kinds);
        EXPECT_EQ(m.title, QString::fromUtf8(c.title));
        EXPECT_EQ(m.field, c.field);
    }
    const StyleMeasure blur = StyleMeasure::primary({K::blur});
    EXPECT_EQ(blur.lowerBound, 2);
    EXPECT_EQ(blur.upperBound, 40);
}

TEST(StyleMeasure, MovesWithinTheRangeAndFormats)
{
    const StyleMeasure darkness = StyleMeasure::primary({K::spotlight});
    EXPECT_EQ(darkness.formatted(darkness.value(0.55, 1)), "60%");
    EXPECT_EQ(darkness.value(0.85, 3), 0.9);
    const StyleMeasure lens = StyleMeasure::primary({K::lens});
    EXPECT_EQ(lens.value(2.5, -10), 1.5);
    EXPECT_EQ(lens.formatted(1.5), "1,5×");
    const StyleMeasure width = StyleMeasure::primary({K::arrow});
    EXPECT_EQ(width.value(9, 50), 48);
    EXPECT_EQ(width.value(1, -1), 1);
    EXPECT_EQ(width.formatted(9.4), "9");
    EXPECT_EQ(width.formatted(9.5), "10");
}
