// The selection overlay on a real X server, driven through xdotool as a person drives it:
// drags, clicks on windows, Shift-clicks, the keys, two monitors; and it gives the
// keyboard and the pointer back on every way out.

#include "app/capture/SelectionOverlay.h"
#include "app/capture/SelectionView.h"
#include "app/capture/SelectionWindows.h"
#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"
#include "platform/ForeignWindow.h"
#include "platform/X11Source.h"
#include "support/TaskWaits.h"
#include "support/desktop/DesktopTools.h"
#include "support/desktop/MonitorSplit.h"

#include <QApplication>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;

namespace {

struct SelectionOverlayOnDesktop : testing::Test {
    std::unique_ptr<ScreenSource> source = x11Source();
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};

    SelectionOverlaySetup setup(SelectionMode mode)
    {
        SelectionOverlaySetup setup{.screens = source->screens(), .frozen = {}, .mode = mode, .screenWindows = {}};
        for (const ScreenInfo& screen : setup.screens)
            if (ScreenGrab grab = source->grabScreen(screen); std::holds_alternative<QImage>(grab))
                setup.frozen[screen.id] = std::get<QImage>(grab);
        if (mode.kind == SelectionMode::Kind::window || mode.kind == SelectionMode::Kind::allInOne)
            setup.screenWindows = source->windowsFrontToBack();
        return setup;
    }

    static std::vector<SelectionView*> shownViews()
    {
        std::vector<SelectionView*> views;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* view = dynamic_cast<SelectionView*>(widget); view && view->isVisible())
                views.push_back(view);
        return views;
    }

    // Waits until the overlay's windows are up and the key one has the keyboard.
    static bool overlayShown(std::size_t count = 1)
    {
        return waitUntil([&] { return shownViews().size() == count && QWidget::keyboardGrabber(); });
    }

    static bool drag(QPoint from, QPoint to, const QString& modifier = {})
    {
        QStringList arguments = {"mousemove", QString::number(from.x()), QString::number(from.y())};
        if (!modifier.isEmpty())
            arguments << "keydown" << modifier;
        arguments << "mousedown"
                  << "1"
                  << "mousemove" << QString::number((from.x() + to.x()) / 2) << QString::number((from.y() + to.y()) / 2)
                  << "mousemove" << QString::number(to.x()) << QString::number(to.y()) << "mouseup"
                  << "1";
        if (!modifier.isEmpty())
            arguments << "keyup" << modifier;
        return runTool("xdotool", arguments).exitCode == 0;
    }

    static QPoint pointer()
    {
        const QString text = QString::fromUtf8(runTool("xdotool", {"getmouselocation"}).output);
        const QStringList parts = text.split(' ');
        return {parts.value(0).section(':', 1).toInt(), parts.value(1).section(':', 1).toInt()};
    }
};

TEST_F(SelectionOverlayOnDesktop, DraggedAreaIsChosenAndItsWindowsStayUntilClosed)
{
    std::unique_ptr<SelectionOverlay> overlay = makeSelectionOverlay(setup(SelectionMode::area()), settings);
    Running running = start(overlay->run());
    ASSERT_TRUE(overlayShown());
    EXPECT_FALSE(ForeignClient().canGrabInput()) << "the overlay holds keyboard and pointer";

    ASSERT_TRUE(drag(QPoint(100, 120), QPoint(301, 271)));
    const std::optional<std::optional<SelectionResult>> result = running.wait();
    ASSERT_TRUE(result && *result);
    const auto* area = std::get_if<AreaChosen>(&**result);
    ASSERT_TRUE(area);
    EXPECT_EQ(area->selection.rect, Rect(100, 120, 201, 151));
    EXPECT_EQ(area->selection.screen, source->screens().front());
    ASSERT_EQ(area->selection.overlayWindowNumbers.size(), 1u);
    EXPECT_EQ(shownViews().size(), 1u) << "an area leaves the overlay showing for the capture";
    EXPECT_TRUE(ForeignClient().canGrabInput()) << "input is given back with the answer";

    overlay->close();
    EXPECT_TRUE(shownViews().empty());
}

TEST_F(SelectionOverlayOnDesktop, EscapeAndRightClickCancelAndGiveInputBack)
{
    for (const QString& how : {QStringLiteral("key"), QStringLiteral("click")}) {
        SCOPED_TRACE(how.toStdString());
        std::unique_ptr<SelectionOverlay> overlay = makeSelectionOverlay(setup(SelectionMode::area()), settings);
        Running running = start(overlay->run());
        ASSERT_TRUE(overlayShown());
        ASSERT_TRUE(how == "key" ? sendKeys("Escape") : click(3));
        const std::optional<std::optional<SelectionResult>> result = running.wait();
        ASSERT_TRUE(result);
        EXPECT_FALSE(*result);
        EXPECT_TRUE(shownViews().empty());
        EXPECT_TRUE(ForeignClient().canGrabInput());
    }
}

TEST_F(SelectionOverlayOnDesktop, KeptWindowShowsAboveWindowsMadeAfterIt)
{
    SelectionWindows windows(settings);
    {
        std::unique_ptr<SelectionOverlay> overlay =
            makeSelectionOverlay(setup(SelectionMode::area()), settings, &windows);
        Running running = start(overlay->run());
        ASSERT_TRUE(overlayShown());
        ASSERT_TRUE(sendKeys("Escape"));
        ASSERT_TRUE(running.wait());
    }
    ForeignClient client;
    client.showUnmanaged(QRect(40, 40, 100, 100), Qt::red);
    const auto shownAt = [&](QPoint point) {
        const ScreenGrab grab = source->grab(source->screens().front(), QRectF(point, QSizeF(1, 1)));
        return std::get<QImage>(grab).pixel(0, 0);
    };
    ASSERT_EQ(shownAt(QPoint(90, 90)), qRgb(255, 0, 0));

    std::unique_ptr<SelectionOverlay> overlay = makeSelectionOverlay(setup(SelectionMode::area()), settings, &windows);
    Running running = start(overlay->run());
    ASSERT_TRUE(overlayShown());
    EXPECT_TRUE(waitUntil([&] { return shownAt(QPoint(90, 90)) != qRgb(255, 0, 0); }))
        << "the veiled overlay covers the window";
    ASSERT_TRUE(sendKeys("Escape"));
    ASSERT_TRUE(running.wait());
}

TEST_F(SelectionOverlayOnDesktop, ArrowKeysMoveThePointerOnePixelOrTenWithShift)
{
    std::unique_ptr<SelectionOverlay> overlay = makeSelectionOverlay(setup(SelectionMode::area()), settings);
    Running running = start(overlay->run());
    ASSERT_TRUE(overlayShown());
    ASSERT_TRUE(movePointer(200, 200));
    ASSERT_TRUE(waitUntil([] { return shownViews().front()->state().mouse == QPointF(200, 200); }));

    ASSERT_TRUE(sendKeys("Right"));
    EXPECT_TRUE(waitUntil([] { return pointer() == QPoint(201, 200); })) << pointer().x();
    ASSERT_TRUE(sendKeys("shift+Down"));
    EXPECT_TRUE(waitUntil([] { return pointer() == QPoint(201, 210); })) << pointer().y();
    EXPECT_EQ(shownViews().front()->state().mouse, QPointF(201, 210));

    ASSERT_TRUE(sendKeys("Escape"));
    EXPECT_TRUE(running.wait());
}

TEST_F(SelectionOverlayOnDesktop, LTogglesTheLoupeForLaterOverlaysAndFTakesTheScreen)
{
    ASSERT_TRUE(settings.get(setting::showsLoupe));
    std::unique_ptr<SelectionOverlay> first = makeSelectionOverlay(setup(SelectionMode::allInOne()), settings);
    Running running = start(first->run());
    ASSERT_TRUE(overlayShown());
    ASSERT_TRUE(sendKeys("l"));
    EXPECT_TRUE(waitUntil([&] { return !settings.get(setting::showsLoupe); }));
    ASSERT_TRUE(sendKeys("f"));
    const std::optional<std::optional<SelectionResult>> result = running.wait();
    ASSERT_TRUE(result && *result);
    EXPECT_EQ(**result, SelectionResult(FullScreenChosen{source->screens().front()}));
    EXPECT_TRUE(shownViews().empty()) << "a full screen closes the overlay at once";

    std::unique_ptr<SelectionOverlay> second = makeSelectionOverlay(setup(SelectionMode::area()), settings);
    Running again = start(second->run());
    ASSERT_TRUE(overlayShown());
    EXPECT_FALSE(shownViews().front()->state().showsLoupe);
    ASSERT_TRUE(sendKeys("Escape"));
    EXPECT_TRUE(again.wait());
}

TEST_F(SelectionOverlayOnDesktop, ClickPicksTheWindowUnderThePointerAndShiftCollectsSeveral)
{
    ForeignClient other;
    const xcb_window_t back = other.show(QRect(100, 100, 300, 200), Qt::red, "back", {}, true);
    const xcb_window_t front = other.show(QRect(250, 200, 300, 200), Qt::blue, "front", {}, true);

    {
        std::unique_ptr<SelectionOverlay> overlay = makeSelectionOverlay(setup(SelectionMode::window()), settings);
        Running running = start(overlay->run());
        ASSERT_TRUE(overlayShown());
        ASSERT_TRUE(movePointer(300, 250));
        ASSERT_TRUE(click(1));
        const std::optional<std::optional<SelectionResult>> result = running.wait();
        ASSERT_TRUE(result && *result);
        EXPECT_EQ(**result, SelectionResult(WindowsChosen{{front}})) << "the front one where both lie";
    }
    {
        std::unique_ptr<SelectionOverlay> overlay = makeSelectionOverlay(setup(SelectionMode::window()), settings);
        Running running = start(overlay->run());
        ASSERT_TRUE(overlayShown());
        const auto shiftClick = [](int x, int y) {
            return runTool("xdotool", {"mousemove", QString::number(x), QString::number(y), "keydown", "shift", "click",
                                       "1", "keyup", "shift"})
                       .exitCode == 0;
        };
        ASSERT_TRUE(shiftClick(150, 150));
        ASSERT_TRUE(shiftClick(500, 350));
        ASSERT_TRUE(shiftClick(150, 150)); // picked again: taken out
        ASSERT_TRUE(shiftClick(150, 150));
        EXPECT_TRUE(waitUntil([] { return shownViews().front()->state().chosen.size() == 2; }));
        EXPECT_FALSE(running.isDone()) << "Shift-clicks keep the overlay open";
        ASSERT_TRUE(sendKeys("Return"));
        const std::optional<std::optional<SelectionResult>> result = running.wait();
        ASSERT_TRUE(result && *result);
        EXPECT_EQ(**result, SelectionResult(WindowsChosen{{front, back}}));
    }
    other.destroy(front);
    other.destroy(back);
}

TEST_F(SelectionOverlayOnDesktop, EachMonitorHasItsOverlayAndTheOneUnderThePointerTakesTheKeys)
{
    const MonitorSplit split(source->screens().front().name);
    ASSERT_TRUE(split.isSplit());
    const int half = MonitorSplit::half();
    const std::vector<ScreenInfo> screens = source->screens();
    ASSERT_EQ(screens.size(), 2u);

    ASSERT_TRUE(movePointer(half + 50, 50));
    {
        std::unique_ptr<SelectionOverlay> overlay = makeSelectionOverlay(setup(SelectionMode::allInOne()), settings);
        Running running = start(overlay->run());
        ASSERT_TRUE(overlayShown(2));
        ASSERT_TRUE(sendKeys("f"));
        const std::optional<std::optional<SelectionResult>> result = running.wait();
        ASSERT_TRUE(result && *result);
        EXPECT_EQ(**result, SelectionResult(FullScreenChosen{screens[1]}));
    }
    {
        std::unique_ptr<SelectionOverlay> overlay = makeSelectionOverlay(setup(SelectionMode::area()), settings);
        Running running = start(overlay->run());
        ASSERT_TRUE(overlayShown(2));
        ASSERT_TRUE(drag(QPoint(half + 40, 30), QPoint(half + 140, 110)));
        const std::optional<std::optional<SelectionResult>> result = running.wait();
        ASSERT_TRUE(result && *result);
        const auto* area = std::get_if<AreaChosen>(&**result);
        ASSERT_TRUE(area);
        EXPECT_EQ(area->selection.screen, screens[1]);
        EXPECT_EQ(area->selection.rect, Rect(40, 30, 100, 80)) << "in the points of its own screen";
        EXPECT_EQ(area->selection.overlayWindowNumbers.size(), 2u);
        overlay->close();
    }
}

TEST_F(SelectionOverlayOnDesktop, NoScreenEndsAtOnceAsCancelled)
{
    std::unique_ptr<SelectionOverlay> overlay = makeSelectionOverlay(
        {.screens = {}, .frozen = {}, .mode = SelectionMode::area(), .screenWindows = {}}, settings);
    Running running = start(overlay->run());
    EXPECT_TRUE(running.isDone());
    const std::optional<std::optional<SelectionResult>> result = running.wait();
    ASSERT_TRUE(result);
    EXPECT_FALSE(*result);
}

} // namespace
