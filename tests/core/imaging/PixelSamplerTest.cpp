#include "core/imaging/PixelSampler.h"

#include "support/RenderFixtures.h"

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;

namespace {

// Two panels side by side with a gap between them, on a black background.
DocumentModel twoPanels(TestImages& images, const QImage& left, const QImage& right)
{
    DocumentModel doc;
    doc.background = ColorBackground{{0, 0, 0, 1}};
    doc.panels = {imagePanel(1, {0, 0}, {double(left.width()), double(left.height())}),
                  imagePanel(2, {double(left.width()) + 20, 0}, {double(right.width()), double(right.height())})};
    images.add(doc.panels[0].imageID, left);
    images.add(doc.panels[1].imageID, right);
    return doc;
}

} // namespace

TEST(PixelSampler, ColoursAreUnpremultipliedOpaqueAndAbsentWhereNothingIsDrawn)
{
    TestImages images;
    QImage translucent(10, 10, QImage::Format_ARGB32_Premultiplied);
    translucent.fill(qRgba(128, 0, 0, 128)); // premultiplied half-transparent red
    const DocumentModel doc = twoPanels(images, translucent, solidImage(10, 10, QColor(0, 51, 255)));
    PixelSampler sampler;
    EXPECT_EQ(sampler.color({5, 5}, doc, images), (RGBAColor{1, 0, 0, 1}));
    EXPECT_EQ(sampler.color({35, 5}, doc, images), (RGBAColor{0, 0.2, 1, 1}));
    EXPECT_FALSE(sampler.color({15, 5}, doc, images)); // between the panels
    EXPECT_FALSE(sampler.color({-1, 5}, doc, images));
    EXPECT_FALSE(sampler.color({5, 10}, doc, images));
}

TEST(PixelSampler, RendersOnceUntilInvalidated)
{
    TestImages images;
    DocumentModel doc = twoPanels(images, solidImage(10, 10, Qt::red), solidImage(10, 10, Qt::blue));
    PixelSampler sampler;
    EXPECT_FALSE(sampler.hasComposite());
    EXPECT_EQ(sampler.color({5, 5}, doc, images), (RGBAColor{1, 0, 0, 1}));
    EXPECT_TRUE(sampler.hasComposite());
    images.add(doc.panels[0].imageID, solidImage(10, 10, Qt::green));
    EXPECT_EQ(sampler.color({5, 5}, doc, images), (RGBAColor{1, 0, 0, 1}));
    sampler.invalidate();
    EXPECT_EQ(sampler.color({5, 5}, doc, images), (RGBAColor{0, 1, 0, 1}));
}

TEST(PixelSampler, EdgesRunWhilePixelsStayWithinTheTolerance)
{
    // A grey 100 field; a button of grey 128 (28 away) from x = 10 to 19, rows 4 to 7;
    // grey 129 (29 away) from x = 20 on.
    QImage picture = solidImage(40, 12, QColor(100, 100, 100));
    {
        QPainter p(&picture);
        p.fillRect(20, 0, 20, 12, QColor(129, 129, 129));
        p.fillRect(10, 4, 10, 4, QColor(128, 128, 128));
    }
    TestImages images;
    DocumentModel doc;
    doc.panels = {imagePanel(1, {0, 0}, {40, 12}, 2)}; // 20 x 6 points
    images.add(doc.panels[0].imageID, picture);
    PixelSampler sampler;
    struct Case {
        const char* name;
        Point point;
        int tolerance;
        Rect expected;
    };
    const std::vector<Case> cases = {
        {"28 matches, 29 stops", {1, 0.5}, 28, Rect(0, 0, 10, 6)},
        {"button", {7, 2.5}, 0, Rect(5, 2, 5, 2)},
        {"uniform run to the border", {15, 1}, 0, Rect(10, 0, 10, 6)},
        {"left edge", {0, 1}, 0, Rect(0, 0, 10, 6)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(sampler.edges(c.point, doc, images, c.tolerance), c.expected);
    }
    EXPECT_FALSE(sampler.edges({25, 1}, doc, images, 28));
}

TEST(PixelSampler, PanelUnderAPointIsTheTopmost)
{
    DocumentModel doc;
    doc.panels = {imagePanel(1, {0, 0}, {50, 50}), imagePanel(2, {40, 40}, {50, 50})};
    struct Case {
        Point point;
        std::optional<int> panel;
    };
    for (const Case c : {Case{{45, 45}, 2}, Case{{10, 10}, 1}, Case{{40, 10}, 1}, Case{{50, 10}, std::nullopt},
                         Case{{89.9, 89.9}, 2}, Case{{90, 60}, std::nullopt}}) {
        SCOPED_TRACE(c.point.x);
        const Panel* p = panelAt(doc, c.point);
        EXPECT_EQ(p ? std::optional(p->id) : std::nullopt, c.panel ? std::optional(uuid(*c.panel)) : std::nullopt);
    }
}

TEST(PixelSampler, DarknessOfTheImageUnderPoints)
{
    TestImages images;
    const DocumentModel doc = twoPanels(images, solidImage(60, 60, Qt::black), solidImage(60, 60, Qt::white));
    EXPECT_EQ(isDarkBackground(doc, {{30, 30}}, 10, images), true);
    EXPECT_EQ(isDarkBackground(doc, {{110, 30}, {30, 30}}, 10, images), false);
    EXPECT_FALSE(isDarkBackground(doc, {}, 10, images));
    EXPECT_FALSE(isDarkBackground(doc, {{70, 30}}, 10, images));
}
