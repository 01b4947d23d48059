#pragma once
// The commands of an editor window that its menus and toolbar send: tools, rulers,
// adding pictures, the panel layout, numbering, turning and mirroring panels, the
// document settings, pinning, sharing, copying and exporting the picture, and zoom.
// Each has a name (the menu's way to find it), a handler and a check of whether its menu
// item is enabled and ticked now. Every change of the document is one named undo step.
// Main thread only.
//
// The pieces that belong to the application shell (captures, the history, pins, the
// export panels) are reached through process-wide hooks, set once by the shell.

#include "core/model/DocumentEditor.h"

#include <QByteArray>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>
#include <span>
#include <utility>

class QImage;
class QMenu;
class QWidget;

namespace vorlix {

class EditorWindow;
class ProjectDocument;

// What a menu item gives its command besides itself.
struct CommandItem {
    int tag = 0;
    // A tool's case name for selectTool, a shot's file path (or file URL) for addRecentShot.
    QVariant object;
};

// A menu item as its command wants it shown; `checked` empty leaves the tick as it is.
struct MenuItemState {
    bool enabled = true;
    std::optional<bool> checked;

    bool operator==(const MenuItemState&) const = default;
};

class EditorCommands {
public:
    // The shell's side of the commands. An empty hook leaves its command doing nothing
    // (or beeping where it has something to show and cannot).
    struct ShellHooks {
        std::function<void(ProjectDocument&)> captureArea;
        std::function<void(ProjectDocument&)> captureWindows;
        // The density recorded for a history shot, by its file path; nothing when unknown.
        std::function<std::optional<double>(const QString& path)> shotPixelsPerPoint;
        // Tells the user a recent shot's file is gone.
        std::function<void()> showShotMissing;
        // Fills the "Scatto recente" submenu; its items call `addShot` with the shot's path.
        std::function<void(QMenu& menu, std::function<void(const QString& path)> addShot)> fillRecentShots;
        // Opens a pin window on the picture, titled `title`.
        std::function<void(const QImage& image, double pixelsPerPoint, const QString& title)> pin;
        // Asks for image files to add (window-modal on `window`) and gives the chosen
        // paths, in order, to `done`; by default a file dialog over the openable types.
        std::function<void(QWidget* window, std::function<void(const QStringList&)> done)> chooseImageFiles;
        // The MIME types the file dialog accepts.
        QStringList openableImageTypes{"image/png",  "image/jpeg", "image/heic", "image/heif",
                                       "image/tiff", "image/gif",  "image/bmp"};
    };
    static ShellHooks& hooks();

    using Handler = void (EditorCommands::*)(const CommandItem&);
    using Validator = MenuItemState (EditorCommands::*)(const CommandItem&) const;
    struct Entry {
        const char* name; // "arrangePanels", as menus name the command
        Handler run;
        Validator validate;
    };
    // Every command, in menu order.
    static std::span<const Entry> table();
    static const Entry* find(const QString& name);

    explicit EditorCommands(EditorWindow& window);

    // Runs the named command when its item is enabled; a beep when it is not (nothing to
    // act on). A command that finds nothing to act on beeps too. False for an unknown name.
    bool trigger(const QString& name, const CommandItem& item = {});
    // Enabled and ticked state of the named command's item; an unknown name is enabled.
    MenuItemState validate(const QString& name, const CommandItem& item = {}) const;

    // ---- Handlers
    void selectTool(const CommandItem& item);
    void toggleRulers(const CommandItem& = {});
    void addImageFromFile(const CommandItem& = {});
    void addRecentShot(const CommandItem& item);
    void addNewCapture(const CommandItem& = {});
    void addWindowCapture(const CommandItem& = {});
    void addFromClipboard(const CommandItem& = {});
    void setLayoutMode(const CommandItem& item);
    void setSpacing(const CommandItem& item);
    void arrangePanels(const CommandItem& = {});
    void numberPanels(const CommandItem& = {});
    void removePanelNumbers(const CommandItem& = {});
    void rotateLeft(const CommandItem& = {});
    void rotateRight(const CommandItem& = {});
    void flipHorizontally(const CommandItem& = {});
    void flipVertically(const CommandItem& = {});
    void showDocumentSettings(const CommandItem& = {});
    void exportGuide(const CommandItem& = {});
    void pinImage(const CommandItem& = {});
    void shareImage(const CommandItem& = {});
    void copyImage(const CommandItem& = {});
    void exportImage(const CommandItem& = {});
    void zoomIn(const CommandItem& = {});
    void zoomOut(const CommandItem& = {});
    void zoomActualSize(const CommandItem& = {});
    void zoomToFit(const CommandItem& = {});

    // ---- Validators
    MenuItemState always(const CommandItem&) const { return {}; }
    MenuItemState toolState(const CommandItem& item) const;
    MenuItemState rulersState(const CommandItem&) const;
    MenuItemState layoutModeState(const CommandItem& item) const;
    MenuItemState spacingState(const CommandItem& item) const;
    MenuItemState arrangeState(const CommandItem&) const;
    MenuItemState numbersState(const CommandItem&) const;

    // One change of the document as one undo step named `actionName`. A change made while
    // the canvas holds an interaction open (a drag, a slider) ends that interaction with
    // this change on top of what it did so far, as one step under this name.
    void perform(const QString& actionName, const DocumentEditor::Mutation& edit);
    // The add button's menu, popped up under `anchor`; "Dagli appunti" is disabled while
    // the clipboard holds no picture.
    void showAddMenu(QWidget* anchor);
    // The share menu under `anchor`, else near the window's bottom right.
    void share(QWidget* anchor);
    // The annotated picture as PNG with the document's picture name; nothing when it
    // cannot be made.
    std::optional<std::pair<QByteArray, QString>> annotatedImageFile();
    // The last menu shown by showAddMenu or share (for tests); it lives until the next.
    QMenu* lastMenu() const { return m_lastMenu; }

private:
    void addFiles(const QStringList& paths);
    void turnTarget(const QString& actionName, const std::function<void(DocumentModel&, const QUuid&)>& turn);
    void popUp(QMenu* menu, QWidget* anchor, QPoint at);

    EditorWindow& m_window;
    QMenu* m_lastMenu = nullptr;
};

} // namespace vorlix
