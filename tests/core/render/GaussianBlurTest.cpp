#include "core/render/GaussianBlur.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

using namespace vorlix;

namespace {

// An opaque image, black left of column `edge`, white from it on.
QImage stepImage(int width, int height, int edge)
{
    QImage image(width, height, QImage::Format_RGBA8888_Premultiplied);
    image.fill(Qt::black);
    for (int y = 0; y < height; ++y)
        for (int x = edge; x < width; ++x)
            image.setPixel(x, y, 0xFFFFFFFF);
    return image;
}

} // namespace

TEST(GaussianBlur, UniformImagesStayUniformToTheEdge)
{
    for (const double sigma : {0.5, 1.0, 3.0, 3.5, 8.0, 40.0, 200.0}) {
        SCOPED_TRACE(sigma);
        QImage colour(37, 23, QImage::Format_ARGB32_Premultiplied);
        colour.fill(QColor(200, 100, 30, 255));
        const QImage blurred = gaussianBlurred(colour, sigma);
        ASSERT_EQ(blurred.size(), colour.size());
        ASSERT_EQ(blurred.format(), colour.format());
        EXPECT_EQ(blurred, colour);

        QImage mask(13, 29, QImage::Format_Alpha8);
        mask.fill(Qt::transparent);
        for (int y = 0; y < mask.height(); ++y)
            std::fill_n(mask.scanLine(y), mask.width(), std::uint8_t{77});
        EXPECT_EQ(gaussianBlurred(mask, sigma), mask);
    }
}

TEST(GaussianBlur, StepEdgeFollowsTheGaussianProfile)
{
    // A blurred step is the Gaussian's cumulative distribution across the edge;
    // both the exact kernel and the three-box approximation must stay close to it,
    // and rows must not leak into one another.
    for (const double sigma : {1.0, 2.5, 6.0, 15.0, 40.0}) {
        SCOPED_TRACE(sigma);
        const int edge = 200;
        const QImage blurred = gaussianBlurred(stepImage(400, 5, edge), sigma);
        for (int x = 0; x < 400; ++x) {
            const double expected = 255 * 0.5 * std::erfc(-(x + 0.5 - edge) / (sigma * std::sqrt(2.0)));
            const QRgb p = blurred.pixel(x, 2);
            ASSERT_NEAR(qRed(p), expected, 6) << "x " << x;
            ASSERT_EQ(p, blurred.pixel(x, 0)) << "x " << x;
            ASSERT_EQ(qAlpha(p), 255);
        }
    }
}

TEST(GaussianBlur, SampledKernelMatchesTheExactConvolution)
{
    // Noise blurred with the sampled kernel, both directions and all four borders,
    // against a convolution in doubles with clamped edges.
    const int w = 23;
    const int h = 17;
    QImage mask(w, h, QImage::Format_Alpha8);
    std::uint32_t seed = 7;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            seed = seed * 1664525u + 1013904223u;
            mask.scanLine(y)[x] = static_cast<std::uint8_t>(seed >> 24);
        }
    for (const double sigma : {0.4, 1.0, 1.7, 3.0}) {
        SCOPED_TRACE(sigma);
        const int radius = static_cast<int>(std::ceil(3 * sigma));
        std::vector<double> kernel;
        double total = 0;
        for (int k = -radius; k <= radius; ++k)
            total += kernel.emplace_back(std::exp(-(k * k) / (2 * sigma * sigma)));
        const auto at = [&](int x, int y) {
            return double(mask.constScanLine(std::clamp(y, 0, h - 1))[std::clamp(x, 0, w - 1)]);
        };
        const QImage blurred = gaussianBlurred(mask, sigma);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                double sum = 0;
                for (int j = -radius; j <= radius; ++j)
                    for (int i = -radius; i <= radius; ++i)
                        sum += kernel[std::size_t(j + radius)] * kernel[std::size_t(i + radius)] * at(x + i, y + j);
                ASSERT_NEAR(blurred.constScanLine(y)[x], sum / (total * total), 1.0) << x << ", " << y;
            }
    }
}

TEST(GaussianBlur, PremultipliedColoursNeverExceedAlpha)
{
    // Opaque red beside transparency: the colour fades exactly with the alpha.
    QImage image(60, 60, QImage::Format_RGBA8888_Premultiplied);
    image.fill(Qt::transparent);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 30; ++x)
            image.setPixel(x, y, qRgba(255, 0, 0, 255));
    for (const double sigma : {2.0, 9.0}) {
        const QImage blurred = gaussianBlurred(image, sigma);
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 60; ++x) {
                const QRgb p = blurred.pixel(x, y);
                ASSERT_LE(qRed(p), qAlpha(p));
                ASSERT_EQ(qGreen(p), 0);
            }
        EXPECT_GT(qAlpha(blurred.pixel(31, 30)), 0);
        EXPECT_LT(qAlpha(blurred.pixel(29, 30)), 255);
    }
}

TEST(GaussianBlur, BoxWidthsMatchTheGaussianVariance)
{
    for (const double sigma : {3.5, 5.0, 8.0, 12.3, 40.0, 100.0}) {
        SCOPED_TRACE(sigma);
        double variance = 0;
        for (const int w : boxBlurWidths(sigma)) {
            EXPECT_EQ(w % 2, 1);
            variance += (w * w - 1) / 12.0;
        }
        EXPECT_NEAR(std::sqrt(variance), sigma, 0.08 * sigma);
    }
}

TEST(GaussianBlur, TinySigmaAndNullImagesPassThrough)
{
    const QImage step = stepImage(8, 2, 4);
    EXPECT_EQ(gaussianBlurred(step, 0.0), step);
    EXPECT_EQ(gaussianBlurred(step, std::nan("")), step);
    EXPECT_TRUE(gaussianBlurred(QImage(), 5).isNull());
}
