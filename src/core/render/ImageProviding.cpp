#include "core/render/ImageProviding.h"

namespace vorlix {

ImageProviding::~ImageProviding() = default;

QImage ImageProviding::previewImage(const QUuid& id, int /*maxPixelSize*/) const { return image(id); }

} // namespace vorlix
