#pragma once
// The marks drawn along the seams where removed strips were closed up.

#include "core/model/DocumentModel.h"
#include "core/model/Geometry.h"

#include <QPainter>

#include <vector>

namespace vorlix::Renderer {

// The marks where removed strips were closed up, clipped to the panel's frame: each
// seam's polyline stroked white 4 points wide, then dark grey 1.6 points wide.
void drawStripSeams(const Panel& panel, CutMark mark, QPainter& painter);
// A zigzag along a->b: a point every 5 points, alternately 3 points to each side, then b.
// Empty when a and b coincide.
std::vector<Point> zigzagLine(Point a, Point b);
// The lightning mark along a->b: round(length / 400) (at least 1) Z-shaped breaks spread
// evenly, each up to 18 points wide and 10 high. Empty when a and b coincide.
std::vector<Point> breakLine(Point a, Point b);

} // namespace vorlix::Renderer
