// Shared main of the benchmark programs that need a real X server: it starts a private
// desktop of VORLIX_BENCH_DESKTOP_WIDTH x VORLIX_BENCH_DESKTOP_HEIGHT (Xvfb, through the
// test harness; with a system tray when VORLIX_BENCH_DESKTOP_TRAY is 1, and a painted
// root, as a desktop in use has), makes the
// application on it through the xcb platform and runs the benchmarks. The desktop ends
// with the program.

#include "support/desktop/Desktop.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <iostream>
#include <memory>

int main(int argc, char** argv)
{
    std::unique_ptr<vorlix::test::Desktop> desktop;
    try {
        desktop = std::make_unique<vorlix::test::Desktop>(
            vorlix::test::DesktopOptions{.size = QSize(VORLIX_BENCH_DESKTOP_WIDTH, VORLIX_BENCH_DESKTOP_HEIGHT),
                                         .tray = VORLIX_BENCH_DESKTOP_TRAY,
                                         .wallpaper = true});
    } catch (const std::exception& e) {
        std::cerr << "No desktop for the benchmark: " << e.what() << '\n';
        return 1;
    }
    // The desktop tools (keys, pointer, windows) act on it.
    vorlix::test::setProcessDesktop(desktop.get());
    qputenv("DISPLAY", desktop->displayName().toUtf8());
    qputenv("QT_QPA_PLATFORM", "xcb");
    int result = 0;
    {
        QApplication app(argc, argv);
        benchmark::Initialize(&argc, argv);
        if (benchmark::ReportUnrecognizedArguments(argc, argv))
            result = 1;
        else
            benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    }
    vorlix::test::setProcessDesktop(nullptr);
    return result;
}
