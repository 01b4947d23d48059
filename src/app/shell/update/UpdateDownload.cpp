#include "app/shell/update/UpdateDownload.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLibrary>

namespace vorlix {

namespace {

// Beside the program, in the library folder of an installed program, where the build put it.
QStringList candidates()
{
    const QString name = QStringLiteral(VORLIX_UPDATE_DOWNLOAD_MODULE_NAME);
    QStringList paths;
    if (QCoreApplication::instance()) {
        const QDir program(QCoreApplication::applicationDirPath());
        paths << program.filePath(name) << program.filePath(QStringLiteral("../lib/vorlix/") + name);
    }
    paths << QStringLiteral(VORLIX_UPDATE_DOWNLOAD_MODULE_BUILT);
    return paths;
}

UpdateDownloadEntryPoint loadEntryPoint()
{
    for (const QString& path : candidates()) {
        if (!QFile::exists(path))
            continue;
        // The module stays loaded when the QLibrary goes.
        QLibrary library(path);
        if (const auto entry = reinterpret_cast<UpdateDownloadEntryPoint>(library.resolve(updateDownloadEntryPoint)))
            return entry;
        qWarning("%s: %s", qPrintable(path), qPrintable(library.errorString()));
    }
    return nullptr;
}

} // namespace

std::unique_ptr<UpdateDownload> makeUpdateDownload()
{
    static const UpdateDownloadEntryPoint entry = loadEntryPoint();
    if (!entry) {
        qWarning("The network module for the update check could not be loaded");
        return nullptr;
    }
    return std::unique_ptr<UpdateDownload>(entry());
}

} // namespace vorlix
