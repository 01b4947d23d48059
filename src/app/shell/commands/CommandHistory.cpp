// The history half of the command centre: the hand-off of a finished shot, the history
// folder and its store, reopening, clean-up and the move of shots kept by earlier versions.

#include "app/shell/commands/CommandCenter.h"

#include "app/editor/document/ProjectDocument.h"
#include "app/shell/commands/ShotDocument.h"
#include "app/support/AppConfig.h"
#include "app/support/Pasteboard.h"
#include "app/support/Settings.h"
#include "core/imaging/ImageCoding.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <set>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

const QString corruptFileMessage = u"Impossibile aprire il file perché non è nel formato corretto."_s;

std::optional<QByteArray> readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

} // namespace

HistoryStore& CommandCenter::history()
{
    const QString folder = m_settings.historyFolder();
    if (!m_cachedHistory || m_cachedHistory->directory() != folder)
        m_cachedHistory.emplace(folder, AppConfig::name());
    return *m_cachedHistory;
}

void CommandCenter::historyChanged()
{
    if (onHistoryChange)
        onHistoryChange();
}

HistoryEntry CommandCenter::entryFor(const CapturedShot& shot, const QDateTime& date) const
{
    HistoryEntry entry;
    entry.id = QUuid::createUuid();
    entry.date = date;
    entry.captureKind = shot.kind;
    entry.pixelWidth = shot.image.width();
    entry.pixelHeight = shot.image.height();
    entry.pixelsPerPoint = shot.pixelsPerPoint;
    if (shot.sourceApp && !shot.sourceApp->name.isEmpty())
        entry.sourceAppName = shot.sourceApp->name;
    return entry;
}

void CommandCenter::handle(const CapturedShot& shot)
{
    const QDateTime date = QDateTime::currentDateTimeUtc();
    const bool preview = m_settings.get(setting::afterCapture) == AfterCapture::quickPreview && hooks.showQuickPreview;
    saveToHistory(shot, date, !preview);
    if (preview) {
        Pasteboard::copyPNG(shot.pngData, std::nullopt, std::nullopt, nullptr);
        hooks.showQuickPreview(shot, date);
        return;
    }
    if (std::unique_ptr<ProjectDocument> document = makeDocument(shot, date))
        open(std::move(document));
}

void CommandCenter::saveToHistory(const CapturedShot& shot, const QDateTime& date, bool openedInEditor)
{
    if (!m_settings.get(setting::historyEnabled))
        return;
    try {
        history().add(shot.pngData, entryFor(shot, date), shot.image);
    } catch (const HistoryError& error) {
        showHistoryWriteError(error.message(), openedInEditor);
        return;
    }
    historyChanged();
}

void CommandCenter::showHistoryWriteError(const QString& reason, bool openedInEditor)
{
    const QString follows = openedInEditor
                                ? u"Lo scatto resta aperto nell'editor: puoi salvarlo o esportarlo."_s
                                : u"Lo scatto resta nell'anteprima rapida e negli appunti: puoi ancora salvarlo."_s;
    showFolderProblem(u"Non riesco a salvare lo scatto nella cartella degli scatti"_s,
                      u"Cartella: "_s + QDir::toNativeSeparators(history().directory()) + u"\n"_s + reason +
                          u"\n\nControlla che la cartella si possa scrivere, oppure scegline un'altra in "
                          u"Impostazioni ▸ Scatti. "_s +
                          follows);
}

void CommandCenter::openHistoryEntry(const QUuid& id)
{
    const std::vector<HistoryEntry> entries = history().entries();
    const auto found =
        std::find_if(entries.begin(), entries.end(), [&](const HistoryEntry& entry) { return entry.id == id; });
    std::optional<QByteArray> data;
    if (found != entries.end() && found->fileURL)
        data = readAll(*found->fileURL);
    if (!data) {
        showShotMissing();
        return;
    }
    ShotDocument::Details details;
    details.pixelsPerPoint = found->pixelsPerPoint;
    details.createdAt = found->date;
    details.sourceAppName = found->sourceAppName;
    details.timestamp = m_settings.timestamp(found->date);
    std::unique_ptr<ProjectDocument> document = ShotDocument::make(*data, details, m_settings);
    if (!document) {
        showError(corruptFileMessage);
        return;
    }
    open(std::move(document));
}

void CommandCenter::showHistoryFolder()
{
    const QString folder = history().directory();
    QDir().mkpath(folder);
    if (hooks.openFolder)
        hooks.openFolder(folder);
}

bool CommandCenter::setHistoryFolder(const std::optional<QString>& folder)
{
    if (!m_settings.historyBookmark().set(folder))
        return false;
    m_cachedHistory.reset();
    historyChanged();
    return true;
}

void CommandCenter::cleanUpHistory(const QDateTime& now)
{
    // The setting reads a retention below one day as the standard, and the store
    // removes nothing for one: a damaged value never empties the history.
    const auto days = int(m_settings.get(setting::historyRetentionDays));
    const std::vector<QUuid> removed = history().removeEntries(days, now);
    m_settings.set(setting::lastHistoryCleanup, now);
    if (!removed.empty())
        historyChanged();
}

void CommandCenter::migrateLegacyHistory(const QString& legacyFolder)
{
    QDir legacy(legacyFolder);
    if (!legacy.exists())
        return;
    const QStringList items = legacy.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    // A shot whose folder could not be removed after it moved is in the history already.
    std::set<QUuid> present;
    for (const HistoryEntry& entry : history().entries())
        present.insert(entry.id);
    for (const QString& item : items) {
        const QString folder = legacy.filePath(item);
        const std::optional<QByteArray> json = readAll(folder + u"/entry.json"_s);
        if (!json)
            continue;
        HistoryEntry entry;
        try {
            entry = decodeHistoryEntry(std::string_view(json->constData(), std::size_t(json->size())));
        } catch (const std::exception&) {
            continue;
        }
        const std::optional<QByteArray> png = readAll(folder + u"/original.png"_s);
        if (!png)
            continue;
        if (!present.contains(entry.id)) {
            try {
                history().add(*png, entry);
            } catch (const HistoryError&) {
                continue;
            }
            present.insert(entry.id);
        }
        QDir(folder).removeRecursively();
    }
    if (legacy.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
        legacy.removeRecursively();
    historyChanged();
}

void CommandCenter::migrateLegacyHistory() { migrateLegacyHistory(AppConfig::legacyHistoryDirectory()); }

void CommandCenter::showHistoryFolderReset()
{
    historyChanged();
    showFolderProblem(u"La cartella degli scatti non c'è più"_s,
                      u"È stata cancellata, spostata nel cestino o non è raggiungibile. Gli scatti ora vanno in "_s +
                          QDir::toNativeSeparators(AppConfig::defaultHistoryFolder()) +
                          u"; puoi sceglierne un'altra in Impostazioni ▸ Scatti."_s);
}

void CommandCenter::showShotMissing()
{
    historyChanged();
    alert({u"Lo scatto non c'è più"_s,
           u"È stato cancellato o spostato dalla cartella degli scatti. Il menu è stato aggiornato."_s});
}

} // namespace vorlix
