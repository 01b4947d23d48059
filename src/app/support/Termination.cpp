#include "app/support/Termination.h"

#include <QCoreApplication>
#include <QTimer>
#include <QVariant>

namespace vorlix::Termination {

namespace {

// Kept on the application object, which lives exactly as long as a quit can be pending.
constexpr char pendingProperty[] = "vorlixTerminationPending";

void setPending(bool pending)
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->setProperty(pendingProperty, pending);
}

} // namespace

void request()
{
    setPending(true);
    // Qt asks every window to close first and stops when one ignores its close event.
    QCoreApplication::quit();
}

void closeAnswered(bool closed)
{
    if (!isPending())
        return;
    if (!closed) {
        setPending(false);
        return;
    }
    // On a later turn, once the window has gone.
    QTimer::singleShot(0, QCoreApplication::instance(), [] {
        if (isPending())
            request();
    });
}

bool isPending()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app && app->property(pendingProperty).toBool();
}

} // namespace vorlix::Termination
