// Text box measuring as the canvas bounds need it: 300 text boxes of a document, measured
// with an empty size memo (cold) and again with the memo filled (warm); and drawing.

#include "core/shapes/TextLayout.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <vector>

using namespace vorlix;

namespace {

struct TextBox {
    QString text;
    Style style;
    std::optional<double> width;
};

std::vector<TextBox> documentTextBoxes()
{
    std::vector<TextBox> boxes;
    for (int i = 0; i < 300; ++i) {
        TextBox box;
        box.text = QStringLiteral("Passo %1: fare clic sul pulsante evidenziato").arg(i + 1);
        if (i % 3 == 0)
            box.text += QStringLiteral("\ne poi confermare con Invio");
        box.style = Style::defaults(AnnotationKind::text);
        box.style.fontSize = 14 + i % 20;
        box.style.fontBold = i % 2 == 0;
        box.style.textBoxBorder = i % 5 == 0;
        if (i % 7 == 0)
            box.style.fontName = QStringLiteral("DejaVu Serif");
        if (i % 4 == 0)
            box.width = 180 + i % 50;
        boxes.push_back(std::move(box));
    }
    return boxes;
}

double measureAll(const std::vector<TextBox>& boxes)
{
    double total = 0;
    for (const TextBox& box : boxes)
        total += TextLayout::size(box.text, box.style, box.width).height;
    return total;
}

void BM_Measure300TextBoxesCold(benchmark::State& state)
{
    const std::vector<TextBox> boxes = documentTextBoxes();
    for (auto _ : state) {
        TextLayout::clearSizeCache();
        benchmark::DoNotOptimize(measureAll(boxes));
    }
}
BENCHMARK(BM_Measure300TextBoxesCold)->Unit(benchmark::kMillisecond);

void BM_Measure300TextBoxesWarm(benchmark::State& state)
{
    const std::vector<TextBox> boxes = documentTextBoxes();
    measureAll(boxes);
    for (auto _ : state)
        benchmark::DoNotOptimize(measureAll(boxes));
}
BENCHMARK(BM_Measure300TextBoxesWarm)->Unit(benchmark::kMicrosecond);

// One two-line text box, plain or outlined (range 0), drawn at a zoom (range 1).
void BM_DrawTextBox(benchmark::State& state)
{
    Style style = Style::defaults(AnnotationKind::text);
    style.textOutline = state.range(0) != 0;
    const double zoom = static_cast<double>(state.range(1));
    const QString text = QStringLiteral("Fare clic qui\nper continuare");
    QImage image(800, 300, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(zoom, zoom);
        TextLayout::draw(text, style, {10, 10}, painter);
    }
}
BENCHMARK(BM_DrawTextBox)->ArgNames({"outline", "zoom"})->ArgsProduct({{0, 1}, {1, 2}})->Unit(benchmark::kMicrosecond);

} // namespace
