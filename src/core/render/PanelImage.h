#pragma once
// A panel's image as the canvas shows it: the full image or a reduced preview, drawn
// piece by piece (its visible segments) from content space onto the canvas.

#include "core/model/DocumentModel.h"
#include "core/render/ImageProviding.h"

#include <QImage>
#include <QPainter>
#include <QRectF>

#include <optional>

namespace vorlix::Renderer {

// Below this fraction of an image's density (image pixels per canvas point) the
// display draws a preview, sized this many times the pixels it needs.
inline constexpr double previewDensityThreshold = 0.7;
inline constexpr double previewOversize = 1.2;

// The panel's image pieces (visible segments) in its frame; a preview when
// `displayPixelsPerPoint` is low enough. Not clipped to the rounded frame.
void drawImage(const Panel& panel, const ImageProviding& images, QPainter& painter,
               std::optional<double> displayPixelsPerPoint = std::nullopt);
// The image drawImage draws: the full image, or a preview when `displayPixelsPerPoint`
// is low enough; null when the image is missing.
QImage displayedImage(const Panel& panel, const ImageProviding& images,
                      std::optional<double> displayPixelsPerPoint = std::nullopt);
// The pieces of `image` (the panel's full image, or a reduced copy of it) through the
// painter's current transform, content space onto the canvas.
void drawImagePieces(const Panel& panel, const QImage& image, QPainter& painter);

// The part of the panel's frame that its image covers with opaque pixels: inside the
// frame's rounded corners (`radius`), one device pixel clear of the image's antialiased
// edges, in whole device pixels of the painter. Nothing when the image has alpha.
std::optional<QRectF> opaqueImageArea(const Panel& panel, const QImage& image, double radius, const QPainter& painter);

} // namespace vorlix::Renderer
