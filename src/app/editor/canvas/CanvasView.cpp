#include "app/editor/canvas/CanvasView.h"

#include "app/editor/canvas/CanvasFrame.h"
#include "app/editor/canvas/CanvasOverlays.h"
#include "app/editor/canvas/ChangedRegion.h"
#include "app/editor/canvas/TextRegionPopover.h"
#include "core/document/DocumentAnnotations.h"
#include "core/imaging/Exporter.h"
#include "core/model/PanelGeometry.h"
#include "core/render/Renderer.h"

#include <QPainter>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <utility>

using namespace Qt::StringLiterals;

namespace vorlix {

CanvasView::CanvasView(DocumentEditor& editor, const ImageProviding& images, Settings& settings, QWidget* parent)
    : CanvasScrollView(parent), m_editor(editor), m_images(images), m_settings(settings)
{
    m_state.cutOutSensitivity = settings.get(setting::cutOutSensitivity);
    m_state.styles = settings.get(setting::toolStyles);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);

    m_idleTimer.setSingleShot(true);
    connect(&m_idleTimer, &QTimer::timeout, this, &CanvasView::returnToHandIfIdle);
    m_wheelTimer.setSingleShot(true);
    m_wheelTimer.setInterval(600);
    connect(&m_wheelTimer, &QTimer::timeout, this, &CanvasView::finishStyleChange);
    viewport()->setMouseTracking(true); // hover feedback
    m_editorSubscription = m_editor.subscribe([this](const DocumentChange& change) { modelDidChange(change); });
    m_notificationConnection =
        connect(&settings.notifications(), &NotificationCenter::posted, this, [this](const QString& name) {
            if (name == Settings::toolStylesDidReset)
                toolStylesDidReset();
        });
    updateFrameForCanvas();
}

CanvasView::~CanvasView()
{
    tearDown();
    // Gone before this canvas's members: the widget's signals reach them.
    delete m_textEditor.data();
}

void CanvasView::tearDown()
{
    m_isTornDown = true;
    closeTextPopover();
    m_state.textRegion.reset();
    disconnect(m_notificationConnection);
    m_editorSubscription.cancel();
    m_idleTimer.stop();
    // A wheel change still open is kept as the step it would have become.
    if (m_state.isChangingStyle)
        finishStyleChange();
    m_wheelTimer.stop();
}

// ---- State changes ----------------------------------------------------------------------

void CanvasView::stateChanged()
{
    if (onStateChange)
        onStateChange();
}

void CanvasView::setTool(Tool tool)
{
    const Tool old = m_state.tool;
    m_state.tool = tool;
    noteActivity();
    // Leaving the crop tool keeps the crop; only Escape or cancelling drops it.
    if (old != Tool::crop && tool == Tool::crop)
        beginCrop();
    else if (old == Tool::crop && tool != Tool::crop)
        applyCrop();
    if (tool != Tool::ruler)
        setMeasurement(std::nullopt);
    if (tool != Tool::ocr)
        setTextRegion(std::nullopt);
    if (tool != Tool::cutOut)
        setCutOutSession(std::nullopt);
    commitTextEditing();
    if (tool != Tool::select && tool != old) {
        setSelection({});
        setSelectedPanel(std::nullopt);
    }
    refreshCursor();
    stateChanged();
}

void CanvasView::setSelection(std::set<QUuid> selection)
{
    const bool changed = selection != m_state.selection;
    m_state.selection = std::move(selection);
    viewport()->update();
    if (!m_state.selection.empty())
        setSelectedPanel(std::nullopt); // selecting annotations ends a panel selection
    if (changed)
        stateChanged();
}

void CanvasView::setSelectedPanel(std::optional<QUuid> panelID)
{
    const bool changed = panelID != m_state.selectedPanel;
    m_state.selectedPanel = panelID;
    viewport()->update();
    if (changed)
        stateChanged();
}

void CanvasView::setGuides(std::vector<Guide> guides)
{
    m_state.guides = std::move(guides);
    viewport()->update();
}

void CanvasView::setMeasurement(std::optional<Measurement> measurement)
{
    const bool presenceChanged = measurement.has_value() != m_state.measurement.has_value();
    m_state.measurement = measurement;
    viewport()->update();
    if (presenceChanged)
        stateChanged();
}

void CanvasView::setTextRegion(std::optional<Rect> region)
{
    m_state.textRegion = region;
    if (m_textPopover && region != m_textPopoverRegion)
        closeTextPopover(); // a popover belongs to the region it shows
    viewport()->update();
}

void CanvasView::setCutOutSession(std::optional<CutOutSession> session)
{
    m_state.cutOutSession = std::move(session);
    viewport()->update();
    stateChanged();
}

void CanvasView::setDrag(Drag drag)
{
    m_state.drag = std::move(drag);
    viewport()->update();
}

Style CanvasView::style(AnnotationKind kind) const
{
    const auto it = m_state.styles.find(kind);
    return it != m_state.styles.end() ? it->second : Style::defaults(kind);
}

QUuid CanvasView::place(const CanvasShape& shape, const QString& actionName)
{
    const QUuid id = QUuid::createUuid();
    m_editor.perform(actionName, [&](DocumentModel& doc) { insert(doc, shape, id); });
    setSelection({id});
    return id;
}

void CanvasView::setNumberingStart(std::int64_t start)
{
    m_editor.perform(u"Cambia numero di partenza"_s, [start](DocumentModel& doc) { doc.numberingStart = start; });
}

void CanvasView::toolStylesDidReset()
{
    m_state.styles = m_settings.get(setting::toolStyles);
    stateChanged();
}

void CanvasView::modelDidChange(const DocumentChange& change)
{
    if (m_state.isChangingStyle && !m_editor.isInteracting()) {
        // The open style change was cancelled (Escape): nothing is left to end.
        m_state.isChangingStyle = false;
        m_wheelTimer.stop();
    }
    m_sampler.invalidate();
    followCropPanel();
    const std::optional<Rect> boundsBefore = std::exchange(m_shownBounds, std::nullopt);
    const std::vector<QUuid> ids = annotationIDsInDrawOrder(m_editor.model());
    const std::set<QUuid> existing(ids.begin(), ids.end());
    if (!std::includes(existing.begin(), existing.end(), m_state.selection.begin(), m_state.selection.end())) {
        std::set<QUuid> kept;
        std::set_intersection(m_state.selection.begin(), m_state.selection.end(), existing.begin(), existing.end(),
                              std::inserter(kept, kept.end()));
        setSelection(std::move(kept));
    }
    if (!m_editor.isInteracting())
        updateFrameForCanvas();
    repaintChange(change, boundsBefore);
    stateChanged();
}

void CanvasView::repaintChange(const DocumentChange& change, const std::optional<Rect>& boundsBefore)
{
    // Only a gesture's steps come often enough to be worth comparing; the work area's
    // border moves with the bounds, which then repaint whole.
    std::optional<Rect> region;
    if (change.cause == ChangeCause::interactionUpdate && !m_state.cropSession && boundsBefore == shownBounds())
        region = changedCanvasRect(change.before, change.after);
    if (!region) {
        viewport()->update();
        return;
    }
    if (region->isNull())
        return;
    // Handle dots and dashed boxes reach a few screen points beyond a shape, text and
    // shape outlines a little beyond its bounds.
    const double m = magnification();
    const double margin = 8 / m + 4;
    viewport()->update(toViewport(region->insetBy(-margin, -margin)).adjusted(-1, -1, 1, 1));
}

// ---- Idle return to select ----------------------------------------------------------------

void CanvasView::noteActivity()
{
    m_idleTimer.stop();
    const std::int64_t seconds = m_settings.get(setting::toolIdleSeconds);
    if (seconds < 1 || !returnsToSelectWhenIdle(m_state.tool))
        return;
    m_idleTimer.start(std::chrono::seconds(seconds));
}

void CanvasView::returnToHandIfIdle()
{
    const bool busy = m_state.tool == Tool::select || m_state.textSession || m_state.cropSession ||
                      m_state.cutOutSession || m_editor.isInteracting() || m_state.hasDrag();
    if (busy)
        noteActivity();
    else
        setTool(Tool::select);
}

// ---- Frame and zoom -----------------------------------------------------------------------

Rect CanvasView::shownBounds() const
{
    if (!m_shownBounds)
        m_shownBounds = canvasBounds(m_state.cropSession ? displayModel() : m_editor.model());
    return *m_shownBounds;
}

std::optional<Rect> CanvasView::opaqueCanvasRect() const
{
    const auto* background = std::get_if<ColorBackground>(&m_editor.model().background);
    if (m_state.cropSession || !background || background->color.alpha < 1)
        return std::nullopt;
    return shownBounds();
}

DocumentModel CanvasView::displayModel() const { return vorlix::displayModel(m_editor.model(), m_state.cropSession); }

double CanvasView::pixelsPerPoint(Point point) const
{
    const DocumentModel& model = m_editor.model();
    if (const vorlix::Panel* panel = panelAt(model, point))
        return std::max(panel->pixelsPerPoint, 0.0001) / panel->scale;
    return Exporter::pixelsPerPoint(model, ExportOptions{});
}

void CanvasView::applyFrameForCanvas()
{
    const ScrollGeometry& geometry = scrollGeometry();
    FrameRequest request;
    request.canvasBounds = shownBounds();
    request.clipSize = clipSize();
    request.inWindow = isVisible();
    request.visibleRect = request.inWindow ? visibleRect() : Rect();
    request.isInteracting = m_editor.isInteracting();
    request.lastClipSize = m_state.lastClipSize;
    request.currentBounds = Rect(geometry.boundsOrigin, geometry.frameSize);
    request.didInitialScroll = m_state.didInitialScroll;

    const FramePlan plan = planFrame(request);
    m_state.lastClipSize = plan.lastClipSize;
    m_state.didInitialScroll = plan.didInitialScroll;
    if (plan.bounds)
        setFrame(plan.bounds->origin, plan.bounds->size);
    if (plan.scrollTo)
        scrollVisibleOriginTo(*plan.scrollTo);
}

int CanvasView::updateFrameForCanvas()
{
    return refitFrame(
        m_state.isUpdatingFrame, [this] { applyFrameForCanvas(); },
        [this] { return clipSize() != m_state.lastClipSize; });
}

void CanvasView::clipSizeDidChange() { updateFrameForCanvas(); }

void CanvasView::showEvent(QShowEvent* event)
{
    CanvasScrollView::showEvent(event);
    // Now in a window: the first refit that can scroll to the content.
    updateFrameForCanvas();
}

double CanvasView::fitMagnification() const
{
    Rect content = shownBounds();
    if (content.isEmpty())
        content = Rect(0, 0, 100, 100).insetBy(-FrameRequest::emptyMargin, -FrameRequest::emptyMargin);
    const QSize room = maximumViewportSize();
    return ScrollGeometry::fitMagnification(content, {double(room.width()), double(room.height())});
}

void CanvasView::zoomToFit()
{
    const Rect content = shownBounds();
    const Point centre = content.isEmpty() ? Point{50, 50} : content.center();
    setMagnification(fitMagnification(), centre);
    centreOn(centre);
}

// ---- Drawing ------------------------------------------------------------------------------

void CanvasView::paintCanvas(QPainter& painter, const Rect& dirty)
{
    const double m = magnification();
    const CanvasOverlays::Colors colors = CanvasOverlays::Colors::from(palette());
    const DocumentModel& model = m_editor.model();
    std::optional<DocumentModel> cropped;
    if (m_state.cropSession)
        cropped = displayModel();
    const DocumentModel& shown = cropped ? *cropped : model;

    CanvasOverlays::drawWorkArea(painter, shown, shownBounds(), dirty, m, colors);

    Renderer::Options options;
    if (m_state.textSession && m_state.textSession->annotationID)
        options.hiddenAnnotationIDs.insert(*m_state.textSession->annotationID);
    options.displayPixelsPerPoint = m * viewport()->devicePixelRatioF();
    options.cache = &m_renderCache;
    // A crop being dragged leaves every shape as it is.
    options.reusesShapePictures = m_editor.isInteracting() || !std::holds_alternative<cropdrag::None>(m_state.cropDrag);
    options.visibleRect = dirty;
    Renderer::draw(shown, m_images, painter, options);
    drawTextSession(painter);

    if (m_state.cropSession) {
        drawCrop(painter); // the crop overlay alone goes over a running crop
        return;
    }
    if (const auto* callout = std::get_if<drag::PlacingCallout>(&m_state.drag))
        CanvasOverlays::drawCalloutPreview(painter, *callout, m, colors);
    if (const auto* strip = std::get_if<drag::CuttingStrip>(&m_state.drag))
        CanvasOverlays::drawStripPreview(painter, model, *strip, m);
    CanvasOverlays::drawSelection(painter, model, m_state.selection, m_state.textSession.has_value(), m, colors);
    drawMeasurement(painter);
    drawAutoRuler(painter);
    CanvasOverlays::drawPanelSelection(painter, model, m_state.guides, m_state.selectedPanel, m, colors);
    if (m_state.textRegion)
        CanvasOverlays::drawRegion(painter, *m_state.textRegion, true, m, colors);
    drawCutOut(painter, dirty);
    if (const auto* cutOut = std::get_if<drag::SelectingCutOut>(&m_state.drag))
        CanvasOverlays::drawRegion(painter, Rect::corner(cutOut->start, cutOut->current), true, m, colors);
    if (const auto* marquee = std::get_if<drag::Marquee>(&m_state.drag))
        CanvasOverlays::drawMarquee(painter, *marquee, m, colors);
}

} // namespace vorlix
