#include "core/formats/HistoryStore.h"

#include "core/formats/FilenameTemplate.h"
#include "core/formats/PngChunks.h"

#include "core/imaging/ImageCoding.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <limits>
#include <string>
#include <string_view>
#include <unordered_map>

#include <dirent.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
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

// What tells one version of a file from another without reading it. The change time moves
// with every write and rename and cannot be set back by a program, so a file rewritten
// with the same size and modification time is still seen.
struct FileStamp {
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    bool operator==(const FileStamp& o) const
    {
        return inode == o.inode && size == o.size && modified.tv_sec == o.modified.tv_sec &&
               modified.tv_nsec == o.modified.tv_nsec && changed.tv_sec == o.changed.tv_sec &&
               changed.tv_nsec == o.changed.tv_nsec;
    }
};

std::optional<FileStamp> stampOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return FileStamp{st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

// The thumbnails the menus ask for are far smaller; a shot's own pixels are kept at this size.
constexpr int keptThumbnailSide = 256;
// Thumbnails of more files than this are dropped all at once; menus show a handful.
constexpr std::size_t maximumKeptThumbnails = 64;

// A large picture is first thinned by sampling, then averaged: the result looks as the
// averaged one at a fraction of its cost.
QImage shrunk(const QImage& picture, int longerSide)
{
    const int side = std::max(picture.width(), picture.height());
    if (side > 4 * longerSide) {
        const double factor = 4.0 * longerSide / side;
        const QSize thinned(std::max(1, int(picture.width() * factor)), std::max(1, int(picture.height() * factor)));
        return ImageCoding::scaledToFit(picture.scaled(thinned, Qt::IgnoreAspectRatio, Qt::FastTransformation),
                                        longerSide);
    }
    return ImageCoding::scaledToFit(picture, longerSide);
}

// Tested on the name's bytes, so the names of files read before are never decoded again.
bool isHistoryFileName(std::string_view name, std::string_view namePrefix)
{
    constexpr std::string_view suffix = ".png";
    if (name.starts_with('.') || !name.starts_with(namePrefix) || name.size() < namePrefix.size() + suffix.size())
        return false;
    const std::string_view end = name.substr(name.size() - suffix.size());
    return std::equal(end.begin(), end.end(), suffix.begin(),
                      [](char a, char b) { return (a >= 'A' && a <= 'Z' ? char(a - 'A' + 'a') : a) == b; });
}

} // namespace

// The record read from each history file, with the stamp of the version it was read from,
// and a watch on the folder: while the watch reports nothing, nothing in the folder changed
// and a listing need not look at the files again. Without a watch (none could be made, the
// folder is missing, the watch's queue overflowed) every listing stats every file.
struct HistoryStore::KeptFiles {
    KeptFiles() = default;
    KeptFiles(const KeptFiles& other) : files(other.files), thumbnails(other.thumbnails), listing(other.listing) {}
    KeptFiles& operator=(const KeptFiles&) = delete;
    ~KeptFiles() { closeWatch(); }

    // Starts watching `folder` when not watching yet; false when no watch could be made.
    bool watch(const QByteArray& folder)
    {
        if (watchFd >= 0)
            return true;
        watchFd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (watchFd < 0)
            return false;
        constexpr std::uint32_t events = IN_CREATE | IN_DELETE | IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE |
                                         IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
        if (::inotify_add_watch(watchFd, folder.constData(), events) < 0) {
            closeWatch();
            return false;
        }
        scanned = false;
        return true;
    }

    // True when the watch saw something since the last call (or there is no watch).
    bool folderChanged()
    {
        if (watchFd < 0)
            return true;
        bool changed = false;
        alignas(inotify_event) char buffer[16 * 1024];
        for (;;) {
            const ssize_t n = ::read(watchFd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            changed = true;
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->mask & (IN_Q_OVERFLOW | IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF))
                    lost = true;
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
        if (lost) {
            closeWatch();
            return true;
        }
        return changed || !scanned;
    }

    void closeWatch()
    {
        if (watchFd >= 0)
            ::close(watchFd);
        watchFd = -1;
        lost = false;
        scanned = false;
    }

    struct Kept {
        FileStamp stamp;
        QString name;
        std::optional<HistoryEntry> entry; // nothing: the file is no PNG
        qint64 date = 0;                   // the entry's date, in ms since the epoch
        std::uint64_t seen = 0;
    };
    std::unordered_map<std::string, Kept> files; // by the file name's bytes
    // Small pictures of the files, by path; `picture` is fitted to `longerSide` or smaller.
    struct Thumbnail {
        FileStamp stamp;
        int longerSide = 0;
        QImage picture;
    };
    std::unordered_map<std::string, Thumbnail> thumbnails;
    std::uint64_t listing = 0;
    int watchFd = -1;
    bool lost = false;    // the watch missed events or lost its folder
    bool scanned = false; // `files` holds a whole scan made while the watch was on
};

HistoryError::HistoryError(Kind kind, const QString& path, const QString& reason)
    : std::runtime_error(errorText(kind, path, reason).toStdString()),
      m_kind(kind),
      m_path(path),
      m_message(QString::fromUtf8(what()))
{
}

QString HistoryError::message() const { return m_message; }

HistoryStore::HistoryStore(QString directory, QString filePrefix, QTimeZone timeZone)
    : m_directory(std::move(directory)),
      m_filePrefix(std::move(filePrefix)),
      m_timeZone(std::move(timeZone)),
      m_kept(std::make_unique<KeptFiles>())
{
}

HistoryStore::~HistoryStore() = default;
HistoryStore::HistoryStore(HistoryStore&&) noexcept = default;
HistoryStore& HistoryStore::operator=(HistoryStore&&) noexcept = default;

HistoryStore::HistoryStore(const HistoryStore& other)
    : m_directory(other.m_directory),
      m_filePrefix(other.m_filePrefix),
      m_timeZone(other.m_timeZone),
      m_kept(std::make_unique<KeptFiles>(*other.m_kept))
{
}

HistoryStore& HistoryStore::operator=(const HistoryStore& other)
{
    if (this != &other)
        *this = HistoryStore(other);
    return *this;
}

QString HistoryStore::fileName(const QDateTime& date, int number) const
{
    const QString when = FilenameTemplate{u"{data} alle {ora}"_s}.render(date, std::nullopt, m_timeZone);
    if (number <= 1)
        return m_filePrefix + u' ' + when + u".png"_s;
    return m_filePrefix + u' ' + when + u" ("_s + QString::number(number) + u").png"_s;
}

HistoryEntry HistoryStore::add(const QByteArray& pngData, const HistoryEntry& entry, const QImage& picture) const
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
            if (!picture.isNull())
                keepThumbnail(*written.fileURL, keptThumbnailSide, shrunk(picture, keptThumbnailSide));
            return written;
        }
        if (!QFileInfo::exists(path))
            throw HistoryError(HistoryError::Kind::write, path, file.errorString());
    }
    throw HistoryError(HistoryError::Kind::write, QDir(m_directory).filePath(fileName(entry.date)),
                       u"troppi scatti con la stessa data"_s);
}

std::vector<HistoryEntry> HistoryStore::entries() const { return newest(std::numeric_limits<std::size_t>::max()); }

void HistoryStore::scan(const QByteArray& folder, const QByteArray& namePrefix, std::uint64_t listing) const
{
    KeptFiles& kept = *m_kept;
    if (DIR* dir = ::opendir(folder.constData())) {
        const int dirFd = ::dirfd(dir);
        while (const dirent* item = ::readdir(dir)) {
            if (!isHistoryFileName(item->d_name, std::string_view(namePrefix.constData(), namePrefix.size())))
                continue;
            // Links to files count as files, as a file manager shows them; FIFOs and
            // devices are never opened.
            struct stat st {};
            if (::fstatat(dirFd, item->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode))
                continue;
            const FileStamp stamp{st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
            auto [it, added] = kept.files.try_emplace(item->d_name);
            KeptFiles::Kept& file = it->second;
            if (added || !(file.stamp == stamp)) {
                file.stamp = stamp;
                file.name = QFile::decodeName(item->d_name);
                file.entry = entry(QDir(m_directory).filePath(file.name));
                file.date = file.entry ? file.entry->date.toMSecsSinceEpoch() : 0;
            }
            file.seen = listing;
        }
        ::closedir(dir);
    }
    std::erase_if(kept.files, [listing](const auto& item) { return item.second.seen != listing; });
}

std::vector<HistoryEntry> HistoryStore::newest(std::size_t limit) const
{
    KeptFiles& kept = *m_kept;
    const std::uint64_t listing = ++kept.listing;
    const QByteArray folder = QFile::encodeName(m_directory);
    const QByteArray namePrefix = QFile::encodeName(m_filePrefix + u' ');

    std::vector<const KeptFiles::Kept*> found;
    const bool watching = kept.watch(folder);
    if (!watching || kept.folderChanged()) {
        scan(folder, namePrefix, listing);
        kept.scanned = watching;
    }
    found.reserve(kept.files.size());
    for (const auto& [bytes, file] : kept.files) {
        if (file.entry)
            found.push_back(&file);
    }

    // Newest first; equal dates in the order of their file names.
    const auto newer = [](const KeptFiles::Kept* a, const KeptFiles::Kept* b) {
        if (a->date != b->date)
            return a->date > b->date;
        return a->name < b->name;
    };
    const std::size_t count = std::min(limit, found.size());
    std::partial_sort(found.begin(), found.begin() + std::ptrdiff_t(count), found.end(), newer);
    std::vector<HistoryEntry> result;
    result.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        result.push_back(*found[i]->entry);
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
    return newest(std::size_t(std::max(limit, 0)));
}

QImage HistoryStore::thumbnail(const HistoryEntry& entry, int maxPixelSize) const
{
    if (!entry.fileURL || maxPixelSize < 1)
        return {};
    const std::optional<FileStamp> stamp = stampOf(*entry.fileURL);
    if (!stamp)
        return {};
    const auto kept = m_kept->thumbnails.find(QFile::encodeName(*entry.fileURL).toStdString());
    if (kept != m_kept->thumbnails.end() && kept->second.stamp == *stamp && kept->second.longerSide >= maxPixelSize)
        return ImageCoding::scaledToFit(kept->second.picture, maxPixelSize);
    QFile file(*entry.fileURL);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QImage picture = ImageCoding::thumbnail(file.readAll(), maxPixelSize, true);
    if (!picture.isNull())
        keepThumbnail(*entry.fileURL, maxPixelSize, picture);
    return picture;
}

void HistoryStore::keepThumbnail(const QString& path, int longerSide, QImage picture) const
{
    const std::optional<FileStamp> stamp = stampOf(path);
    if (!stamp)
        return;
    if (m_kept->thumbnails.size() >= maximumKeptThumbnails)
        m_kept->thumbnails.clear();
    m_kept->thumbnails[QFile::encodeName(path).toStdString()] = {*stamp, longerSide, std::move(picture)};
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
