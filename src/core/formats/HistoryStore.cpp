#include "core/formats/HistoryStore.h"

#include "core/formats/FilenameTemplate.h"
#include "core/formats/PngChunks.h"

#include "core/imaging/ImageCoding.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

// Names of files that carry no record are derived in this namespace, so the id of such
// a file is the same whoever lists it.
const QUuid foreignFileNamespace = QUuid::fromString(u"5b0e3c8e-7d1a-4f43-9a51-2d6c1b7f0a94");

// Beyond this many names for one second something is wrong with the folder.
constexpr int maximumNameNumber = 10'000;

QString errorText(HistoryError::Kind kind, const QString& path, const QString& reason)
{
    const QString name = QFileInfo(path).fileName();
    switch (kind) {
    case HistoryError::Kind::createFolder:
        return u"Impossibile creare la cartella della cronologia «%1»: %2"_s.arg(path, reason);
    case HistoryError::Kind::invalidImage:
        return u"Lo scatto non è un'immagine PNG valida e non può essere aggiunto alla cronologia."_s;
    case HistoryError::Kind::write:
        return u"Impossibile scrivere «%1» nella cronologia: %2"_s.arg(name, reason);
    case HistoryError::Kind::remove:
        return u"Impossibile eliminare «%1» dalla cronologia: %2"_s.arg(name, reason);
    }
    return {};
}

// A record for a PNG that carries none, made from the file and its header.
HistoryEntry fallbackEntry(const QFileInfo& file, const PngChunks::Header& header)
{
    const QDateTime modified = file.lastModified().toUTC();
    QDateTime date = file.birthTime().toUTC();
    if (!date.isValid())
        date = modified.isValid() ? modified : QDateTime::currentDateTimeUtc();

    const QByteArray identity = file.fileName().toUtf8() + '\0' + QByteArray::number(file.size()) + '\0' +
                                QByteArray::number(modified.isValid() ? modified.toMSecsSinceEpoch() : 0);
    HistoryEntry entry;
    entry.id = QUuid::createUuidV5(foreignFileNamespace, identity);
    entry.date = date;
    entry.captureKind = CaptureKind::area;
    entry.pixelWidth = header.width;
    entry.pixelHeight = header.height;
    entry.pixelsPerPoint = header.dotsPerInch.value_or(0) >= 144 ? 2 : 1;
    entry.fileURL = file.absoluteFilePath();
    return entry;
}

} // namespace

HistoryError::HistoryError(Kind kind, const QString& path, const QString& reason)
    : std::runtime_error(errorText(kind, path, reason).toStdString()), m_kind(kind), m_path(path),
      m_message(QString::fromUtf8(what()))
{
}

QString HistoryError::message() const { return m_message; }

HistoryStore::HistoryStore(QString directory, QString filePrefix, QTimeZone timeZone)
    : m_directory(std::move(directory)), m_filePrefix(std::move(filePrefix)), m_timeZone(std::move(timeZone))
{
}

QString HistoryStore::fileName(const QDateTime& date, int number) const
{
    const QString when = FilenameTemplate{u"{data} alle {ora}"_s}.render(date, std::nullopt, m_timeZone);
    if (number <= 1)
        return m_filePrefix + u' ' + when + u".png"_s;
    return m_filePrefix + u' ' + when + u" ("_s + QString::number(number) + u").png"_s;
}

HistoryEntry HistoryStore::add(const QByteArray& pngData, const HistoryEntry& entry) const
{
    if (!QDir().mkpath(m_directory))
        throw HistoryError(HistoryError::Kind::createFolder, m_directory, u"la cartella non è scrivibile"_s);

    const std::string json = encodeHistoryEntry(entry);
    const std::optional<QByteArray> data =
        PngChunks::withDescription(pngData, QString::fromUtf8(json.data(), qsizetype(json.size())));
    if (!data)
        throw HistoryError(HistoryError::Kind::invalidImage, {}, {});

    // A hidden sibling, which the listing skips, is written and synced before it takes
    // its name, so a history file is always whole.
    QTemporaryFile file(QDir(m_directory).filePath(u".history-XXXXXX.part"_s));
    if (!file.open())
        throw HistoryError(HistoryError::Kind::write, file.fileTemplate(), file.errorString());
    if (file.write(*data) != data->size() || !file.flush() || ::fsync(file.handle()) != 0)
        throw HistoryError(HistoryError::Kind::write, file.fileName(), file.errorString());

    // The rename never replaces a file, so a name taken since the probe moves on to the next.
    for (int number = 1; number <= maximumNameNumber; ++number) {
        const QString path = QDir(m_directory).filePath(fileName(entry.date, number));
        if (QFileInfo::exists(path))
            continue;
        if (file.rename(path)) {
            file.setAutoRemove(false);
            HistoryEntry written = entry;
            written.fileURL = QFileInfo(path).absoluteFilePath();
            return written;
        }
        if (!QFileInfo::exists(path))
            throw HistoryError(HistoryError::Kind::write, path, file.errorString());
    }
    throw HistoryError(HistoryError::Kind::write, QDir(m_directory).filePath(fileName(entry.date)),
                       u"troppi scatti con la stessa data"_s);
}

std::vector<HistoryEntry> HistoryStore::entries() const
{
    const QString namePrefix = m_filePrefix + u' ';
    // Hidden files are left out unless asked for; FIFOs and devices are no "files".
    const QFileInfoList files = QDir(m_directory).entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    std::vector<HistoryEntry> result;
    result.reserve(std::size_t(files.size()));
    for (const QFileInfo& file : files) {
        if (file.suffix().toLower() != u"png"_s || !file.fileName().startsWith(namePrefix))
            continue;
        if (std::optional<HistoryEntry> e = entry(file.absoluteFilePath()))
            result.push_back(std::move(*e));
    }
    std::stable_sort(result.begin(), result.end(),
                     [](const HistoryEntry& a, const HistoryEntry& b) { return a.date > b.date; });
    return result;
}

std::optional<HistoryEntry> HistoryStore::entry(const QString& filePath) const
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const std::optional<PngChunks::Header> header = PngChunks::readHeader(file);
    file.close();
    if (!header)
        return std::nullopt;

    const QFileInfo info(filePath);
    if (header->description) {
        const QByteArray json = header->description->toUtf8();
        try {
            HistoryEntry e = decodeHistoryEntry(std::string_view(json.constData(), std::size_t(json.size())));
            e.fileURL = info.absoluteFilePath();
            return e;
        } catch (const DecodeError&) {
            // a description that is no record: the file is still a shot
        }
    }
    return fallbackEntry(info, *header);
}

std::vector<HistoryEntry> HistoryStore::recentEntries(int limit) const
{
    std::vector<HistoryEntry> all = entries();
    all.resize(std::min(all.size(), std::size_t(std::max(limit, 0))));
    return all;
}

QImage HistoryStore::thumbnail(const HistoryEntry& entry, int maxPixelSize) const
{
    if (!entry.fileURL)
        return {};
    QFile file(*entry.fileURL);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return ImageCoding::thumbnail(file.readAll(), maxPixelSize, true);
}

void HistoryStore::deleteEntry(const HistoryEntry& entry) const
{
    if (!entry.fileURL)
        return;
    QFile file(*entry.fileURL);
    if (!file.exists())
        return;
    if (!file.remove())
        throw HistoryError(HistoryError::Kind::remove, *entry.fileURL, file.errorString());
}

void HistoryStore::deleteAll() const
{
    for (const HistoryEntry& e : entries())
        deleteEntry(e);
}

std::vector<QUuid> HistoryStore::removeEntries(int olderThanDays, const QDateTime& now) const
{
    if (olderThanDays < 1)
        return {};
    const QDateTime cutoff = now.addSecs(-qint64(olderThanDays) * 86'400);
    std::vector<QUuid> removed;
    for (const HistoryEntry& e : entries()) {
        if (!(e.date < cutoff))
            continue;
        try {
            deleteEntry(e);
            removed.push_back(e.id);
        } catch (const HistoryError&) {
            // kept for the next clean-up
        }
    }
    return removed;
}

} // namespace vorlix
