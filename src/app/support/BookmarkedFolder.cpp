#include "app/support/BookmarkedFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <sys/stat.h>

#include <charconv>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

constexpr std::string_view recordMagic = "vorlix-folder-1";

std::optional<std::uint64_t> parseUnsigned(QByteArrayView text)
{
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    if (text.isEmpty() || error != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

} // namespace

BookmarkedFolder::BookmarkedFolder(QString key, DefaultsStore& defaults) : m_key(std::move(key)), m_defaults(defaults)
{
}

BookmarkedFolder::Resolution BookmarkedFolder::resolve()
{
    if (m_opened && isUsableFolder(*m_opened))
        return Resolution::usable(*m_opened);

    const std::optional<QByteArray> data = storedBytes(m_defaults.object(m_key));
    if (!data)
        return Resolution::none();

    const std::optional<Record> record = decodeRecord(*data);
    if (!record) {
        forget();
        return Resolution::lost();
    }
    m_opened.reset();

    if (!isUsableFolder(record->path)) {
        forget();
        return Resolution::lost();
    }
    m_opened = record->path;
    // Another folder now stands at the path: keep using the path, remember the new one.
    if (const std::optional<Identity> current = identity(record->path); current && *current != record->identity)
        m_defaults.set(m_key, encodeRecord({record->path, *current}));
    return Resolution::usable(record->path);
}

bool BookmarkedFolder::set(const std::optional<QString>& path)
{
    if (!path) {
        forget();
        return true;
    }
    if (path->isEmpty())
        return false;
    const QString absolute = QDir::cleanPath(QFileInfo(*path).absoluteFilePath());
    const std::optional<Identity> id = identity(absolute);
    if (!id)
        return false;
    m_opened.reset();
    m_defaults.set(m_key, encodeRecord({absolute, *id}));
    return true;
}

void BookmarkedFolder::forget()
{
    m_opened.reset();
    m_defaults.remove(m_key);
}

bool BookmarkedFolder::isInTrash(const QString& path)
{
    if (path.contains(u"/.Trash/"_s))
        return true;
    // Per-volume trash folders of the freedesktop Trash layout: .Trash-<uid>.
    static const QRegularExpression volumeTrash(u"/\\.Trash-\\d+/"_s);
    if (volumeTrash.match(path).hasMatch())
        return true;
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataHome.isEmpty())
        return false;
    const QString homeTrash = QDir::cleanPath(dataHome + u"/Trash"_s) + u'/';
    return QDir::cleanPath(path).startsWith(homeTrash);
}

bool BookmarkedFolder::isUsableFolder(const QString& path)
{
    if (path.isEmpty() || isInTrash(path))
        return false;
    return QFileInfo(path).isDir();
}

std::optional<BookmarkedFolder::Identity> BookmarkedFolder::identity(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return Identity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

QByteArray BookmarkedFolder::encodeRecord(const Record& record)
{
    QByteArray out(recordMagic.data(), static_cast<qsizetype>(recordMagic.size()));
    out += '\n';
    out += QByteArray::number(record.identity.device) + ' ' + QByteArray::number(record.identity.inode);
    out += '\n';
    out += QFile::encodeName(record.path);
    return out;
}

std::optional<BookmarkedFolder::Record> BookmarkedFolder::decodeRecord(const QByteArray& data)
{
    const qsizetype firstBreak = data.indexOf('\n');
    if (firstBreak < 0 ||
        QByteArrayView(data).first(firstBreak) != QByteArrayView(recordMagic.data(), recordMagic.size()))
        return std::nullopt;
    const qsizetype secondBreak = data.indexOf('\n', firstBreak + 1);
    if (secondBreak < 0)
        return std::nullopt;
    const QByteArrayView idLine = QByteArrayView(data).sliced(firstBreak + 1, secondBreak - firstBreak - 1);
    const qsizetype space = idLine.indexOf(' ');
    if (space < 0)
        return std::nullopt;
    const std::optional<std::uint64_t> device = parseUnsigned(idLine.first(space));
    const std::optional<std::uint64_t> inode = parseUnsigned(idLine.sliced(space + 1));
    const QByteArray pathBytes = data.sliced(secondBreak + 1);
    if (!device || !inode || !pathBytes.startsWith('/') || pathBytes.contains('\0'))
        return std::nullopt;
    return Record{QFile::decodeName(pathBytes), {*device, *inode}};
}

} // namespace vorlix
