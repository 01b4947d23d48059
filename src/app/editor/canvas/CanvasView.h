#pragma once
// The editing surface of one editor window: shows one document, scrolled and magnified,
// and keeps the canvas's own state (tool, selection, marks, sessions). The document is
// reached through its editor and its images only; every change of it goes through the
// editor, and every change the editor reports is taken in here (the selection pruned,
// the frame refit, the view redrawn, onStateChange called).
//
// Drawing: the document through the shared renderer, limited to what is exposed and at
// the device's pixel density times the magnification, with a render cache of its own;
// then the marks that only the editor shows (CanvasOverlays).
//
// Canvas points, y downwards; the scroll view's geometry maps them to the viewport.

#include "app/editor/canvas/CanvasScrollView.h"
#include "app/editor/canvas/CanvasState.h"
#include "app/support/Settings.h"
#include "core/imaging/PixelSampler.h"
#include "core/model/DocumentEditor.h"
#include "core/render/ImageProviding.h"
#include "core/render/RenderCache.h"
#include "core/shapes/CanvasShape.h"

#include <QTimer>

#include <functional>
#include <memory>

namespace vorlix {

class CanvasView : public CanvasScrollView {
    Q_OBJECT

public:
    // The editor and the images belong to the document and outlive the canvas.
    CanvasView(DocumentEditor& editor, const ImageProviding& images, Settings& settings, QWidget* parent = nullptr);
    ~CanvasView() override;

    DocumentEditor& editor() const { return m_editor; }
    const ImageProviding& images() const { return m_images; }
    const CanvasState& state() const { return m_state; }

    // Called whenever something the window, toolbar or property bar shows may have changed.
    std::function<void()> onStateChange;
    // Told the colour under the pointer.
    std::function<void(std::optional<RGBAColor>)> onHoverColor;

    Tool tool() const { return m_state.tool; }
    // Runs the tool change, also when the tool is the current one.
    void setTool(Tool tool);
    void setSelection(std::set<QUuid> selection);
    void setSelectedPanel(std::optional<QUuid> panelID);
    void setGuides(std::vector<Guide> guides);
    void setMeasurement(std::optional<Measurement> measurement);
    void setTextRegion(std::optional<Rect> region);
    void setCutOutSession(std::optional<CutOutSession> session);
    void setDrag(Drag drag);

    // The default style of a tool's kind: the one kept for it, else the kind's own.
    Style style(AnnotationKind kind) const;
    // The number tool's style, for numbering panels.
    Style numberStyle() const { return style(AnnotationKind::number); }
    // Adds a drawn or typed shape as one undo step under a new id and selects just it.
    QUuid place(const CanvasShape& shape, const QString& actionName);
    // One undo step "Cambia numero di partenza".
    void setNumberingStart(std::int64_t start);

    // The document as drawn, hit and framed: with a running crop, its preview panel in place.
    DocumentModel displayModel() const;
    // Image pixels per canvas point at a canvas point: the panel's there, else the export's.
    double pixelsPerPoint(Point point) const;

    // Sizes and places the canvas frame in the scroll view for the clip size now.
    void applyFrameForCanvas();
    // The refit: applyFrameForCanvas, again while the clip size moves, at most three
    // passes; nothing while a refit runs. The number of passes made.
    int updateFrameForCanvas();

    // The magnification that fits the whole content into the viewport without scroll
    // bars, in 0.05 ... 8; it enlarges a small document.
    double fitMagnification() const;
    // Sets the fitting magnification and centres the content.
    void zoomToFit();

    // Restarts the idle time after a user action.
    void noteActivity();
    // The idle timer's action: back to select unless something is under way.
    void returnToHandIfIdle();
    bool isIdleTimerActive() const { return m_idleTimer.isActive(); }

    // The window closes: no timer fires and no notification arrives after this.
    void tearDown();

protected:
    void paintCanvas(QPainter& painter, const Rect& dirty) override;
    void clipSizeDidChange() override;
    std::optional<Rect> opaqueCanvasRect() const override;
    void showEvent(QShowEvent* event) override;

    // The left button edits the document; what each press grabs is decided in
    // CanvasPointer.cpp.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

public:
    // Ends in-place text editing, keeping what was typed; before the document is saved,
    // copied or closed.
    void commitTextEditing();
    // Opens in-place text editing for a new text or callout at a canvas point, or for an
    // existing textual annotation.
    void beginNewText(Point at, AnnotationKind kind, std::optional<Point> tail);
    void beginEditingText(const QUuid& id);

    // Copies the hovered colour's hex text and tells so; a beep when no colour is hovered.
    void copyHoveredColor();
    // Ends the pointer gesture under way, with its editor interaction, its guides and its
    // preview, as if it had not begun. False when no gesture runs.
    bool cancelGesture();
    // Ends a continuous change (wheel, slider) still holding the editor's interaction as
    // its own undo step, so that the edit that comes next neither reuses nor drops it.
    void endContinuousChange();

private:
    struct PointerInput;
    struct PointerInputDeleter {
        void operator()(PointerInput* input) const;
    };
    PointerInput& pointerInput();
    void mouseDown(Point point, Qt::KeyboardModifiers modifiers, int clickCount);
    void generalPress(Point point, bool shift, int clickCount);
    // Whether the gesture moved on (and autoscrolls).
    bool mouseDragged(Point point, Qt::KeyboardModifiers modifiers);
    void mouseUp();
    void beginGesture();
    void autoscroll();
    void alignHighlighterToText(const QUuid& id);
    // Repaints what a change of the document touched: during a gesture only the old and
    // new places of what moved, with their handles.
    void repaintChange(const DocumentChange& change, const std::optional<Rect>& boundsBefore);

    void modelDidChange(const DocumentChange& change);
    void toolStylesDidReset();
    void stateChanged();
    // The canvas bounds of the shown document, kept until the model or the crop session changes.
    Rect shownBounds() const;

    DocumentEditor& m_editor;
    const ImageProviding& m_images;
    Settings& m_settings;
    CanvasState m_state;
    mutable std::optional<Rect> m_shownBounds;
    PixelSampler m_sampler;
    Renderer::RenderCache m_renderCache;
    QTimer m_idleTimer;
    std::unique_ptr<PointerInput, PointerInputDeleter> m_pointer;
    Subscription m_editorSubscription;
    QMetaObject::Connection m_notificationConnection;
};

} // namespace vorlix
