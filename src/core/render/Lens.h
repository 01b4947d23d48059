#pragma once
// The lens: a magnified disc of the panel's image with a shadow, joined to the circle
// around its source by a thin connector.

#include "core/model/DocumentModel.h"
#include "core/render/ImageProviding.h"
#include "core/shapes/CanvasShape.h"

#include <QPainter>

namespace vorlix::Renderer {

void drawLens(const CanvasShape& shape, const Panel& panel, const ImageProviding& images, QPainter& painter);

} // namespace vorlix::Renderer
