#include "core/document/PanelRecrop.h"

#include "core/model/PanelGeometry.h"

#include <cmath>

namespace vorlix {

namespace {

bool isFinite(const Rect& r)
{
    return std::isfinite(r.origin.x) && std::isfinite(r.origin.y) && std::isfinite(r.size.width) &&
           std::isfinite(r.size.height);
}

std::optional<Rect> normalizedCrop(const Panel& panel, const std::optional<Rect>& crop)
{
    // A non-finite crop would be written as null and make the document unreadable.
    if (!crop || crop->isNull() || !isFinite(*crop))
        return std::nullopt;
    const Rect integral = crop->standardized().integral();
    if (integral == imageRect(panel))
        return std::nullopt;
    // A crop the geometry ignores (empty, or beside the image) must not clip the
    // annotations either: it is no crop at all.
    const Rect common = integral.intersection(imageRect(panel));
    if (integral.isEmpty() || common.isNull() || common.isEmpty())
        return std::nullopt;
    return integral;
}

} // namespace

Panel recropped(const Panel& panel, std::optional<Rect> crop)
{
    Panel next = panel;
    next.crop = normalizedCrop(panel, crop);
    for (Annotation& annotation : next.annotations)
        annotation.cropClip = next.crop;

    const Point centre{panel.pixelSize.width / 2, panel.pixelSize.height / 2};
    const Point before = canvasPointFromImage(panel, centre);
    const Point after = canvasPointFromImage(next, centre);
    next.origin = {panel.origin.x + (before.x - after.x), panel.origin.y + (before.y - after.y)};
    return next;
}

} // namespace vorlix
