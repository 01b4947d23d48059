// The whole document as the canvas and the exporter draw it: a 5K screenshot (5120 x
// 2880 pixels at 2 pixels per point) with about 40 mixed annotations (blur, pixelate,
// spotlight, lens, text, callouts, bent arrows, outlined and chalk shapes, highlighters,
// badges). Redrawn for the canvas at display density 1 (preview image) and 2 (full
// image) with caches warm, rendered for a native export, and sampled by the colour
// picker. A large document of 36 panels is redrawn for a small exposed area, with and
// without skipping what lies outside it.

#include "core/imaging/Exporter.h"
#include "core/imaging/ImageCoding.h"
#include "core/imaging/PixelSampler.h"
#include "core/render/RenderCache.h"
#include "core/render/Renderer.h"

#include "ScreenshotFixture.h"
#include "support/ModelBuilders.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <utility>

using namespace vorlix;

namespace {

// Images with previews cached per size bucket (256 x 2^k), as the image store keeps them.
class BenchImages : public ImageProviding {
public:
    void add(const QUuid& id, QImage image) { m_images[id] = std::move(image); }
    QImage image(const QUuid& id) const override
    {
        const auto it = m_images.find(id);
        return it == m_images.end() ? QImage() : it->second;
    }
    QImage previewImage(const QUuid& id, int maxPixelSize) const override
    {
        int bucket = 256;
        while (bucket < maxPixelSize)
            bucket *= 2;
        const auto key = std::pair(id, bucket);
        if (const auto it = m_previews.find(key); it != m_previews.end())
            return it->second;
        const QImage preview = ImageCoding::scaledToFit(image(id), bucket);
        m_previews[key] = preview;
        return preview;
    }

private:
    std::map<QUuid, QImage> m_images;
    mutable std::map<std::pair<QUuid, int>, QImage> m_previews;
};

Annotation shape(int n, AnnotationKind kind, std::vector<Point> points, QString text = {})
{
    return Annotation::make(test::uuid(1000 + n), kind, std::move(points), std::move(text));
}

// The frame of a typical canvas: padding, shadowed rounded panels on a dark background.
void withCanvasLook(DocumentModel& document)
{
    document.padding = 24;
    document.panelShadow = true;
    document.panelCornerRadius = 10;
    document.background = ColorBackground{RGBAColor::hex("#20242A")};
}

struct Fixture {
    DocumentModel document;
    BenchImages images;
};

const Fixture& fixture()
{
    static const Fixture f = [] {
        Fixture f;
        Panel panel;
        panel.id = test::uuid(1);
        panel.imageID = test::uuid(2);
        panel.pixelSize = {5120, 2880};
        panel.pixelsPerPoint = 2;
        panel.caption = QStringLiteral("La finestra delle impostazioni");
        f.images.add(panel.imageID, bench::screenshotFixture(5120, 2880));

        std::vector<Annotation>& a = panel.annotations;
        int n = 0;
        a.push_back(shape(n++, AnnotationKind::blur, {{300, 300}, {1300, 800}}));
        a.push_back(shape(n++, AnnotationKind::blur, {{3400, 2000}, {4400, 2500}}));
        a.push_back(shape(n++, AnnotationKind::pixelate, {{1600, 300}, {2400, 700}}));
        Annotation noisy = shape(n++, AnnotationKind::pixelate, {{2600, 1900}, {3300, 2300}});
        noisy.style.pixelateRandom = true;
        a.push_back(noisy);
        a.push_back(shape(n++, AnnotationKind::spotlight, {{600, 1200}, {2200, 2200}}));
        a.push_back(shape(n++, AnnotationKind::lens, {{4000, 600}, {4120, 600}, {4500, 1100}}));
        for (int i = 0; i < 34; ++i) {
            const double x = 200 + (i % 7) * 700;
            const double y = 200 + (i / 7) * 520;
            switch (i % 9) {
            case 0:
                a.push_back(shape(n++, AnnotationKind::arrow, {{x, y}, {x + 420, y + 300}, {x + 120, y + 260}}));
                break;
            case 1: {
                Annotation r = shape(n++, AnnotationKind::rectangle, {{x, y}, {x + 480, y + 320}});
                r.style.shapeOutline = true;
                a.push_back(r);
                break;
            }
            case 2:
                a.push_back(shape(n++, AnnotationKind::text, {{x, y}}, QStringLiteral("Fare clic qui\npoi su Salva")));
                break;
            case 3:
                a.push_back(shape(n++, AnnotationKind::callout, {{x, y}, {x + 240, y + 400}, {x + 440, y + 180}},
                                  QStringLiteral("Una nota sul passaggio")));
                break;
            case 4: {
                Annotation e = shape(n++, AnnotationKind::ellipse, {{x, y}, {x + 400, y + 280}});
                e.style.chalk = true;
                a.push_back(e);
                break;
            }
            case 5:
                a.push_back(shape(n++, AnnotationKind::highlighter, {{x, y + 80}, {x + 480, y + 80}}));
                break;
            case 6:
                a.push_back(shape(n++, AnnotationKind::number, {{x + 40, y + 40}}));
                break;
            case 7: {
                Annotation arrow = shape(n++, AnnotationKind::arrow, {{x, y}, {x + 400, y + 100}, {x + 200, y - 120}});
                arrow.style.shapeOutline = true;
                a.push_back(arrow);
                break;
            }
            case 8: {
                Annotation line = shape(n++, AnnotationKind::line, {{x, y}, {x + 500, y + 200}});
                line.style.showsMeasure = true;
                a.push_back(line);
                break;
            }
            }
        }
        f.document.panels = {panel};
        withCanvasLook(f.document);
        return f;
    }();
    return f;
}

// The canvas: the document at `density` device pixels per point, the view showing the
// panel's 2560 x 1440 points. Large fills are shared out to Qt's drawing threads, so the
// wall time is what a frame costs.
void BM_CanvasRedraw(benchmark::State& state)
{
    const Fixture& f = fixture();
    const double density = double(state.range(0));
    QImage target(int(2560 * density), int(1440 * density), QImage::Format_ARGB32_Premultiplied);
    Renderer::RenderCache cache;
    Renderer::Options options;
    options.displayPixelsPerPoint = density;
    options.cache = &cache;
    options.reusesShapePictures = true; // as while a shape is dragged
    // The document's opaque background covers the whole view: the target needs no
    // clearing between redraws.
    const auto redraw = [&] {
        QPainter painter(&target);
        painter.scale(density, density);
        Renderer::draw(f.document, f.images, painter, options);
    };
    redraw(); // warm: previews, filtered regions, text
    for (auto _ : state) {
        redraw();
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_CanvasRedraw)->ArgName("density")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// A large document: 6 x 6 panels of 1600 x 1000 pixels at 2 pixels per point, each with
// ten shapes (filters, highlighter, text, callout, arrows, outlined shapes), and 40
// document-level arrows and labels across it.
const Fixture& largeFixture()
{
    static const Fixture f = [] {
        Fixture f;
        const QImage screenshot = bench::screenshotFixture(1600, 1000);
        int n = 5000;
        for (int row = 0; row < 6; ++row) {
            for (int column = 0; column < 6; ++column) {
                Panel panel;
                panel.id = test::uuid(n++);
                panel.imageID = test::uuid(n++);
                panel.pixelSize = {1600, 1000};
                panel.pixelsPerPoint = 2;
                panel.origin = {column * 860.0, row * 560.0};
                panel.caption = QStringLiteral("Passo %1").arg(row * 6 + column + 1);
                f.images.add(panel.imageID, screenshot);
                std::vector<Annotation>& a = panel.annotations;
                a.push_back(shape(n++, AnnotationKind::blur, {{100, 100}, {500, 300}}));
                a.push_back(shape(n++, AnnotationKind::pixelate, {{1000, 600}, {1400, 800}}));
                a.push_back(shape(n++, AnnotationKind::highlighter, {{200, 700}, {900, 700}}));
                a.push_back(shape(n++, AnnotationKind::text, {{600, 150}}, QStringLiteral("Fare clic qui")));
                a.push_back(shape(n++, AnnotationKind::callout, {{900, 100}, {1100, 450}, {1400, 250}},
                                  QStringLiteral("Una nota")));
                a.push_back(shape(n++, AnnotationKind::arrow, {{300, 400}, {800, 600}, {500, 600}}));
                Annotation outlined = shape(n++, AnnotationKind::rectangle, {{150, 800}, {600, 950}});
                outlined.style.shapeOutline = true;
                a.push_back(outlined);
                Annotation chalk = shape(n++, AnnotationKind::ellipse, {{1100, 300}, {1500, 550}});
                chalk.style.chalk = true;
                a.push_back(chalk);
                a.push_back(shape(n++, AnnotationKind::number, {{80, 80}}));
                Annotation bent = shape(n++, AnnotationKind::arrow, {{1500, 900}, {1300, 500}, {1500, 700}});
                bent.style.shapeOutline = true;
                a.push_back(bent);
                f.document.panels.push_back(panel);
            }
        }
        for (int i = 0; i < 40; ++i) {
            const double x = 100 + (i % 8) * 640;
            const double y = 200 + (i / 8) * 640;
            if (i % 2)
                f.document.annotations.push_back(shape(n++, AnnotationKind::arrow, {{x, y}, {x + 300, y + 120}}));
            else
                f.document.annotations.push_back(
                    shape(n++, AnnotationKind::text, {{x, y}}, QStringLiteral("Passaggio")));
        }
        withCanvasLook(f.document);
        return f;
    }();
    return f;
}

// A 1600 x 1000 view of the large document at 1 pixel per point, of which a 200 x 200
// area is exposed (a tooltip gone, a cursor blink): the painter is clipped to it as a
// window's paint event is. Argument 1 also passes the area as Options::visibleRect, so
// the renderer skips what lies outside it; 0 draws the whole document through the clip.
void BM_ExposedRedraw(benchmark::State& state)
{
    const Fixture& f = largeFixture();
    const bool culled = state.range(0) != 0;
    QImage target(1600, 1000, QImage::Format_ARGB32_Premultiplied);
    const QPoint viewOrigin(1500, 900); // canvas point at the view's top-left
    const QRect exposed(700, 400, 200, 200);
    Renderer::RenderCache cache;
    Renderer::Options options;
    options.displayPixelsPerPoint = 1;
    options.cache = &cache;
    options.reusesShapePictures = true; // as while a shape is dragged
    if (culled)
        options.visibleRect = Rect::fromQt(QRectF(exposed.translated(viewOrigin)));
    const auto redraw = [&] {
        QPainter painter(&target);
        painter.setClipRect(exposed);
        painter.translate(-viewOrigin.x(), -viewOrigin.y());
        Renderer::draw(f.document, f.images, painter, options);
    };
    redraw(); // warm
    for (auto _ : state) {
        redraw();
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_ExposedRedraw)->ArgName("culled")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ExportNativeRender(benchmark::State& state)
{
    const Fixture& f = fixture();
    ExportOptions options;
    options.resolution = ExportOptions::Native{};
    benchmark::DoNotOptimize(Exporter::renderImage(f.document, f.images, options)); // warm
    for (auto _ : state) {
        auto image = Exporter::renderImage(f.document, f.images, options);
        benchmark::DoNotOptimize(image->constBits());
    }
}
BENCHMARK(BM_ExportNativeRender)->Unit(benchmark::kMillisecond)->UseRealTime();

// A document holding one pasted 90,000-point pencil scribble across 1600 x 1200 points
// (a Lissajous figure, about 85,000 points long), exported at its native size.
void BM_ExportLongPencil(benchmark::State& state)
{
    std::vector<Point> points;
    constexpr int count = 90'000;
    points.reserve(count);
    for (int i = 0; i < count; ++i) {
        const double t = 2 * 3.141592653589793 * i / count;
        points.push_back({800 + 720 * std::sin(7 * t), 600 + 520 * std::sin(11 * t)});
    }
    DocumentModel document;
    document.annotations.push_back(shape(0, AnnotationKind::pencil, std::move(points)));
    const BenchImages images;
    ExportOptions options;
    options.resolution = ExportOptions::Native{};
    for (auto _ : state) {
        auto image = Exporter::renderImage(document, images, options);
        benchmark::DoNotOptimize(image->constBits());
    }
}
BENCHMARK(BM_ExportLongPencil)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SamplerFirstQueryThenManyQueries(benchmark::State& state)
{
    const Fixture& f = fixture();
    for (auto _ : state) {
        PixelSampler sampler;
        int found = 0;
        for (int i = 0; i < 10000; ++i) {
            const Point p{double(i % 2560), double((i * 7) % 1440)};
            found += sampler.color(p, f.document, f.images).has_value();
            found += sampler.edges(p, f.document, f.images, 28).has_value();
        }
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_SamplerFirstQueryThenManyQueries)->Unit(benchmark::kMillisecond);

} // namespace
