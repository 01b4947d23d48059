// The settings window: its tabs, the size a page may take, where it opens and what a
// second opening leaves alone.

#include "app/settings/SettingsTabController.h"
#include "app/settings/SettingsWindowController.h"

#include "SettingsFixture.h"
#include "support/EventLoopWaits.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QToolBar>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;

TEST(SettingsWindowPlacement, CapsThePageHeightByTheScreenAndNeverTheWidth)
{
    struct Case {
        QSize page;
        int available;
        int title;
        QSize expected;
    };
    const Case cases[] = {
        {{580, 1200}, 800, 60, {580, 740}}, // taller than the screen leaves: capped, then scrolls
        {{580, 400}, 800, 60, {580, 400}},  // shorter: its own height
        {{580, 740}, 800, 60, {580, 740}},  // exactly what is left
        {{700, 900}, 600, 0, {700, 600}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page.height());
        EXPECT_EQ(SettingsWindowController::capped(c.page, c.available, c.title), c.expected);
    }
}

TEST(SettingsWindowPlacement, HangsFromTheTopCentredOnAWholePixel)
{
    struct Case {
        QRect available;
        int frameWidth;
        QPoint expected;
    };
    const Case cases[] = {
        {{0, 0, 1280, 800}, 600, {340, 0}},
        {{0, 0, 1280, 800}, 601, {340, 0}}, // 339.5 rounds away from zero
        {{0, 0, 1281, 800}, 600, {341, 0}}, // 340.5 likewise
        {{1920, 32, 1280, 768}, 580, {2270, 32}},
        {{-1280, 0, 1280, 1024}, 581, {-931, 0}}, // -930.5, also away from zero
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frameWidth);
        EXPECT_EQ(SettingsWindowController::topCentre(c.available, c.frameWidth), c.expected);
    }
}

namespace {

struct SettingsWindowTest : testing::Test, SettingsFixture {
    SettingsWindowController controller{settings, services};
};

} // namespace

TEST_F(SettingsWindowTest, HasTheThreeTabsAndStartsOnTheFirst)
{
    QStringList labels;
    for (const SettingsWindowController::Tab& tab : controller.tabs())
        labels << tab.action->text();
    EXPECT_EQ(labels,
              (QStringList{QStringLiteral("Generale"), QStringLiteral("Scatti"), QStringLiteral("Scorciatoie")}));
    EXPECT_EQ(controller.selectedTab(), 0);
    EXPECT_EQ(controller.window().windowTitle(), QStringLiteral("Generale"));
    // Pages are built when first needed.
    EXPECT_TRUE(controller.tabs()[0].page->isViewLoaded());
    EXPECT_FALSE(controller.tabs()[1].page->isViewLoaded());
}

TEST_F(SettingsWindowTest, OpensAtTheTopOfTheScreenAndASecondOpeningDoesNotMoveIt)
{
    controller.show();
    ASSERT_TRUE(waitUntil([&] { return controller.window().isVisible(); }));
    EXPECT_EQ(regularRequests, 1);
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect frame = controller.window().frameGeometry();
    EXPECT_EQ(frame.top(), available.top());
    EXPECT_LE(std::abs(frame.center().x() - available.center().x()), 1)
        << frame.x() << " " << frame.width() << " " << available.width();
    processEventsFor(std::chrono::milliseconds(20));
    const QWidget* focused = QApplication::focusWidget();
    EXPECT_TRUE(focused == nullptr || focused == &controller.window()) << focused->metaObject()->className();

    controller.window().move(frame.topLeft() + QPoint(30, 40));
    const QPoint moved = controller.window().pos();
    controller.show();
    EXPECT_EQ(controller.window().pos(), moved);
    EXPECT_EQ(regularRequests, 2);
}

TEST_F(SettingsWindowTest, KeepsTheSelectedTabAcrossClosingAndReopening)
{
    controller.show();
    controller.tabs()[1].action->trigger();
    EXPECT_EQ(controller.selectedTab(), 1);
    EXPECT_EQ(controller.window().windowTitle(), QStringLiteral("Scatti"));
    controller.window().close();
    EXPECT_FALSE(controller.window().isVisible());
    controller.show();
    EXPECT_EQ(controller.selectedTab(), 1);
    EXPECT_TRUE(controller.tabs()[1].action->isChecked());
}

TEST_F(SettingsWindowTest, TakesTheSizeOfTheSelectedPageWithinTheScreen)
{
    controller.show();
    const int screenHeight = QGuiApplication::primaryScreen()->availableGeometry().height();
    for (const SettingsWindowController::Tab& tab : controller.tabs()) {
        SCOPED_TRACE(tab.action->text().toStdString());
        tab.action->trigger();
        QApplication::processEvents();
        const QSize wanted = tab.page->preferredContentSize();
        EXPECT_EQ(wanted.width(), 580);
        EXPECT_EQ(tab.page->size(), wanted);
        EXPECT_LE(controller.window().height(), screenHeight);
        EXPECT_EQ(controller.window().width(), 580);
    }
}
