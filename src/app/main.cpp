// The executable: a tray application, one running instance per user. A start while
// another instance runs hands its arguments (command URLs such as
// "vorlix://capture/area", image or project files) to that one and ends at once.

#include "app/capture/CaptureService.h"
#include "app/editor/document/ProjectDocument.h"
#include "app/editor/document/ProjectsFolder.h"
#include "app/editor/window/EditorCommands.h"
#include "app/editor/window/EditorWindow.h"
#include "app/settings/SettingsWindowController.h"
#include "app/shell/commands/CommandCenter.h"
#include "app/shell/documents/DocumentController.h"
#include "app/shell/menus/MainMenu.h"
#include "app/shell/panels/CaptureSizePanel.h"
#include "app/shell/panels/QuickPreview.h"
#include "app/shell/pins/PinWindowController.h"
#include "app/shell/startup/AppDelegate.h"
#include "app/shell/startup/ForwardedArguments.h"
#include "app/shell/startup/SingleInstance.h"
#include "app/shell/startup/StatusMenuController.h"
#include "app/shell/update/UpdateChecker.h"
#include "app/support/AppConfig.h"
#include "app/support/Settings.h"
#include "platform/HotkeyCenter.h"
#include "platform/ScreenSource.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

#include <cstdio>

#include <malloc.h>

using namespace vorlix;
using namespace Qt::StringLiterals;

namespace {

// The settings window's pages act through the commands; the commands open the window.
void connectSettingsWindow(CommandCenter& commands, Settings& settings, AppDelegate& delegate)
{
    SettingsServices& services = SettingsWindowController::sharedServices();
    services.showAsRegularApp = [&delegate] { delegate.activationPolicy().showAsRegularApp(); };
    services.historyChanged = [&commands] {
        if (commands.onHistoryChange)
            commands.onHistoryChange();
    };
    services.history = [&commands]() -> HistoryStore& { return commands.history(); };
    services.setHistoryFolder = [&commands](const std::optional<QString>& folder) {
        return commands.setHistoryFolder(folder);
    };
    services.showHistoryFolder = [&commands] { commands.showHistoryFolder(); };
    services.openFolder = [&commands](const QString& folder) {
        if (commands.hooks.openFolder)
            commands.hooks.openFolder(folder);
    };
    services.createProjectsFolder = [&settings](QWidget* window, std::function<void(std::optional<QString>)> done) {
        ProjectsFolder::create(window, settings, std::move(done));
    };
    services.askNewCaptureSize = [](const CaptureSize& size, QWidget* window,
                                    std::function<void(const CaptureSize&)> done) {
        CaptureSizePanel::present(std::make_unique<CaptureSizeForm>(size, false, false), std::nullopt, window,
                                  [done = std::move(done)](const CaptureSize& chosen, bool) { done(chosen); });
    };
    services.updateStatusDidChange = UpdateChecker::didChange;
    services.checkForUpdates = [] { UpdateChecker::shared().checkNow(); };
    services.updateStatus = [] { return UpdateChecker::shared().status(); };
    services.applyHotkeys = [&commands] { return commands.applyHotkeys(HotkeyCenter::shared()); };
    commands.hooks.openSettings = [] { SettingsWindowController::shared().show(); };
}

} // namespace

int main(int argc, char** argv)
{
    // The tray, global hot keys and window captures need X11: under Wayland the program
    // runs through XWayland unless told otherwise.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    AppDelegate::setApplicationIdentity();

    const QStringList arguments = ForwardedArguments::forwardable(app.arguments().mid(1), QDir::currentPath());
    SingleInstance instance;
    switch (instance.start(arguments)) {
    case SingleInstance::Role::forwarded:
        return 0;
    case SingleInstance::Role::failed:
        std::fprintf(stderr, "vorlix: the running instance could not be reached, nor could this one start\n");
        return 1;
    case SingleInstance::Role::running:
        break;
    }

    // Qt's own texts (file dialogs, standard buttons) in the language of the interface.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Italian, QLocale::Italy), u"qtbase"_s, u"_"_s,
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTexts);

    Settings& settings = Settings::shared();
    const std::unique_ptr<ScreenSource> screens = makePlatformScreenSource();
    CaptureService::installShared(std::make_unique<CaptureService>(*screens, settings));
    CommandCenter& commands = CommandCenter::shared();
    // Before anything opens a document: every file the program is asked to open passes here.
    const DocumentController documents(DocumentController::hooksFor(commands, settings));

    AppDelegate::Hooks hooks;
    hooks.applyHotkeys = [&commands] { commands.applyHotkeys(HotkeyCenter::shared()); };
    hooks.migrateLegacyHistory = [&commands] { commands.migrateLegacyHistory(AppConfig::legacyHistoryDirectory()); };
    hooks.cleanUpHistory = [&commands] { commands.cleanUpHistory(); };
    hooks.startUpdateChecker = [] { UpdateChecker::shared().start(); };
    hooks.openURLsOrFiles = [&commands, &documents](const QStringList& received) {
        documents.openURLsOrFiles(commands, received);
    };
    AppDelegate delegate(settings, std::move(hooks));
    commands.hooks.showAsRegularApp = [&delegate] { delegate.activationPolicy().showAsRegularApp(); };
    commands.hooks.openProject = [&documents] {
        // A project is a package folder.
        const QString path = QFileDialog::getExistingDirectory(nullptr, u"Apri progetto"_s);
        if (!path.isEmpty())
            documents.openDocument(path);
    };
    commands.hooks.showQuickPreview = [](const CapturedShot& shot, const QDateTime& date) {
        QuickPreview::shared().show(shot, date);
    };
    commands.hooks.askFixedSize = [](const CaptureSize& size, CaptureSizePanel::Completion completion) {
        CaptureSizePanel::askForCapture(size, std::move(completion));
    };
    // A shot opened from the preview becomes the same document as one opened directly.
    QuickPreview::shared().setHooks({
        .openInEditor =
            [&commands](const CapturedShot& shot, const QDateTime& date) {
                if (std::unique_ptr<ProjectDocument> document = commands.makeDocument(shot, date))
                    commands.hooks.openDocument(std::move(document));
            },
        .showAsRegularApp = [&delegate] { delegate.activationPolicy().showAsRegularApp(); },
    });
    // Every editor window gets the application's menu bar.
    EditorWindow::menuBarFactory = [](EditorWindow& editor) { return MainMenu::build(editor, &editor); };
    EditorCommands::ShellHooks& editorHooks = EditorCommands::hooks();
    editorHooks.captureArea = [&commands](ProjectDocument& document) { commands.captureArea(document); };
    editorHooks.captureWindows = [&commands](ProjectDocument& document) { commands.captureWindows(document); };
    editorHooks.showShotMissing = [&commands] { commands.showShotMissing(); };
    editorHooks.shotPixelsPerPoint = [&commands](const QString& path) -> std::optional<double> {
        if (const std::optional<HistoryEntry> entry = commands.history().entry(path))
            return entry->pixelsPerPoint;
        return std::nullopt;
    };
    editorHooks.fillRecentShots = [](QMenu& menu, std::function<void(const QString&)> addShot) {
        MainMenu::fillRecentShots(menu, std::move(addShot));
    };
    editorHooks.openableImageTypes = CommandCenter::openableImageTypes();
    editorHooks.pin = [](const QImage& image, double pixelsPerPoint, const QString& title) {
        PinWindowController::pin(image, pixelsPerPoint, title);
    };
    commands.hooks.unlockPinnedWindows = [] { PinWindowController::unlockAll(); };
    commands.hooks.closePinnedWindows = [] { PinWindowController::closeAll(); };
    MainMenu::hooks().openProject = [&documents](const QString& path) { documents.openDocument(path); };
    commands.onHistoryChange = [&delegate] {
        if (StatusMenuController* menu = delegate.statusMenu())
            menu->rebuild();
    };
    connectSettingsWindow(commands, settings, delegate);

    QObject::connect(&instance, &SingleInstance::argumentsReceived, &delegate, &AppDelegate::handleArguments);
    delegate.finishLaunching();
    // The first capture's buffers, paid for once the tray icon is up.
    QTimer::singleShot(0, &delegate, [] { CaptureService::shared().prepare(); });
    // Setting up fonts, styles and the tray leaves freed memory in the allocator's heaps;
    // the program then waits in the tray, often for hours, so it gives that memory back.
    QTimer::singleShot(2000, &delegate, [] { malloc_trim(0); });
    if (!arguments.isEmpty())
        QTimer::singleShot(0, &delegate, [&delegate, arguments] { delegate.handleArguments(arguments); });
    const int status = app.exec();
    PinWindowController::open().clear();    // their windows go before the application
    CaptureService::installShared(nullptr); // before the screen source it captures from
    return status;
}
