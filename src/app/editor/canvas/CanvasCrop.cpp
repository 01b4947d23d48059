// The crop session: choosing the crop tool lays a crop rectangle over one panel shown
// uncropped; the pointer moves the rectangle, drags its handles or draws a new one, and
// applying it changes the panel's crop as one undo step. The document is untouched until
// then, so cancelling only drops the session.
//
// Canvas points, y downwards; the session's rectangle is in the panel's image pixels.

#include "app/editor/canvas/CanvasHandles.h"
#include "app/editor/canvas/CanvasOverlays.h"
#include "app/editor/canvas/CanvasView.h"
#include "app/editor/canvas/CropGeometry.h"
#include "core/document/CropAndStrips.h"
#include "core/document/PanelRecrop.h"
#include "core/imaging/PixelSampler.h"
#include "core/model/PanelGeometry.h"

#include <QPainter>
#include <QRegion>

#include <cmath>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

constexpr double dimming = 0.55;
constexpr double thirdsAlpha = 0.45;
constexpr double borderWidth = 1.5; // screen points

} // namespace

void CanvasView::setCropSession(std::optional<CropSession> session)
{
    m_state.cropSession = std::move(session);
    m_shownBounds.reset();
    viewport()->update();
    stateChanged();
}

void CanvasView::followCropPanel()
{
    if (!m_state.cropSession)
        return;
    if (const vorlix::Panel* panel = findPanel(m_editor.model(), m_state.cropSession->panelID)) {
        m_state.cropSession->preview = recropped(*panel, std::nullopt);
        return;
    }
    m_state.cropDrag = cropdrag::None{};
    m_state.cropSession.reset();
    if (m_state.tool == Tool::crop)
        setTool(Tool::select);
}

void CanvasView::beginCrop()
{
    commitTextEditing();
    setSelection({});
    const DocumentModel& model = m_editor.model();
    const vorlix::Panel* chosen = nullptr;
    if (window() && isVisible()) {
        const QPoint position = viewport()->mapFromGlobal(QCursor::pos());
        chosen = panelAt(model, toCanvas(position));
    }
    if (!chosen && !model.panels.empty())
        chosen = &model.panels.front();
    if (!chosen)
        return;
    m_state.cropDrag = cropdrag::None{};
    setCropSession(CropSession{chosen->id, cropRect(*chosen), recropped(*chosen, std::nullopt)});
    updateFrameForCanvas();
}

void CanvasView::applyCrop()
{
    if (!m_state.cropSession)
        return;
    const CropSession session = *m_state.cropSession;
    m_state.cropDrag = cropdrag::None{};
    setCropSession(std::nullopt);
    endContinuousChange();
    m_editor.perform(u"Ritaglia"_s, [&](DocumentModel& doc) { vorlix::applyCrop(doc, session.rect, session.panelID); });
    updateFrameForCanvas();
    if (m_state.tool == Tool::crop)
        setTool(Tool::select);
}

void CanvasView::cancelCrop()
{
    if (!m_state.cropSession)
        return;
    m_state.cropDrag = cropdrag::None{};
    setCropSession(std::nullopt);
    updateFrameForCanvas();
    if (m_state.tool == Tool::crop)
        setTool(Tool::select);
}

void CanvasView::setCropAspect(CropAspect aspect)
{
    m_state.cropAspect = aspect;
    if (!m_state.cropSession) {
        stateChanged();
        return;
    }
    CropSession session = *m_state.cropSession;
    session.rect = aspectFittedCropRect(session, aspect, cropLimit(m_editor.model(), session));
    setCropSession(std::move(session));
}

void CanvasView::setCropRect(const Rect& rect)
{
    if (!m_state.cropSession)
        return;
    CropSession session = *m_state.cropSession;
    session.rect = rect;
    setCropSession(std::move(session));
}

void CanvasView::cropMouseDown(Point point, int clickCount)
{
    if (clickCount == 2) {
        applyCrop();
        return;
    }
    const Rect r = cropCanvasRect(*m_state.cropSession);
    if (const std::optional<Handle> handle = cropHandleAt(r, point, magnification()))
        m_state.cropDrag = cropdrag::Resize{*handle, r};
    else if (r.contains(point)) {
        m_state.cropDrag = cropdrag::Move{point, r};
        viewport()->setCursor(Qt::ClosedHandCursor);
    } else
        m_state.cropDrag = cropdrag::New{point};
}

void CanvasView::cropMouseDragged(Point point, bool constrained)
{
    if (std::holds_alternative<cropdrag::None>(m_state.cropDrag))
        return;
    const CropSession& session = *m_state.cropSession;
    const std::optional<Rect> rect = draggedCropRect({
        .session = session,
        .drag = m_state.cropDrag,
        .point = point,
        .constrained = constrained,
        .aspect = m_state.cropAspect,
        .limit = cropLimit(m_editor.model(), session),
        .magnification = magnification(),
        .pixelsPerPoint = [this](Point at) { return pixelsPerPoint(at); },
    });
    if (!rect || *rect == session.rect)
        return;
    const Rect before = cropCanvasRect(session);
    m_state.cropSession->rect = *rect;
    viewport()->update(cropChange(before, cropCanvasRect(*m_state.cropSession)));
    stateChanged();
}

QRegion CanvasView::cropChange(const Rect& before, const Rect& after) const
{
    // Only what the overlay changes: the band between the two rectangles, where the
    // dimming comes or goes, and the border, handles and thirds of each; the rest of a
    // large panel keeps its pixels.
    const double reach = cropHandleRadius + borderWidth + 2; // viewport pixels
    const auto marks = [&](const Rect& r) {
        const QRect box = toViewport(r, 0);
        QRegion region;
        const int d = int(std::ceil(reach));
        region += QRect(box.left() - d, box.top() - d, box.width() + 2 * d, 2 * d);
        region += QRect(box.left() - d, box.bottom() - d, box.width() + 2 * d, 2 * d + 1);
        region += QRect(box.left() - d, box.top() - d, 2 * d, box.height() + 2 * d);
        region += QRect(box.right() - d, box.top() - d, 2 * d + 1, box.height() + 2 * d);
        for (int i = 1; i <= 2; ++i) {
            const int x = int(box.left() + i * box.width() / 3.0);
            const int y = int(box.top() + i * box.height() / 3.0);
            region += QRect(x - 2, box.top(), 5, box.height());
            region += QRect(box.left(), y - 2, box.width(), 5);
        }
        return region;
    };
    return (QRegion(toViewport(before, 0)) ^ QRegion(toViewport(after, 0))) + marks(before) + marks(after);
}

void CanvasView::cropMouseUp()
{
    m_state.cropDrag = cropdrag::None{};
    viewport()->update(); // settled: the shapes are drawn directly again
    refreshCursor();
}

QCursor CanvasView::cropCursor(Point point) const
{
    if (std::holds_alternative<cropdrag::Move>(m_state.cropDrag))
        return Qt::ClosedHandCursor;
    if (const auto* resize = std::get_if<cropdrag::Resize>(&m_state.cropDrag))
        return vorlix::cursor(resize->handle, false);
    const Rect r = cropCanvasRect(*m_state.cropSession);
    if (const std::optional<Handle> handle = cropHandleAt(r, point, magnification()))
        return vorlix::cursor(*handle, false);
    return r.contains(point) ? Qt::OpenHandCursor : Qt::CrossCursor;
}

void CanvasView::drawCrop(QPainter& painter) const
{
    const CropSession& session = *m_state.cropSession;
    const double m = magnification();
    const Rect r = cropCanvasRect(session);
    const Rect limit = cropLimit(m_editor.model(), session);
    painter.save();

    // The limit less the crop rectangle, as the four bands around it, without rasterising
    // a path the size of the panel. Not antialiased: bands that meet on a fraction of a
    // pixel then tile exactly instead of leaving a lighter seam.
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QColor dim(0, 0, 0, int(dimming * 255 + 0.5));
    const Rect inner = r.intersection(limit);
    if (inner.isNull() || inner.isEmpty())
        painter.fillRect(limit.toQt(), dim);
    else {
        const QRectF bands[] = {
            QRectF(QPointF(limit.minX(), limit.minY()), QPointF(limit.maxX(), inner.minY())),
            QRectF(QPointF(limit.minX(), inner.maxY()), QPointF(limit.maxX(), limit.maxY())),
            QRectF(QPointF(limit.minX(), inner.minY()), QPointF(inner.minX(), inner.maxY())),
            QRectF(QPointF(inner.maxX(), inner.minY()), QPointF(limit.maxX(), inner.maxY())),
        };
        for (const QRectF& band : bands)
            if (band.width() > 0 && band.height() > 0)
                painter.fillRect(band, dim);
    }

    painter.setRenderHint(QPainter::Antialiasing);
    QColor thirds(Qt::white);
    thirds.setAlphaF(float(thirdsAlpha));
    painter.setPen(QPen(thirds, 1 / m));
    for (int i = 1; i <= 2; ++i) {
        const double x = r.minX() + i * r.width() / 3;
        const double y = r.minY() + i * r.height() / 3;
        painter.drawLine(QPointF(x, r.minY()), QPointF(x, r.maxY()));
        painter.drawLine(QPointF(r.minX(), y), QPointF(r.maxX(), y));
    }

    painter.setPen(QPen(Qt::white, borderWidth / m));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(r.toQt());

    painter.setPen(QPen(CanvasOverlays::Colors::from(palette()).accent, borderWidth / m));
    painter.setBrush(Qt::white);
    const double radius = cropHandleRadius / m;
    for (const auto& [handle, position] : CanvasShape::rectHandles(r))
        painter.drawEllipse(QPointF(position.x, position.y), radius, radius);
    painter.restore();
}

} // namespace vorlix
