#pragma once
// The editor window of one project document: the toolbar with the tools, indicators and
// action buttons; the canvas in its scroll view, with pixel rulers along its top and
// left edges when they are asked for; the size and "NON SALVATO" badges over the canvas.
// It sizes itself to the canvas when it opens, keeps the toolbar fitted to its width,
// owns the zoom, undoes and redoes, and asks before an edited document is closed. Main
// thread only.
//
// The window owns its document. Sizes are in points (logical pixels).

#include "app/editor/document/DocumentSaving.h"
#include "app/editor/document/ProjectDocument.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QMenuBar;

namespace vorlix {

class CanvasView;
class EditorCommands;
class EditorToolbar;
class PixelRuler;
class PropertyBar;
class PropertyColumn;
class Settings;
class SizeBadge;
class UnsavedBadge;

class EditorWindow final : public QMainWindow {
public:
    // `choosePath` names the package of a document saved for the first time; by default
    // the save dialog in the projects folder.
    EditorWindow(std::unique_ptr<ProjectDocument> document, Settings& settings,
                 DocumentSaving::PathChooser choosePath = {});
    ~EditorWindow() override;

    // Makes each new window's menu bar; set once at start-up by the application, which
    // owns the menus. Without it a window has no menu bar.
    static std::function<QMenuBar*(EditorWindow&)> menuBarFactory;

    ProjectDocument& document() { return *m_document; }
    CanvasView& canvas() { return *m_canvas; }
    EditorToolbar& toolbar() { return *m_toolbar; }
    // The inspector of what the canvas works on, shown in the column's popover.
    PropertyBar& propertyBar() { return *m_propertyBar; }
    // The strip beside the canvas; refreshed, with the bar, on every change of the canvas.
    PropertyColumn& column() { return *m_column; }
    bool rulersShown() const;
    // The window's menu and toolbar commands, by name, with their menu states.
    EditorCommands& commands() { return *m_commands; }

    void zoomIn();
    void zoomOut();
    void zoomActualSize();
    void zoomToFit();
    void setZoom(double magnification);
    void saveDocument(bool asNew = false);
    // The export dialog for the annotated picture, window-modal; returns at once.
    void exportImage();
    // While in-place text is being edited these act on the typing, which keeps its own
    // history until it is committed; otherwise on the document's.
    void undo();
    void redo();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    friend class EditorCommands;

    void buildActions();
    void sizeWindowToFitCanvas();
    void canvasStateChanged();
    void updateTitle();
    void updateRulers();
    void placeBadges();
    void fitToolbar();
    // Ends what still holds the document's editor open, so that a step of the history is
    // not replayed under a change in progress.
    void settleForHistory();

    std::unique_ptr<ProjectDocument> m_document;
    Settings& m_settings;
    DocumentSaving::PathChooser m_choosePath;
    EditorToolbar* m_toolbar = nullptr;
    CanvasView* m_canvas = nullptr;
    PixelRuler* m_horizontalRuler = nullptr;
    PixelRuler* m_verticalRuler = nullptr;
    PropertyBar* m_propertyBar = nullptr;
    PropertyColumn* m_column = nullptr;
    SizeBadge* m_sizeBadge = nullptr;
    UnsavedBadge* m_unsavedBadge = nullptr;
    std::unique_ptr<EditorCommands> m_commands;
    bool m_sized = false;
    // The close confirmed (or not needed): the next close event closes.
    bool m_closeConfirmed = false;
    bool m_confirmingClose = false;
};

} // namespace vorlix
