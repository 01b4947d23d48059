#include "core/analysis/ScrollStitcher.h"

#include <algorithm>
#include <cstring>

namespace vorlix {

namespace {

constexpr std::uint64_t fnvOffsetBasis = 0xCBF29CE484222325ULL;
constexpr std::uint64_t fnvPrime = 0x100000001B3ULL;

// The smallest number of agreeing rows out of `compared` that reaches 97 %, decided with
// the same floating-point ratio a direct `matches / compared >= 0.97` test would use.
int requiredMatches(int compared)
{
    const auto reaches = [compared](int m) { return static_cast<double>(m) / compared >= 0.97; };
    int m = static_cast<int>(0.97 * compared);
    while (m > 0 && reaches(m - 1))
        --m;
    while (!reaches(m))
        ++m;
    return m;
}

// The byte stride between samples of a row of `rowBytes` bytes: about 128 samples per
// row, always on a pixel boundary; rows of up to 1023 bytes sample every pixel.
std::size_t sampleStride(std::size_t rowBytes)
{
    return (std::max<std::size_t>(rowBytes, 1023) / 128) & ~std::size_t{3};
}

std::uint64_t mix(std::uint64_t h, unsigned channel)
{
    return (h ^ static_cast<std::uint64_t>(channel >> 2)) * fnvPrime;
}

// The same signature as `rowSignature` for a row of 0xAARRGGBB words.
std::uint64_t argbRowSignature(const std::uint32_t* row, std::size_t rowBytes)
{
    const std::size_t step = sampleStride(rowBytes) / 4;
    const std::size_t pixels = rowBytes / 4;
    std::uint64_t h = fnvOffsetBasis;
    for (std::size_t p = 0; p < pixels; p += step) {
        const std::uint32_t v = row[p];
        h = mix(mix(mix(h, (v >> 16) & 0xFF), (v >> 8) & 0xFF), v & 0xFF);
    }
    return h;
}

} // namespace

ScrollStitcher::ScrollStitcher(std::optional<Direction> direction) : m_direction(direction) {}

std::uint64_t ScrollStitcher::rowSignature(const std::uint8_t* row, std::size_t rowBytes)
{
    const std::size_t stride = sampleStride(rowBytes);
    std::uint64_t h = fnvOffsetBasis;
    for (std::size_t i = 0; i + 2 < rowBytes; i += stride)
        h = mix(mix(mix(h, row[i]), row[i + 1]), row[i + 2]);
    return h;
}

int ScrollStitcher::scrollShift(std::span<const std::uint64_t> previous, std::span<const std::uint64_t> current,
                                Direction direction)
{
    const int n = static_cast<int>(std::min(previous.size(), current.size()));
    if (n < 9)
        return 0;
    if (std::ranges::equal(previous, current))
        return 0;
    for (int k = 1; k <= n - 5; ++k) {
        const int compared = n - k;
        // Stop counting a shift as soon as it can no longer reach 97 %: the no-match case
        // then costs about one comparison per shift instead of n.
        const int allowedMisses = compared - requiredMatches(compared);
        int misses = 0;
        for (int i = 0; i < compared && misses <= allowedMisses; ++i) {
            const bool same =
                direction == Direction::down ? previous[i + k] == current[i] : previous[i] == current[i + k];
            misses += same ? 0 : 1;
        }
        if (misses <= allowedMisses)
            return k;
    }
    return 0;
}

int ScrollStitcher::shiftToward(Direction direction, const std::vector<std::uint64_t>& current) const
{
    // Compare with the held end where the new content would join: the bottom when
    // scrolling down, the top when scrolling up.
    const std::size_t m = std::min(m_signatures.size(), current.size());
    std::vector<std::uint64_t> held(m);
    switch (direction) {
    case Direction::down:
        std::copy(m_signatures.end() - static_cast<std::ptrdiff_t>(m), m_signatures.end(), held.begin());
        break;
    case Direction::up:
        std::copy(m_signatures.begin(), m_signatures.begin() + static_cast<std::ptrdiff_t>(m), held.begin());
        break;
    }
    return scrollShift(held, current, direction);
}

int ScrollStitcher::add(const QImage& frame)
{
    if (frame.isNull() || frame.width() <= 0 || frame.height() <= 0)
        return 0;
    if (m_width != 0 && frame.width() != m_width)
        return 0;
    if (isFull())
        return 0;

    // Frames whose colour bytes can be read as they are (the capture's own 32-bit
    // layouts among them) are signed in place, and only the rows kept are converted.
    // Opaque RGB32 and premultiplied ARGB32 hold the same colour values as the row
    // format, in another byte order.
    const QImage::Format format = frame.format();
    const bool rgbaOrder = format == QImage::Format_RGBA8888_Premultiplied || format == QImage::Format_RGBX8888;
    const bool argbWords = format == QImage::Format_ARGB32_Premultiplied || format == QImage::Format_RGB32;
    const bool converting = !rgbaOrder && !argbWords;
    const QImage pixels = converting ? frame.convertToFormat(QImage::Format_RGBA8888_Premultiplied) : frame;
    if (pixels.isNull())
        return 0;
    const int w = pixels.width();
    const int h = pixels.height();
    const std::size_t rowBytes = static_cast<std::size_t>(w) * 4;

    std::vector<std::uint64_t> signatures(static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y) {
        signatures[static_cast<std::size_t>(y)] =
            argbWords ? argbRowSignature(reinterpret_cast<const std::uint32_t*>(pixels.constScanLine(y)), rowBytes)
                      : rowSignature(pixels.constScanLine(y), rowBytes);
    }

    const int room = maximumHeight - height();
    int first = 0; // the first frame row kept
    int count = 0; // how many frame rows are kept
    bool atTop = false;
    if (m_rows.empty()) {
        count = std::min(h, room);
    } else {
        int k = 0;
        if (m_direction) {
            k = shiftToward(*m_direction, signatures);
        } else {
            k = shiftToward(Direction::down, signatures);
            if (k > 0) {
                m_direction = Direction::down;
            } else {
                k = shiftToward(Direction::up, signatures);
                if (k > 0)
                    m_direction = Direction::up;
            }
        }
        if (k < 1)
            return 0;
        count = std::min(k, room);
        switch (*m_direction) {
        case Direction::down:
            // The new rows are the frame's last k; when room is short, the ones next to
            // the held bottom come first.
            first = h - k;
            break;
        case Direction::up:
            first = k - count;
            atTop = true;
            break;
        }
    }

    // Own copy of the kept rows only: a frame may wrap memory its sender reuses, and
    // keeping whole frames for a few new rows each would hold far more than the image.
    const bool whole = first == 0 && count == h;
    QImage block;
    if (converting)
        block = whole ? pixels : pixels.copy(0, first, w, count);
    else
        block =
            (whole ? pixels : pixels.copy(0, first, w, count)).convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    if (format == QImage::Format_RGBA8888_Premultiplied)
        block.detach();
    if (block.isNull())
        return 0;
    if (m_rows.empty())
        m_width = w;
    m_blocks.push_back(std::move(block));
    const QImage& held = m_blocks.back();
    if (atTop) {
        for (int i = count - 1; i >= 0; --i) {
            m_rows.push_front(held.constScanLine(i));
            m_signatures.push_front(signatures[static_cast<std::size_t>(first + i)]);
        }
    } else {
        for (int i = 0; i < count; ++i) {
            m_rows.push_back(held.constScanLine(i));
            m_signatures.push_back(signatures[static_cast<std::size_t>(first + i)]);
        }
    }
    return count;
}

std::optional<QImage> ScrollStitcher::makeImage() const
{
    if (m_rows.empty())
        return std::nullopt;
    QImage image(m_width, height(), QImage::Format_RGBA8888_Premultiplied);
    if (image.isNull())
        return std::nullopt;
    const std::size_t rowBytes = static_cast<std::size_t>(m_width) * 4;
    for (int y = 0; y < height(); ++y)
        std::memcpy(image.scanLine(y), m_rows[static_cast<std::size_t>(y)], rowBytes);
    return image;
}

} // namespace vorlix
