// Shared main of every benchmark program: a headless application with the DejaVu fonts
// loaded from their files, so text measures alike everywhere. Programs that measure
// widgets are built with VORLIX_BENCH_WIDGETS and get a widget application.

#include "support/Fonts.h"

#ifdef VORLIX_BENCH_WIDGETS
#include <QApplication>
using BenchApplication = QApplication;
#else
#include <QGuiApplication>
using BenchApplication = QGuiApplication;
#endif

#include <benchmark/benchmark.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    BenchApplication app(argc, argv);
    vorlix::test::loadDejaVuFonts();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
