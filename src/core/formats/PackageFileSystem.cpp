#include "core/formats/PackageFileSystem.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlix {

namespace {

int closeKeepingError(int fd, int error)
{
    ::close(fd);
    return error;
}

int removeEntry(const char* path, const struct stat*, int typeFlag, struct FTW*)
{
    const int result = typeFlag == FTW_DP ? ::rmdir(path) : ::unlink(path);
    return result == 0 ? 0 : errno;
}

class SystemFileSystem final : public PackageFileSystem {
public:
    int makeDirectory(const QString& path) override
    {
        return ::mkdir(QFile::encodeName(path).constData(), 0755) == 0 ? 0 : errno;
    }

    int writeFile(const QString& path, const QByteArray& data) override
    {
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0)
            return errno;
        const char* next = data.constData();
        qsizetype left = data.size();
        while (left > 0) {
            const ssize_t written = ::write(fd, next, std::size_t(left));
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                return closeKeepingError(fd, errno);
            }
            next += written;
            left -= written;
        }
        if (::fsync(fd) != 0)
            return closeKeepingError(fd, errno);
        return ::close(fd) == 0 ? 0 : errno;
    }

    int syncDirectory(const QString& path) override
    {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return errno;
        if (::fsync(fd) != 0)
            return closeKeepingError(fd, errno);
        return ::close(fd) == 0 ? 0 : errno;
    }

    int exchange(const QString& first, const QString& second) override
    {
        const int result = ::renameat2(AT_FDCWD, QFile::encodeName(first).constData(), AT_FDCWD,
                                       QFile::encodeName(second).constData(), RENAME_EXCHANGE);
        return result == 0 ? 0 : errno;
    }

    int rename(const QString& from, const QString& to) override
    {
        return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0 ? 0 : errno;
    }

    int removeTree(const QString& path) override
    {
        const int result = ::nftw(QFile::encodeName(path).constData(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
        return result == 0 ? 0 : (result > 0 ? result : errno);
    }

    bool exists(const QString& path) override
    {
        struct stat st;
        return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
    }
};

} // namespace

PackageFileSystem& PackageFileSystem::system()
{
    static SystemFileSystem fileSystem;
    return fileSystem;
}

} // namespace vorlix
