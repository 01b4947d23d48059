#include "core/analysis/CutOut.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <new>

namespace vorlix::CutOut {

namespace {

// Label of a pixel no fill has reached. Removed pixels hold the packed reference colour
// (red x 65536 + green x 256 + blue) of the fill that reached them.
constexpr std::int32_t kept = -1;

using Channels = std::array<double, 3>;

// The working data of one removal: source colours (R, G, B and an unused fourth byte per
// pixel, rows of 4 x width bytes, flattened onto black) and one label per pixel.
class Removal {
public:
    Removal(const QImage& source, int threshold)
        : m_bits(source.constBits()),
          m_width(source.width()),
          m_height(source.height()),
          m_threshold(threshold),
          m_labels(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height), kept)
    {
        m_stack.reserve(2 * (static_cast<std::size_t>(m_width) + static_cast<std::size_t>(m_height)));
    }

    void removeFromBorder()
    {
        for (int x = 0; x < m_width; ++x) {
            seed(index(x, 0));
            seed(index(x, m_height - 1));
        }
        for (int y = 0; y < m_height; ++y) {
            seed(index(0, y));
            seed(index(m_width - 1, y));
        }
        spread();
    }

    void apply(const Hole& hole)
    {
        const double x = std::trunc(hole.point.x);
        const double y = std::trunc(hole.point.y);
        // Also false for NaN: a point that is not a position in the image is never an index.
        if (!(x >= 0 && x < m_width && y >= 0 && y < m_height))
            return;
        const std::int32_t i = index(static_cast<int>(x), static_cast<int>(y));
        if (!hole.everywhere) {
            seed(i);
            spread();
            return;
        }
        const std::int32_t colour = packedColour(i);
        const std::size_t count = m_labels.size();
        for (std::size_t j = 0; j < count; ++j) {
            if (m_labels[j] == kept && similar(colour, pixel(j)))
                m_labels[j] = colour;
        }
    }

    std::optional<Result> result() const
    {
        // Bounding box of the kept pixels.
        int minX = m_width, minY = m_height, maxX = -1, maxY = -1;
        for (int y = 0; y < m_height; ++y) {
            const std::int32_t* row = &m_labels[static_cast<std::size_t>(index(0, y))];
            int first = -1, last = -1;
            for (int x = 0; x < m_width; ++x) {
                if (row[x] == kept) {
                    if (first < 0)
                        first = x;
                    last = x;
                }
            }
            if (first < 0)
                continue;
            minX = std::min(minX, first);
            maxX = std::max(maxX, last);
            minY = std::min(minY, y);
            maxY = y;
        }
        if (maxX < 0)
            return std::nullopt;

        const int bw = maxX - minX + 1;
        const int bh = maxY - minY + 1;
        QImage image(bw, bh, QImage::Format_RGBA8888_Premultiplied);
        if (image.isNull())
            return std::nullopt;
        image.fill(Qt::transparent);
        for (int y = minY; y <= maxY; ++y) {
            std::uint8_t* out = image.scanLine(y - minY);
            for (int x = minX; x <= maxX; ++x) {
                const std::int32_t i = index(x, y);
                if (m_labels[static_cast<std::size_t>(i)] == kept)
                    writePixel(out + 4 * static_cast<std::size_t>(x - minX), x, y, i);
            }
        }
        return Result{image, Rect(minX, minY, bw, bh)};
    }

private:
    std::int32_t index(int x, int y) const { return y * m_width + x; }

    const std::uint8_t* pixel(std::size_t i) const { return m_bits + 4 * i; }

    std::int32_t packedColour(std::int32_t i) const
    {
        const std::uint8_t* p = pixel(static_cast<std::size_t>(i));
        return (p[0] << 16) | (p[1] << 8) | p[2];
    }

    bool similar(std::int32_t reference, const std::uint8_t* p) const
    {
        const int dr = p[0] - (reference >> 16);
        const int dg = p[1] - ((reference >> 8) & 0xFF);
        const int db = p[2] - (reference & 0xFF);
        return dr * dr + dg * dg + db * db <= m_threshold;
    }

    // A kept pixel becomes the start of a fill with its own colour as reference.
    void seed(std::int32_t i)
    {
        std::int32_t& label = m_labels[static_cast<std::size_t>(i)];
        if (label != kept)
            return;
        label = packedColour(i);
        m_stack.push_back(i);
    }

    // Depth-first fill: each neighbour is compared with the reference colour of the fill,
    // never with the pixel it was reached from, so a fill cannot creep along a gradient.
    void spread()
    {
        const auto width = static_cast<std::uint32_t>(m_width);
        const auto lastColumn = width - 1;
        const auto lastRow = static_cast<std::uint32_t>(m_height) - 1;
        while (!m_stack.empty()) {
            const std::int32_t i = m_stack.back();
            m_stack.pop_back();
            const std::int32_t reference = m_labels[static_cast<std::size_t>(i)];
            const auto u = static_cast<std::uint32_t>(i);
            const std::uint32_t x = u % width;
            const std::uint32_t y = u / width;
            // The inner step of the flood, forced inline: as a call it costs a third of the time.
            const auto visit = [&](std::int32_t j) __attribute__((always_inline))
            {
                std::int32_t& label = m_labels[static_cast<std::size_t>(j)];
                if (label == kept && similar(reference, pixel(static_cast<std::size_t>(j)))) {
                    label = reference;
                    m_stack.push_back(j);
                }
            };
            if (x > 0)
                visit(i - 1);
            if (x < lastColumn)
                visit(i + 1);
            if (y > 0)
                visit(i - m_width);
            if (y < lastRow)
                visit(i + m_width);
        }
    }

    bool isRemoved(int x, int y) const { return m_labels[static_cast<std::size_t>(index(x, y))] != kept; }

    bool touchesRemoved(int x, int y) const
    {
        for (int ny = std::max(y - 1, 0); ny <= std::min(y + 1, m_height - 1); ++ny) {
            for (int nx = std::max(x - 1, 0); nx <= std::min(x + 1, m_width - 1); ++nx) {
                if ((nx != x || ny != y) && isRemoved(nx, ny))
                    return true;
            }
        }
        return false;
    }

    static Channels channelsOf(std::int32_t packed)
    {
        return {double(packed >> 16), double((packed >> 8) & 0xFF), double(packed & 0xFF)};
    }

    Channels sourceChannels(std::int32_t i) const { return channelsOf(packedColour(i)); }

    struct Estimate {
        Channels outside; // background colour next to the pixel
        Channels inside;  // object colour next to the pixel
    };

    // Background and object colours around a kept pixel; nothing when no neighbour was
    // removed (the pixel is not on the edge).
    std::optional<Estimate> edge(int x, int y) const
    {
        if (!touchesRemoved(x, y))
            return std::nullopt;
        Channels outside{}, inside{};
        int outsideCount = 0, insideCount = 0;
        std::array<std::int32_t, 8> edgeNeighbours{};
        int edgeCount = 0;
        for (int ny = std::max(y - 1, 0); ny <= std::min(y + 1, m_height - 1); ++ny) {
            for (int nx = std::max(x - 1, 0); nx <= std::min(x + 1, m_width - 1); ++nx) {
                if (nx == x && ny == y)
                    continue;
                const std::int32_t j = index(nx, ny);
                const std::int32_t label = m_labels[static_cast<std::size_t>(j)];
                if (label != kept) {
                    const Channels c = channelsOf(label);
                    for (int k = 0; k < 3; ++k)
                        outside[k] += c[k];
                    ++outsideCount;
                } else if (touchesRemoved(nx, ny)) {
                    edgeNeighbours[static_cast<std::size_t>(edgeCount++)] = j;
                } else {
                    const Channels c = sourceChannels(j);
                    for (int k = 0; k < 3; ++k)
                        inside[k] += c[k];
                    ++insideCount;
                }
            }
        }
        for (double& v : outside)
            v /= outsideCount;
        if (insideCount > 0) {
            for (double& v : inside)
                v /= insideCount;
        } else if (edgeCount > 0) {
            // The edge neighbour most unlike the background stands for the object.
            double farthest = -1;
            for (int e = 0; e < edgeCount; ++e) {
                const Channels c = sourceChannels(edgeNeighbours[static_cast<std::size_t>(e)]);
                double distance = 0;
                for (int k = 0; k < 3; ++k)
                    distance += (c[k] - outside[k]) * (c[k] - outside[k]);
                if (distance > farthest) {
                    farthest = distance;
                    inside = c;
                }
            }
        }
        return Estimate{outside, inside};
    }

    // One kept pixel of the result, premultiplied: fully opaque inside the object, a
    // partial alpha with the background un-mixed on its edge.
    void writePixel(std::uint8_t* out, int x, int y, std::int32_t i) const
    {
        const Channels c = sourceChannels(i);
        double alpha = 1;
        Channels colour = c;
        if (const auto estimate = edge(x, y)) {
            const Channels& o = estimate->outside;
            const Channels& f = estimate->inside;
            double dd = 0, dot = 0;
            for (int k = 0; k < 3; ++k) {
                const double d = f[k] - o[k];
                dd += d * d;
                dot += (c[k] - o[k]) * d;
            }
            // Estimates closer than 4 levels say nothing about mixing.
            if (dd >= 16) {
                const double a = dot / dd; // position of c on the line from background to object
                if (a <= 0)
                    return;
                if (a < 0.97) {
                    alpha = a;
                    for (int k = 0; k < 3; ++k)
                        colour[k] = a > 0.08 ? std::clamp((c[k] - o[k] * (1 - a)) / a, 0.0, 255.0) : f[k];
                }
            }
        }
        for (int k = 0; k < 3; ++k)
            out[k] = static_cast<std::uint8_t>(alpha * colour[k]);
        out[3] = static_cast<std::uint8_t>(alpha * 255);
    }

    const std::uint8_t* m_bits; // the source image's pixels, which outlive the removal
    int m_width;
    int m_height;
    int m_threshold;
    std::vector<std::int32_t> m_labels;
    std::vector<std::int32_t> m_stack;
};

} // namespace

int squaredThreshold(double sensitivity)
{
    if (!(sensitivity > 0))
        return 0;
    const double t = std::min(sensitivity, 1.0) * 220;
    return static_cast<int>(t * t);
}

std::optional<Result> removeBackground(const QImage& image, double sensitivity, const std::vector<Hole>& holes)
{
    const int w = image.width();
    const int h = image.height();
    if (w <= 2 || h <= 2)
        return std::nullopt;
    if (static_cast<std::size_t>(w) * static_cast<std::size_t>(h) > maximumPixelCount)
        return std::nullopt;
    // Premultiplied colour is the image drawn onto black; the alpha byte is never read.
    const QImage source = image.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    if (source.isNull() || source.bytesPerLine() != 4 * static_cast<qsizetype>(w))
        return std::nullopt;
    try {
        Removal removal(source, squaredThreshold(sensitivity));
        removal.removeFromBorder();
        for (const Hole& hole : holes)
            removal.apply(hole);
        return removal.result();
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

} // namespace vorlix::CutOut

std::size_t std::hash<vorlix::CutOut::Hole>::operator()(const vorlix::CutOut::Hole& hole) const noexcept
{
    // +0 and -0 are equal points and must hash alike.
    const auto part = [](double v) { return std::hash<double>{}(v == 0 ? 0.0 : v); };
    std::size_t h = part(hole.point.x);
    h ^= part(hole.point.y) + 0x9E3779B97F4A7C15ULL + (h << 6) + (h >> 2);
    h ^= std::hash<bool>{}(hole.everywhere) + 0x9E3779B97F4A7C15ULL + (h << 6) + (h >> 2);
    return h;
}
