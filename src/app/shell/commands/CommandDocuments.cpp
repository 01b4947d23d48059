// The command centre's documents, hot keys and alerts: shot documents, image files and
// clipboard pictures opened as documents, the stored hot keys applied, and the alerts
// about the shots folder and the screen permission.

#include "app/shell/commands/CommandCenter.h"

#include "app/editor/document/PastedImage.h"
#include "app/editor/document/ProjectDocument.h"
#include "app/shell/commands/ShotDocument.h"
#include "app/support/AppConfig.h"
#include "app/support/Beeper.h"
#include "app/support/Settings.h"
#include "core/imaging/ImageCoding.h"
#include "platform/HotkeyCenter.h"

#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QMimeData>
#include <QPointer>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

Q_LOGGING_CATEGORY(hotkeyLog, "vorlix.hotkeys")

const QString corruptFileMessage = u"Impossibile aprire il file perché non è nel formato corretto."_s;

QString registrationErrorText(const HotkeyRegistrationError& error)
{
    if (error.kind == HotkeyRegistrationError::Kind::alreadyTaken)
        return u"alreadyTaken"_s;
    return u"failed(%1)"_s.arg(error.status);
}

} // namespace

std::unique_ptr<ProjectDocument> CommandCenter::makeDocument(const CapturedShot& shot, const QDateTime& date)
{
    std::unique_ptr<ProjectDocument> document = ShotDocument::make(shot, date, m_settings);
    if (!document)
        showError(corruptFileMessage);
    return document;
}

bool CommandCenter::add(const CapturedShot& shot, ProjectDocument& document)
{
    return ShotDocument::add(shot, document);
}

void CommandCenter::openImage(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        showError(u"Impossibile aprire il file «%1»: %2"_s.arg(QFileInfo(path).fileName(), file.errorString()));
        return;
    }
    const QByteArray data = file.readAll();
    const QFileInfo info(path);
    ShotDocument::Details details;
    details.fileExtension = info.suffix().toLower();
    details.pixelsPerPoint = ShotDocument::pixelsPerPointOf(data);
    details.createdAt = info.birthTime().isValid() ? info.birthTime() : QDateTime::currentDateTimeUtc();
    std::unique_ptr<ProjectDocument> document = ShotDocument::make(data, details, m_settings);
    if (!document) {
        showError(corruptFileMessage);
        return;
    }
    open(std::move(document));
}

void CommandCenter::openImageFile()
{
    if (hooks.showAsRegularApp)
        hooks.showAsRegularApp();
    if (!hooks.chooseImageFiles)
        return;
    for (const QString& path : hooks.chooseImageFiles())
        openImage(path);
}

void CommandCenter::openImageFromClipboard()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    const std::optional<PastedImage> pasted = data ? PastedImage::read(*data) : std::nullopt;
    const std::optional<QByteArray> png =
        pasted ? ImageCoding::encode(pasted->image, ImageType::png, pasted->pixelsPerPoint, 0.9) : std::nullopt;
    if (!png) {
        Beeper::beep();
        return;
    }
    ShotDocument::Details details;
    details.pixelsPerPoint = pasted->pixelsPerPoint;
    details.createdAt = QDateTime::currentDateTimeUtc();
    std::unique_ptr<ProjectDocument> document = ShotDocument::make(*png, details, m_settings);
    if (!document) {
        showError(corruptFileMessage);
        return;
    }
    open(std::move(document));
}

std::set<HotkeyAction> CommandCenter::applyHotkeys(HotkeyCenter& hotkeys)
{
    hotkeys.unregisterAll();
    std::set<HotkeyAction> failed;
    QPointer<QObject> life = m_life.get();
    for (const auto& [action, combo] : m_settings.get(setting::hotkeys).bindings) {
        const HotkeyCenter::Registration registration =
            hotkeys.registerCombo(combo, [this, life, command = commandFor(action)] {
                if (life)
                    perform(command);
            });
        if (registration)
            continue;
        failed.insert(action);
        qCWarning(hotkeyLog).noquote() << u"Scorciatoia %1 non registrata: %2"_s.arg(
            (combo.modifierSymbols().isEmpty() ? QString() : combo.modifierSymbols() + u'+') +
                hotkeys.keyCharacter(combo).toUpper(),
            registrationErrorText(*registration.error));
    }
    return failed;
}

void CommandCenter::showFolderProblem(const QString& title, const QString& text)
{
    QPointer<QObject> life = m_life.get();
    alert({title, text, {u"OK"_s, u"Apri Impostazioni"_s}}, [this, life](int button) {
        if (life && button == 1 && hooks.openSettings)
            hooks.openSettings();
    });
}

void CommandCenter::showPermissionAlert()
{
    // The desktop portal asks for the permission itself; there is no settings page to open.
    const QString name = AppConfig::name();
    alert({name + u" ha bisogno del permesso di Registrazione schermo"_s,
           u"Apri Impostazioni di sistema → Privacy e sicurezza → Registrazione schermo, attiva "_s + name +
               u" e poi riavvia l'app."_s,
           {u"Apri Impostazioni di sistema"_s, u"Annulla"_s}});
}

} // namespace vorlix
