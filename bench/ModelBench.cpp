// Document coding and editing on a large document: 20 panels, 2,000 annotations.

#include "core/model/DocumentEditor.h"

#include "support/ModelBuilders.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

using namespace vorlix;

namespace {

DocumentModel largeDocument()
{
    DocumentModel d;
    const auto kinds = allCases<AnnotationKind>();
    int n = 100;
    for (int p = 0; p < 20; ++p) {
        Panel panel;
        panel.id = test::uuid(n++);
        panel.imageID = test::uuid(n++);
        panel.pixelSize = {2880, 1800};
        panel.pixelsPerPoint = 2;
        panel.origin = {0, p * 924.0};
        panel.caption = QStringLiteral("Passo %1").arg(p + 1);
        for (int a = 0; a < 100; ++a) {
            const AnnotationKind kind = kinds[static_cast<std::size_t>(a) % kinds.size()];
            panel.annotations.push_back(
                Annotation::make(test::uuid(n++), kind, {{a * 3.0, a * 2.0}, {a * 3.0 + 120, a * 2.0 + 80}},
                                 isTextual(kind) ? QStringLiteral("Testo di prova") : QString()));
        }
        d.panels.push_back(std::move(panel));
    }
    return d;
}

void BM_DocumentDecode(benchmark::State& state)
{
    const std::string text = encodeJson(largeDocument()).dump(2);
    for (auto _ : state)
        benchmark::DoNotOptimize(decodeDocument(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_DocumentDecode)->Unit(benchmark::kMillisecond);

void BM_DocumentEncode(benchmark::State& state)
{
    const DocumentModel d = largeDocument();
    for (auto _ : state)
        benchmark::DoNotOptimize(encodeJson(d).dump(2));
}
BENCHMARK(BM_DocumentEncode)->Unit(benchmark::kMillisecond);

void BM_EditorPerform(benchmark::State& state)
{
    UndoManager undo;
    undo.setGroupsByEvent(false);
    DocumentEditor editor(largeDocument(), undo);
    double x = 0;
    for (auto _ : state) {
        x += 1;
        editor.perform(QStringLiteral("Sposta"),
                       [x](DocumentModel& d) { d.panels[10].annotations[50].points[0].x = x; });
        // Every step keeps the whole earlier document: forget them now and then, so the
        // figure is the step's own cost and not the machine running out of memory.
        if (static_cast<long>(x) % 64 == 0) {
            state.PauseTiming();
            undo.removeAllActions();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_EditorPerform)->Unit(benchmark::kMicrosecond);

void BM_EditorPerformWithoutChange(benchmark::State& state)
{
    UndoManager undo;
    DocumentEditor editor(largeDocument(), undo);
    for (auto _ : state)
        editor.perform(QStringLiteral("Niente"), [](DocumentModel& d) { d.padding = 0; });
}
BENCHMARK(BM_EditorPerformWithoutChange)->Unit(benchmark::kMicrosecond);

} // namespace

namespace {

// Heap bytes held by 1,000 undo steps, each moving one annotation of a document of
// 2,000 annotations (20 panels of 100).
void BM_UndoHistoryMemory(benchmark::State& state)
{
    for (auto _ : state) {
        const std::size_t start = mallinfo2().uordblks;
        {
            UndoManager undo;
            undo.setGroupsByEvent(false);
            DocumentEditor editor(largeDocument(), undo);
            const std::size_t withDocument = mallinfo2().uordblks;
            for (int step = 1; step <= 1000; ++step) {
                editor.perform(QStringLiteral("Sposta"), [step](DocumentModel& d) {
                    d.panels[std::size_t(step) % d.panels.size()].annotations[50].points[0].x += 1;
                });
            }
            state.counters["historyMB"] = double(mallinfo2().uordblks - withDocument) / (1 << 20);
            state.counters["documentMB"] = double(withDocument - start) / (1 << 20);
        }
    }
}
BENCHMARK(BM_UndoHistoryMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
