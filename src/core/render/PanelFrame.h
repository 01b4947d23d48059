#pragma once
// A panel's rounded frame and its shadow, in canvas points.

#include "core/model/DocumentModel.h"
#include "core/model/Geometry.h"
#include "core/render/Shadow.h"

#include <QPainter>
#include <QPainterPath>
#include <QRectF>

#include <optional>

namespace vorlix::Renderer {

inline const Shadow panelShadowLook{{0, 6}, 22, {0, 0, 0, 0.35}};

// A rectangle with corners of `radius` (square when 0), winding fill.
QPainterPath roundedRectPath(const Rect& rect, double radius);

// The corner radius of a panel's frame, at most half its shorter side.
double panelRadius(const DocumentModel& document, const Panel& panel);

// How far the panel shadow reaches past the frame: its blur (3 sigma, sigma = blur / 2)
// and its offset.
double panelShadowReach();

// The panel's shadow, then its white frame, leaving out `covered`, where the panel's
// opaque image will hide the frame.
void drawPanelShadow(const Rect& panelFrame, double radius, const QPainterPath& framePath,
                     const std::optional<QRectF>& covered, QPainter& painter);

} // namespace vorlix::Renderer
