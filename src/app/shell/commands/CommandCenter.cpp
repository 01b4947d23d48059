#include "app/shell/commands/CommandCenter.h"

#include "app/editor/window/EditorWindow.h"
#include "app/shell/commands/LaunchAtLogin.h"
#include "app/shell/commands/ShotDocument.h"
#include "app/shell/panels/CaptureSizeCheck.h"
#include "app/support/Alerts.h"
#include "app/support/Beeper.h"
#include "app/support/NotificationCenter.h"
#include "app/support/Pasteboard.h"
#include "app/support/Settings.h"
#include "app/support/TextResultPanel.h"
#include "core/analysis/TextRecognition.h"

#include <QClipboard>
#include <QCoro/QCoroFuture>
#include <QCoro/QCoroTimer>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QUrl>

#include <chrono>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

void presentAlert(const CommandAlert& alert, std::function<void(int)> completion)
{
    auto* box = new QMessageBox;
    box->setTextFormat(Qt::PlainText);
    box->setText(alert.message);
    box->setInformativeText(alert.informativeText);
    for (int i = 0; i < alert.buttons.size(); ++i) {
        QPushButton* button =
            box->addButton(alert.buttons[i], i == 0 ? QMessageBox::AcceptRole : QMessageBox::RejectRole);
        if (i == 0)
            box->setDefaultButton(button);
    }
    Alerts::present(box, nullptr, std::move(completion));
}

void showInEditor(std::unique_ptr<ProjectDocument> document, Settings& settings)
{
    auto* window = new EditorWindow(std::move(document), settings);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    window->raise();
    window->activateWindow();
}

QStringList chooseImageFilesInDialog()
{
    return QFileDialog::getOpenFileNames(nullptr, u"Apri file"_s, QString(), CommandCenter::openableImageFilter());
}

} // namespace

CommandCenter::CommandCenter(Settings& settings) : m_settings(settings), m_life(std::make_unique<QObject>())
{
    hooks.showAlert = presentAlert;
    hooks.openDocument = [this](std::unique_ptr<ProjectDocument> document) {
        showInEditor(std::move(document), m_settings);
    };
    hooks.fitsSomeScreen = [](const CaptureSize& size) { return fitsSomeScreen(size); };
    hooks.chooseImageFiles = chooseImageFilesInDialog;
    hooks.openFolder = [](const QString& folder) { QDesktopServices::openUrl(QUrl::fromLocalFile(folder)); };
    QObject::connect(&settings.notifications(), &NotificationCenter::posted, m_life.get(), [this](const QString& name) {
        if (name == Settings::historyFolderDidReset)
            showHistoryFolderReset();
    });
}

CommandCenter::~CommandCenter() = default;

CommandCenter& CommandCenter::shared()
{
    static CommandCenter* center = new CommandCenter(Settings::shared());
    return *center;
}

const QStringList& CommandCenter::openableImageTypes()
{
    static const QStringList types{u"image/png"_s,  u"image/jpeg"_s, u"image/heic"_s, u"image/heif"_s,
                                   u"image/tiff"_s, u"image/gif"_s,  u"image/bmp"_s};
    return types;
}

QString CommandCenter::openableImageFilter()
{
    return u"Immagini (*.png *.jpg *.jpeg *.heic *.heif *.tif *.tiff *.gif *.bmp)"_s;
}

void CommandCenter::perform(const AppCommand& command)
{
    using K = AppCommand::Kind;
    switch (command.kind) {
    case K::captureArea:
        captureTask([](CaptureService& service) -> QCoro::Task<CaptureOutcome> {
            CaptureListOutcome outcome = co_await service.captureWithOverlay(SelectionMode::area());
            if (auto* error = std::get_if<CaptureError>(&outcome))
                co_return *error;
            auto& shots = std::get<std::vector<CapturedShot>>(outcome);
            co_return shots.empty() ? std::optional<CapturedShot>() : std::optional(std::move(shots.front()));
        });
        return;
    case K::captureFullScreen:
        captureTask([](CaptureService& service) { return service.captureFullScreen(); });
        return;
    case K::captureRepeatArea:
        captureTask([](CaptureService& service) { return service.captureRepeatArea(); });
        return;
    case K::captureDelayed: {
        const double seconds = double(m_settings.get(setting::captureDelay));
        captureTask([seconds](CaptureService& service) { return service.captureDelayed(seconds); });
        return;
    }
    case K::captureActiveWindow:
        captureTask([](CaptureService& service) { return service.captureActiveWindow(); });
        return;
    case K::captureScrolling:
        // Asked again while the page is being scrolled (its hot key, the menu), the command
        // ends the capture as "Fatto" does.
        if (hooks.captureService().finishScrolling())
            return;
        captureTask([](CaptureService& service) { return service.captureScrolling(); });
        return;
    case K::recognizeText:
        recognizeTextOnScreen();
        return;
    case K::captureAllInOne:
        captureMany([](CaptureService& service) { return service.captureWithOverlay(SelectionMode::allInOne()); });
        return;
    case K::captureWindow:
        captureMany([](CaptureService& service) { return service.captureWithOverlay(SelectionMode::window()); });
        return;
    case K::captureFixedArea:
        if (command.size)
            captureFixedArea(*command.size, 0);
        else if (const std::optional<CaptureSize> last = m_settings.get(setting::lastCaptureSize))
            captureFixedArea(*last, 0);
        else
            perform(K::captureCustomFixedArea);
        return;
    case K::captureCustomFixedArea:
        openCustomFixedForm();
        return;
    case K::openHistoryEntry:
        openHistoryEntry(command.entryID);
        return;
    case K::reopenLastShot: {
        const std::vector<HistoryEntry> entries = history().entries();
        if (entries.empty())
            Beeper::beep();
        else
            openHistoryEntry(entries.front().id);
        return;
    }
    case K::showHistoryFolder:
        showHistoryFolder();
        return;
    case K::openFromClipboard:
        openImageFromClipboard();
        return;
    case K::openImageFile:
        openImageFile();
        return;
    case K::openProject:
        if (hooks.showAsRegularApp)
            hooks.showAsRegularApp();
        if (hooks.openProject)
            hooks.openProject();
        return;
    case K::openSettings:
        if (hooks.openSettings)
            hooks.openSettings();
        else
            Beeper::beep(); // no settings window yet
        return;
    case K::unlockPinnedWindows:
        if (hooks.unlockPinnedWindows)
            hooks.unlockPinnedWindows();
        return;
    case K::closePinnedWindows:
        if (hooks.closePinnedWindows)
            hooks.closePinnedWindows();
        return;
    case K::toggleLaunchAtLogin:
        if (const std::optional<QString> error = LaunchAtLogin::toggle())
            showError(*error);
        return;
    case K::toggleToolbarLabels:
        m_settings.set(setting::toolbarShowsLabels, !m_settings.get(setting::toolbarShowsLabels));
        return;
    }
}

void CommandCenter::performURL(const QString& text)
{
    const std::optional<AppCommand> command = URLCommands::command(text);
    if (!command || !m_urlGate.admit(URLCommands::Gate::Clock::now())) {
        Beeper::beep();
        return;
    }
    if (!URLCommands::needsConfirmation(*command)) {
        perform(*command);
        return;
    }
    QPointer<QObject> life = m_life.get();
    alert({u"Un'altra applicazione chiede di catturare lo schermo"_s,
           u"La cattura parte senza che tu scelga che cosa riprendere. Vuoi catturare adesso?"_s,
           {u"Cattura"_s, u"Annulla"_s}},
          [this, life, command = *command](int button) {
              if (life && button == 0)
                  perform(command);
          });
}

// ---- Capture tasks ----------------------------------------------------------------------

QCoro::Task<void> CommandCenter::captureTask(ShotCapture capture)
{
    QPointer<QObject> life = m_life.get();
    const CaptureOutcome outcome = co_await capture(hooks.captureService());
    if (!life)
        co_return;
    if (const auto* error = std::get_if<CaptureError>(&outcome)) {
        showCaptureError(*error);
        co_return;
    }
    if (const auto& shot = std::get<std::optional<CapturedShot>>(outcome))
        handle(*shot);
}

QCoro::Task<void> CommandCenter::captureMany(ShotsCapture capture)
{
    QPointer<QObject> life = m_life.get();
    const CaptureListOutcome outcome = co_await capture(hooks.captureService());
    if (!life)
        co_return;
    if (const auto* error = std::get_if<CaptureError>(&outcome)) {
        showCaptureError(*error);
        co_return;
    }
    const auto& shots = std::get<std::vector<CapturedShot>>(outcome);
    if (shots.empty())
        co_return;
    if (shots.size() == 1) {
        handle(shots.front());
        co_return;
    }
    const QDateTime date = QDateTime::currentDateTimeUtc();
    for (const CapturedShot& shot : shots)
        saveToHistory(shot, date);
    std::unique_ptr<ProjectDocument> document = makeDocument(shots.front(), date);
    if (!document)
        co_return;
    for (std::size_t i = 1; i < shots.size(); ++i)
        add(shots[i], *document);
    document->undoManager().removeAllActions();
    document->undoManager().markClean();
    open(std::move(document));
}

void CommandCenter::captureFixedArea(const CaptureSize& size, double delay)
{
    if (!hooks.fitsSomeScreen(size)) {
        alert({size.title() + u" è più grande dello schermo"_s,
               u"Scegli una misura più piccola, oppure toglila dalle preferite nelle Impostazioni."_s});
        return;
    }
    m_settings.set(setting::lastCaptureSize, size);
    captureFixedTask(size, delay);
}

QCoro::Task<void> CommandCenter::captureFixedTask(CaptureSize size, double delay)
{
    QPointer<QObject> life = m_life.get();
    if (delay > 0)
        co_await QCoro::sleepFor(std::chrono::milliseconds(qRound64(delay * 1000)));
    if (!life)
        co_return;
    co_await captureTask([size](CaptureService& service) -> QCoro::Task<CaptureOutcome> {
        CaptureListOutcome outcome = co_await service.captureWithOverlay(SelectionMode::fixed(size));
        if (auto* error = std::get_if<CaptureError>(&outcome))
            co_return *error;
        auto& shots = std::get<std::vector<CapturedShot>>(outcome);
        co_return shots.empty() ? std::optional<CapturedShot>() : std::optional(std::move(shots.front()));
    });
}

void CommandCenter::openCustomFixedForm()
{
    if (!hooks.askFixedSize) {
        Beeper::beep();
        return;
    }
    const CaptureSize initial =
        m_settings.get(setting::lastCaptureSize).value_or(CaptureSize{defaultFixedWidth, defaultFixedHeight, false});
    QPointer<QObject> life = m_life.get();
    hooks.askFixedSize(initial, [this, life](const CaptureSize& size, bool favorite) {
        if (!life)
            return;
        if (favorite)
            m_settings.addCaptureSize(size);
        captureFixedArea(size, 0.3);
    });
}

void CommandCenter::captureArea(ProjectDocument& document)
{
    captureInto(&document, [](CaptureService& service) -> QCoro::Task<CaptureListOutcome> {
        CaptureOutcome outcome = co_await service.captureArea();
        if (auto* error = std::get_if<CaptureError>(&outcome))
            co_return *error;
        std::vector<CapturedShot> shots;
        if (auto& shot = std::get<std::optional<CapturedShot>>(outcome))
            shots.push_back(std::move(*shot));
        co_return shots;
    });
}

void CommandCenter::captureWindows(ProjectDocument& document)
{
    captureInto(&document, [](CaptureService& service) { return service.captureWithOverlay(SelectionMode::window()); });
}

QCoro::Task<void> CommandCenter::captureInto(QPointer<ProjectDocument> document, ShotsCapture capture)
{
    QPointer<QObject> life = m_life.get();
    const CaptureListOutcome outcome = co_await capture(hooks.captureService());
    if (!life)
        co_return;
    if (const auto* error = std::get_if<CaptureError>(&outcome)) {
        showCaptureError(*error);
        co_return;
    }
    const auto& shots = std::get<std::vector<CapturedShot>>(outcome);
    if (shots.empty() || !document)
        co_return;
    if (hooks.showAsRegularApp)
        hooks.showAsRegularApp();
    for (const CapturedShot& shot : shots) {
        saveToHistory(shot, QDateTime::currentDateTimeUtc());
        if (!document)
            co_return;
        add(shot, *document);
    }
}

QCoro::Task<void> CommandCenter::recognizeTextOnScreen()
{
    QPointer<QObject> life = m_life.get();
    const CaptureOutcome outcome = co_await hooks.captureService().captureArea();
    if (!life)
        co_return;
    if (const auto* error = std::get_if<CaptureError>(&outcome)) {
        showCaptureError(*error);
        co_return;
    }
    const auto& shot = std::get<std::optional<CapturedShot>>(outcome);
    if (!shot)
        co_return;
    const TextRecognition::Result result = co_await TextRecognition::recognize(shot->image);
    if (!life)
        co_return;
    if (!result.isEmpty())
        QGuiApplication::clipboard()->setText(result.combined());
    TextResultPanel::show(result);
}

void CommandCenter::showCaptureError(const CaptureError& error)
{
    if (error.kind == CaptureError::Kind::permissionDenied)
        showPermissionAlert();
    else
        showError(error.message);
}

void CommandCenter::showError(const QString& message) { alert({message, QString()}); }

void CommandCenter::alert(const CommandAlert& alert, std::function<void(int)> completion)
{
    if (hooks.showAlert)
        hooks.showAlert(alert, std::move(completion));
}

void CommandCenter::open(std::unique_ptr<ProjectDocument> document)
{
    if (hooks.showAsRegularApp)
        hooks.showAsRegularApp();
    if (hooks.openDocument)
        hooks.openDocument(std::move(document));
}

} // namespace vorlix
