// Document operations the canvas runs on every pointer move or redraw.

#include "core/document/DocumentAnnotations.h"
#include "core/document/PanelComposition.h"
#include "support/ModelBuilders.h"

#include <benchmark/benchmark.h>

using namespace vorlix;

namespace {

// 20 panels in a column; `textBoxes` text annotations and the rest mixed shapes, spread
// over the panels, so a point query has to look at every one of them.
DocumentModel documentWith(int annotations, int textBoxes)
{
    DocumentModel d;
    for (int p = 0; p < 20; ++p)
        addPanel(d, QUuid::createUuid(), {1600, 1000}, 2, PanelOrientation::identity());
    const auto kinds = allCases<AnnotationKind>();
    for (int i = 0; i < annotations; ++i) {
        Panel& panel = d.panels[static_cast<std::size_t>(i) % d.panels.size()];
        const double x = (i * 37) % 1400;
        const double y = (i * 53) % 900;
        if (i < textBoxes) {
            panel.annotations.push_back(Annotation::make(QUuid::createUuid(), AnnotationKind::text, {{x, y}},
                                                         QStringLiteral("Testo numero %1").arg(i)));
            continue;
        }
        AnnotationKind kind = kinds[static_cast<std::size_t>(i) % kinds.size()];
        if (kind == AnnotationKind::text || kind == AnnotationKind::callout)
            kind = AnnotationKind::arrow;
        panel.annotations.push_back(
            Annotation::make(QUuid::createUuid(), kind, {{x, y}, {x + 120, y + 60}, {x + 50, y + 40}, {x + 200, y}}));
    }
    return d;
}

void BM_CanvasBounds(benchmark::State& state)
{
    const DocumentModel d = documentWith(300, 300);
    canvasBounds(d); // warm the text measurements
    for (auto _ : state)
        benchmark::DoNotOptimize(canvasBounds(d));
}
BENCHMARK(BM_CanvasBounds)->Unit(benchmark::kMicrosecond);

void BM_TopmostAnnotation(benchmark::State& state)
{
    const DocumentModel d = documentWith(2000, 0);
    const Point nowhere{-500, -500};
    for (auto _ : state)
        benchmark::DoNotOptimize(topmostAnnotation(d, nowhere, 4));
}
BENCHMARK(BM_TopmostAnnotation)->Unit(benchmark::kMicrosecond);

} // namespace
