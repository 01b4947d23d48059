#pragma once
// The one place that gives every AppCommand its effect, whether it came from a menu, a
// hot key or a URL. Commands that capture start a coroutine on the main thread that
// awaits the capture service, reports failures in alerts and hands each shot on: first
// to the history folder, then to the quick preview (with the PNG on the clipboard) or a
// new editor window, as "afterCapture" says. Several shots of one capture always become
// one editor document. The capture service alone guards against overlapping captures.
//
// What lies outside the commands (windows, forms, the preview, pinned images, folders
// and file choosers, alerts) is reached through `hooks`, which the application fills;
// tests replace them. Main thread only; one instance for the whole run.

#include "app/capture/CaptureService.h"
#include "app/shell/commands/AppCommand.h"
#include "app/shell/commands/URLCommands.h"
#include "core/formats/HistoryStore.h"

#include <QCoro/QCoroTask>
#include <QDateTime>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace vorlix {

class HotkeyCenter;
class ProjectDocument;
class Settings;

// An alert as the command centre asks for it: plain texts and the buttons in order.
struct CommandAlert {
    QString message;
    QString informativeText;
    QStringList buttons{QStringLiteral("OK")};

    bool operator==(const CommandAlert&) const = default;
};

class CommandCenter {
public:
    struct Hooks {
        std::function<CaptureService&()> captureService = []() -> CaptureService& { return CaptureService::shared(); };
        // Shows the alert; the completion gets the pressed button's index.
        std::function<void(const CommandAlert&, std::function<void(int)>)> showAlert;
        // Shows a new document in an editor window of its own.
        std::function<void(std::unique_ptr<ProjectDocument>)> openDocument;
        // The quick preview of a shot taken at the date; without it the editor opens.
        std::function<void(const CapturedShot&, const QDateTime&)> showQuickPreview;
        // The fixed-size form with its first size; the completion gets the chosen size
        // and whether it is to be kept among the favourites.
        std::function<void(const CaptureSize&, std::function<void(const CaptureSize&, bool)>)> askFixedSize;
        // Whether a fixed size fits on some screen in pixels.
        std::function<bool(const CaptureSize&)> fitsSomeScreen;
        // The image files chosen to open; empty when the choice was cancelled.
        std::function<QStringList()> chooseImageFiles;
        std::function<void(const QString& folder)> openFolder;
        std::function<void()> showAsRegularApp;
        std::function<void()> openSettings;
        std::function<void()> openProject;
        std::function<void()> unlockPinnedWindows;
        std::function<void()> closePinnedWindows;
    };

    static constexpr int defaultFixedWidth = 1280;
    static constexpr int defaultFixedHeight = 720;

    explicit CommandCenter(Settings& settings);
    ~CommandCenter();
    CommandCenter(const CommandCenter&) = delete;
    CommandCenter& operator=(const CommandCenter&) = delete;

    // The application's command centre, made on first use over the shared settings.
    static CommandCenter& shared();

    Hooks hooks;
    // Called whenever the set of history shots may have changed.
    std::function<void()> onHistoryChange;

    // The MIME types image-opening panels accept, in order.
    static const QStringList& openableImageTypes();
    // A name filter for file dialogs made of the openable types' patterns.
    static QString openableImageFilter();

    // Carries the command out, or starts its task, and returns.
    void perform(const AppCommand& command);
    // A command asked for by a URL from another program: refused with a beep when it
    // names no command or comes too soon after the previous one; a capture that takes
    // a picture without the user choosing it is confirmed first.
    void performURL(const QString& text);

    // Captures an area, or windows, and adds the shots as panels of an open document.
    void captureArea(ProjectDocument& document);
    void captureWindows(ProjectDocument& document);

    // ---- Shots and history
    // The store of the current history folder.
    HistoryStore& history();
    // The hand-off of one finished shot.
    void handle(const CapturedShot& shot);
    // Adds one shot to the history when it is on; a write error is shown with the
    // sentence of what follows (the editor or the quick preview).
    void saveToHistory(const CapturedShot& shot, const QDateTime& date, bool openedInEditor = true);
    void openHistoryEntry(const QUuid& id);
    // Creates and opens the history folder.
    void showHistoryFolder();
    // A new history folder, or back to the default one; false when it cannot be kept.
    bool setHistoryFolder(const std::optional<QString>& folder);
    void cleanUpHistory(const QDateTime& now = QDateTime::currentDateTimeUtc());
    // Moves the shots kept by earlier versions in `legacyFolder` (by default theirs) into
    // the history, each once; shots that cannot be read stay where they are.
    void migrateLegacyHistory(const QString& legacyFolder);
    void migrateLegacyHistory();
    void showHistoryFolderReset();
    void showShotMissing();

    // ---- Documents, hot keys and alerts
    // The document of a shot taken at `date`; nothing, after an alert, when its PNG is
    // unreadable. The caller shows it.
    std::unique_ptr<ProjectDocument> makeDocument(const CapturedShot& shot, const QDateTime& date);
    // Adds the shot to an open document as a new panel ("Aggiungi scatto").
    bool add(const CapturedShot& shot, ProjectDocument& document);
    // Opens an image file as a new document in a new editor window.
    void openImage(const QString& path);
    void openImageFile();
    // Opens the clipboard's picture as a new document; a beep when it holds none.
    void openImageFromClipboard();
    // Registers every stored hot key again; the actions that could not be registered.
    std::set<HotkeyAction> applyHotkeys(HotkeyCenter& hotkeys);
    void showFolderProblem(const QString& title, const QString& text);
    void showPermissionAlert();

private:
    using ShotCapture = std::function<QCoro::Task<CaptureOutcome>(CaptureService&)>;
    using ShotsCapture = std::function<QCoro::Task<CaptureListOutcome>(CaptureService&)>;

    QCoro::Task<void> captureTask(ShotCapture capture);
    QCoro::Task<void> captureMany(ShotsCapture capture);
    QCoro::Task<void> captureFixedTask(CaptureSize size, double delay);
    QCoro::Task<void> captureInto(QPointer<ProjectDocument> document, ShotsCapture capture);
    QCoro::Task<void> recognizeTextOnScreen();
    void captureFixedArea(const CaptureSize& size, double delay);
    void openCustomFixedForm();
    void showCaptureError(const CaptureError& error);
    void showHistoryWriteError(const QString& reason, bool openedInEditor);
    void showError(const QString& message);
    void alert(const CommandAlert& alert, std::function<void(int)> completion = {});
    void open(std::unique_ptr<ProjectDocument> document);
    void historyChanged();
    HistoryEntry entryFor(const CapturedShot& shot, const QDateTime& date) const;

    Settings& m_settings;
    std::optional<HistoryStore> m_cachedHistory;
    URLCommands::Gate m_urlGate;
    // Gone with the centre: tasks and callbacks that outlive it stop.
    std::unique_ptr<QObject> m_life;
};

} // namespace vorlix
