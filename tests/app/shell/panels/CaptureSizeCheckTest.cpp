#include "app/shell/panels/CaptureSizeCheck.h"

#include <gtest/gtest.h>

using namespace vorlix;
using namespace Qt::StringLiterals;

TEST(CaptureSizeCheck, ProblemsFollowTheRulesInOrder)
{
    const std::vector<ScreenPixels> retina{ScreenPixels::of(1440, 900, 2)};
    struct Case {
        CaptureSize size;
        std::vector<ScreenPixels> screens;
        std::optional<QString> problem;
    };
    const Case cases[] = {
        {{16, 9, true}, retina, std::nullopt},
        {{1, 1000, true}, retina, std::nullopt},
        {{0, 9, true}, retina, u"Scrivi due numeri da 1 a 1000."_s},
        {{1001, 1, true}, retina, u"Scrivi due numeri da 1 a 1000."_s},
        {{7, 500, false}, retina, u"Scrivi due numeri di almeno 8 pixel."_s},
        {{500, 0, false}, retina, u"Scrivi due numeri di almeno 8 pixel."_s},
        {{8, 8, false}, retina, std::nullopt},
        {{2880, 1800, false}, retina, std::nullopt},
        {{2881, 1800, false}, retina, u"2881 × 1800 px è più grande dello schermo."_s},
        {{2880, 1801, false}, retina, u"2880 × 1801 px è più grande dello schermo."_s},
        // Larger than one screen but not the other.
        {{2000, 1000, false}, {{1280, 800}, {2560, 1440}}, std::nullopt},
        // A ratio fits whenever a screen is connected; with none nothing fits.
        {{16, 9, true}, {{8, 8}}, std::nullopt},
        {{16, 9, true}, {}, u"16 : 9 è più grande dello schermo."_s},
        {{8, 8, false}, {}, u"8 × 8 px è più grande dello schermo."_s},
        // The term rules come before the screens.
        {{0, 9, true}, {}, u"Scrivi due numeri da 1 a 1000."_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.size.width << "x" << c.size.height << (c.size.ratioOnly ? " ratio" : "")
                                        << " on " << c.screens.size() << " screens");
        const CaptureSizeCheck check{c.screens};
        EXPECT_EQ(check.problem(c.size), c.problem);
        if (c.size.isValid()) {
            EXPECT_EQ(check.fitsSomeScreen(c.size), !c.problem.has_value());
        }
    }
}

TEST(CaptureSizeCheck, ScreensCountDevicePixelsRoundedToTheNearest)
{
    EXPECT_EQ(ScreenPixels::of(1440, 900, 2), (ScreenPixels{2880, 1800}));
    EXPECT_EQ(ScreenPixels::of(1280, 800, 1.25), (ScreenPixels{1600, 1000}));
    EXPECT_EQ(ScreenPixels::of(1366, 768, 1.5), (ScreenPixels{2049, 1152}));
    EXPECT_EQ(ScreenPixels::of(1001, 999, 1.4995), (ScreenPixels{1501, 1498}));
}
