// A PDF guide of 20 steps, each a 1920 x 1080 screenshot-like picture as the step cutter
// gives them (premultiplied RGBA, 1 pixel per point), captions included. Reports the
// size of the PDF as the "bytes" counter; pictures are embedded losslessly, so the size
// follows their compressibility.

#include "core/imaging/GuideExporter.h"

#include "ScreenshotFixture.h"

#include <QPainter>

#include <benchmark/benchmark.h>

using namespace vorlix;

namespace {

constexpr int stepCount = 20;

// Distinct pictures: the PDF writer stores a picture drawn twice only once.
const std::vector<GuideExporter::Step>& guideSteps()
{
    static const std::vector<GuideExporter::Step> steps = [] {
        const QImage base = bench::screenshotFixture(1920, 1080).convertToFormat(QImage::Format_RGBA8888_Premultiplied);
        std::vector<GuideExporter::Step> result;
        for (int i = 0; i < stepCount; ++i) {
            QImage image = base.copy();
            QPainter p(&image);
            p.fillRect(QRect(100 + 60 * i, 700, 420, 160), QColor(255, 56, 56));
            p.setPen(Qt::white);
            QFont font(QStringLiteral("DejaVu Sans"));
            font.setPixelSize(48);
            p.setFont(font);
            p.drawText(QRect(100 + 60 * i, 700, 420, 160), Qt::AlignCenter, QStringLiteral("Passo %1").arg(i + 1));
            p.end();
            result.push_back(
                {i + 1, QStringLiteral("Fai clic sul pulsante evidenziato nel passaggio %1.").arg(i + 1), image, 1});
        }
        return result;
    }();
    return steps;
}

void BM_GuidePdf20Steps(benchmark::State& state)
{
    const auto& steps = guideSteps();
    std::optional<QByteArray> data;
    for (auto _ : state)
        benchmark::DoNotOptimize(data = GuideExporter::pdf(QStringLiteral("Guida di prova"), steps));
    state.counters["bytes"] = data ? double(data->size()) : 0;
}
BENCHMARK(BM_GuidePdf20Steps)->Unit(benchmark::kMillisecond);

void BM_GuideLayout20Steps(benchmark::State& state)
{
    const auto& steps = guideSteps();
    for (auto _ : state)
        benchmark::DoNotOptimize(GuideExporter::pdfLayout(QStringLiteral("Guida di prova"), steps));
}
BENCHMARK(BM_GuideLayout20Steps)->Unit(benchmark::kMicrosecond);

} // namespace
