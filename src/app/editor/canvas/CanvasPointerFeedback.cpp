// What the canvas does with the pointer while no button is held (the cursor, the
// automatic ruler, the colour under the pointer), with the wheel (zoom about the pointer,
// or the style's main measure as one undo step per gesture) and with the right button
// (the colour menu).

#include "app/editor/canvas/CanvasView.h"

#include "app/editor/canvas/CanvasHandles.h"
#include "app/editor/canvas/EyedropperCursor.h"
#include "core/document/DocumentAnnotations.h"
#include "core/model/StyleMeasure.h"

#include <QMouseEvent>
#include <QPointer>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

// Runs of like pixels for the automatic ruler: the bytes may differ by this much.
constexpr int autoRulerTolerance = 28;
// Annotation hit tolerance in screen points.
constexpr double annotationHitTolerance = 5;

// The vertical wheel movement and whether it comes in pixels (a touchpad) rather than in
// notches of 120 eighths of a degree. X11 turns a vertical wheel with Alt held into a
// horizontal one, so with `altTurnsSideways` a sideways movement counts as vertical.
struct WheelDelta {
    double value = 0; // pixels, or notches
    bool precise = false;
};

WheelDelta verticalDelta(const QWheelEvent& event, bool altTurnsSideways)
{
    const auto pick = [altTurnsSideways](QPointF d) { return d.y() == 0 && altTurnsSideways ? d.x() : d.y(); };
    if (!event.pixelDelta().isNull())
        return {pick(QPointF(event.pixelDelta())), true};
    return {pick(QPointF(event.angleDelta())) / 120.0, false};
}

} // namespace

// ---- Hover ------------------------------------------------------------------------------

bool CanvasView::viewportEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseMove: {
        const auto* move = static_cast<QMouseEvent*>(event);
        if (move->buttons() == Qt::NoButton)
            pointerHovered(move->position());
        break;
    }
    case QEvent::MouseButtonPress: {
        const auto* press = static_cast<QMouseEvent*>(event);
        if (press->button() == Qt::RightButton && requestColorMenu(press->globalPosition().toPoint()))
            return true;
        break;
    }
    default:
        break;
    }
    return CanvasScrollView::viewportEvent(event);
}

void CanvasView::pointerHovered(QPointF position)
{
    const Point point = toCanvas(position);
    viewport()->setCursor(cursorAt(point));

    const DocumentModel& model = m_editor.model();
    if (m_state.tool == Tool::ruler && !m_state.measurement) {
        const std::optional<Rect> edges = m_sampler.edges(point, model, m_images, autoRulerTolerance);
        m_state.autoRuler = edges ? std::optional(AutoRuler{point, *edges}) : std::nullopt;
        viewport()->update();
    } else if (m_state.autoRuler) {
        m_state.autoRuler.reset();
        viewport()->update();
    }

    // The sampler answers from a picture it keeps until the document changes, so a move
    // costs a lookup.
    const std::optional<RGBAColor> color = m_sampler.color(point, model, m_images);
    if (color == m_state.hoveredColor)
        return;
    m_state.hoveredColor = color;
    if (onHoverColor)
        onHoverColor(color);
}

void CanvasView::refreshCursor()
{
    if (!isActiveWindow())
        return;
    const QPoint position = viewport()->mapFromGlobal(QCursor::pos());
    if (viewport()->rect().contains(position))
        viewport()->setCursor(cursorAt(toCanvas(position)));
}

std::optional<QCursor> CanvasView::editCursorAt(Point point)
{
    // In the order a press tries them.
    if (m_state.cropSession)
        return cropCursor(point);
    const DocumentModel& model = m_editor.model();
    const double m = magnification();
    if (m_state.tool == Tool::select)
        if (const std::optional<PanelCornerHit> corner = panelCorner(model, m_state.selectedPanel, point, m)) {
            const bool falling = (corner->anchor.x < point.x) == (corner->anchor.y < point.y);
            return QCursor(falling ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor);
        }
    if (const std::optional<HandleHit> hit = handle(model, m_state.selection, point, m))
        return vorlix::cursor(hit->handle, false);
    return std::nullopt;
}

QCursor CanvasView::cursorAt(Point point)
{
    if (m_state.textSession)
        return Qt::IBeamCursor;
    if (m_state.cropSession)
        return editCursorAt(point).value_or(QCursor(Qt::ArrowCursor));

    const DocumentModel& model = m_editor.model();
    const auto overPanel = [&](Qt::CursorShape inside) {
        return QCursor(panelAt(model, point) ? inside : Qt::ForbiddenCursor);
    };
    const Tool tool = m_state.tool;
    switch (tool) {
    case Tool::colorPicker:
        return EyedropperCursor::shared();
    case Tool::ruler:
    case Tool::cutOut:
    case Tool::ocr:
        return Qt::CrossCursor;
    case Tool::cutStrip:
        return overPanel(Qt::CrossCursor);
    case Tool::select:
    case Tool::arrow:
    case Tool::line:
    case Tool::rectangle:
    case Tool::ellipse:
    case Tool::pencil:
    case Tool::highlighter:
    case Tool::number:
    case Tool::text:
    case Tool::callout:
    case Tool::stamp:
    case Tool::cursor:
    case Tool::pixelate:
    case Tool::spotlight:
    case Tool::lens:
    case Tool::crop:
        break;
    }

    if (std::optional<QCursor> edit = editCursorAt(point))
        return *edit;
    if (const std::optional<QUuid> hit = topmostAnnotation(model, point, annotationHitTolerance / magnification())) {
        const std::optional<Annotation> over = annotation(model, *hit);
        const bool typesInto = tool == Tool::text || tool == Tool::callout;
        return typesInto && over && isTextual(over->kind) ? Qt::IBeamCursor : Qt::OpenHandCursor;
    }
    if (tool == Tool::select)
        return QCursor(panelAt(model, point) ? Qt::OpenHandCursor : Qt::ArrowCursor);
    if (tool == Tool::number || tool == Tool::stamp)
        return Qt::PointingHandCursor;
    if (tool == Tool::text)
        return Qt::IBeamCursor;
    if (tool == Tool::callout || tool == Tool::cursor)
        return Qt::CrossCursor;
    // Filters belong to a panel: nothing to draw them on elsewhere.
    const std::optional<AnnotationKind> kind = annotationKind(tool);
    if (kind && isPanelFilter(*kind))
        return overPanel(Qt::CrossCursor);
    return Qt::CrossCursor;
}

// ---- Wheel ------------------------------------------------------------------------------

void CanvasView::wheelEvent(QWheelEvent* event)
{
    noteActivity();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool alt = modifiers.testFlag(Qt::AltModifier);
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    if (alt && !ctrl) {
        adjustStyleWithWheel(*event);
        event->accept();
        return;
    }
    if (ctrl) {
        event->accept();
        const WheelDelta delta = verticalDelta(*event, alt);
        const double d = delta.precise ? delta.value / 100 : delta.value / 10;
        if (d == 0)
            return;
        // At most 1.25 squared (or its inverse) per event, however fast the wheel turns.
        const double factor = std::pow(1.25, std::clamp(d, -2.0, 2.0));
        setMagnification(magnification() * factor, toCanvas(event->position()));
        return;
    }
    CanvasScrollView::wheelEvent(event);
}

void CanvasView::adjustStyleWithWheel(const QWheelEvent& event)
{
    const std::optional<StyleContext> context = styleContext();
    if (!context)
        return;
    const WheelDelta delta = verticalDelta(event, true);
    const double d = delta.precise ? delta.value / 6 : delta.value;
    if (d == 0)
        return;
    // The size of the movement only gives the direction: one step per event.
    const StyleMeasure measure = StyleMeasure::primary(context->kinds);
    const double value = measure.value(context->style.*measure.field, d > 0 ? 1 : -1);
    changeStyle(u"Cambia misura"_s, true, [&measure, value](Style& s) { s.*measure.field = value; });
    m_wheelTimer.start(); // each further event within the interval pushes the end back
}

// ---- Right click -------------------------------------------------------------------------

bool CanvasView::requestColorMenu(QPoint globalPosition)
{
    if (m_state.cropSession || !onColorMenuRequest || !isVisible())
        return false;
    const std::optional<StyleContext> context = styleContext();
    if (!context || std::none_of(context->kinds.begin(), context->kinds.end(), hasColor))
        return false;
    QPointer<CanvasView> guard(this);
    onColorMenuRequest(globalPosition, context->style.strokeColor, [guard](RGBAColor chosen) {
        if (!guard)
            return;
        guard->changeStyle(u"Cambia colore"_s, false, [chosen](Style& s) {
            s.strokeColor = chosen;
            s.arrowHeadColor.reset();
        });
    });
    return true;
}

} // namespace vorlix
