// Drawing annotations as the canvas does on every frame: 40 mixed shapes (arrows, lines,
// rectangles, text, callouts, badges, cursors, highlighters) into a 2560 × 1440 image,
// plain, then with a quarter of them outlined and a quarter in chalk; and the single
// effects on their own.

#include "core/render/AnnotationDrawing.h"
#include "core/render/ShapeEffects.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

using namespace vorlix;

namespace {

CanvasShape shapeOf(AnnotationKind kind, std::vector<Point> points, QString text = {})
{
    CanvasShape shape;
    shape.kind = kind;
    shape.points = std::move(points);
    shape.style = Style::defaults(kind);
    shape.text = std::move(text);
    return shape;
}

// 40 shapes spread over the canvas; `effects` outlines every fourth outlinable shape and
// puts every other fourth in chalk.
std::vector<CanvasShape> mixedShapes(bool effects)
{
    std::vector<CanvasShape> shapes;
    for (int i = 0; i < 40; ++i) {
        const double x = 60 + (i % 8) * 300;
        const double y = 60 + (i / 8) * 270;
        switch (i % 10) {
        case 0:
            shapes.push_back(shapeOf(AnnotationKind::arrow, {{x, y}, {x + 220, y + 160}, {x + 60, y + 120}}));
            break;
        case 1:
            shapes.push_back(shapeOf(AnnotationKind::rectangle, {{x, y}, {x + 240, y + 180}}));
            break;
        case 2:
            shapes.push_back(shapeOf(AnnotationKind::text, {{x, y}}, QStringLiteral("Fare clic qui\npoi su Salva")));
            break;
        case 3:
            shapes.push_back(shapeOf(AnnotationKind::line, {{x, y}, {x + 240, y + 120}}));
            break;
        case 4:
            shapes.push_back(shapeOf(AnnotationKind::callout, {{x, y}, {x + 120, y + 200}, {x + 220, y + 90}},
                                     QStringLiteral("Una nota sul passaggio")));
            break;
        case 5:
            shapes.push_back(shapeOf(AnnotationKind::ellipse, {{x, y}, {x + 200, y + 140}}));
            break;
        case 6:
            shapes.push_back(shapeOf(AnnotationKind::number, {{x + 20, y + 20}}));
            break;
        case 7:
            shapes.push_back(shapeOf(AnnotationKind::highlighter, {{x, y + 40}, {x + 240, y + 40}}));
            break;
        case 8:
            shapes.push_back(shapeOf(AnnotationKind::cursor, {{x + 40, y + 40}}));
            break;
        case 9: {
            std::vector<Point> points;
            for (int k = 0; k < 60; ++k)
                points.push_back({x + k * 4, y + 60 + 30 * std::sin(k * 0.3)});
            shapes.push_back(shapeOf(AnnotationKind::pencil, points));
            break;
        }
        }
        if (effects && isOutlinable(shapes.back().kind)) {
            if (i % 4 == 0)
                shapes.back().style.shapeOutline = true;
            else if (i % 4 == 1)
                shapes.back().style.chalk = true;
        }
    }
    return shapes;
}

void drawAll(benchmark::State& state, const std::vector<CanvasShape>& shapes)
{
    QImage target(2560, 1440, QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::white);
    for (auto _ : state) {
        QPainter painter(&target);
        painter.setRenderHint(QPainter::Antialiasing, true);
        long long n = 1;
        for (const CanvasShape& shape : shapes)
            Renderer::draw(painter, shape, n++);
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
    }
}

void BM_Draw40MixedShapes(benchmark::State& state) { drawAll(state, mixedShapes(state.range(0) != 0)); }
BENCHMARK(BM_Draw40MixedShapes)->ArgName("effects")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_DrawOneRectangle(benchmark::State& state)
{
    CanvasShape shape = shapeOf(AnnotationKind::rectangle, {{100, 100}, {400, 300}});
    shape.style.shapeOutline = state.range(0) == 1;
    shape.style.chalk = state.range(0) == 2;
    drawAll(state, {shape});
}
BENCHMARK(BM_DrawOneRectangle)->ArgName("plain0_outline1_chalk2")->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

} // namespace

namespace {

// A pasted 90,000-point pencil scribble across a 400 x 300 view (a Lissajous figure
// sampled about every 0.23 points, 21,000 points long), drawn into that view, then at
// the clipboard's largest line width (1000) in chalk, in chalk and dashed, and dashed at
// its usual width; and a crafted stroke of 90,000 points scattered at random over the
// view, which no simplification shortens, 3 and 20 points wide, and 20 wide dashed, in
// chalk and outlined. An unchanged stroke is redrawn: its simplification is remembered.
CanvasShape scatteredPencil(double lineWidth)
{
    std::mt19937 generator(20261211);
    std::uniform_real_distribution<double> x(0, 400);
    std::uniform_real_distribution<double> y(0, 300);
    std::vector<Point> points(90'000);
    for (Point& p : points)
        p = {x(generator), y(generator)};
    CanvasShape shape = shapeOf(AnnotationKind::pencil, std::move(points));
    shape.style.lineWidth = lineWidth;
    return shape;
}

CanvasShape longPencil()
{
    std::vector<Point> points;
    constexpr int count = 90'000;
    points.reserve(count);
    for (int i = 0; i < count; ++i) {
        const double t = 2 * 3.141592653589793 * i / count;
        points.push_back({200 + 180 * std::sin(7 * t), 150 + 130 * std::sin(11 * t)});
    }
    return shapeOf(AnnotationKind::pencil, std::move(points));
}

void BM_DrawLongPencil(benchmark::State& state)
{
    const int variant = static_cast<int>(state.range(0));
    CanvasShape shape = variant == 3                   ? scatteredPencil(3)
                        : variant >= 4 && variant != 5 ? scatteredPencil(20)
                                                       : longPencil();
    if (variant == 1 || variant == 2) {
        shape.style.lineWidth = 1000;
        shape.style.chalk = true;
    }
    shape.style.dashed = variant == 2 || variant == 5 || variant == 6;
    shape.style.chalk = shape.style.chalk || variant == 7;
    shape.style.shapeOutline = variant == 8;
    QImage target(400, 300, QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::white);
    for (auto _ : state) {
        QPainter painter(&target);
        painter.setRenderHint(QPainter::Antialiasing, true);
        Renderer::draw(painter, shape);
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_DrawLongPencil)
    ->ArgName("plain0_width1000chalk1_dashed2_scattered3_scattered4_dashed5_scatteredDashed6_Chalk7_Outlined8")
    ->DenseRange(0, 8)
    ->Unit(benchmark::kMillisecond);

} // namespace
