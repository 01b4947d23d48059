// Reading a package folder that may have been made by anyone. Every entry is looked
// at with lstat-like calls relative to an open folder, so a symbolic link is never
// followed and a FIFO or device is never opened; a file is opened only when it is a
// regular file within its size cap, and checked again once open.

#include "core/formats/ProjectPackageReader.h"

#include "core/document/DocumentAnnotations.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vorlix::ProjectPackage {

namespace {

// An open file descriptor, closed when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }

private:
    int m_fd;
};

// The bytes of the regular file `name` inside the folder, or nothing when it is not
// a regular file, is larger than maximumSize, changes while read or cannot be read.
std::optional<QByteArray> readRegularFile(int folder, const char* name, std::int64_t maximumSize)
{
    struct stat before;
    if (::fstatat(folder, name, &before, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(before.st_mode) ||
        before.st_size > maximumSize)
        return std::nullopt;
    // O_NONBLOCK: should the entry have been replaced by a FIFO since, opening it must
    // not wait for a writer; the check below then refuses it.
    const Descriptor fd(::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.isOpen())
        return std::nullopt;
    struct stat opened;
    if (::fstat(fd.get(), &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_ino != before.st_ino ||
        opened.st_dev != before.st_dev || opened.st_size > maximumSize)
        return std::nullopt;

    QByteArray data(qsizetype(opened.st_size), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::read(fd.get(), data.data() + done, std::size_t(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return std::nullopt; // an error, or the file shrank
        done += n;
    }
    char extra;
    ssize_t n;
    do
        n = ::read(fd.get(), &extra, 1);
    while (n < 0 && errno == EINTR);
    if (n != 0)
        return std::nullopt; // the file grew, or failed at its end
    return data;
}

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

struct ImageFileName {
    QUuid id;
    QString fileExtension;
};

// An image file's name is an id in 8-4-4-4-12 form (either case), ".", and an
// image file extension. Anything else is not ours to read.
std::optional<ImageFileName> parseImageFileName(std::string_view name)
{
    constexpr std::size_t idLength = 36;
    if (name.size() < idLength + 2 || name[idLength] != '.')
        return std::nullopt;
    for (std::size_t i = 0; i < idLength; ++i) {
        const bool hyphen = i == 8 || i == 13 || i == 18 || i == 23;
        if (hyphen ? name[i] != '-' : !isHexDigit(name[i]))
            return std::nullopt;
    }
    const std::string_view extensionBytes = name.substr(idLength + 1);
    const QString extension = QString::fromLatin1(extensionBytes.data(), qsizetype(extensionBytes.size()));
    if (!isImageFileExtension(extension))
        return std::nullopt;
    const QUuid id = QUuid::fromString(QLatin1StringView(name.data(), qsizetype(idLength)));
    if (id.isNull())
        return std::nullopt;
    return ImageFileName{id, extension};
}

// The names of the folder's entries, sorted; the folder descriptor stays open.
std::vector<std::string> sortedEntryNames(int folder)
{
    std::vector<std::string> names;
    const int listing = ::dup(folder);
    if (listing < 0)
        return names;
    DIR* dir = ::fdopendir(listing);
    if (!dir) {
        ::close(listing);
        return names;
    }
    while (const dirent* entry = ::readdir(dir))
        names.emplace_back(entry->d_name);
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

ImageStore readImages(int package, const std::set<QUuid>& wanted, const ReadLimits& limits)
{
    ImageStore store;
    if (wanted.empty())
        return store;
    struct stat st;
    if (::fstatat(package, imagesDirectoryName.data(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(st.st_mode))
        return store;
    const Descriptor images(
        ::openat(package, imagesDirectoryName.data(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!images.isOpen())
        return store;

    // Of several files for one id the last in name order that can be read wins, so
    // the candidates are tried from the end.
    const std::vector<std::string> names = sortedEntryNames(images.get());
    std::int64_t total = 0;
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        const std::optional<ImageFileName> parsed = parseImageFileName(*name);
        if (!parsed || !wanted.contains(parsed->id) || store.contains(parsed->id))
            continue;
        const std::int64_t allowed = std::min(limits.maximumImageSize, limits.maximumTotalImageSize - total);
        std::optional<QByteArray> data = readRegularFile(images.get(), name->c_str(), allowed);
        if (!data)
            continue;
        total += data->size();
        store.add(ImageAsset{std::move(*data), parsed->fileExtension}, parsed->id);
    }
    return store;
}

} // namespace

Project read(const QString& folder, const ReadLimits& limits)
{
    const Descriptor package(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!package.isOpen())
        throw ReadError::missingDocument();
    const std::optional<QByteArray> json =
        readRegularFile(package.get(), documentFileName.data(), limits.maximumDocumentSize);
    if (!json)
        throw ReadError::missingDocument();

    Project project{decodeDocument(std::string_view(json->constData(), std::size_t(json->size()))), {}};
    const std::set<QUuid> wanted = referencedImageIDs(project.document);
    project.images = readImages(package.get(), wanted, limits);
    for (const QUuid& id : wanted)
        if (!project.images.contains(id))
            throw ReadError::missingImage(id);
    return project;
}

} // namespace vorlix::ProjectPackage
