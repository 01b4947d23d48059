// Saving a package so that a failure or a crash at any moment leaves a whole package
// at the target: the previous one or the new one.
//
// 1. Every file is made in a new sibling folder "<target>.tmp-<random>" and flushed,
//    then the folders themselves are flushed, so the new package is on disk whole.
// 2. The new folder and the old package swap names in one atomic step; the parent
//    folder is flushed so the swap itself is durable; the old package, now under the
//    temporary name, is removed.
// 3. Where the file system cannot swap, the old package is renamed aside to
//    "<target>.bak-<random>", the new one renamed into place and the backup removed;
//    a failure between the two renames puts the backup back. Only a crash between them
//    leaves the target missing, with the previous package whole under the backup name.

#include "core/formats/ProjectPackageWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>

namespace vorlix::ProjectPackage {

namespace {

void check(int error, const QString& path)
{
    if (error != 0)
        throw WriteError(error, path);
}

QString randomSuffix() { return QString::number(QRandomGenerator::global()->generate(), 16).rightJustified(8, u'0'); }

// Makes a new, empty sibling folder "<target><infix><random>" and returns its path.
QString makeSibling(PackageFileSystem& fileSystem, const QString& target, const QString& infix)
{
    for (int attempt = 0;; ++attempt) {
        const QString path = target + infix + randomSuffix();
        const int error = fileSystem.makeDirectory(path);
        if (error == 0)
            return path;
        if (error != EEXIST || attempt == 8)
            throw WriteError(error, path);
    }
}

bool cannotExchange(int error) { return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP; }

// Puts the finished package at `staged` in the place of the one at `target`.
void swapIntoPlace(PackageFileSystem& fileSystem, const QString& staged, const QString& target, const QString& parent)
{
    if (!fileSystem.exists(target)) {
        check(fileSystem.rename(staged, target), target);
        fileSystem.syncDirectory(parent);
        return;
    }
    const int exchanged = fileSystem.exchange(staged, target);
    if (exchanged == 0) {
        // The new package is in place: what follows is tidying, and its failure must
        // not report the save as failed.
        fileSystem.syncDirectory(parent);
        fileSystem.removeTree(staged);
        return;
    }
    if (!cannotExchange(exchanged))
        throw WriteError(exchanged, target);

    const QString backup = target + QStringLiteral(".bak-") + randomSuffix();
    check(fileSystem.rename(target, backup), target);
    if (const int error = fileSystem.rename(staged, target); error != 0) {
        fileSystem.rename(backup, target);
        throw WriteError(error, target);
    }
    fileSystem.syncDirectory(parent);
    fileSystem.removeTree(backup);
}

} // namespace

void write(const DocumentModel& document, const ImageStore& images, const QString& folder,
           PackageFileSystem& fileSystem)
{
    const PackageFiles package = files(document, images);
    for (const auto& [name, data] : package.imageFiles)
        if (!isImageFileExtension(name.section(u'.', 1)))
            throw WriteError(EINVAL, name); // a name that no reader would take back

    const QString target = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const QString parent = QFileInfo(target).absolutePath();
    const QString staged = makeSibling(fileSystem, target, QStringLiteral(".tmp-"));
    try {
        const QString imagesFolder = staged + u'/' + QLatin1StringView(imagesDirectoryName);
        check(fileSystem.makeDirectory(imagesFolder), imagesFolder);
        for (const auto& [name, data] : package.imageFiles) {
            const QString path = imagesFolder + u'/' + name;
            check(fileSystem.writeFile(path, data), path);
        }
        check(fileSystem.syncDirectory(imagesFolder), imagesFolder);
        const QString documentPath = staged + u'/' + QLatin1StringView(documentFileName);
        check(fileSystem.writeFile(documentPath, package.documentJSON), documentPath);
        check(fileSystem.syncDirectory(staged), staged);
        swapIntoPlace(fileSystem, staged, target, parent);
    } catch (...) {
        fileSystem.removeTree(staged);
        throw;
    }
}

} // namespace vorlix::ProjectPackage
