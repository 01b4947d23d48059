#include "core/analysis/RecognitionEngine.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

namespace vorlix::RecognitionEngine {

namespace {

// Where the module may be: beside the program, in the library folder of an installed
// program, and where the build put it.
QStringList candidates()
{
    const QString name = QStringLiteral(VORLIX_RECOGNITION_MODULE_NAME);
    QStringList paths;
    if (QCoreApplication::instance()) {
        const QDir program(QCoreApplication::applicationDirPath());
        paths << program.filePath(name) << program.filePath(QStringLiteral("../lib/vorlix/") + name);
    }
    paths << QStringLiteral(VORLIX_RECOGNITION_MODULE_BUILT);
    return paths;
}

const Api* load()
{
    // The OpenMP runtime inside the engine reads its thread limit when it is loaded, which
    // is now. Parallel engines already use the cores.
    if (!qEnvironmentVariableIsSet("OMP_THREAD_LIMIT"))
        qputenv("OMP_THREAD_LIMIT", "1");
    for (const QString& path : candidates()) {
        if (!QFile::exists(path))
            continue;
        // Destroying the QLibrary leaves the module loaded, as it must stay: engines may
        // still be in use while statics go.
        QLibrary library(path);
        if (const auto entry = reinterpret_cast<EntryPoint>(library.resolve(entryPoint)))
            return entry();
    }
    qWarning("The text recognition module could not be loaded");
    return nullptr;
}

} // namespace

const Api* api()
{
    static const Api* const loaded = load();
    return loaded;
}

} // namespace vorlix::RecognitionEngine
