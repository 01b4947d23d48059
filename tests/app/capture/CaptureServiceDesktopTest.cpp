// Captures end to end on a real X server with a window manager and a compositing manager,
// driven through xdotool: exact pixels of a dragged area, the frozen screen, the whole
// screen, a partly covered window, focus given back on cancel, the busy guard, and no
// window of ours in any picture.

#include "app/capture/CaptureService.h"
#include "app/capture/SelectionView.h"
#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"
#include "core/imaging/ImageCoding.h"
#include "platform/ForeignWindow.h"
#include "platform/X11Source.h"
#include "support/TaskWaits.h"
#include "support/desktop/DesktopTools.h"

#include <QApplication>
#include <QPainter>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;

namespace {

struct CaptureOnDesktop : testing::Test {
    std::unique_ptr<ScreenSource> source = x11Source();
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    CaptureService service{*source, settings};
    ForeignClient other;

    static bool overlayShown()
    {
        return waitUntil([] {
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (dynamic_cast<SelectionView*>(widget) && widget->isVisible() && QWidget::keyboardGrabber())
                    return true;
            return false;
        });
    }

    static bool drag(QPoint from, QPoint to)
    {
        return runTool("xdotool", {"mousemove", QString::number(from.x()), QString::number(from.y()), "mousedown", "1",
                                   "mousemove", QString::number(to.x()), QString::number(to.y()), "mouseup", "1"})
                   .exitCode == 0;
    }

    static std::optional<CapturedShot> shotOf(const std::optional<CaptureOutcome>& outcome)
    {
        if (!outcome || !std::holds_alternative<std::optional<CapturedShot>>(*outcome))
            return std::nullopt;
        return std::get<std::optional<CapturedShot>>(*outcome);
    }

    static QImage solid(QSize size, QColor color)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(color);
        return image;
    }

    // A red and a green window side by side, exactly where asked, nothing in between.
    QImage showPattern(QPoint topLeft)
    {
        other.showUnmanaged(QRect(topLeft, QSize(120, 90)), Qt::red);
        other.showUnmanaged(QRect(topLeft + QPoint(120, 0), QSize(80, 90)), Qt::green);
        QImage pattern = solid(QSize(200, 90), Qt::green);
        QPainter(&pattern).fillRect(0, 0, 120, 90, Qt::red);
        return pattern;
    }
};

TEST_F(CaptureOnDesktop, DraggedAreaGivesExactlyThePixelsTheScreenShowedWhenTheCaptureBegan)
{
    const QImage pattern = showPattern(QPoint(300, 200));
    Running running = start(service.captureArea());
    ASSERT_TRUE(overlayShown());
    // What happens on the screen once the overlay is up is not in the picture.
    other.showUnmanaged(QRect(300, 200, 200, 90), Qt::blue);

    ASSERT_TRUE(drag(QPoint(300, 200), QPoint(500, 290)));
    const std::optional<CapturedShot> shot = shotOf(running.wait());
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->image.convertToFormat(QImage::Format_RGB32), pattern);
    EXPECT_EQ(ImageCoding::decode(shot->pngData).convertToFormat(QImage::Format_RGB32), pattern);
    EXPECT_EQ(shot->kind, CaptureKind::area);
    EXPECT_EQ(shot->pixelsPerPoint, 1);
    ASSERT_TRUE(service.lastArea());
    EXPECT_EQ(service.lastArea()->rect, Rect(300, 200, 200, 90));
}

TEST_F(CaptureOnDesktop, LiveAreaLeavesTheOverlayOutOfThePicture)
{
    settings.set(setting::freezeScreen, false);
    const QImage pattern = showPattern(QPoint(100, 300));
    Running running = start(service.captureArea());
    ASSERT_TRUE(overlayShown());
    ASSERT_TRUE(drag(QPoint(100, 300), QPoint(300, 390)));
    const std::optional<CapturedShot> shot = shotOf(running.wait());
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->image.convertToFormat(QImage::Format_RGB32), pattern) << "neither veiled nor framed";
}

TEST_F(CaptureOnDesktop, FullScreenEqualsTheScreen)
{
    showPattern(QPoint(600, 100));
    const std::optional<CapturedShot> shot = shotOf(start(service.captureFullScreen()).wait());
    ASSERT_TRUE(shot);
    const ScreenGrab screen = source->grabScreen(source->screens().front());
    ASSERT_TRUE(std::holds_alternative<QImage>(screen));
    EXPECT_EQ(shot->image.convertToFormat(QImage::Format_RGB32),
              std::get<QImage>(screen).convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(shot->kind, CaptureKind::fullScreen);
}

TEST_F(CaptureOnDesktop, PickedWindowGivesItsOwnPixelsWhereAnotherCoversIt)
{
    const xcb_window_t covered = other.show(QRect(100, 100, 240, 160), Qt::red, "covered", 5151, true);
    const xcb_window_t cover = other.show(QRect(250, 150, 240, 160), Qt::blue, "cover", {}, true);
    Running running = start(service.captureWithOverlay(SelectionMode::window()));
    ASSERT_TRUE(overlayShown());
    ASSERT_TRUE(movePointer(150, 140));
    ASSERT_TRUE(click(1));
    const std::optional<CaptureListOutcome> outcome = running.wait();
    ASSERT_TRUE(outcome && std::holds_alternative<std::vector<CapturedShot>>(*outcome));
    const std::vector<CapturedShot>& shots = std::get<std::vector<CapturedShot>>(*outcome);
    ASSERT_EQ(shots.size(), 1u);
    const QImage image = shots[0].image.convertToFormat(QImage::Format_RGB32);
    const QRect client = image.rect().intersected(QRect(image.width() - 240, image.height() - 160, 240, 160));
    int blue = 0;
    int red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            blue += image.pixel(x, y) == QColor(Qt::blue).rgb();
            red += image.pixel(x, y) == QColor(Qt::red).rgb();
        }
    EXPECT_EQ(blue, 0) << "the covering window is not in the picture";
    EXPECT_GE(red, client.width() * client.height() * 9 / 10);
    EXPECT_EQ(shots[0].kind, CaptureKind::window);
    ASSERT_TRUE(shots[0].sourceApp);
    EXPECT_EQ(shots[0].sourceApp->pid, 5151);
    other.destroy(cover);
    other.destroy(covered);
}

TEST_F(CaptureOnDesktop, EscapeGivesTheFocusBackAndABusyServiceRefusesQuietly)
{
    const xcb_window_t theirs = other.show(QRect(400, 400, 200, 150), Qt::yellow, "theirs", 6161, true);
    ASSERT_EQ(runTool("xdotool", {"windowactivate", "--sync", QString::number(theirs)}).exitCode, 0);

    Running running = start(service.captureArea());
    ASSERT_TRUE(overlayShown());
    EXPECT_TRUE(service.isCapturing());
    const std::optional<CaptureOutcome> second = start(service.captureFullScreen()).wait();
    ASSERT_TRUE(second);
    EXPECT_EQ(*second, CaptureOutcome(std::optional<CapturedShot>())) << "no shot and no error";

    ASSERT_TRUE(sendKeys("Escape"));
    EXPECT_EQ(shotOf(running.wait()), std::nullopt);
    EXPECT_FALSE(service.isCapturing());
    EXPECT_TRUE(waitUntil([&] {
        const std::optional<WindowInfo> active = source->activeWindow();
        return active && active->id == theirs;
    })) << "the window in front before the capture has the focus again";
    EXPECT_TRUE(ForeignClient().canGrabInput());
    other.destroy(theirs);
}

} // namespace
