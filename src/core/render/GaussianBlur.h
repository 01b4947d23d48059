#pragma once
// Gaussian blur of bitmaps with clamped edges: the pixels beyond each border are
// copies of the border pixels, so the borders of the result do not fade.
//
// Works on premultiplied (or opaque) 32-bit images (every channel, alpha included, is blurred
// alike, so the byte order does not matter) and on 8-bit single-channel images
// (alpha masks). Sigma is in the image's pixels. Small sigmas use an exact sampled
// kernel; larger ones three successive box blurs whose widths match the Gaussian's
// variance, so the cost does not grow with sigma. Single-threaded, no shared state.

#include <QImage>

#include <array>

namespace vorlix {

// The blurred copy of `image`, of the same size and format. Formats other than
// the premultiplied 32-bit ones, Alpha8 and Grayscale8 are converted to
// RGBA8888_Premultiplied first. A sigma below 0.1 (or not a number) returns the
// image unchanged; a null image gives a null image.
QImage gaussianBlurred(const QImage& image, double sigma);

// The widths (odd, at least 1) of three box blurs that together approximate a
// Gaussian of the given sigma.
std::array<int, 3> boxBlurWidths(double sigma);

} // namespace vorlix
