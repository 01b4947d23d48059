// The settings window: from the first request to its first paint (goal: 150 ms), and
// from a tab's click to the other page painted (goal: 30 ms). Offscreen.

#include "app/settings/SettingsWindowController.h"
#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"

#include "core/formats/HistoryStore.h"

#include <QAction>
#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

using namespace vorlix;

namespace {

struct Services {
    QTemporaryDir folder;
    HistoryStore history{folder.filePath(QStringLiteral("Scatti")), QStringLiteral("Vorlix")};
    SettingsServices services;
    Services()
    {
        services.history = [this]() -> HistoryStore& { return history; };
        services.updateStatus = [] { return UpdateStatus::upToDate(); };
    }
};

void BM_SettingsWindowOpensToFirstPaint(benchmark::State& state)
{
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    Services shell;
    for (auto _ : state) {
        auto controller = std::make_unique<SettingsWindowController>(settings, shell.services);
        controller->show();
        controller->window().repaint();
        QCoreApplication::processEvents();
        state.PauseTiming();
        controller.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SettingsWindowOpensToFirstPaint)->Unit(benchmark::kMillisecond);

void BM_SettingsTabSwitch(benchmark::State& state)
{
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    Services shell;
    SettingsWindowController controller(settings, shell.services);
    controller.show();
    // Every page built once, as after the first visit of each tab.
    for (const SettingsWindowController::Tab& tab : controller.tabs())
        tab.action->trigger();
    QCoreApplication::processEvents();
    int next = 0;
    for (auto _ : state) {
        next = (next + 1) % 2;
        controller.tabs()[std::size_t(next)].action->trigger();
        controller.window().repaint();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_SettingsTabSwitch)->Unit(benchmark::kMillisecond);

} // namespace
