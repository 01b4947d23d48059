#pragma once
// How a canvas sits in its scroll view: the canvas's frame (a rectangle of canvas
// points whose top-left corner is `boundsOrigin`) magnified into a viewport of widget
// pixels (device independent), scrolled on an axis where the magnified frame is larger
// than the viewport and centred on an axis where it is smaller. The scroll view keeps
// one of these; every conversion between viewport pixels and canvas points, every zoom
// and every fit goes through it.
//
// The canvas is laid on whole viewport pixels: canvas point (0, 0) lands on a whole
// pixel, so at magnification 1 every canvas point covers exactly one pixel.

#include "core/model/Geometry.h"

namespace vorlix {

struct ScrollGeometry {
    static constexpr double minimumMagnification = 0.05;
    static constexpr double maximumMagnification = 8.0;

    double magnification = 1;
    Point boundsOrigin;   // canvas point at the frame's top-left corner
    Size frameSize;       // canvas points
    Size viewportSize;    // pixels
    Point scrollPosition; // pixels, whole numbers within scrollRange()

    bool operator==(const ScrollGeometry&) const = default;

    static double clampedMagnification(double magnification);
    // The magnification that shows all of `content` in `viewport`, within the allowed
    // range: below 1 for content larger than the viewport, above 1 for smaller content.
    // 1 when either has no area.
    static double fitMagnification(const Rect& content, Size viewport);

    // The viewport's size in canvas points (what the clip view's bounds hold).
    Size clipSize() const;
    // How far each axis scrolls, in whole pixels; 0 on a centred axis.
    Size scrollRange() const;
    // Where canvas point (0, 0) lies in the viewport, in whole pixels.
    Point canvasOriginInViewport() const;

    Point toViewport(Point canvasPoint) const;
    Point toCanvas(Point viewportPoint) const;
    Rect toCanvas(const Rect& viewportRect) const;
    // The part of the canvas the viewport shows, in canvas points; on a centred axis it
    // reaches beyond the frame on both sides.
    Rect visibleRect() const;

    // Scrolls to a position, rounded to whole pixels and kept within the range.
    void scrollTo(Point position);
    // Scrolls so that the visible rectangle starts at `canvasPoint` as far as the range allows.
    void scrollVisibleOriginTo(Point canvasPoint);
    // Scrolls so that `canvasPoint` lies at `viewportPoint`, as far as the range allows.
    void place(Point canvasPoint, Point viewportPoint);
    // Sets the magnification (clamped) and scrolls so that `canvasPoint` stays where it
    // is in the viewport, as far as the scroll range allows.
    void zoom(double newMagnification, Point canvasPoint);
    // Keeps the scroll position within the range after the frame, viewport or magnification changed.
    void clampScroll() { scrollTo(scrollPosition); }
};

} // namespace vorlix
