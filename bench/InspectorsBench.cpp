// The inspectors beside a 5120 x 2880 point document (one panel of a 5K screenshot at one
// pixel per point, a few annotations, an arrow selected) shown at 100 % in a 2560 x 1440
// viewport: a right click on the canvas until the colour ring has painted (goal: 30 ms),
// and a step of a drag of the column's width slider until the canvas has painted the
// change (goal: 16 ms).
#include "app/editor/canvas/CanvasView.h"
#include "app/editor/inspectors/PropertyBar.h"
#include "app/editor/inspectors/PropertyColumn.h"
#include "app/editor/inspectors/RadialColorMenu.h"

#include "CanvasBench.h"
#include "ScreenshotFixture.h"
#include "support/ModelBuilders.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSlider>

#include <benchmark/benchmark.h>

using namespace vorlix;

namespace {

DocumentModel benchDocument()
{
    Panel panel;
    panel.id = test::uuid(1);
    panel.imageID = test::uuid(2);
    panel.pixelSize = {5120, 2880};
    panel.pixelsPerPoint = 1;
    for (int i = 0; i < 12; ++i) {
        const double x = 200 + (i % 4) * 1200;
        const double y = 300 + (i / 4) * 800;
        panel.annotations.push_back(Annotation::make(test::uuid(100 + i),
                                                     i % 2 ? AnnotationKind::rectangle : AnnotationKind::arrow,
                                                     {{x, y}, {x + 600, y + 400}}));
    }
    DocumentModel document;
    document.panels = {panel};
    document.padding = 24;
    document.background = ColorBackground{RGBAColor::hex("#20242A")};
    return document;
}

struct Fixture : bench::BenchCanvas {
    Fixture() : BenchCanvas(benchDocument())
    {
        images.add(test::uuid(2), bench::screenshotFixture(5120, 2880));
        showWithViewport({2560, 1440});
        view.viewport()->repaint();
        view.setSelection({test::uuid(100)});
        view.onStateChange = [this] { column.refresh(); };
        column.refresh();
        view.onColorMenuRequest = [this](QPoint at, RGBAColor current, std::function<void(RGBAColor)> choose) {
            menu.show(at, current, std::move(choose));
        };
    }

    RadialColorMenu menu{settings};
    PropertyColumn column{view, new PropertyBar(view, settings), settings};
};

// Made once and never destroyed: widgets must not outlive the application.
Fixture& fixture()
{
    static Fixture* f = new Fixture;
    return *f;
}

// Counts the paints of colour rings, wherever they come from.
struct RingPaints : QObject {
    int paints = 0;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint && dynamic_cast<RadialColorView*>(watched);
        return false;
    }
};

void BM_RadialMenuFirstPaint(benchmark::State& state)
{
    Fixture& f = fixture();
    const QPointF at(900, 600);
    for (auto _ : state) {
        RingPaints counter;
        qApp->installEventFilter(&counter);
        QMouseEvent press(QEvent::MouseButtonPress, at, f.view.viewport()->mapToGlobal(at), Qt::RightButton,
                          Qt::RightButton, {});
        QApplication::sendEvent(f.view.viewport(), &press);
        if (!f.menu.ring()) {
            state.SkipWithError("no ring");
            break;
        }
        while (counter.paints == 0)
            QApplication::processEvents();

        state.PauseTiming();
        qApp->removeEventFilter(&counter);
        f.menu.ring()->hide();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RadialMenuFirstPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

// One step of a drag of the column's width slider, with the selected arrow, until the
// canvas has painted it.
void BM_ColumnSliderDragStep(benchmark::State& state)
{
    Fixture& f = fixture();
    QSlider& slider = *f.column.measureSlider();
    slider.setSliderDown(true);
    int width = 4;
    for (auto _ : state) {
        width = width >= 40 ? 4 : width + 1;
        slider.setValue(int(width * PropertyColumn::sliderScale));
        QApplication::processEvents();
    }
    slider.setSliderDown(false);
    QApplication::processEvents();
    // The arrow took the last width: the steps did reach the document.
    state.counters["width"] = f.editor.model().panels[0].annotations[0].style.lineWidth;
}
BENCHMARK(BM_ColumnSliderDragStep)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
