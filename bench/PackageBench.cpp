// Saving and opening a project package: ten panels showing 5K screenshot-like PNGs
// (about 1.5 MB each; the bytes are written unchanged, so this is file I/O with
// flushes) and 2,000 annotations. Saving replaces an existing package, so it includes
// the sibling folder, the swap and the removal of the old package. The JSON coding
// of the document alone is measured beside it.

#include "core/formats/ProjectPackage.h"
#include "core/formats/ProjectPackageReader.h"
#include "core/formats/ProjectPackageWriter.h"
#include "core/imaging/ImageCoding.h"
#include "support/ModelBuilders.h"

#include "ScreenshotFixture.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace vorlix;
namespace Package = vorlix::ProjectPackage;

namespace {

constexpr int panelCount = 10;
constexpr int annotationCount = 2000;

struct Fixture {
    DocumentModel document;
    ImageStore images;
};

const Fixture& fixture()
{
    static const Fixture f = [] {
        Fixture out;
        // One picture encoded once; each panel stores it under its own id.
        const QByteArray png = *ImageCoding::encode(bench::screenshotFixture(), ImageType::png, 2, 0.9);
        const AnnotationKind kinds[] = {AnnotationKind::arrow,  AnnotationKind::rectangle, AnnotationKind::text,
                                        AnnotationKind::pencil, AnnotationKind::number,    AnnotationKind::line};
        int next = 1;
        for (int i = 0; i < panelCount; ++i) {
            Panel panel;
            panel.id = test::uuid(next++);
            panel.imageID = test::uuid(next++);
            panel.pixelSize = {5120, 2880};
            panel.pixelsPerPoint = 2;
            panel.origin = {0, i * 1500.0};
            out.images.add({png, QStringLiteral("png")}, panel.imageID);
            for (int a = 0; a < annotationCount / panelCount; ++a) {
                const AnnotationKind kind = kinds[a % std::size(kinds)];
                std::vector<Point> points;
                const int pointCount = kind == AnnotationKind::pencil ? 40 : 2;
                for (int p = 0; p < pointCount; ++p)
                    points.push_back({10.0 + a * 7 + p * 3.5, 20.0 + a * 5 + p * 1.25});
                panel.annotations.push_back(
                    Annotation::make(test::uuid(next++), kind, points,
                                     kind == AnnotationKind::text ? QStringLiteral("Fai clic su «Salva»") : QString()));
            }
            out.document.panels.push_back(std::move(panel));
        }
        return out;
    }();
    return f;
}

void BM_EncodeDocument(benchmark::State& state)
{
    QByteArray json;
    for (auto _ : state)
        benchmark::DoNotOptimize(json = Package::encodeDocument(fixture().document));
    state.counters["bytes"] = double(json.size());
}
BENCHMARK(BM_EncodeDocument)->Unit(benchmark::kMillisecond);

void BM_DecodeDocument(benchmark::State& state)
{
    const std::string json = Package::encodeDocument(fixture().document).toStdString();
    for (auto _ : state)
        benchmark::DoNotOptimize(Package::decodeDocument(json));
}
BENCHMARK(BM_DecodeDocument)->Unit(benchmark::kMillisecond);

void BM_SavePackageOverPrevious(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("progetto.vorlix");
    Package::write(fixture().document, fixture().images, target);
    for (auto _ : state)
        Package::write(fixture().document, fixture().images, target);
    state.counters["imageBytes"] =
        double(fixture().images.asset(fixture().document.panels[0].imageID)->data.size()) * panelCount;
}
BENCHMARK(BM_SavePackageOverPrevious)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenPackage(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("progetto.vorlix");
    Package::write(fixture().document, fixture().images, target);
    for (auto _ : state)
        benchmark::DoNotOptimize(Package::read(target));
}
BENCHMARK(BM_OpenPackage)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

namespace {

// Twenty 5K shots open in one document, each drawn once: what the image store holds.
void BM_TwentyShotsOpen(benchmark::State& state)
{
    const QByteArray png = *ImageCoding::encode(bench::screenshotFixture(), ImageType::png, 2, 0.9);
    std::int64_t decoded = 0;
    for (auto _ : state) {
        ImageStore store;
        for (int n = 0; n < 20; ++n) {
            const QUuid id = QUuid::createUuidV5(QUuid(), QByteArray::number(n));
            store.add({png, QStringLiteral("png")}, id);
            benchmark::DoNotOptimize(store.image(id));
        }
        decoded = store.decodedBytes();
    }
    state.counters["decodedMB"] = double(decoded) / (1 << 20);
    state.counters["encodedMB"] = 20.0 * double(png.size()) / (1 << 20);
    state.counters["allDecodedMB"] = 20.0 * double(bench::screenshotFixture().sizeInBytes()) / (1 << 20);
}
BENCHMARK(BM_TwentyShotsOpen)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

} // namespace
