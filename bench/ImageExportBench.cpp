// The image export dialog: its size titles for a 5120 × 2880 shot with 40 annotations
// (goal: within one frame, 16 ms), the PNG export of that shot to disk, render and
// encoding included (goal: 300 ms), and the longest stall of the interface thread while
// that export runs in the background (goal: under 50 ms).

#include "app/editor/document/ProjectDocument.h"
#include "app/editor/window/ImageExportPanel.h"
#include "app/support/DefaultsStore.h"
#include "app/support/NotificationCenter.h"
#include "app/support/Settings.h"
#include "core/model/Annotation.h"
#include "support/ImageFixtures.h"

#include "ScreenshotFixture.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

using namespace vorlix;
using namespace vorlix::test;

namespace {

struct Shot {
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    ProjectDocument document{settings};
    QTemporaryDir folder;

    Shot()
    {
        const QImage image = bench::screenshotFixture(5120, 2880);
        document.addImage(pngOf(image), "png", 2.0, "Aggiungi immagine", image);
        document.editor().perform("Aggiungi", [](DocumentModel& model) {
            const AnnotationKind kinds[] = {AnnotationKind::arrow, AnnotationKind::rectangle, AnnotationKind::ellipse,
                                            AnnotationKind::line, AnnotationKind::highlighter};
            for (int i = 0; i < 40; ++i) {
                const double x = 60 + (i % 8) * 300;
                const double y = 60 + (i / 8) * 270;
                if (i % 4 == 2) {
                    model.panels.front().annotations.push_back(Annotation::make(
                        QUuid::createUuid(), AnnotationKind::text, {{x, y}}, QStringLiteral("Fare clic qui")));
                    continue;
                }
                model.panels.front().annotations.push_back(Annotation::make(
                    QUuid::createUuid(), kinds[i % 5], {{x, y}, {x + 220, y + 160}, {x + 60, y + 120}}));
            }
        });
    }
};

Shot& shot()
{
    static Shot made;
    return made;
}

void BM_SizeTitles5K(benchmark::State& state)
{
    Shot& s = shot();
    ImageExportPanel panel(s.document, s.settings);
    for (auto _ : state)
        panel.showSizes(s.document.model());
    benchmark::DoNotOptimize(panel.sizeBox()->itemText(0));
}
BENCHMARK(BM_SizeTitles5K)->Unit(benchmark::kMillisecond);

ExportOptions originalPng()
{
    ExportOptions options;
    options.resolution = ExportOptions::Native{};
    return options;
}

void BM_ExportPngToDisk5K(benchmark::State& state)
{
    Shot& s = shot();
    const QString path = s.folder.filePath("export.png");
    for (auto _ : state) {
        const ImageExportOutcome outcome =
            ImageExportPanel::exportNow(s.document.model(), s.document.images(), originalPng(), path);
        if (outcome.kind != ImageExportOutcome::Kind::written) {
            state.SkipWithError("nothing written");
            return;
        }
    }
}
BENCHMARK(BM_ExportPngToDisk5K)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole background export as the dialog starts it, with a 4 ms timer standing for
// the interface's frames: the counter is the longest gap between two of its ticks.
void BM_BackgroundExportLongestFrame5K(benchmark::State& state)
{
    Shot& s = shot();
    const QString path = s.folder.filePath("background.png");
    QObject context;
    double longest = 0;
    for (auto _ : state) {
        bool done = false;
        QElapsedTimer sinceTick;
        QTimer frames;
        frames.setInterval(4);
        QObject::connect(&frames, &QTimer::timeout, [&] { longest = std::max(longest, double(sinceTick.restart())); });
        sinceTick.start();
        frames.start();
        ImageExportPanel::exportInBackground(s.document.model(), s.document.images(), originalPng(), path, &context,
                                             [&](const ImageExportOutcome&) { done = true; });
        while (!done)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        frames.stop();
    }
    state.counters["longest_frame_ms"] = longest;
}
BENCHMARK(BM_BackgroundExportLongestFrame5K)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
