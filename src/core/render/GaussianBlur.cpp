#include "core/render/GaussianBlur.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace vorlix {

namespace {

// Up to this sigma the sampled kernel (radius 3 sigma) is cheap and more faithful
// than the box approximation, which is coarse for narrow boxes.
constexpr double exactKernelLimit = 3.0;
// Beyond a few thousand pixels every sigma flattens the picture the same way; the
// cap keeps box widths and sums well inside their integer ranges.
constexpr double largestSigma = 4096.0;
// Widest box whose sums fit 16 bits with a rounding error below half a level.
constexpr int narrowBoxLimit = 127;

// The hot loops are built for the baseline and for AVX2, picked when loaded.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define VORLIX_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define VORLIX_VECTOR_CLONES
#endif

// A block of pixel rows: `rows` rows of `length` bytes, `stride` bytes apart.
struct Plane {
    std::uint8_t* data;
    std::ptrdiff_t stride;
    std::uint8_t* row(int y) const { return data + y * stride; }
};

// One blur along the columns. Every byte is an independent sample, so the inner
// loops run straight along a row and vectorise; the horizontal direction is
// handled by transposing. `Sum` holds a window's total: 16 bits (twice the lanes)
// suffice for boxes up to `narrowBoxLimit` wide.
template <typename Sum>
VORLIX_VECTOR_CLONES void boxPassDown(Plane src, Plane dst, int length, int rows, int width, Sum* acc)
{
    const int r = width / 2;
    const auto row = [&](int y) -> const std::uint8_t* { return src.row(std::clamp(y, 0, rows - 1)); };

    {
        const std::uint8_t* first = row(0);
        for (int x = 0; x < length; ++x)
            acc[x] = static_cast<Sum>(first[x] * (r + 1));
        for (int k = 1; k <= r; ++k) {
            const std::uint8_t* s = row(k);
            for (int x = 0; x < length; ++x)
                acc[x] = static_cast<Sum>(acc[x] + s[x]);
        }
    }
    if constexpr (sizeof(Sum) == 2) {
        // round(sum / width) as a 16-bit high-half multiplication: exact enough for
        // these widths that a uniform run keeps its value.
        const auto half = static_cast<std::uint16_t>(width / 2);
        const auto factor = static_cast<std::uint16_t>((65536 + width - 1) / width);
        for (int y = 0; y < rows; ++y) {
            std::uint8_t* __restrict out = dst.row(y);
            const std::uint8_t* __restrict add = row(y + r + 1);
            const std::uint8_t* __restrict sub = row(y - r);
            std::uint16_t* __restrict a = acc;
            for (int x = 0; x < length; ++x) {
                const auto rounded = static_cast<std::uint16_t>(a[x] + half);
                out[x] = static_cast<std::uint8_t>((static_cast<std::uint32_t>(rounded) * factor) >> 16);
                a[x] = static_cast<std::uint16_t>(a[x] + add[x] - sub[x]);
            }
        }
    } else {
        const float scale = 1.0f / static_cast<float>(width);
        for (int y = 0; y < rows; ++y) {
            std::uint8_t* __restrict out = dst.row(y);
            const std::uint8_t* __restrict add = row(y + r + 1);
            const std::uint8_t* __restrict sub = row(y - r);
            std::uint32_t* __restrict a = acc;
            for (int x = 0; x < length; ++x) {
                out[x] = static_cast<std::uint8_t>(static_cast<float>(a[x]) * scale + 0.5f);
                a[x] += static_cast<std::uint32_t>(add[x]) - static_cast<std::uint32_t>(sub[x]);
            }
        }
    }
}

VORLIX_VECTOR_CLONES void kernelPassDown(Plane src, Plane dst, int length, int rows, double sigma)
{
    const int radius = std::max(1, static_cast<int>(std::ceil(3 * sigma)));
    std::vector<float> weights(static_cast<std::size_t>(2 * radius + 1));
    double total = 0;
    for (int k = -radius; k <= radius; ++k) {
        const double w = std::exp(-(k * k) / (2 * sigma * sigma));
        weights[static_cast<std::size_t>(k + radius)] = static_cast<float>(w);
        total += w;
    }
    for (float& w : weights)
        w = static_cast<float>(w / total);

    std::vector<float> acc(static_cast<std::size_t>(length));
    for (int y = 0; y < rows; ++y) {
        float* __restrict a = acc.data();
        std::fill(a, a + length, 0.0f);
        for (int k = -radius; k <= radius; ++k) {
            const std::uint8_t* __restrict s = src.row(std::clamp(y + k, 0, rows - 1));
            const float w = weights[static_cast<std::size_t>(k + radius)];
            for (int x = 0; x < length; ++x)
                a[x] += w * static_cast<float>(s[x]);
        }
        std::uint8_t* __restrict out = dst.row(y);
        for (int x = 0; x < length; ++x)
            out[x] = static_cast<std::uint8_t>(std::min(a[x] + 0.5f, 255.0f));
    }
}

// Blurs `src` (rows of `length` bytes) along its columns into `out`, using `spare`
// (a plane of the same shape, possibly `src` itself) for the step between.
void blurDown(Plane src, Plane out, Plane spare, int length, int rows, double sigma)
{
    if (sigma <= exactKernelLimit) {
        kernelPassDown(src, out, length, rows, sigma);
        return;
    }
    const std::array<int, 3> widths = boxBlurWidths(sigma);
    // src -> out -> spare -> out: `spare` is written only after `src` has been read
    // in full, so the two may be the same plane.
    const auto passes = [&](auto* acc) {
        boxPassDown(src, out, length, rows, widths[0], acc);
        boxPassDown(out, spare, length, rows, widths[1], acc);
        boxPassDown(spare, out, length, rows, widths[2], acc);
    };
    if (widths[0] >= 3 && widths[2] <= narrowBoxLimit) {
        std::vector<std::uint16_t> acc(static_cast<std::size_t>(length));
        passes(acc.data());
    } else {
        std::vector<std::uint32_t> acc(static_cast<std::size_t>(length));
        passes(acc.data());
    }
}

// dst (width rows of height elements) = src (height rows of width elements) turned
// over its diagonal, in cache-sized tiles.
template <typename T>
void transpose(Plane src, Plane dst, int width, int height)
{
    constexpr int tile = 32;
    for (int y0 = 0; y0 < height; y0 += tile) {
        const int y1 = std::min(y0 + tile, height);
        for (int x0 = 0; x0 < width; x0 += tile) {
            const int x1 = std::min(x0 + tile, width);
            for (int x = x0; x < x1; ++x) {
                T* d = reinterpret_cast<T*>(dst.row(x));
                for (int y = y0; y < y1; ++y)
                    d[y] = reinterpret_cast<const T*>(src.row(y))[x];
            }
        }
    }
}

template <typename T>
QImage blurWith(const QImage& image, double sigma)
{
    const int w = image.width();
    const int h = image.height();
    constexpr int channels = sizeof(T);
    QImage result(w, h, image.format());
    if (result.isNull())
        return {};
    result.setDevicePixelRatio(image.devicePixelRatio());

    // Two scratch planes big enough for either orientation, left uninitialised
    // (every byte is written before it is read). The result's own memory serves as
    // the second one when its rows are packed, as for every 32-bit image.
    const std::size_t bytes = static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * channels;
    const std::unique_ptr<std::uint8_t[]> first(new std::uint8_t[bytes]);
    std::unique_ptr<std::uint8_t[]> ownSecond;
    std::uint8_t* second = result.bits();
    if (result.bytesPerLine() != static_cast<qsizetype>(w) * channels) {
        ownSecond.reset(new std::uint8_t[bytes]);
        second = ownSecond.get();
    }
    const Plane source{const_cast<std::uint8_t*>(image.constBits()), image.bytesPerLine()};
    const Plane target{result.bits(), result.bytesPerLine()};
    const Plane wide1{first.get(), static_cast<std::ptrdiff_t>(w) * channels};
    const Plane wide2{second, static_cast<std::ptrdiff_t>(w) * channels};
    const Plane tall1{first.get(), static_cast<std::ptrdiff_t>(h) * channels};
    const Plane tall2{second, static_cast<std::ptrdiff_t>(h) * channels};

    // Down the columns: image -> first; turned: first -> second (h wide, w rows);
    // down again: second -> first; turned back: first -> result.
    blurDown(source, wide1, wide2, w * channels, h, sigma);
    transpose<T>(wide1, tall2, w, h);
    blurDown(tall2, tall1, tall2, h * channels, w, sigma);
    transpose<T>(tall1, target, h, w);
    return result;
}

} // namespace

std::array<int, 3> boxBlurWidths(double sigma)
{
    // Three boxes of widths wl or wu = wl + 2, as many of each as brings the summed
    // variance (w^2 - 1) / 12 closest to sigma^2.
    constexpr int n = 3;
    const double ideal = std::sqrt(12 * sigma * sigma / n + 1);
    int wl = static_cast<int>(std::floor(ideal));
    if (wl % 2 == 0)
        --wl;
    wl = std::max(wl, 1);
    const int wu = wl + 2;
    const double m = std::round((12 * sigma * sigma - n * wl * wl - 4.0 * n * wl - 3.0 * n) / (-4.0 * wl - 4));
    std::array<int, 3> widths{};
    for (int i = 0; i < n; ++i)
        widths[static_cast<std::size_t>(i)] = i < m ? wl : wu;
    return widths;
}

QImage gaussianBlurred(const QImage& image, double sigma)
{
    if (image.isNull())
        return {};
    if (!(sigma >= 0.1))
        return image;
    sigma = std::min(sigma, largestSigma);
    switch (image.format()) {
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGBA8888_Premultiplied:
    case QImage::Format_RGB32:
    case QImage::Format_RGBX8888:
        return blurWith<std::uint32_t>(image, sigma);
    case QImage::Format_Alpha8:
    case QImage::Format_Grayscale8:
        return blurWith<std::uint8_t>(image, sigma);
    default:
        return blurWith<std::uint32_t>(image.convertToFormat(QImage::Format_RGBA8888_Premultiplied), sigma);
    }
}

} // namespace vorlix
