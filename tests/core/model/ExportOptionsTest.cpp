#include "core/model/ExportOptions.h"

#include "support/ModelBuilders.h"

#include <gtest/gtest.h>

using namespace vorlix;

namespace {

DocumentModel documentWith(std::vector<std::pair<double, double>> densitiesAndScales)
{
    DocumentModel d;
    int n = 10;
    for (const auto& [pixelsPerPoint, scale] : densitiesAndScales) {
        Panel p;
        p.id = test::uuid(n++);
        p.imageID = test::uuid(n++);
        p.pixelSize = {100, 100};
        p.pixelsPerPoint = pixelsPerPoint;
        p.scale = scale;
        d.panels.push_back(p);
    }
    return d;
}

ExportOptions at(ExportOptions::Resolution resolution)
{
    ExportOptions o;
    o.resolution = resolution;
    return o;
}

} // namespace

TEST(ExportOptions, NativeDensityIsTheDensestPanelAtItsScale)
{
    struct Case {
        const char* name;
        std::vector<std::pair<double, double>> panels;
        double expected;
    };
    const Case cases[] = {
        {"no panels", {}, 1.0},
        {"two densities", {{2, 1}, {1, 1}}, 2.0},
        {"scaled down", {{2, 0.5}, {1, 1}}, 4.0},
        {"zero scale", {{2, 0}}, 20000.0},
        {"only sparse panels", {{0.5, 1}, {0.25, 1}}, 0.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DocumentModel d = documentWith(c.panels);
        EXPECT_DOUBLE_EQ(nativePixelsPerPoint(d), c.expected);
        EXPECT_DOUBLE_EQ(exportPixelsPerPoint(d, at(ExportOptions::Native{}), Rect(0, 0, 10, 10)), c.expected);
    }
}

TEST(ExportOptions, ResolutionGivesTheExportDensity)
{
    const DocumentModel d = documentWith({{2, 1}, {1, 1}});
    struct Case {
        const char* name;
        ExportOptions::Resolution resolution;
        double canvasWidth;
        double expected;
    };
    const Case cases[] = {
        {"normal", ExportOptions::Normal{}, 500, 1.0},
        {"fixed scale", ExportOptions::Scale{3}, 500, 3.0},
        {"cap wider than the native picture", ExportOptions::MaxWidth{1200}, 500, 2.0},
        {"cap met exactly", ExportOptions::MaxWidth{1000}, 500, 2.0},
        {"cap narrower than the native picture", ExportOptions::MaxWidth{1200}, 800, 1.5},
        {"cap on a canvas without width", ExportOptions::MaxWidth{1200}, 0, 2.0},
        {"cap of zero pixels", ExportOptions::MaxWidth{0}, 800, 2.0},
        {"negative cap", ExportOptions::MaxWidth{-5}, 800, 2.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_DOUBLE_EQ(exportPixelsPerPoint(d, at(c.resolution), Rect(-40, 0, c.canvasWidth, 300)), c.expected);
    }
    EXPECT_DOUBLE_EQ(exportPixelsPerPoint(d, at(ExportOptions::MaxWidth{100}), Rect::null()), 2.0);
}

TEST(ExportOptions, DefaultsAndFormatType)
{
    const ExportOptions o;
    EXPECT_EQ(o.resolution, ExportOptions::Resolution(ExportOptions::Normal{}));
    EXPECT_EQ(o.color, ExportOptions::ColorHandling::sRGB);
    EXPECT_EQ(imageType(o.format), ImageType::png);
    EXPECT_FALSE(o.background);
    EXPECT_EQ(imageType(ExportOptions::Jpeg{0.7}), ImageType::jpeg);

    ExportOptions jpeg = o;
    jpeg.format = ExportOptions::Jpeg{0.7};
    jpeg.background = CanvasBackground(TransparentBackground{});
    EXPECT_NE(jpeg, o);
    EXPECT_NE(jpeg.format, ExportOptions::Format(ExportOptions::Jpeg{0.8}));
}
