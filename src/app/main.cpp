// The executable: a tray application, one running instance per user. A start while
// another instance runs hands its arguments (command URLs such as
// "vorlix://capture/area", image or project files) to that one and ends at once.

#include "app/shell/startup/AppDelegate.h"
#include "app/shell/startup/ForwardedArguments.h"
#include "app/shell/startup/SingleInstance.h"
#include "app/support/Settings.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

#include <cstdio>

using namespace vorlix;

int main(int argc, char** argv)
{
    // The tray, global hot keys and window captures need X11: under Wayland the program
    // runs through XWayland unless told otherwise.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    AppDelegate::setApplicationIdentity();

    const QStringList arguments = ForwardedArguments::forwardable(app.arguments().mid(1), QDir::currentPath());
    SingleInstance instance;
    switch (instance.start(arguments)) {
    case SingleInstance::Role::forwarded:
        return 0;
    case SingleInstance::Role::failed:
        std::fprintf(stderr, "vorlix: the running instance could not be reached, nor could this one start\n");
        return 1;
    case SingleInstance::Role::running:
        break;
    }

    AppDelegate delegate(Settings::shared(), {});
    QObject::connect(&instance, &SingleInstance::argumentsReceived, &delegate, &AppDelegate::handleArguments);
    delegate.finishLaunching();
    if (!arguments.isEmpty())
        QTimer::singleShot(0, &delegate, [&delegate, arguments] { delegate.handleArguments(arguments); });
    return app.exec();
}
