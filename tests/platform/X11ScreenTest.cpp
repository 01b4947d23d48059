// Screens and their pictures on a real X server without a window manager: the pixels a
// fixture window shows come back exactly, the cursor stays out, monitors split by RandR
// are screens of their own, and the plain window tree stands in for the stacking list.

#include "ForeignWindow.h"
#include "X11Source.h"
#include "platform/Compositing.h"
#include "platform/ScreenSource.h"
#include "platform/ScreenVeil.h"
#include "platform/x11/X11ScreenSource.h"
#include "support/EventLoopWaits.h"
#include "support/desktop/DesktopTools.h"
#include "support/desktop/FixtureWindow.h"
#include "support/desktop/MonitorSplit.h"

#include <QWindow>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;

namespace {

QImage grabbed(const ScreenGrab& grab)
{
    if (const auto* error = std::get_if<ScreenGrabError>(&grab)) {
        ADD_FAILURE() << error->message().toStdString();
        return {};
    }
    return std::get<QImage>(grab).convertToFormat(QImage::Format_RGB32);
}

TEST(X11Screen, RectangleGrabGivesTheFixturePixelsWithoutTheCursor)
{
    const QImage picture = FixtureWindow::quadrants(QSize(200, 160));
    FixtureWindow fixture(picture, QPoint(100, 120), QStringLiteral("quadrants"));
    ASSERT_TRUE(fixture.showAndWait());
    ASSERT_TRUE(movePointer(150, 150));
    const std::unique_ptr<ScreenSource> source = x11Source();
    const std::vector<ScreenInfo> screens = source->screens();
    ASSERT_EQ(screens.size(), 1u);
    EXPECT_EQ(screens[0].geometry, QRect(QPoint(0, 0), processDesktop().size()));

    QImage image = grabbed(source->grab(screens[0], QRectF(100, 120, 200, 160)));
    EXPECT_EQ(image.devicePixelRatio(), 1.0);
    image.setDevicePixelRatio(1);
    EXPECT_EQ(image, picture.convertToFormat(QImage::Format_RGB32));

    // The same pixels without shared memory, as from a server on another machine.
    const std::unique_ptr<ScreenSource> plain = makeX11ScreenSource(false);
    image = grabbed(plain->grab(screens[0], QRectF(100, 120, 200, 160)));
    image.setDevicePixelRatio(1);
    EXPECT_EQ(image, picture.convertToFormat(QImage::Format_RGB32));

    const QImage whole = grabbed(source->grabScreen(screens[0]));
    EXPECT_EQ(whole.size(), processDesktop().size());
    EXPECT_EQ(whole.pixel(100, 120), qRgb(255, 0, 0));
}

// A window that never paints shows, from the moment it maps, the screen that lay under it
// behind the veil: the server drew it alone.
TEST(X11Screen, VeilDarkensTheScreenUnderAWindowThatNeverPainted)
{
    const QImage picture = FixtureWindow::quadrants(QSize(200, 160));
    FixtureWindow fixture(picture, QPoint(100, 120), QStringLiteral("quadrants"));
    ASSERT_TRUE(fixture.showAndWait());
    const std::unique_ptr<ScreenSource> source = x11Source();
    const ScreenInfo screen = source->screens().front();
    const auto pixel = [&](int x, int y) { return grabbed(source->grab(screen, QRectF(x, y, 1, 1))).pixel(0, 0); };
    ASSERT_EQ(pixel(100, 120), qRgb(255, 0, 0));

    QWindow blank;
    blank.setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
    blank.setGeometry(QRect(50, 60, 200, 150));
    EXPECT_FALSE(veilScreenUnder(&blank, 0.25)); // not shown yet
    blank.show();
    ASSERT_TRUE(veilScreenUnder(&blank, 0.25));
    // Three quarters of each channel: 255 becomes 191.
    EXPECT_TRUE(waitUntil([&] { return pixel(100, 120) == qRgb(191, 0, 0); })) << std::hex << pixel(100, 120);
    EXPECT_EQ(pixel(210, 200), qRgb(191, 191, 191)); // the white quadrant
    EXPECT_EQ(pixel(299, 279), qRgb(255, 255, 255)); // beyond the window nothing changed
}

TEST(X11Screen, HeldPicturesKeepTheirPixelsWhileLaterGrabsReuseMemory)
{
    const std::unique_ptr<ScreenSource> source = x11Source();
    const ScreenInfo screen = source->screens().front();
    const QRectF area(600, 400, 120, 90);
    ForeignClient other;
    const xcb_window_t red = other.show(QRect(600, 400, 120, 90), Qt::red, QStringLiteral("red"));
    QImage first = grabbed(source->grab(screen, area));
    const xcb_window_t blue = other.show(QRect(600, 400, 120, 90), Qt::blue, QStringLiteral("blue"));
    const QImage second = grabbed(source->grab(screen, area));
    EXPECT_EQ(first.pixel(60, 45), qRgb(255, 0, 0));
    EXPECT_EQ(second.pixel(60, 45), qRgb(0, 0, 255));

    first = QImage();
    other.destroy(blue);
    EXPECT_EQ(grabbed(source->grab(screen, area)).pixel(60, 45), qRgb(255, 0, 0));
    EXPECT_EQ(second.pixel(60, 45), qRgb(0, 0, 255));
    other.destroy(red);
}

TEST(X11Screen, UnknownScreenIsNotFound)
{
    const std::unique_ptr<ScreenSource> source = x11Source();
    ScreenInfo gone = source->screens().front();
    gone.id += 1000;
    const ScreenGrab grab = source->grab(gone, QRectF(0, 0, 10, 10));
    ASSERT_TRUE(std::holds_alternative<ScreenGrabError>(grab));
    EXPECT_EQ(std::get<ScreenGrabError>(grab).message(), "Monitor non trovato.");
}

TEST(X11Screen, WithoutWindowManagerTheWindowTreeListsWindowsFrontToBack)
{
    ForeignClient other;
    const xcb_window_t back = other.show(QRect(20, 20, 300, 200), Qt::red, QStringLiteral("back"), 4242);
    const xcb_window_t front = other.show(QRect(60, 60, 300, 200), Qt::blue, QStringLiteral("front"));
    const xcb_window_t tiny = other.show(QRect(400, 400, 10, 10), Qt::green, QStringLiteral("tiny"));
    const xcb_window_t excluded = other.show(QRect(500, 100, 100, 100), Qt::green, QStringLiteral("excluded"));
    const xcb_window_t dock = other.show(QRect(0, 700, 400, 60), Qt::green, QStringLiteral("dock"));
    other.setWindowType(dock, "_NET_WM_WINDOW_TYPE_DOCK");
    FixtureWindow ours(FixtureWindow::quadrants(QSize(100, 100)), QPoint(700, 100), QStringLiteral("ours"));
    ASSERT_TRUE(ours.showAndWait());

    const std::vector<WindowInfo> windows = x11Source()->windowsFrontToBack({excluded});
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(windows[0], (WindowInfo{.id = front,
                                      .title = "front",
                                      .frame = QRect(60, 60, 300, 200),
                                      .pid = {},
                                      .ours = false,
                                      .ownerName = {}}));
    // The owner of process 4242 is whatever runs under that number on this machine, if anything.
    EXPECT_EQ(windows[1], (WindowInfo{.id = back,
                                      .title = "back",
                                      .frame = QRect(20, 20, 300, 200),
                                      .pid = 4242,
                                      .ours = false,
                                      .ownerName = windows[1].ownerName}));
    other.destroy(tiny);
    other.destroy(dock);
}

TEST(X11Screen, MonitorsSplitByRandrAreScreensOfTheirOwn)
{
    const MonitorSplit split(x11Source()->screens().front().name);
    ASSERT_TRUE(split.isSplit());
    const int half = MonitorSplit::half();
    const QImage picture = FixtureWindow::quadrants(QSize(100, 80));
    FixtureWindow fixture(picture, QPoint(half + 40, 30), QStringLiteral("on the right"));
    ASSERT_TRUE(fixture.showAndWait());

    const std::unique_ptr<ScreenSource> source = x11Source();
    const std::vector<ScreenInfo> screens = source->screens();
    ASSERT_EQ(screens.size(), 2u);
    EXPECT_EQ(screens[0].geometry, QRect(0, 0, half, processDesktop().size().height()));
    EXPECT_EQ(screens[1].geometry, QRect(half, 0, half, processDesktop().size().height()));
    EXPECT_EQ(screens[1].name, "RIGHT");
    EXPECT_NE(screens[0].id, screens[1].id);
    EXPECT_EQ(grabbed(source->grab(screens[1], QRectF(40, 30, 100, 80))),
              picture.convertToFormat(QImage::Format_RGB32));
}

} // namespace

TEST(X11Screen, BareServerHasNoCompositingManager) { EXPECT_FALSE(vorlix::isCompositingManagerRunning()); }
