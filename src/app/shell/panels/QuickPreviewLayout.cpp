#include "app/shell/panels/QuickPreviewLayout.h"

#include <algorithm>
#include <cmath>

namespace vorlix {

QuickPreviewLayout QuickPreviewLayout::forShot(int pixelWidth, int pixelHeight, double pixelsPerPoint)
{
    const double scale = std::isfinite(pixelsPerPoint) && pixelsPerPoint > 0 ? pixelsPerPoint : 1.0;
    const double w = std::max(pixelWidth, 0) / scale;
    const double h = std::max(pixelHeight, 0) / scale;
    // An empty shot has nothing to scale: it keeps the smallest thumbnail.
    const double s = w > 0 && h > 0 ? std::min({maximumThumbnailWidth / w, maximumThumbnailHeight / h, 1.0}) : 1.0;

    QuickPreviewLayout layout;
    layout.shot = {w, h};
    layout.thumbnail = {std::max(w * s, minimumThumbnailWidth), std::max(h * s, minimumThumbnailHeight)};
    layout.panel = {std::max(layout.thumbnail.width, minimumContentWidth) + 2 * margin,
                    layout.thumbnail.height + rowsBelowThumbnail};
    return layout;
}

Rect QuickPreviewLayout::pictureFrame() const
{
    if (shot.width <= 0 || shot.height <= 0)
        return Rect(Point{thumbnail.width / 2, thumbnail.height / 2}, Size{0, 0});
    const double fit = std::min(thumbnail.width / shot.width, thumbnail.height / shot.height);
    const Size picture{shot.width * fit, shot.height * fit};
    return Rect(Point{(thumbnail.width - picture.width) / 2, (thumbnail.height - picture.height) / 2}, picture);
}

Point QuickPreviewLayout::origin(const Rect& available) const
{
    return {available.origin.x + available.size.width - panel.width - screenInset,
            available.origin.y + available.size.height - panel.height - screenInset};
}

} // namespace vorlix
