// The program's start on a desktop with a system tray: from the start of the process
// until its icon shows in the tray, and the memory it holds idle 5 s after it started.
// Runs on a private Xvfb desktop that it starts itself; the program's settings, folders
// and socket live in a temporary folder.

#include "support/EventLoopWaits.h"
#include "support/desktop/ChildProcess.h"
#include "support/desktop/ProgramHome.h"
#include "support/desktop/TrayProbe.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <string>

using namespace vorlix::test;

namespace {

std::vector<std::string> environment(const QTemporaryDir& home) { return programEnvironment(home.path()); }

// A process's resident memory in MB.
double residentMegabytes(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / 1024;
    return 0;
}

void BM_StartUntilTrayIconShown(benchmark::State& state)
{
    const QTemporaryDir home;
    const TrayProbe tray;
    for (auto _ : state) {
        ChildProcess vorlix(VORLIX_EXECUTABLE, {}, {.environment = environment(home)});
        if (!waitUntil([&] { return tray.embeddedIconOf(vorlix.pid()).has_value(); }, std::chrono::seconds(10))) {
            state.SkipWithError("the tray icon never showed");
            return;
        }
        state.PauseTiming();
        vorlix.stop();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUntilTrayIconShown)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ResidentMemoryIdle5sAfterStart(benchmark::State& state)
{
    const QTemporaryDir home;
    const TrayProbe tray;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        ChildProcess vorlix(VORLIX_EXECUTABLE, {}, {.environment = environment(home)});
        if (!waitUntil([&] { return tray.embeddedIconOf(vorlix.pid()).has_value(); }, std::chrono::seconds(10))) {
            state.SkipWithError("the tray icon never showed");
            return;
        }
        processEventsFor(std::chrono::milliseconds(5000 - clock.elapsed()));
        state.counters["residentMB"] = residentMegabytes(vorlix.pid());
        vorlix.stop();
    }
}
BENCHMARK(BM_ResidentMemoryIdle5sAfterStart)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace
