#pragma once
// Shared setup of the fuzz targets: a headless Qt application (text shapes measure
// fonts, image decoding loads format plugins) and a way to report a broken invariant
// so libFuzzer keeps the input.

#include <QGuiApplication>
#include <QLocale>

#include <cstdio>
#include <cstdlib>

namespace vorlix::fuzz {

// Starts the application once; it lives until the process ends. Qt's own messages
// (a decoder's complaint about every damaged input) are dropped: at millions of inputs
// they would fill the log and slow the run; findings are reported by the sanitizers.
inline void startApplication()
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    static int argc = 1;
    static char name[] = "vorlix-fuzz";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TZ", "UTC");
    QLocale::setDefault(QLocale::c());
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

// Stops the run with a message: libFuzzer saves the input as a crash.
[[noreturn]] inline void fail(const char* what)
{
    std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
    std::abort();
}

} // namespace vorlix::fuzz
