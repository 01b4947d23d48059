#include "app/editor/canvas/CanvasScrollView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>

#include <cmath>

namespace vorlix {

CanvasScrollView::CanvasScrollView(QWidget* parent) : QAbstractScrollArea(parent)
{
    // The canvas paints every pixel of the viewport itself.
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    takeViewportSize();
}

CanvasScrollView::~CanvasScrollView() = default;

void CanvasScrollView::setMagnification(double magnification)
{
    setMagnification(magnification, visibleRect().center());
}

void CanvasScrollView::setMagnification(double magnification, Point canvasPoint)
{
    const Point fixed = m_geometry.toViewport(canvasPoint);
    const double previous = m_geometry.magnification;
    m_geometry.zoom(magnification, canvasPoint);
    syncScrollBars();
    clipSizeDidChange();
    // The frame may have been refit around the new clip size: the point goes back to its place.
    m_geometry.place(canvasPoint, fixed);
    syncScrollBars();
    viewport()->update();
    if (m_geometry.magnification != previous)
        emit magnificationChanged(m_geometry.magnification);
    emit viewChanged();
}

void CanvasScrollView::setFrame(Point boundsOrigin, Size frameSize)
{
    if (m_geometry.boundsOrigin == boundsOrigin && m_geometry.frameSize == frameSize)
        return;
    m_geometry.boundsOrigin = boundsOrigin;
    m_geometry.frameSize = frameSize;
    m_geometry.clampScroll();
    syncScrollBars();
    viewport()->update();
}

void CanvasScrollView::scrollVisibleOriginTo(Point canvasPoint)
{
    m_geometry.scrollVisibleOriginTo(canvasPoint);
    syncScrollBars();
    viewport()->update();
}

void CanvasScrollView::centreOn(Point canvasPoint)
{
    m_geometry.place(canvasPoint, {m_geometry.viewportSize.width / 2, m_geometry.viewportSize.height / 2});
    syncScrollBars();
    viewport()->update();
}

Point CanvasScrollView::toCanvas(QPointF viewportPosition) const
{
    return m_geometry.toCanvas({viewportPosition.x(), viewportPosition.y()});
}

QPointF CanvasScrollView::toViewport(Point canvasPoint) const
{
    const Point p = m_geometry.toViewport(canvasPoint);
    return {p.x, p.y};
}

QRect CanvasScrollView::toViewport(const Rect& canvasRect, double grow) const
{
    const QPointF topLeft = toViewport(canvasRect.origin);
    const QPointF bottomRight = toViewport(Point{canvasRect.maxX(), canvasRect.maxY()});
    return QRectF(topLeft, bottomRight).adjusted(-grow, -grow, grow, grow).toAlignedRect();
}

void CanvasScrollView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    QRegion background = event->region();
    if (const std::optional<Rect> opaque = opaqueCanvasRect()) {
        // Only whole pixels inside the rectangle: its edge pixels are blended, not covered.
        const Point topLeft = m_geometry.toViewport(opaque->origin);
        const Point bottomRight = m_geometry.toViewport({opaque->maxX(), opaque->maxY()});
        const QPoint inner(int(std::ceil(topLeft.x)), int(std::ceil(topLeft.y)));
        const QPoint outer(int(std::floor(bottomRight.x)), int(std::floor(bottomRight.y)));
        if (outer.x() > inner.x() && outer.y() > inner.y())
            background -= QRect(inner, outer - QPoint(1, 1));
    }
    for (const QRect& rect : background)
        painter.fillRect(rect, palette().window());
    const Point origin = m_geometry.canvasOriginInViewport();
    painter.translate(origin.x, origin.y);
    painter.scale(m_geometry.magnification, m_geometry.magnification);
    paintCanvas(painter, m_geometry.toCanvas(Rect::fromQt(QRectF(event->rect()))));
}

void CanvasScrollView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    takeViewportSize();
    if (m_syncing)
        return; // the sync under way takes the new size in
    syncScrollBars();
    clipSizeDidChange();
    emit viewChanged();
}

void CanvasScrollView::scrollContentsBy(int dx, int dy)
{
    if (m_syncing)
        return;
    m_geometry.scrollPosition = {double(horizontalScrollBar()->value()), double(verticalScrollBar()->value())};
    viewport()->scroll(dx, dy);
    emit viewChanged();
}

void CanvasScrollView::takeViewportSize()
{
    const QSize size = viewport()->size();
    m_geometry.viewportSize = {double(size.width()), double(size.height())};
    m_geometry.clampScroll();
}

void CanvasScrollView::syncScrollBars()
{
    if (m_syncing)
        return;
    m_syncing = true;
    // Each round may show or hide a bar and so resize the viewport; two bars settle in
    // at most three rounds.
    for (int round = 0; round < 3; ++round) {
        const Size viewportBefore = m_geometry.viewportSize;
        // A frame that fits the viewport without bars needs none, even while bars that
        // are still shown make the viewport too small for it.
        ScrollGeometry withoutBars = m_geometry;
        const QSize room = maximumViewportSize();
        withoutBars.viewportSize = {double(room.width()), double(room.height())};
        const Size range = withoutBars.scrollRange() == Size{0, 0} ? Size{0, 0} : m_geometry.scrollRange();
        horizontalScrollBar()->setRange(0, int(range.width));
        horizontalScrollBar()->setPageStep(std::max(1, int(m_geometry.viewportSize.width)));
        horizontalScrollBar()->setSingleStep(20);
        verticalScrollBar()->setRange(0, int(range.height));
        verticalScrollBar()->setPageStep(std::max(1, int(m_geometry.viewportSize.height)));
        verticalScrollBar()->setSingleStep(20);
        takeViewportSize();
        horizontalScrollBar()->setValue(int(m_geometry.scrollPosition.x));
        verticalScrollBar()->setValue(int(m_geometry.scrollPosition.y));
        if (m_geometry.viewportSize == viewportBefore)
            break;
    }
    m_syncing = false;
}

} // namespace vorlix
