#include "core/imaging/HelperFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace vorlix {

QString findHelperFile(const QString& name, const QString& built)
{
    QStringList paths;
    if (QCoreApplication::instance()) {
        const QDir program(QCoreApplication::applicationDirPath());
        paths << program.filePath(name) << program.filePath(QStringLiteral("../lib/vorlix/") + name);
    }
    paths << built;
    for (const QString& path : paths)
        if (QFileInfo(path).isFile())
            return path;
    return {};
}

} // namespace vorlix
