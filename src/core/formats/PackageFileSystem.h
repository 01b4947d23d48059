#pragma once
// The file-system steps that saving a package takes, one call per step, so that tests
// can fail or cut off a save after any of them. Each call returns 0 on success or an
// errno value. Paths are absolute or relative to the working folder.

#include <QByteArray>
#include <QString>

namespace vorlix {

class PackageFileSystem {
public:
    virtual ~PackageFileSystem() = default;

    // The real file system.
    static PackageFileSystem& system();

    // Makes one new folder; EEXIST when something already has the name.
    virtual int makeDirectory(const QString& path) = 0;
    // Makes one new regular file holding the data and flushes it to disk; EEXIST when
    // something already has the name.
    virtual int writeFile(const QString& path, const QByteArray& data) = 0;
    // Flushes a folder's entries to disk.
    virtual int syncDirectory(const QString& path) = 0;
    // Swaps the two names in one atomic step. EINVAL, ENOSYS or EOPNOTSUPP when the
    // file system cannot.
    virtual int exchange(const QString& first, const QString& second) = 0;
    virtual int rename(const QString& from, const QString& to) = 0;
    // Removes a file, or a folder with everything in it; symbolic links are removed,
    // never followed.
    virtual int removeTree(const QString& path) = 0;
    // Whether anything (a dangling link included) has the name.
    virtual bool exists(const QString& path) = 0;
};

} // namespace vorlix
