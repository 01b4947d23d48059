// The property bar following the selection from one kind of content to another: a panel,
// the document's settings, an arrow, a text. Each switch rebuilds the bar's rows; the goal
// is at most 16 ms (one frame) per switch.

#include "app/editor/inspectors/PropertyBar.h"

#include "CanvasBench.h"
#include "support/EventLoopWaits.h"
#include "support/ModelBuilders.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <functional>

using namespace vorlix;
using namespace vorlix::test;

namespace {

DocumentModel threePanels()
{
    DocumentModel doc;
    for (int i = 0; i < 3; ++i) {
        Panel panel;
        panel.id = uuid(100 + i);
        panel.imageID = uuid(200 + i);
        panel.pixelSize = {1600, 900};
        panel.origin = {0, 920.0 * i};
        panel.annotations = {
            Annotation::make(uuid(300 + i), AnnotationKind::arrow, {{20, 20}, {400, 200}}),
            Annotation::make(uuid(400 + i), AnnotationKind::text, {{500, 40}}, QStringLiteral("Passo")),
        };
        doc.panels.push_back(panel);
    }
    return doc;
}

void BM_SwitchSelectionKind(benchmark::State& state)
{
    bench::BenchCanvas canvas(threePanels());
    for (int i = 0; i < 3; ++i) {
        QImage image(1600, 900, QImage::Format_RGB32);
        image.fill(Qt::white);
        canvas.images.add(uuid(200 + i), image);
    }
    canvas.showWithViewport(QSize(1200, 800));
    PropertyBar bar(canvas.view, canvas.settings);
    bar.show();
    const std::function<void()> selections[] = {
        [&] { canvas.view.setSelectedPanel(uuid(101)); },
        [&] { canvas.view.setSelectedPanel(std::nullopt); },
        [&] { canvas.view.setSelection({uuid(300)}); },
        [&] { canvas.view.setSelection({uuid(401)}); },
    };
    std::size_t next = 0;
    for (auto _ : state) {
        state.PauseTiming();
        canvas.view.setSelection({});
        canvas.view.setSelectedPanel(std::nullopt);
        selections[next]();
        next = (next + 1) % std::size(selections);
        state.ResumeTiming();
        bar.refresh();
        bar.adjustSize();
        runDeferredDeletes();
    }
}
BENCHMARK(BM_SwitchSelectionKind)->Unit(benchmark::kMillisecond);

} // namespace
