#include "core/analysis/RecognitionEngine.h"

#include "core/imaging/HelperFile.h"

#include <QLibrary>

namespace vorlix::RecognitionEngine {

namespace {

const Api* load()
{
    // The OpenMP runtime inside the engine reads its thread limit when it is loaded, which
    // is now. Parallel engines already use the cores.
    if (!qEnvironmentVariableIsSet("OMP_THREAD_LIMIT"))
        qputenv("OMP_THREAD_LIMIT", "1");
    const QString path =
        findHelperFile(QStringLiteral(VORLIX_RECOGNITION_MODULE_NAME), QStringLiteral(VORLIX_RECOGNITION_MODULE_BUILT));
    if (!path.isEmpty()) {
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
