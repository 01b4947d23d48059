#pragma once
// The exporter: a whole document drawn into one new bitmap at the export density of
// its options, and that bitmap encoded as PNG or JPEG. Image export, copy, printing,
// pinning, guide steps and every analysis of the finished picture get the document's
// pixels here.
//
// Bitmaps are ARGB32_Premultiplied (the raster engine's own order, which it draws
// into without converting every pixel) in sRGB. Colour handling `source` also renders in
// sRGB: the painter does not convert colours between spaces, so drawing into another
// space would only mislabel the pixels.
//
// Pixels beyond what the raster engine addresses safely in one pass (its fixed-point
// coordinates) are drawn in tiles into the one bitmap; exports too large to hold are
// refused with a reason rather than drawn wrong.
//
// Stateless: the document is drawn with no render cache, so nothing is shared with the
// canvas and exports may run on any thread (several at once), given an ImageProviding
// that is safe there (the ImageStore is).

#include "core/model/DocumentModel.h"
#include "core/model/ExportOptions.h"
#include "core/model/ExportSize.h"
#include "core/render/ImageProviding.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>
#include <optional>
#include <variant>

namespace vorlix {

namespace Exporter {

// The longest side and the most bytes an export bitmap may have.
inline constexpr std::int64_t maximumPixelSide = 1 << 18;
inline constexpr std::int64_t maximumBitmapBytes = std::int64_t(2048) << 20;
// The largest tile the renderer draws in one pass, in device pixels per side.
inline constexpr int tileSide = 16384;

enum class RenderFailure {
    emptyCanvas, // the canvas has no width or no height
    invalidSize, // the pixel size is not a finite, positive number
    tooLarge,    // above maximumPixelSide or maximumBitmapBytes
    outOfMemory, // the bitmap could not be allocated
};

// What the user is told, in Italian.
QString failureMessage(RenderFailure failure);

struct PixelSize {
    std::int64_t width = 0;
    std::int64_t height = 0;

    bool operator==(const PixelSize&) const = default;
};

// Bitmap pixels per canvas point for the options (the document's canvas bounds are
// measured here).
double pixelsPerPoint(const DocumentModel& document, const ExportOptions& options);

// The bitmap size of `bounds` at `density`: each side rounded half away from zero;
// nothing when a side is not finite or not at least one pixel.
std::optional<PixelSize> pixelSize(const Rect& bounds, double density);

// The whole document in a new bitmap, or why there is none.
std::variant<QImage, RenderFailure> render(const DocumentModel& document, const ImageProviding& images,
                                           const ExportOptions& options);
// The same, with nothing for every failure.
std::optional<QImage> renderImage(const DocumentModel& document, const ImageProviding& images,
                                  const ExportOptions& options);
// renderImage, encoded in the options' format with 72 x the export density as its dots
// per inch. Nothing when rendering or encoding fails.
std::optional<QByteArray> exportImage(const DocumentModel& document, const ImageProviding& images,
                                      const ExportOptions& options);

} // namespace Exporter

// The pixel size an export at this size choice has (sRGB PNG, no background override).
Exporter::PixelSize pixelSize(ExportSize size, const DocumentModel& document);

} // namespace vorlix
