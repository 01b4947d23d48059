#include "core/analysis/ScrollStitcher.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

using namespace vorlix;
using Direction = ScrollStitcher::Direction;

namespace {

// A tall opaque page whose rows all differ: random colours, RGBA premultiplied.
QImage page(int width, int height, unsigned seed = 7)
{
    QImage image(width, height, QImage::Format_RGBA8888_Premultiplied);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = random();
            row[4 * x + 0] = static_cast<std::uint8_t>(v);
            row[4 * x + 1] = static_cast<std::uint8_t>(v >> 8);
            row[4 * x + 2] = static_cast<std::uint8_t>(v >> 16);
            row[4 * x + 3] = 255;
        }
    }
    return image;
}

// The screen area showing the page scrolled to `top`, in the layout the capture hands
// over (by default 32-bit words, which the stitcher has to bring into its byte order).
QImage frameAt(const QImage& source, int top, int height, QImage::Format format = QImage::Format_ARGB32_Premultiplied)
{
    return source.copy(0, top, source.width(), height).convertToFormat(format);
}

bool sameBytes(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.format() != b.format())
        return false;
    for (int y = 0; y < a.height(); ++y) {
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), static_cast<std::size_t>(a.width()) * 4) != 0)
            return false;
    }
    return true;
}

struct Step {
    int top;      // page row at the top of the frame
    int expected; // rows the frame adds
};

} // namespace

TEST(ScrollStitcher, ReproducesTheSourceFromFramesScrollingDown)
{
    const QImage source = page(64, 2000);
    const int frameHeight = 300;
    // Irregular scrolls, a pause (same frame again), and a jump too far to overlap
    // (more than 300 - 5 rows), after which the next frame still joins the held bottom.
    const Step steps[] = {{0, 300}, {40, 40},   {40, 0},   {137, 97}, {432, 295},
                          {740, 0}, {700, 268}, {1700, 0}, {960, 260}};
    ScrollStitcher stitcher;
    int bottom = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << "frame at " << s.top);
        EXPECT_EQ(stitcher.add(frameAt(source, s.top, frameHeight)), s.expected);
        if (s.expected > 0)
            bottom = s.top + frameHeight;
        EXPECT_EQ(stitcher.height(), bottom);
    }
    EXPECT_EQ(stitcher.direction(), Direction::down);
    EXPECT_EQ(stitcher.width(), 64);
    const auto image = stitcher.makeImage();
    ASSERT_TRUE(image);
    EXPECT_TRUE(sameBytes(*image, source.copy(0, 0, 64, bottom)));
}

TEST(ScrollStitcher, ReproducesTheSourceFromFramesScrollingUp)
{
    const QImage source = page(64, 1500, 11);
    const int frameHeight = 600;
    const auto frameAt = [&](const QImage& s, int top, int height) {
        return ::frameAt(s, top, height, QImage::Format_RGB888);
    };
    ScrollStitcher stitcher;
    EXPECT_EQ(stitcher.add(frameAt(source, 900, frameHeight)), 600);
    EXPECT_FALSE(stitcher.direction());
    // Down is tried first and fails; up finds the 40 new rows and puts them on top.
    EXPECT_EQ(stitcher.add(frameAt(source, 860, frameHeight)), 40);
    EXPECT_EQ(stitcher.direction(), Direction::up);
    EXPECT_EQ(stitcher.height(), 640);
    EXPECT_EQ(stitcher.add(frameAt(source, 500, frameHeight)), 360);
    EXPECT_EQ(stitcher.add(frameAt(source, 0, frameHeight)), 500);
    // With the direction fixed, a frame that scrolled the other way adds nothing.
    EXPECT_EQ(stitcher.add(frameAt(source, 100, frameHeight)), 0);
    const auto image = stitcher.makeImage();
    ASSERT_TRUE(image);
    EXPECT_TRUE(sameBytes(*image, source));
}

TEST(ScrollStitcher, RefusedFramesLeaveEverythingUnchanged)
{
    const QImage source = page(32, 400);
    struct Case {
        const char* what;
        QImage frame;
    };
    const Case cases[] = {
        {"the same frame again", frameAt(source, 0, 200)}, {"a frame of 8 rows", frameAt(source, 192, 8)},
        {"another width", source.copy(0, 40, 31, 200)},    {"no pixels", QImage()},
        {"unrelated content", page(32, 200, 99)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScrollStitcher stitcher;
        ASSERT_EQ(stitcher.add(frameAt(source, 0, 200)), 200);
        EXPECT_EQ(stitcher.add(c.frame), 0);
        EXPECT_EQ(stitcher.height(), 200);
        EXPECT_FALSE(stitcher.direction());
        EXPECT_TRUE(sameBytes(*stitcher.makeImage(), source.copy(0, 0, 32, 200)));
    }
    EXPECT_FALSE(ScrollStitcher().makeImage());
    EXPECT_EQ(ScrollStitcher().add(QImage()), 0);
}

TEST(ScrollStitcher, AcceptsAShiftOnlyWhenAtLeast97PercentOfRowsAgree)
{
    // 101 signatures, shifted down by one: 100 rows are compared at k = 1.
    std::vector<std::uint64_t> previous(101);
    for (std::size_t i = 0; i < previous.size(); ++i)
        previous[i] = 1000 + i;
    for (const int misses : {0, 3, 4}) {
        SCOPED_TRACE(testing::Message() << misses << " rows differ");
        std::vector<std::uint64_t> current(previous.begin() + 1, previous.end());
        current.push_back(5000);
        for (int m = 0; m < misses; ++m)
            current[static_cast<std::size_t>(10 + 20 * m)] = 9000 + static_cast<std::uint64_t>(m);
        EXPECT_EQ(ScrollStitcher::scrollShift(previous, current, Direction::down), misses <= 3 ? 1 : 0);
    }
    // The same test seen from the top of the content.
    std::vector<std::uint64_t> up(previous.size());
    up[0] = 7;
    std::copy(previous.begin(), previous.end() - 1, up.begin() + 1);
    EXPECT_EQ(ScrollStitcher::scrollShift(previous, up, Direction::up), 1);
    EXPECT_EQ(ScrollStitcher::scrollShift(previous, up, Direction::down), 0);
    // Fewer than 9 rows, or no movement, give no shift.
    EXPECT_EQ(ScrollStitcher::scrollShift(std::span(previous).first(8), std::span(up).subspan(1, 8), Direction::up), 0);
    EXPECT_EQ(ScrollStitcher::scrollShift(previous, previous, Direction::down), 0);
}

TEST(ScrollStitcher, SignaturesSampleCoarseColoursOnPixelBoundaries)
{
    // A row of 1000 pixels is sampled every 28 bytes (every 7th pixel); red, green and
    // blue enter without their two lowest bits, and alpha not at all.
    std::vector<std::uint8_t> row(4000, 100);
    const std::uint64_t base = ScrollStitcher::rowSignature(row.data(), row.size());
    struct Case {
        std::size_t byte;
        std::uint8_t value;
        bool changes;
    };
    const Case cases[] = {
        {28, 200, true}, {4 * 6, 200, false}, {4 * 14 + 2, 200, true}, {4 * 15, 200, false},
        {3, 0, false},   {0, 103, false},     {0, 104, true},          {3996, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "byte " << c.byte << " = " << int(c.value));
        std::vector<std::uint8_t> changed = row;
        changed[c.byte] = c.value;
        EXPECT_EQ(ScrollStitcher::rowSignature(changed.data(), changed.size()) != base, c.changes);
    }
    // Short rows sample every pixel.
    std::vector<std::uint8_t> shortRow(1020, 100);
    const std::uint64_t shortBase = ScrollStitcher::rowSignature(shortRow.data(), shortRow.size());
    shortRow[1016] = 0;
    EXPECT_NE(ScrollStitcher::rowSignature(shortRow.data(), shortRow.size()), shortBase);
}

TEST(ScrollStitcher, StopsAtTheMaximumHeightKeepingWhatItHas)
{
    // 33,500 rows scrolled through 900 rows at a time; only the first 32,000 joined are
    // kept, those next to the content already held.
    const int sourceHeight = ScrollStitcher::maximumHeight + 1500;
    const QImage source = page(4, sourceHeight);
    const int frameHeight = 1000;
    for (const Direction direction : {Direction::down, Direction::up}) {
        SCOPED_TRACE(direction == Direction::down ? "down" : "up");
        ScrollStitcher stitcher;
        int total = 0;
        for (int step = 0; step < 37; ++step) {
            const int top = direction == Direction::down ? step * 900 : sourceHeight - frameHeight - step * 900;
            total += stitcher.add(frameAt(source, top, frameHeight, QImage::Format_RGBA8888_Premultiplied));
        }
        EXPECT_TRUE(stitcher.isFull());
        EXPECT_EQ(total, ScrollStitcher::maximumHeight);
        EXPECT_EQ(stitcher.height(), ScrollStitcher::maximumHeight);
        const int first = direction == Direction::down ? 0 : sourceHeight - ScrollStitcher::maximumHeight;
        const auto image = stitcher.makeImage();
        ASSERT_TRUE(image);
        EXPECT_TRUE(sameBytes(*image, source.copy(0, first, 4, ScrollStitcher::maximumHeight)));
    }
}
