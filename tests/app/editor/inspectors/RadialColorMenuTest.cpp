#include "app/editor/inspectors/RadialColorMenu.h"

#include "app/support/DefaultsStore.h"
#include "app/support/NotificationCenter.h"
#include "app/support/Settings.h"
#include "core/shapes/QtConversions.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <cmath>
#include <numbers>

namespace vorlix {
namespace {

using namespace Qt::StringLiterals;

TEST(RadialRing, DotsGoClockwiseFromTheTopAndAreHitWithinFifteenPoints)
{
    const double step = 2 * std::numbers::pi / 10;
    struct Case {
        std::size_t index;
        QPointF centre;
    };
    for (const Case& c : {Case{0, {85, 27}}, Case{1, {85 + 58 * std::sin(step), 85 - 58 * std::cos(step)}},
                          Case{5, {85, 143}}, Case{9, {85 - 58 * std::sin(step), 85 - 58 * std::cos(step)}}}) {
        SCOPED_TRACE(c.index);
        const QPointF centre = RadialRing::dotCenter(c.index, 10);
        EXPECT_NEAR(centre.x(), c.centre.x(), 1e-9);
        EXPECT_NEAR(centre.y(), c.centre.y(), 1e-9);
        EXPECT_EQ(RadialRing::index(centre, 10), c.index);
    }

    struct Hit {
        QPointF point;
        std::optional<std::size_t> index;
    };
    for (const Hit& h : {Hit{{85 + 15, 27}, 0}, Hit{{85, 27 - 15}, 0}, Hit{{85 + 15.5, 27}, std::nullopt},
                         Hit{{85, 85}, std::nullopt}, Hit{{85, 143 + 15}, 5}, Hit{{5, 5}, std::nullopt}}) {
        SCOPED_TRACE(testing::Message() << h.point.x() << ", " << h.point.y());
        EXPECT_EQ(RadialRing::index(h.point, 10), h.index);
    }
}

struct RadialMenuTest : testing::Test {
    void SetUp() override
    {
        Palette palette = Palette::standard();
        std::reverse(palette.colors.begin(), palette.colors.end());
        settings.set(setting::palette, palette);
        colors = palette.colors;
    }

    // Shows a ring whose choices are counted under `name`.
    void open(const QString& name, std::optional<RGBAColor> current = std::nullopt)
    {
        menu.show({400, 300}, current, [this, name](RGBAColor color) { chosen.emplace_back(name, color); });
        QApplication::processEvents();
    }
    void mouse(QEvent::Type type, QPointF at, Qt::MouseButton button = Qt::LeftButton)
    {
        RadialColorView* ring = menu.ring();
        QMouseEvent event(type, at, ring->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : button,
                          type == QEvent::MouseMove ? Qt::NoButton : button, {});
        QApplication::sendEvent(ring, &event);
        QApplication::processEvents();
    }
    void click(QPointF at, Qt::MouseButton button = Qt::LeftButton) { mouse(QEvent::MouseButtonPress, at, button); }

    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    RadialColorMenu menu{settings};
    std::vector<RGBAColor> colors;
    std::vector<std::pair<QString, RGBAColor>> chosen;
};

TEST_F(RadialMenuTest, AClickOnADotChoosesItsColourAndAnythingElseClosesTheRing)
{
    open(u"a"_s);
    ASSERT_TRUE(menu.ring());
    EXPECT_EQ(menu.ring()->geometry(), QRect(315, 215, 170, 170));
    EXPECT_EQ(menu.ring()->colors(), colors);
    click(RadialRing::dotCenter(3, 10) + QPointF(10, 0));
    EXPECT_FALSE(menu.ring());
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0].second, colors[3]);

    struct Dismissal {
        const char* name;
        std::function<void(RadialMenuTest&)> act;
    };
    const Dismissal dismissals[] = {
        {"centre",
         [](RadialMenuTest& t) {
             t.click({85, 85});
         }},
        {"between dots",
         [](RadialMenuTest& t) {
             t.click({85, 55});
         }},
        {"outside",
         [](RadialMenuTest& t) {
             t.click({-40, 90});
         }},
        {"right click on a dot", [](RadialMenuTest& t) { t.click(RadialRing::dotCenter(0, 10), Qt::RightButton); }},
        {"Escape",
         [](RadialMenuTest& t) {
             QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, {});
             QApplication::sendEvent(t.menu.ring(), &key);
         }},
        {"hidden", [](RadialMenuTest& t) { t.menu.ring()->hide(); }},
    };
    for (const Dismissal& d : dismissals) {
        SCOPED_TRACE(d.name);
        open(u"b"_s);
        ASSERT_TRUE(menu.ring());
        d.act(*this);
        QApplication::processEvents();
        EXPECT_FALSE(menu.ring());
        EXPECT_EQ(chosen.size(), 1u);
    }
}

TEST_F(RadialMenuTest, OpeningAgainReplacesTheRingAndOnlyTheNewOneChooses)
{
    open(u"first"_s);
    const QPointer<RadialColorView> first = menu.ring();
    open(u"second"_s);
    ASSERT_TRUE(menu.ring());
    EXPECT_NE(menu.ring(), first.data());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(!first || !first->isVisible());
    click(RadialRing::dotCenter(7, 10));
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0], std::pair(u"second"_s, colors[7]));
}

TEST_F(RadialMenuTest, AnInvalidStoredPaletteShowsTheStandardOne)
{
    settings.set(setting::palette, Palette{std::vector<RGBAColor>(9, RGBAColor::black())});
    open(u"a"_s);
    ASSERT_TRUE(menu.ring());
    EXPECT_EQ(menu.ring()->colors(), Palette::standard().colors);
}

// The colour drawn at a distance from a dot's centre, to the right of it.
QColor drawnBeside(RadialColorView& ring, std::size_t index, double distance)
{
    const QImage image = ring.grab().toImage();
    const QPointF at = RadialRing::dotCenter(index, ring.colors().size()) + QPointF(distance, 0);
    const double scale = image.devicePixelRatio();
    return image.pixelColor(int(at.x() * scale), int(at.y() * scale));
}

TEST_F(RadialMenuTest, TheDotUnderThePointerGrows)
{
    open(u"a"_s);
    RadialColorView& ring = *menu.ring();
    const QColor dot = toQColor(colors[4]);
    EXPECT_NE(drawnBeside(ring, 4, 13.5), dot);
    mouse(QEvent::MouseMove, RadialRing::dotCenter(4, 10) + QPointF(0, 5));
    EXPECT_EQ(ring.hovered(), 4u);
    EXPECT_EQ(drawnBeside(ring, 4, 13.5), dot);
    mouse(QEvent::MouseMove, {85, 85});
    EXPECT_EQ(ring.hovered(), std::nullopt);
    EXPECT_NE(drawnBeside(ring, 4, 13.5), dot);
}

TEST_F(RadialMenuTest, OnlyAnExactPaletteColourIsMarkedAsCurrent)
{
    struct Case {
        const char* name;
        std::optional<RGBAColor> current;
        std::optional<std::size_t> marked;
    };
    const Case cases[] = {
        {"palette colour", colors[6], 6},
        {"nearly it", colors[6].withAlpha(0.999), std::nullopt},
        {"none", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        open(u"a"_s, c.current);
        RadialColorView& ring = *menu.ring();
        // The mark is dark on the light disc.
        for (std::size_t i = 0; i < colors.size(); ++i)
            EXPECT_EQ(drawnBeside(ring, i, 15).lightness() < 128, c.marked == i) << i;
    }
}

} // namespace
} // namespace vorlix
