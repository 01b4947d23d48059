// The editor window's menu bar: building it for a new window, and opening its menus,
// which validates every item and fills the recent shots (twelve, with thumbnails) again.
// The goal for an opening is at most 10 ms. Offscreen.

#include "app/editor/window/EditorWindow.h"
#include "app/shell/menus/MainMenu.h"
#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"

#include "ScreenshotFixture.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

#include <benchmark/benchmark.h>

using namespace vorlix;

namespace {

struct Editor {
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    std::unique_ptr<EditorWindow> window;

    Editor()
    {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        bench::screenshotFixture(1920, 1080).save(&buffer, "PNG");
        auto document = std::make_unique<ProjectDocument>(settings);
        document->addImage(png, QStringLiteral("png"), 1.0, QStringLiteral("Aggiungi immagine"));
        window = std::make_unique<EditorWindow>(std::move(document), settings);
        MainMenu::hooks().toolbarShowsLabels = [] { return true; };
        MainMenu::hooks().recentProjects = [] { return QStringList{QStringLiteral("/progetti/Guida.vorlix")}; };
        MainMenu::hooks().recentEntries = [](int limit) {
            std::vector<HistoryEntry> entries(limit);
            for (int i = 0; i < limit; ++i) {
                entries[i].date = QDateTime(QDate(2026, 12, 9), QTime(14, i));
                entries[i].fileURL = QStringLiteral("/cronologia/%1.png").arg(i);
            }
            return entries;
        };
        const QImage thumbnail = bench::screenshotFixture(96, 54);
        MainMenu::hooks().thumbnail = [thumbnail](const HistoryEntry&, int) { return thumbnail; };
    }
};

void BM_MenuBarBuilt(benchmark::State& state)
{
    Editor editor;
    for (auto _ : state) {
        std::unique_ptr<QMenuBar> bar(MainMenu::build(*editor.window, editor.window.get()));
        benchmark::DoNotOptimize(bar.get());
    }
}
BENCHMARK(BM_MenuBarBuilt)->Unit(benchmark::kMillisecond);

// Every menu and submenu about to open, as when the user runs along the bar.
void BM_MenuOpening(benchmark::State& state)
{
    Editor editor;
    editor.window->setMenuBar(MainMenu::build(*editor.window, editor.window.get()));
    const QList<QMenu*> menus = editor.window->menuBar()->findChildren<QMenu*>();
    for (auto _ : state) {
        for (QMenu* menu : menus)
            emit menu->aboutToShow();
        QCoreApplication::processEvents();
    }
    state.counters["menus"] = double(menus.size());
}
BENCHMARK(BM_MenuOpening)->Unit(benchmark::kMillisecond);

} // namespace
