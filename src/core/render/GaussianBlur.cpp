#include "core/render/GaussianBlur.h"

#include "core/render/LargeImage.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace vorlix {

namespace {

// Up to this sigma the sampled kernel (radius 3 sigma) is cheap and more faithful
// than the box approximation, which is coarse for narrow boxes.
constexpr double exactKernelLimit = 3.0;
// The radius of the sampled kernel (3 sigma) is at most this.
constexpr int largestKernelRadius = 9;
// Beyond a few thousand pixels every sigma flattens the picture the same way; the
// cap keeps box widths and sums well inside their integer ranges.
constexpr double largestSigma = 4096.0;
// Widest box whose sums fit 16 bits with a rounding error below half a level.
constexpr int narrowBoxLimit = 127;
// Fixed point of the sampled kernel's weights: 255 times one still fits 32 bits.
constexpr int kernelShift = 16;
constexpr std::uint32_t kernelOne = std::uint32_t{1} << kernelShift;

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

int kernelRadius(double sigma) { return std::max(1, static_cast<int>(std::ceil(3 * sigma))); }

// The sampled kernel's weights from the centre outwards (index k for the taps at
// distances +k and -k), in fixed point with `kernelShift` fraction bits. They sum to
// exactly one, so a uniform run keeps its value. Each outer weight is the step between
// rounded tail sums, so the rounding errors do not add up along the kernel: a blurred
// edge stays within half a level of the one with exact weights.
std::vector<std::uint32_t> kernelWeights(double sigma)
{
    const int radius = kernelRadius(sigma);
    std::vector<double> exact(static_cast<std::size_t>(radius) + 1);
    double total = 0;
    for (int k = 0; k <= radius; ++k) {
        exact[static_cast<std::size_t>(k)] = std::exp(-(k * k) / (2 * sigma * sigma));
        total += (k == 0 ? 1 : 2) * exact[static_cast<std::size_t>(k)];
    }
    std::vector<std::uint32_t> weights(exact.size());
    double tail = 0;
    std::uint32_t roundedTail = 0;
    for (int k = radius; k >= 1; --k) {
        tail += exact[static_cast<std::size_t>(k)] / total;
        const auto rounded = static_cast<std::uint32_t>(std::lround(tail * kernelOne));
        weights[static_cast<std::size_t>(k)] = rounded - roundedTail;
        roundedTail = rounded;
    }
    weights[0] = kernelOne - 2 * roundedTail;
    return weights;
}

// out[x] = the weighted sum of taps[0][x] ... taps[2 radius][x], for `length` bytes.
// With the radius fixed at compile time every tap of an output byte is summed in a
// register and the loop vectorises; the pair of taps at the same distance from the
// centre shares its weight.
template <int radius>
inline void sumTaps(const std::array<const std::uint8_t*, 2 * radius + 1>& taps, std::uint8_t* out, int length,
                    const std::array<std::uint32_t, radius + 1>& w)
{
    // The output never overlaps a tap.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC ivdep
#endif
    for (int x = 0; x < length; ++x) {
        std::uint32_t sum = kernelOne / 2 + w[0] * taps[radius][x];
        for (int k = 1; k <= radius; ++k)
            sum += w[static_cast<std::size_t>(k)] *
                   static_cast<std::uint32_t>(taps[static_cast<std::size_t>(radius - k)][x] +
                                              taps[static_cast<std::size_t>(radius + k)][x]);
        out[x] = static_cast<std::uint8_t>(sum >> kernelShift);
    }
}

// The sampled kernel over an image of `width` x `rows` pixels of `channels` bytes:
// down the columns from `src` into `between`, then along the rows into `dst`. Along a
// row the taps are the same row shifted by whole pixels, read from a copy padded with
// the border pixels, so no transposing is needed.
template <int radius>
VORLIX_VECTOR_CLONES void kernelBlur(Plane src, Plane between, Plane dst, int width, int rows, int channels,
                                     const std::vector<std::uint32_t>& weights)
{
    std::array<std::uint32_t, radius + 1> w{};
    std::copy_n(weights.begin(), radius + 1, w.begin());
    std::array<const std::uint8_t*, 2 * radius + 1> taps{};
    const int length = width * channels;

    for (int y = 0; y < rows; ++y) {
        for (int k = -radius; k <= radius; ++k)
            taps[static_cast<std::size_t>(k + radius)] = src.row(std::clamp(y + k, 0, rows - 1));
        sumTaps<radius>(taps, between.row(y), length, w);
    }

    const std::size_t pad = static_cast<std::size_t>(radius) * static_cast<std::size_t>(channels);
    std::vector<std::uint8_t> padded(static_cast<std::size_t>(length) + 2 * pad);
    for (int k = 0; k <= 2 * radius; ++k)
        taps[static_cast<std::size_t>(k)] =
            padded.data() + static_cast<std::size_t>(k) * static_cast<std::size_t>(channels);
    for (int y = 0; y < rows; ++y) {
        const std::uint8_t* row = between.row(y);
        for (std::size_t i = 0; i < pad; ++i) {
            padded[i] = row[i % static_cast<std::size_t>(channels)];
            padded[pad + static_cast<std::size_t>(length) + i] =
                row[static_cast<std::size_t>(length - channels) + i % static_cast<std::size_t>(channels)];
        }
        std::copy_n(row, length, padded.data() + pad);
        sumTaps<radius>(taps, dst.row(y), length, w);
    }
}

template <int... radii>
void kernelBlurWithRadius(std::integer_sequence<int, radii...>, Plane src, Plane between, Plane dst, int width,
                          int rows, int channels, double sigma)
{
    const std::vector<std::uint32_t> weights = kernelWeights(sigma);
    const int radius = static_cast<int>(weights.size()) - 1;
    ((radius == radii + 1 ? kernelBlur<radii + 1>(src, between, dst, width, rows, channels, weights) : void()), ...);
}

// Three box blurs down the columns of `src` (rows of `length` bytes) into `out`, using
// `spare` (a plane of the same shape, possibly `src` itself) for the steps between.
void boxBlurDown(Plane src, Plane out, Plane spare, int length, int rows, double sigma)
{
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
    QImage result = largeImage(w, h, image.format());
    if (result.isNull())
        return {};
    result.setDevicePixelRatio(image.devicePixelRatio());

    const Plane source{const_cast<std::uint8_t*>(image.constBits()), image.bytesPerLine()};
    const Plane target{result.bits(), result.bytesPerLine()};
    const std::size_t bytes = static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * channels;
    // Scratch planes, left uninitialised: every byte is written before it is read.
    const LargeBlock first = largeBlock(bytes);
    if (!first)
        return {};
    const Plane wide1{first.get(), static_cast<std::ptrdiff_t>(w) * channels};

    if (sigma <= exactKernelLimit) {
        // image -> first (down the columns) -> result (along the rows).
        kernelBlurWithRadius(std::make_integer_sequence<int, largestKernelRadius>(), source, wide1, target, w, h,
                             channels, sigma);
        return result;
    }

    // The result's own memory serves as the second scratch plane when its rows are
    // packed, as for every 32-bit image.
    LargeBlock ownSecond;
    std::uint8_t* second = result.bits();
    if (result.bytesPerLine() != static_cast<qsizetype>(w) * channels) {
        ownSecond = largeBlock(bytes);
        second = ownSecond.get();
        if (!second)
            return {};
    }
    const Plane wide2{second, static_cast<std::ptrdiff_t>(w) * channels};
    const Plane tall1{first.get(), static_cast<std::ptrdiff_t>(h) * channels};
    const Plane tall2{second, static_cast<std::ptrdiff_t>(h) * channels};

    // Down the columns: image -> first; turned: first -> second (h wide, w rows);
    // down again: second -> first; turned back: first -> result.
    boxBlurDown(source, wide1, wide2, w * channels, h, sigma);
    transpose<T>(wide1, tall2, w, h);
    boxBlurDown(tall2, tall1, tall2, h * channels, w, sigma);
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
