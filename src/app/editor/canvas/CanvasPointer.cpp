// The left mouse button on the canvas: what a press grabs, how each drag carries the
// gesture on, and what the release commits. A gesture that edits opens one editor
// interaction and restates the whole gesture from its press at every drag event, so the
// release commits it as one undo step (or none when nothing changed).
//
// Canvas points, y downwards. Tolerances are screen points divided by the magnification.

#include "app/editor/canvas/CanvasHandles.h"
#include "app/editor/canvas/CanvasView.h"
#include "app/editor/canvas/ClickCounter.h"
#include "app/editor/canvas/PanelSnapping.h"
#include "app/support/Beeper.h"
#include "app/support/CopyNotice.h"
#include "core/analysis/HighlighterAlignment.h"
#include "core/document/CropAndStrips.h"
#include "core/document/DocumentAnnotations.h"
#include "core/document/PanelComposition.h"
#include "core/shapes/PencilGeometry.h"
#include "core/shapes/ShapeGeometry.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <utility>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

constexpr double dragStartDistance = 3; // screen points
constexpr double pencilStep = 1;        // screen points
constexpr double annotationHitTolerance = 5;
constexpr double calloutMinimum = 8;
constexpr double measurementMinimum = 2;
constexpr double pencilSimplification = 0.6;
constexpr double lensMinimumSide = 8; // canvas points
constexpr Point calloutBoxOffset{40, -60};
constexpr int autoscrollIntervalMs = 30;
constexpr double autoscrollMaximumStep = 40; // viewport pixels per tick

// Kinds whose two points span a box, which Shift makes square.
bool spansBox(AnnotationKind kind) { return isRectangular(kind) || kind == AnnotationKind::lens; }

// `point` moved so that both offsets from `start` have the larger magnitude, each keeping
// its sign: a square box, or a 45 degree diagonal.
Point squared(Point start, Point point)
{
    const double dx = point.x - start.x;
    const double dy = point.y - start.y;
    const double reach = std::max(std::abs(dx), std::abs(dy));
    return {start.x + std::copysign(reach, dx), start.y + std::copysign(reach, dy)};
}

// A lens's source with each side at least the minimum, grown about its centre.
Rect lensSource(Point a, Point b)
{
    Rect r = Rect::corner(a, b).standardized();
    const Point c = r.center();
    if (r.size.width < lensMinimumSide)
        r = Rect(c.x - lensMinimumSide / 2, r.origin.y, lensMinimumSide, r.size.height);
    if (r.size.height < lensMinimumSide)
        r = Rect(r.origin.x, c.y - lensMinimumSide / 2, r.size.width, lensMinimumSide);
    return r;
}

} // namespace

struct CanvasView::PointerInput {
    ClickCounter clicks;
    QTimer autoscroll;
    bool pressed = false;
    QPointF position; // viewport pixels, of the last event
    Qt::KeyboardModifiers modifiers;
};

void CanvasView::PointerInputDeleter::operator()(PointerInput* input) const { delete input; }

CanvasView::PointerInput& CanvasView::pointerInput()
{
    if (!m_pointer) {
        m_pointer.reset(new PointerInput);
        m_pointer->autoscroll.setInterval(autoscrollIntervalMs);
        connect(&m_pointer->autoscroll, &QTimer::timeout, this, &CanvasView::autoscroll);
    }
    return *m_pointer;
}

// ---- Qt events --------------------------------------------------------------------------

void CanvasView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        CanvasScrollView::mousePressEvent(event);
        return;
    }
    PointerInput& input = pointerInput();
    input.pressed = true;
    input.position = event->position();
    input.modifiers = event->modifiers();
    const int clickCount = input.clicks.press(event->position(), event->timestamp());
    mouseDown(toCanvas(event->position()), event->modifiers(), clickCount);
}

// Qt hands the second press of a double click over as a double-click event instead, and
// the scroll area drops it; the canvas counts clicks itself, so it is a press like any other.
void CanvasView::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void CanvasView::mouseMoveEvent(QMouseEvent* event)
{
    PointerInput& input = pointerInput();
    if (!input.pressed || !(event->buttons() & Qt::LeftButton)) {
        CanvasScrollView::mouseMoveEvent(event);
        return;
    }
    input.position = event->position();
    input.modifiers = event->modifiers();
    const bool moved = mouseDragged(toCanvas(event->position()), event->modifiers());
    if (moved && !viewport()->rect().contains(event->position().toPoint()))
        input.autoscroll.start();
    else if (moved)
        input.autoscroll.stop();
}

void CanvasView::mouseReleaseEvent(QMouseEvent* event)
{
    PointerInput& input = pointerInput();
    if (event->button() != Qt::LeftButton || !input.pressed) {
        CanvasScrollView::mouseReleaseEvent(event);
        return;
    }
    input.pressed = false;
    input.autoscroll.stop();
    mouseUp();
}

void CanvasView::autoscroll()
{
    PointerInput& input = pointerInput();
    const QRect area = viewport()->rect();
    const QPointF p = input.position;
    const auto overshoot = [](double v, double low, double high) {
        const double past = v < low ? v - low : v > high ? v - high : 0;
        return std::clamp(past, -autoscrollMaximumStep, autoscrollMaximumStep);
    };
    const double dx = overshoot(p.x(), area.left(), area.right());
    const double dy = overshoot(p.y(), area.top(), area.bottom());
    if ((dx == 0 && dy == 0) || !input.pressed || !m_state.hasDrag()) {
        input.autoscroll.stop();
        return;
    }
    const Point before = scrollGeometry().scrollPosition;
    scrollVisibleOriginTo(visibleRect().origin + Point{dx, dy} * (1 / magnification()));
    if (scrollGeometry().scrollPosition == before)
        return; // at the frame's edge: nothing new comes into view
    mouseDragged(toCanvas(p), input.modifiers);
}

// ---- Press --------------------------------------------------------------------------------

void CanvasView::beginGesture()
{
    endContinuousChange();
    m_editor.beginInteraction();
}

void CanvasView::endContinuousChange()
{
    if (m_state.isChangingStyle) {
        finishStyleChange();
        return;
    }
    if (!m_editor.isInteracting() || m_state.hasDrag())
        return;
    const QString name = std::exchange(m_state.continuousChangeName, QString());
    m_state.isChangingDocument = false;
    m_editor.endInteraction(name);
}

void CanvasView::mouseDown(Point point, Qt::KeyboardModifiers modifiers, int clickCount)
{
    noteActivity();
    if (m_state.textSession) {
        commitTextEditing();
        return;
    }
    setFocus(Qt::MouseFocusReason);
    endContinuousChange();
    if (m_state.cropSession) {
        cropMouseDown(point, clickCount);
        return;
    }
    if (m_state.cutOutSession) {
        if (m_state.cutOutSession->region.contains(point)) {
            addCutOutHole(point, clickCount > 1);
            return; // a press inside the region belongs to the cut-out session
        }
        setCutOutSession(std::nullopt);
    }
    const DocumentModel& model = m_editor.model();
    switch (m_state.tool) {
    case Tool::ocr:
        setTextRegion(Rect(point, Size{}));
        setDrag(drag::SelectingText{point});
        return;
    case Tool::ruler:
        setSelection({});
        setMeasurement(Measurement{point, point});
        setDrag(drag::Measuring{});
        return;
    case Tool::cutStrip:
        if (const vorlix::Panel* panel = panelAt(model, point))
            setDrag(drag::CuttingStrip{panel->id, point, point});
        else
            Beeper::beep();
        return;
    case Tool::cutOut:
        setDrag(drag::SelectingCutOut{point, point});
        return;
    case Tool::colorPicker:
        m_state.hoveredColor = m_sampler.color(point, model, m_images);
        if (onHoverColor)
            onHoverColor(m_state.hoveredColor);
        copyHoveredColor();
        return;
    default:
        generalPress(point, modifiers.testFlag(Qt::ShiftModifier), clickCount);
        return;
    }
}

void CanvasView::generalPress(Point point, bool shift, int clickCount)
{
    setMeasurement(std::nullopt);
    const DocumentModel& model = m_editor.model();
    const double m = magnification();

    if (m_state.tool == Tool::select)
        if (std::optional<PanelCornerHit> corner = panelCorner(model, m_state.selectedPanel, point, m)) {
            beginGesture();
            setDrag(drag::ScalingPanel{corner->id, corner->anchor, std::move(corner->panel)});
            return;
        }

    if (std::optional<HandleHit> hit = handle(model, m_state.selection, point, m)) {
        beginGesture();
        const Handle grabbed = hit->handle;
        setDrag(drag::Resizing{hit->id, grabbed, std::move(hit->shape), point});
        viewport()->setCursor(vorlix::cursor(grabbed, true));
        return;
    }

    if (const std::optional<QUuid> id = topmostAnnotation(model, point, annotationHitTolerance / m)) {
        if (clickCount == 2)
            if (const std::optional<Annotation> a = annotation(model, *id); a && isTextual(a->kind)) {
                beginEditingText(*id);
                return;
            }
        std::set<QUuid> selection = m_state.selection;
        if (shift && selection.contains(*id)) {
            selection.erase(*id);
            setSelection(std::move(selection));
            return;
        }
        if (shift)
            selection.insert(*id);
        else if (!selection.contains(*id))
            selection = {*id};
        setSelection(selection);
        drag::Moving moving{point, {}};
        for (const QUuid& selected : selection)
            if (const std::optional<CanvasShape> shape = canvasShape(model, selected))
                moving.originals.emplace(selected, shape->points);
        beginGesture();
        setDrag(std::move(moving));
        viewport()->setCursor(Qt::ClosedHandCursor);
        return;
    }

    if (m_state.tool == Tool::select && !shift)
        if (const vorlix::Panel* panel = panelAt(model, point)) {
            const drag::MovingPanel moving{panel->id, point, panel->origin};
            setSelection({});
            setSelectedPanel(moving.id);
            beginGesture();
            setDrag(moving);
            viewport()->setCursor(Qt::ClosedHandCursor);
            return;
        }

    setSelectedPanel(std::nullopt);
    if (!shift)
        setSelection({});
    switch (m_state.tool) {
    case Tool::select:
        setDrag(drag::Marquee{point, point, m_state.selection});
        return;
    case Tool::number:
        place({AnnotationKind::number, {point}, {}, style(AnnotationKind::number)}, u"Aggiungi numero"_s);
        return;
    case Tool::text:
        beginNewText(point, AnnotationKind::text, std::nullopt);
        return;
    case Tool::callout:
        setDrag(drag::PlacingCallout{point, point});
        return;
    case Tool::stamp:
        place({AnnotationKind::stamp, {point}, m_settings.get(setting::currentStamp), style(AnnotationKind::stamp)},
              u"Aggiungi timbro"_s);
        return;
    case Tool::cursor:
        place({AnnotationKind::cursor, {point}, {}, style(AnnotationKind::cursor)}, u"Aggiungi cursore"_s);
        return;
    default:
        break;
    }
    const std::optional<AnnotationKind> kind = annotationKind(m_state.tool);
    if (!kind)
        return;
    if (isPanelFilter(*kind) && !panelAt(m_editor.model(), point)) {
        Beeper::beep();
        return;
    }
    setDrag(drag::Pending{point, *kind});
}

// ---- Drag ---------------------------------------------------------------------------------

bool CanvasView::mouseDragged(Point point, Qt::KeyboardModifiers modifiers)
{
    noteActivity();
    if (m_state.cropSession) {
        cropMouseDragged(point, modifiers.testFlag(Qt::ShiftModifier));
        return true;
    }
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    const double m = magnification();
    const DocumentModel& model = m_editor.model();

    if (const auto* pending = std::get_if<drag::Pending>(&m_state.drag)) {
        if (pending->start.distance(point) < dragStartDistance / m)
            return false;
        beginGesture();
        const QUuid id = QUuid::createUuid();
        if (pending->kind == AnnotationKind::pencil)
            m_state.drag = drag::Sketching{id, {pending->start}};
        else
            m_state.drag = drag::Creating{id, pending->kind, pending->start};
        return mouseDragged(point, modifiers);
    }
    if (const auto* creating = std::get_if<drag::Creating>(&m_state.drag)) {
        const AnnotationKind kind = creating->kind;
        const Point start = creating->start;
        Style shapeStyle = style(kind);
        const Point end = !shift ? point : spansBox(kind) ? squared(start, point) : point.snappedAngle(start);
        std::vector<Point> points{start, end};
        if (kind == AnnotationKind::lens) {
            const Rect source = lensSource(start, end);
            points =
                LensGeometry::points(source, LensGeometry::defaultMagnifiedRect(source, shapeStyle.filterIntensity));
        }
        if (kind == AnnotationKind::highlighter)
            if (const std::optional<bool> dark = isDarkBackground(model, points, shapeStyle.lineWidth, m_images))
                shapeStyle.opacity = *dark ? 0.25 : 0.7;
        const CanvasShape shape{kind, std::move(points), {}, std::move(shapeStyle)};
        const QUuid id = creating->id;
        m_editor.updateInteraction([&](DocumentModel& doc) { insert(doc, shape, id); });
        return true;
    }
    if (auto* sketching = std::get_if<drag::Sketching>(&m_state.drag)) {
        if (sketching->points.empty() || sketching->points.back().distance(point) < pencilStep / m)
            return false;
        sketching->points.push_back(point);
        const CanvasShape shape{AnnotationKind::pencil, sketching->points, {}, style(AnnotationKind::pencil)};
        const QUuid id = sketching->id;
        m_editor.updateInteraction([&](DocumentModel& doc) { insert(doc, shape, id); });
        return true;
    }
    if (const auto* moving = std::get_if<drag::Moving>(&m_state.drag)) {
        Point offset = point - moving->start;
        if (shift) {
            if (std::abs(offset.y) < std::abs(offset.x))
                offset.y = 0;
            else
                offset.x = 0;
        }
        m_editor.updateInteraction([&](DocumentModel& doc) {
            for (const auto& [id, points] : moving->originals) {
                std::vector<Point> moved = points;
                for (Point& p : moved)
                    p = p + offset;
                setCanvasPoints(doc, id, moved);
            }
        });
        return true;
    }
    if (const auto* resizing = std::get_if<drag::Resizing>(&m_state.drag)) {
        Point target = point;
        if (resizing->handle.kind == HandleKind::moveMagnified)
            if (const std::optional<LensGeometry> lens = resizing->original.lens())
                target = lens->magnifiedCenter() + (point - resizing->start);
        const std::vector<Point> points = resizing->original.resized(resizing->handle, target, shift);
        m_editor.updateInteraction([&](DocumentModel& doc) { setCanvasPoints(doc, resizing->id, points); });
        return true;
    }
    if (const auto* marquee = std::get_if<drag::Marquee>(&m_state.drag)) {
        drag::Marquee next{marquee->start, point, marquee->base};
        const Rect band = Rect::corner(next.start, point);
        std::set<QUuid> selection = next.base;
        for (const QUuid& id : annotationIDsInDrawOrder(model))
            if (const std::optional<CanvasShape> shape = canvasShape(model, id);
                shape && shape->bounds().intersects(band))
                selection.insert(id);
        setDrag(std::move(next));
        setSelection(std::move(selection));
        return true;
    }
    if (const auto* text = std::get_if<drag::SelectingText>(&m_state.drag)) {
        setTextRegion(Rect::corner(text->start, point).standardized());
        return true;
    }
    if (const auto* cutOut = std::get_if<drag::SelectingCutOut>(&m_state.drag)) {
        setDrag(drag::SelectingCutOut{cutOut->start, point});
        return true;
    }
    if (const auto* movingPanel = std::get_if<drag::MovingPanel>(&m_state.drag)) {
        const QUuid id = movingPanel->id;
        const Point proposed = movingPanel->origin + (point - movingPanel->start);
        SnappedOrigin snapped = snappedPanelOrigin(model, id, proposed, modifiers.testFlag(Qt::ControlModifier), m);
        setGuides(std::move(snapped.guides));
        m_editor.updateInteraction([&](DocumentModel& doc) { movePanel(doc, id, snapped.origin); });
        return true;
    }
    if (const auto* scaling = std::get_if<drag::ScalingPanel>(&m_state.drag)) {
        m_editor.updateInteraction([&](DocumentModel& doc) {
            scalePanelByCorner(doc, scaling->id, scaling->anchor, scaling->original, point);
        });
        return true;
    }
    if (const auto* callout = std::get_if<drag::PlacingCallout>(&m_state.drag)) {
        setDrag(drag::PlacingCallout{callout->tip, point});
        return true;
    }
    if (const auto* strip = std::get_if<drag::CuttingStrip>(&m_state.drag)) {
        setDrag(drag::CuttingStrip{strip->panelID, strip->start, point});
        return true;
    }
    if (std::holds_alternative<drag::Measuring>(m_state.drag)) {
        if (m_state.measurement) {
            const Point start = m_state.measurement->start;
            setMeasurement(Measurement{start, shift ? squared(start, point) : point});
        }
        return true;
    }
    return false;
}

// ---- Release ------------------------------------------------------------------------------

void CanvasView::mouseUp()
{
    noteActivity();
    if (m_state.cropSession) {
        cropMouseUp();
        return;
    }
    const Drag gesture = m_state.drag;
    const double m = magnification();

    if (const auto* creating = std::get_if<drag::Creating>(&gesture)) {
        if (creating->kind == AnnotationKind::highlighter)
            alignHighlighterToText(creating->id);
        m_editor.endInteraction(u"Disegna "_s + displayName(creating->kind));
        if (annotation(m_editor.model(), creating->id))
            setSelection({creating->id});
    } else if (const auto* sketching = std::get_if<drag::Sketching>(&gesture)) {
        const CanvasShape shape{AnnotationKind::pencil,
                                PencilGeometry::simplify(sketching->points, pencilSimplification / m),
                                {},
                                style(AnnotationKind::pencil)};
        m_editor.updateInteraction([&](DocumentModel& doc) { insert(doc, shape, sketching->id); });
        m_editor.endInteraction(u"Disegna "_s + displayName(AnnotationKind::pencil));
        if (annotation(m_editor.model(), sketching->id))
            setSelection({sketching->id});
    } else if (const auto* moving = std::get_if<drag::Moving>(&gesture)) {
        std::set<QUuid> ids;
        for (const auto& entry : moving->originals)
            ids.insert(entry.first);
        m_editor.endInteraction(u"Sposta "_s + vorlix::objectName(m_editor.model(), ids));
    } else if (const auto* resizing = std::get_if<drag::Resizing>(&gesture)) {
        const QString verb = resizing->handle.kind == HandleKind::bend            ? u"Curva"_s
                             : resizing->handle.kind == HandleKind::moveMagnified ? u"Sposta"_s
                                                                                  : u"Ridimensiona"_s;
        m_editor.endInteraction(verb + u' ' + vorlix::objectName(m_editor.model(), {resizing->id}));
    } else if (std::holds_alternative<drag::Marquee>(gesture)) {
        viewport()->update();
    } else if (std::holds_alternative<drag::MovingPanel>(gesture)) {
        m_editor.endInteraction(u"Sposta pannello"_s);
        setGuides({});
    } else if (std::holds_alternative<drag::ScalingPanel>(gesture)) {
        m_editor.endInteraction(u"Ridimensiona pannello"_s);
    } else if (const auto* callout = std::get_if<drag::PlacingCallout>(&gesture)) {
        const Point box = callout->current.distance(callout->tip) < calloutMinimum / m ? callout->tip + calloutBoxOffset
                                                                                       : callout->current;
        setDrag(drag::None{});
        beginNewText(box, AnnotationKind::callout, callout->tip);
        return;
    } else if (const auto* strip = std::get_if<drag::CuttingStrip>(&gesture)) {
        setDrag(drag::None{});
        endContinuousChange();
        m_editor.perform(u"Taglia una striscia"_s,
                         [&](DocumentModel& doc) { removeStrip(doc, strip->panelID, strip->start, strip->current); });
        viewport()->update();
        return;
    } else if (std::holds_alternative<drag::SelectingText>(gesture)) {
        setDrag(drag::None{});
        recognizeText();
    } else if (const auto* cutOut = std::get_if<drag::SelectingCutOut>(&gesture)) {
        setDrag(drag::None{});
        beginCutOut(Rect::corner(cutOut->start, cutOut->current).standardized());
    } else if (std::holds_alternative<drag::Measuring>(gesture)) {
        if (m_state.measurement &&
            m_state.measurement->start.distance(m_state.measurement->end) < measurementMinimum / m)
            setMeasurement(std::nullopt);
        viewport()->update();
    }
    setDrag(drag::None{});
    updateFrameForCanvas();
    viewport()->unsetCursor();
}

bool CanvasView::cancelGesture()
{
    const bool running = m_state.hasDrag() || m_editor.isInteracting();
    if (!running)
        return false;
    if (std::holds_alternative<drag::SelectingText>(m_state.drag))
        setTextRegion(std::nullopt);
    if (std::holds_alternative<drag::Measuring>(m_state.drag))
        setMeasurement(std::nullopt);
    setDrag(drag::None{});
    setGuides({});
    m_state.isChangingStyle = false;
    m_wheelTimer.stop();
    m_state.isChangingDocument = false;
    m_state.continuousChangeName.clear();
    m_editor.cancelInteraction();
    if (m_pointer)
        m_pointer->autoscroll.stop();
    viewport()->unsetCursor();
    updateFrameForCanvas();
    return true;
}

// ---- Helpers ------------------------------------------------------------------------------

void CanvasView::alignHighlighterToText(const QUuid& id)
{
    DocumentModel aligned = m_editor.model();
    vorlix::alignHighlighterToText(aligned, id, m_images);
    m_editor.updateInteraction([&](DocumentModel& doc) { doc = std::move(aligned); });
}

void CanvasView::copyHoveredColor()
{
    if (!m_state.hoveredColor) {
        Beeper::beep();
        return;
    }
    const QString hex = m_state.hoveredColor->hexString();
    QGuiApplication::clipboard()->setText(hex);
    CopyNotice::show(u"Colore "_s + hex + u" copiato"_s, window());
}

} // namespace vorlix
