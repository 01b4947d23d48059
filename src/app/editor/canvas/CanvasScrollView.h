#pragma once
// The scroll view of a canvas: a scroll area that shows a frame of canvas points at a
// magnification, scrolls it where it is larger than the viewport and centres it where
// it is smaller. It owns the ScrollGeometry (magnification, frame, bounds origin,
// scroll position), keeps the scroll bars in step with it, and paints the viewport by
// handing a painter already mapped to canvas points to `paintCanvas`.
//
// Canvas points, y downwards; viewport positions in widget pixels.

#include "app/editor/canvas/ScrollGeometry.h"

#include <QAbstractScrollArea>

#include <optional>

class QPainter;

namespace vorlix {

class CanvasScrollView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit CanvasScrollView(QWidget* parent = nullptr);
    ~CanvasScrollView() override;

    const ScrollGeometry& scrollGeometry() const { return m_geometry; }
    double magnification() const { return m_geometry.magnification; }
    // The part of the canvas the viewport shows.
    Rect visibleRect() const { return m_geometry.visibleRect(); }
    // The viewport's size in canvas points.
    Size clipSize() const { return m_geometry.clipSize(); }

    // Sets the magnification (clamped to 0.05 ... 8) keeping the canvas point at the
    // middle of the visible rectangle still.
    void setMagnification(double magnification);
    // Sets the magnification (clamped) keeping `canvasPoint` where it is on screen, as far
    // as the frame allows.
    void setMagnification(double magnification, Point canvasPoint);

    // Gives the canvas a new frame: its top-left canvas point and its size in canvas
    // points. The scroll position is kept as far as the new frame allows.
    void setFrame(Point boundsOrigin, Size frameSize);
    // Scrolls so that the visible rectangle starts at `canvasPoint`, as far as possible.
    void scrollVisibleOriginTo(Point canvasPoint);
    // Scrolls so that `canvasPoint` is at the middle of the viewport, as far as possible.
    void centreOn(Point canvasPoint);

    Point toCanvas(QPointF viewportPosition) const;
    QPointF toViewport(Point canvasPoint) const;
    // The viewport pixels a canvas rectangle covers, grown by `grow` pixels on every side.
    QRect toViewport(const Rect& canvasRect, double grow = 0) const;

signals:
    // The view scrolled, was resized or changed its magnification.
    void viewChanged();
    void magnificationChanged(double magnification);

protected:
    // Paints the canvas: `painter` maps canvas points to the viewport and is clipped to
    // the exposed area; `dirty` is that area in canvas points.
    virtual void paintCanvas(QPainter& painter, const Rect& dirty) = 0;
    // A canvas rectangle that paintCanvas covers with opaque pixels; the viewport's
    // background is not painted under it.
    virtual std::optional<Rect> opaqueCanvasRect() const { return std::nullopt; }
    // The clip size changed (a resize or a magnification change), before the change is
    // told through viewChanged.
    virtual void clipSizeDidChange() {}

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // Brings the scroll bars to the geometry; showing or hiding one resizes the viewport,
    // which is taken into the geometry before the bars are set again.
    void syncScrollBars();
    void takeViewportSize();

    ScrollGeometry m_geometry;
    bool m_syncing = false;
};

} // namespace vorlix
