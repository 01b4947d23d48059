#pragma once
// Joins the frames of a scrolling capture into one tall image.
//
// A scrolling capture photographs the same screen area again and again while the user
// scrolls; each frame is compared with the rows held so far by a 64-bit signature per
// pixel row, and only the rows that scrolled into view are kept: at the bottom when the
// content scrolls down, at the top when it scrolls up. Rows are RGBA bytes, premultiplied,
// 4 x width bytes each, top row first.
//
// Invariants: every held row is `width()` pixels wide; `height()` never exceeds
// `maximumHeight`; the direction, once decided, never changes. Frames of another width,
// frames that did not move and frames that match nowhere change nothing.
//
// Not thread-safe: one stitcher per capture, used from one thread.

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <vector>

namespace vorlix {

class ScrollStitcher {
public:
    // Where new content comes in: at the bottom (`down`) or at the top (`up`).
    enum class Direction { down, up };

    // The tallest image a scrolling capture makes, in pixel rows. Once reached the
    // stitcher is full: it keeps what it has and adds nothing more, and the capture stops.
    static constexpr int maximumHeight = 32000;

    // An empty stitcher; without a direction the first frame that matches decides it.
    explicit ScrollStitcher(std::optional<Direction> direction = std::nullopt);

    // Takes one frame and returns the number of rows it added (0 when it added nothing).
    // The first frame is kept whole (up to `maximumHeight` rows).
    int add(const QImage& frame);

    // All rows as one RGBA8888 premultiplied image of width() x height() pixels;
    // nothing when no row is held or the bitmap cannot be made.
    std::optional<QImage> makeImage() const;

    int height() const { return static_cast<int>(m_rows.size()); }
    // The pixel width of the first frame; 0 until a frame has been added.
    int width() const { return m_width; }
    std::optional<Direction> direction() const { return m_direction; }
    // True once `maximumHeight` rows are held: further frames add nothing.
    bool isFull() const { return height() >= maximumHeight; }

    // The signature of one row of `rowBytes` RGBA bytes: 64-bit FNV-1a over the red,
    // green and blue bytes (each without its two lowest bits) of about 128 pixels spread
    // evenly over the row. Colours that differ only in those low bits sign the same.
    static std::uint64_t rowSignature(const std::uint8_t* row, std::size_t rowBytes);

    // The smallest shift k (1 ... n - 5, n = the shorter length) for which at least 97 %
    // of the overlapping signatures agree, or 0 when none does, when there are fewer
    // than 9 rows to compare, or when the two sequences are identical (no movement).
    // `down`: previous[i + k] == current[i]; `up`: previous[i] == current[i + k].
    static int scrollShift(std::span<const std::uint64_t> previous, std::span<const std::uint64_t> current,
                           Direction direction);

private:
    int shiftToward(Direction direction, const std::vector<std::uint64_t>& current) const;

    std::optional<Direction> m_direction;
    int m_width = 0;
    // Pixel storage: the first frame and one block per later addition. Held rows point
    // into these blocks, so adding at either end moves row pointers only, never pixels.
    std::vector<QImage> m_blocks;
    std::deque<const std::uint8_t*> m_rows;
    std::deque<std::uint64_t> m_signatures;
};

} // namespace vorlix
