// Turning screen points into pixels, choosing the screen a window lies on, and the fake
// source the capture tests run on.

#include "platform/FakeScreenSource.h"

#include <gtest/gtest.h>

using namespace vorlix;

namespace {

TEST(ScreenSource, PixelLengthsRoundHalvesAwayFromZero)
{
    struct Case {
        double points;
        double scale;
        int pixels;
    };
    const Case cases[] = {
        {.points = 3.25, .scale = 2, .pixels = 7},    {.points = 3.2, .scale = 2, .pixels = 6},
        {.points = 0.25, .scale = 2, .pixels = 1},    {.points = -3.25, .scale = 2, .pixels = -7},
        {.points = 100, .scale = 1.5, .pixels = 150}, {.points = 1.5, .scale = 1, .pixels = 2},
        {.points = 2.5, .scale = 1, .pixels = 3},     {.points = 0, .scale = 2, .pixels = 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.points << " pt at " << c.scale);
        EXPECT_EQ(pixelLength(c.points, c.scale), c.pixels);
    }
    EXPECT_EQ(pixelRect(QRectF(0.5, 1.25, 10, 3.25), 2), QRect(1, 3, 20, 7));
}

TEST(ScreenSource, WindowLiesOnTheScreenItCoversMostEarlierOnATie)
{
    const std::vector<ScreenInfo> screens{
        {.id = 1, .name = "left", .geometry = QRect(0, 0, 1000, 800), .devicePixelRatio = 1},
        {.id = 2, .name = "right", .geometry = QRect(1000, 0, 1000, 800), .devicePixelRatio = 2},
    };
    EXPECT_EQ(screenOf(QRect(900, 0, 200, 100), screens)->id, 1u); // half on each
    EXPECT_EQ(screenOf(QRect(950, 0, 200, 100), screens)->id, 2u); // mostly on the second
    EXPECT_EQ(screenOf(QRect(5000, 0, 10, 10), screens)->id, 1u);  // on none
    EXPECT_EQ(screenOf(QRect(0, 0, 10, 10), {}), nullptr);
}

TEST(FakeScreenSource, GrabsCutTheScreenPictureAndRefuseUnknownScreens)
{
    FakeScreenSource source;
    const ScreenInfo screen{.id = 7, .name = "only", .geometry = QRect(0, 0, 20, 10), .devicePixelRatio = 2};
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::black);
    picture.setPixel(5, 7, qRgb(255, 0, 0));
    source.addScreen(screen, picture);

    const ScreenGrab cut = source.grab(screen, QRectF(2.5, 3.25, 2, 1));
    ASSERT_TRUE(std::holds_alternative<QImage>(cut));
    const QImage& image = std::get<QImage>(cut);
    EXPECT_EQ(image.size(), QSize(4, 2));
    EXPECT_EQ(image.devicePixelRatio(), 2);
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(std::get<QImage>(source.grabScreen(screen)).size(), QSize(40, 20));

    ScreenInfo gone = screen;
    gone.id = 8;
    const ScreenGrab refused = source.grab(gone, QRectF(0, 0, 1, 1));
    ASSERT_TRUE(std::holds_alternative<ScreenGrabError>(refused));
    EXPECT_EQ(std::get<ScreenGrabError>(refused).message(), "Monitor non trovato.");
}

TEST(FakeScreenSource, WindowListLeavesOutOursAndTheExcluded)
{
    FakeScreenSource source;
    source.addWindow(
        {.id = 1, .title = "front", .frame = QRect(0, 0, 50, 50), .pid = 10, .ours = false, .ownerName = {}});
    source.addWindow(
        {.id = 2, .title = "ours", .frame = QRect(0, 0, 50, 50), .pid = {}, .ours = true, .ownerName = {}});
    source.addWindow(
        {.id = 3, .title = "back", .frame = QRect(0, 0, 50, 50), .pid = 11, .ours = false, .ownerName = {}});
    std::vector<std::uint32_t> ids;
    for (const WindowInfo& window : source.windowsFrontToBack({3}))
        ids.push_back(window.id);
    EXPECT_EQ(ids, std::vector<std::uint32_t>{1});
    source.setActiveWindow(2);
    EXPECT_TRUE(source.activeWindow()->ours);
    source.removeWindow(1);
    EXPECT_FALSE(source.grabWindow(1).has_value());
}

} // namespace
