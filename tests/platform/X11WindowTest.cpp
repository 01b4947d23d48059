// Windows under a window manager and a compositing manager: the stacking order front to
// back without our own windows, a window's own pixels where another covers it, client-side
// shadows cut away, and the active window with its process.

#include "ForeignWindow.h"
#include "X11Source.h"
#include "platform/Compositing.h"
#include "platform/ScreenSource.h"
#include "support/desktop/DesktopTools.h"
#include "support/desktop/FixtureWindow.h"

#include <QFile>

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <map>

using namespace vorlix;
using namespace vorlix::test;

namespace {

int pixelsOf(const QImage& image, QRgb color)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            count += (rgb.pixel(x, y) & 0xffffff) == (color & 0xffffff);
    return count;
}

TEST(X11Window, StackingListIsFrontToBackWithoutOurWindows)
{
    ForeignClient other;
    const xcb_window_t bottom = other.show(QRect(50, 50, 200, 150), Qt::red, "bottom", 4000, true);
    FixtureWindow ours(FixtureWindow::quadrants(QSize(120, 120)), QPoint(100, 100), QStringLiteral("ours"));
    ASSERT_TRUE(ours.showAndWait());
    const xcb_window_t middle = other.show(QRect(80, 80, 200, 150), Qt::green, "middle", 4001, true);
    const xcb_window_t top = other.show(QRect(110, 110, 200, 150), Qt::blue, "top", {}, true);

    std::vector<std::uint32_t> ids;
    for (const WindowInfo& window : x11Source()->windowsFrontToBack())
        ids.push_back(window.id);
    EXPECT_EQ(ids, (std::vector<std::uint32_t>{top, middle, bottom}));

    const std::vector<WindowInfo> withoutMiddle = x11Source()->windowsFrontToBack({middle});
    ASSERT_EQ(withoutMiddle.size(), 2u);
    EXPECT_EQ(withoutMiddle[1].pid, 4000);
    EXPECT_EQ(withoutMiddle[1].title, "bottom");
    // The frame holds the window manager's decorations around the 200 × 150 client.
    EXPECT_GT(withoutMiddle[1].frame.height(), 150);
    EXPECT_TRUE(withoutMiddle[1].frame.contains(QRect(50, 50, 200, 150))) << withoutMiddle[1].frame.x();
    other.destroy(top);
    other.destroy(middle);
    other.destroy(bottom);
}

TEST(X11Window, WindowGrabShowsItsOwnPixelsWhereCoveredAndCutsShadows)
{
    ForeignClient other;
    const xcb_window_t covered = other.show(QRect(100, 100, 200, 150), Qt::red, "covered", {}, true);
    const xcb_window_t shadowed = other.show(QRect(500, 100, 200, 150), Qt::green, "shadowed", {}, true);
    other.setCardinals(shadowed, "_GTK_FRAME_EXTENTS", {10, 20, 5, 15});
    const xcb_window_t cover = other.show(QRect(150, 130, 200, 150), Qt::blue, "cover", {}, true);
    const std::unique_ptr<ScreenSource> source = x11Source();

    const std::optional<QImage> picture = source->grabWindow(covered);
    ASSERT_TRUE(picture);
    EXPECT_EQ(pixelsOf(*picture, qRgb(255, 0, 0)), 200 * 150);
    EXPECT_EQ(pixelsOf(*picture, qRgb(0, 0, 255)), 0);

    const std::optional<QImage> cut = source->grabWindow(shadowed);
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->size(), QSize(200 - 30, 150 - 20));
    EXPECT_EQ(pixelsOf(*cut, qRgb(0, 255, 0)), 170 * 130);

    other.destroy(cover);
    EXPECT_FALSE(source->grabWindow(cover).has_value());
    other.destroy(covered);
    other.destroy(shadowed);
}

TEST(X11Window, ActiveWindowComesWithItsProcess)
{
    ForeignClient other;
    const xcb_window_t theirs = other.show(QRect(100, 100, 200, 150), Qt::red, "theirs", 4321, true);
    const std::unique_ptr<ScreenSource> source = x11Source();
    ASSERT_EQ(runTool("xdotool", {"windowactivate", "--sync", QString::number(theirs)}).exitCode, 0);
    std::optional<WindowInfo> active = source->activeWindow();
    ASSERT_TRUE(active);
    EXPECT_EQ(active->id, theirs);
    EXPECT_EQ(active->pid, 4321);
    EXPECT_FALSE(active->ours);

    FixtureWindow ours(FixtureWindow::quadrants(QSize(120, 120)), QPoint(400, 100), QStringLiteral("ours"));
    ASSERT_TRUE(ours.showAndWait());
    ours.requestActivate();
    ASSERT_TRUE(waitUntil([&] {
        active = source->activeWindow();
        return active && active->id == ours.winId();
    }));
    EXPECT_TRUE(active->ours);
    other.destroy(theirs);
}

TEST(X11Window, OwnerNamesAndActivationRequests)
{
    ForeignClient other;
    const xcb_window_t classed = other.show(QRect(100, 100, 200, 150), Qt::red, "classed", 4000, true);
    other.setClass(classed, "editor", "Editor");
    // No class: the owner is named by its process, here the one that runs this test.
    const auto parent = std::uint32_t(getppid());
    const xcb_window_t plain = other.show(QRect(300, 100, 200, 150), Qt::green, "plain", parent, true);
    const std::unique_ptr<ScreenSource> source = x11Source();

    QFile command(QStringLiteral("/proc/%1/comm").arg(parent));
    ASSERT_TRUE(command.open(QIODevice::ReadOnly));
    const QString parentName = QString::fromLocal8Bit(command.readAll().trimmed());
    std::map<std::uint32_t, QString> owners;
    for (const WindowInfo& window : source->windowsFrontToBack())
        owners[window.id] = window.ownerName;
    EXPECT_EQ(owners[classed], "Editor");
    EXPECT_EQ(owners[plain], parentName);

    for (const xcb_window_t window : {classed, plain}) {
        source->activateWindow(window);
        EXPECT_TRUE(waitUntil([&] {
            const std::optional<WindowInfo> active = source->activeWindow();
            return active && active->id == window;
        })) << window;
    }
    other.destroy(classed);
    other.destroy(plain);
}

} // namespace

TEST(X11Window, CompositingManagerIsSeenWhenItRuns) { EXPECT_TRUE(vorlix::isCompositingManagerRunning()); }
