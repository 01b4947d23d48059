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
#include "app/editor/canvas/MeasurementLabels.h"
#include "app/editor/canvas/TextSessionEditor.h"
#include "app/support/Settings.h"
#include "core/imaging/PixelSampler.h"
#include "core/model/DocumentEditor.h"
#include "core/render/ImageProviding.h"
#include "core/render/RenderCache.h"
#include "core/shapes/CanvasShape.h"

#include <QCursor>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <set>

class QMimeData;

namespace vorlix {

class ProjectDocument;
class TextRegionPopover;
namespace TextRecognition {
struct Result;
}

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
    // Told the colour under the pointer when it changes; nothing where nothing is drawn.
    std::function<void(std::optional<RGBAColor>)> onHoverColor;
    // Opens the colour menu at a screen position showing the current colour; `choose`
    // takes the colour picked (and may be called after the canvas is gone).
    std::function<void(QPoint globalPosition, RGBAColor current, std::function<void(RGBAColor)> choose)>
        onColorMenuRequest;

    // The kinds the inspectors offer controls for and the values they show.
    struct StyleContext {
        std::set<AnnotationKind> kinds;
        Style style;
        bool operator==(const StyleContext&) const = default;
    };
    // The text being typed, else the selected annotations, else the current tool's kind;
    // nothing when none of them has a style.
    std::optional<StyleContext> styleContext() const;
    // The one way the canvas changes a style: the context's kinds' default styles, and the
    // typed text or the selected annotations. A continuous change (a slider held, the wheel
    // turning) stays open until a final call, which makes the whole gesture one undo step;
    // only final calls store the default styles in the settings.
    void changeStyle(const QString& actionName, bool continuous, const std::function<void(Style&)>& mutate);
    // The context's kinds, and the typed text or selected annotations, back to the kinds'
    // own default styles.
    void resetStyleToDefaults();
    // The stamp of the selected stamps (one step "Cambia timbro"), else the next stamp placed.
    void chooseStamp(const QString& stamp);
    QString displayedStamp() const;
    // Applies the context kind's saved style at `index` (from 0); false when there is none
    // or the context has not exactly one kind.
    bool applyStylePreset(std::int64_t index);
    bool isWheelTimerActive() const { return m_wheelTimer.isActive(); }

    // The cursor that says what a click at the canvas point would do.
    QCursor cursorAt(Point canvasPoint);
    // Sets the cursor for where the pointer is now, when it is over the canvas.
    void refreshCursor();

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
    bool viewportEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

    // The left button edits the document; what each press grabs is decided in
    // CanvasPointer.cpp.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Tab copies the hovered colour instead of moving the focus (CanvasKeyboard.cpp).
    bool focusNextPrevChild(bool next) override;

public:
    // ---- In-place text (CanvasTextSession.cpp) ----
    // Opens a session for a new text (kind text, no tail) or callout (kind callout, `tail`
    // its tip) whose first line is centred vertically on `at` and begins at its x.
    void beginNewText(Point at, AnnotationKind kind, std::optional<Point> tail);
    // Opens a session on an existing text or callout, all its text selected; nothing when
    // there is no such annotation.
    void beginEditingText(const QUuid& id);
    // Brings the editing widget to the session's text and style (after a style change).
    void fitTextContainer();
    // Ends in-place text editing, keeping what was typed, as one undo step at most;
    // before the document is saved, copied or closed.
    void commitTextEditing();
    // The editing widget while a session runs.
    TextSessionEditor* textEditor() const { return m_textEditor; }

    // ---- Panels and document settings (CanvasPanels.cpp) ----
    // The panel rotate and flip act on: the selected one, else the first.
    std::optional<QUuid> targetPanelID() const;
    std::optional<vorlix::Panel> selectedPanelModel() const; // QFrame has a Panel too
    // One step "Rimuovi pannello"; the last panel of a document is never removed (a beep).
    void removeSelectedPanel(const QUuid& id);
    // Nothing is selected, no session runs and the tool is select: the property bar
    // shows the document's settings.
    bool showsDocumentSettings() const;
    void showDocumentSettings();
    // A change of the whole document. A continuous one (a slider moving) changes the
    // document without an undo step until the non-continuous change that ends it, which
    // makes the whole gesture one step named `actionName`.
    void changeDocument(const QString& actionName, bool continuous, const DocumentEditor::Mutation& change);

    // ---- Image drops (CanvasImageDrop.cpp) ----
    // The document that takes dropped pictures; none refuses every drop.
    void setDocument(ProjectDocument* document);
    // Image files, or image data without a file, from anywhere but this window.
    // `source` is the drag's source object (none from another program).
    bool canAcceptImages(const QMimeData& data, const QObject* source) const;
    // Adds each dropped image file as a panel of its own, or the dropped image data as a
    // PNG panel. False, with a beep, when nothing could be added.
    bool performDrop(const QMimeData& data);

    // ---- Keys and the Edit menu (CanvasKeyboard.cpp, CanvasClipboard.cpp) ----
    // The selected annotations removed as one step, else the selected panel.
    void deleteSelection();
    // Every annotation, the panels' and the document's own; never a panel.
    void selectAll();
    // The selected annotations, else the selected panel, moved by `offset` canvas points
    // as one step.
    void nudge(Point offset);
    // Annotations travel on the clipboard under a type of ours, which only we read back,
    // beside their picture for other programs.
    static QString annotationsPasteboardType();
    // With nothing selected Copy takes the whole annotated picture.
    void copy();
    void cut();
    // Our own annotations cascading by 12 points per repeated paste, else a picture as a
    // new panel; a beep when the clipboard holds neither.
    void paste();
    enum class EditAction { cut, copy, paste, deleteSelection, selectAll };
    // Whether the Edit menu offers the action now.
    bool validateMenuItem(EditAction action) const;

    // Copies the hovered colour's hex text and tells so; a beep when no colour is hovered.
    void copyHoveredColor();
    // Ends the pointer gesture under way, with its editor interaction, its guides and its
    // preview, as if it had not begun. False when no gesture runs.
    bool cancelGesture();
    // Ends a continuous change (wheel, slider) still holding the editor's interaction as
    // its own undo step, so that the edit that comes next neither reuses nor drops it.
    void endContinuousChange();

    // ---- Text recognition of a region (CanvasTextRecognition.cpp) ----
    // Reads the text and codes of the OCR region on a worker thread: the text goes to the
    // clipboard, and a popover under the region shows the result while the region is
    // still the one read. A region under 4 x 4 points, or one that renders nothing, is
    // dropped at once.
    void recognizeText();
    // The popover showing the last result, while it is open.
    QWidget* textPopover() const;

    // ---- Cut-out session (CanvasCutOut.cpp) ----
    // Starts a session over a canvas rectangle at least 4 x 4 points that renders.
    void beginCutOut(const Rect& rect);
    // A seed at a canvas point inside the region; `everywhere` for a double click.
    void addCutOutHole(Point point, bool everywhere);
    // Takes the last seed back; a beep when there is none.
    void removeLastCutOutHole();
    // Clamped to 0 ... 1, kept for the next sessions too.
    void setCutOutSensitivity(double value);
    struct CutOutPNG {
        QByteArray data;
        QString fileName; // without extension
    };
    // The current result as PNG; nothing without a session or a result.
    std::optional<CutOutPNG> cutOutPNG() const;
    // Puts the result on the clipboard; false, with a beep, when there is none.
    bool copyCutOut();
    // Adds the result as a new selected panel in one step "Scontorna" and ends the session.
    void placeCutOut();

    // ---- Crop session (CanvasCrop.cpp) ----
    // Opens a session on the panel under the pointer, else the first; none without panels.
    void beginCrop();
    // Ends the session as one undo step "Ritaglia" and goes back to select.
    void applyCrop();
    // Ends the session leaving the document as it was, and goes back to select.
    void cancelCrop();
    // Remembered for later sessions; a running session's rectangle is fitted to it.
    void setCropAspect(CropAspect aspect);
    // The running session's rectangle, in its panel's image pixels.
    void setCropRect(const Rect& rect);

    // ---- Measurement (CanvasMeasurement.cpp) ----
    // The lines pinning would insert; none unless the tool is the ruler.
    std::vector<Segment> measureSegments() const;
    // Inserts the measurement (or the automatic ruler) as labelled lines in one step
    // "Fissa la misura" and selects them; a beep when there is nothing to pin.
    void pinMeasure();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void writeSelectionToPasteboard();
    void startTextSession(const QString& text, std::optional<QUuid> annotationID, Point origin, const Style& style,
                          AnnotationKind kind, std::optional<Point> tail, std::optional<Point> corner);
    // The shape the session would commit, as the canvas draws it while typing.
    CanvasShape textSessionShape() const;
    void placeTextEditor();
    void drawTextSession(QPainter& painter) const;

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
    // Ends an open continuous style change as its own undo step and stores the styles.
    void finishStyleChange();
    void adjustStyleWithWheel(const QWheelEvent& event);
    // The pointer moved with no button held, to a viewport position.
    void pointerHovered(QPointF position);
    // False when the click is left to the base class.
    bool requestColorMenu(QPoint globalPosition);
    // The cursor of an edit gesture at a canvas point: the crop handles in a crop
    // session, a selected annotation's handle, a panel corner with the select tool.
    std::optional<QCursor> editCursorAt(Point point);
    // The running text session's style changed: its text view follows at once.
    void textSessionStyleDidChange();
    void stateChanged();
    void showTextResult(const TextRecognition::Result& result, const Rect& region);
    void popoverDidClose();
    void closeTextPopover();
    void recomputeCutOut(CutOutSession session);
    void drawCutOut(QPainter& painter, const Rect& dirty) const;

    void setCropSession(std::optional<CropSession> session);
    // Keeps a running crop on its panel as the document changes under it (an undo or
    // redo): the preview shows the panel as it now is, and a removed panel ends the crop.
    void followCropPanel();
    void cropMouseDown(Point point, int clickCount);
    void cropMouseDragged(Point point, bool constrained);
    void cropMouseUp();
    // The viewport area to repaint when the crop rectangle moves from one canvas rectangle
    // to another.
    QRegion cropChange(const Rect& before, const Rect& after) const;
    QCursor cropCursor(Point point) const;
    void drawCrop(QPainter& painter) const;
    void drawMeasurement(QPainter& painter) const;
    void drawAutoRuler(QPainter& painter) const;
    // A pill of white text on black: at `at`, or beside a point and kept inside the view.
    void drawBadge(QPainter& painter, const QString& text, Point at, std::optional<Point> beside) const;
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
    QTimer m_wheelTimer;
    // The action name of the open continuous style change, for ending it early.
    QString m_styleChangeName;
    std::unique_ptr<PointerInput, PointerInputDeleter> m_pointer;
    Subscription m_editorSubscription;
    QMetaObject::Connection m_notificationConnection;
    QPointer<TextSessionEditor> m_textEditor;
    // What the session's text covered when last drawn, to repaint only that.
    Rect m_textSessionArea = Rect::null();
    QPointer<ProjectDocument> m_document;
    QPointer<TextRegionPopover> m_textPopover;
    // The region the open popover shows.
    Rect m_textPopoverRegion;
    // The window closed: late results are not shown.
    bool m_isTornDown = false;
};

} // namespace vorlix
