#pragma once
// The pixels of one canvas rectangle exactly as a white native export shows them, drawn
// by rendering only that rectangle, so the cost follows the region and not the
// document. Used by the cut-out, text recognition of a region and highlighter alignment.

#include "core/model/DocumentModel.h"
#include "core/render/ImageProviding.h"

#include <QImage>

#include <optional>

namespace vorlix {

struct AlignedRegion {
    QImage image;          // ARGB32_Premultiplied (as exports), sRGB, on opaque white
    Rect rect;             // the canvas rectangle the image covers exactly
    double pixelsPerPoint; // image pixels per canvas point along x
};

// The rectangle snapped to whole export pixels and clipped to the canvas; nothing when
// it misses the canvas or is under a point wide or high.
std::optional<AlignedRegion> renderAlignedRegion(const DocumentModel& doc, const Rect& rect,
                                                 const ImageProviding& images);
std::optional<QImage> renderRegion(const DocumentModel& doc, const Rect& rect, const ImageProviding& images);

} // namespace vorlix
