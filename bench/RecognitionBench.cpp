// Text recognition, code reading and text-line finding on images of typical sizes.

#include "core/analysis/TextRecognition.h"

#define ZX_USE_UTF8
#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>

#include <QFont>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

using namespace vorlix;

namespace {

const QStringList sampleLines{
    QStringLiteral("Perché la città è già più bella così, di sera?"),
    QStringLiteral("Qualità, velocità e caffè: l'università è lì."),
    QStringLiteral("Apri le Impostazioni e scegli Esporta come PNG."),
    QStringLiteral("Il 25 aprile 2024 alle ore 18:30 in piazza."),
    QStringLiteral("Però è perciò un'opportunità unica, Niccolò!"),
    QStringLiteral("Salva il progetto prima di chiudere la finestra."),
};

void drawText(QImage& image, QPointF origin, int pixelSize)
{
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    painter.setFont(font);
    painter.setPen(QColor(30, 30, 30));
    for (qsizetype i = 0; i < sampleLines.size(); ++i)
        painter.drawText(origin + QPointF(0, (pixelSize + 12) * i), sampleLines[i]);
}

QImage textRegion()
{
    QImage image(600, 200, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    drawText(image, {12, 24}, 15);
    return image;
}

// A screenshot-sized image: some text and one QR code of 29 modules at 4 pixels each.
QImage screenWithCode()
{
    QImage image(1600, 1000, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(246, 246, 248));
    const ZXing::BitMatrix matrix = ZXing::MultiFormatWriter(ZXing::BarcodeFormat::QRCode)
                                        .setMargin(4)
                                        .encode(std::string("https://example.org/accesso?token=ABCDEF123456"), 0, 0);
    QPainter painter(&image);
    painter.fillRect(1100, 500, matrix.width() * 4, matrix.height() * 4, Qt::white);
    for (int y = 0; y < matrix.height(); ++y)
        for (int x = 0; x < matrix.width(); ++x)
            if (matrix.get(x, y))
                painter.fillRect(1100 + x * 4, 500 + y * 4, 4, 4, Qt::black);
    painter.end();
    return image;
}

void BM_RecognizeTextRegion(benchmark::State& state)
{
    const QImage image = textRegion();
    TextRecognition::recognizeNow(image); // warms the engine pool
    for (auto _ : state)
        benchmark::DoNotOptimize(TextRecognition::recognizeNow(image));
}
// Bands of lines are read on several threads: the wall time is what the user waits.
BENCHMARK(BM_RecognizeTextRegion)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RecognizeCodeInScreen(benchmark::State& state)
{
    // Without text the engine is never asked: this is code reading plus the ink scan.
    const QImage image = screenWithCode();
    for (auto _ : state)
        benchmark::DoNotOptimize(TextRecognition::recognizeNow(image));
}
BENCHMARK(BM_RecognizeCodeInScreen)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TextLinesOfBand(benchmark::State& state)
{
    QImage band(480, 60, QImage::Format_ARGB32_Premultiplied);
    band.fill(Qt::white);
    drawText(band, {8, 22}, 15);
    for (auto _ : state)
        benchmark::DoNotOptimize(TextRecognition::textLines(band));
}
BENCHMARK(BM_TextLinesOfBand)->Unit(benchmark::kMicrosecond);

} // namespace
