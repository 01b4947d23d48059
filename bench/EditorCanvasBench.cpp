// The editor canvas as the user drives it: a 5120 x 2880 point document (one panel of a
// 5K screenshot at one pixel per point, about 40 mixed annotations) shown at 100 % in a
// 2560 x 1440 viewport. Measured through the widget: a scroll by some pixels followed by
// a full repaint of the viewport, a scroll followed by the event loop's own repaint of
// what was exposed, a zoom step to its next complete paint, and a pointer move while one
// shape is dragged to its complete paint, a crop handle dragged to its complete paint, and
// the automatic ruler finding the colour edges under a hovering pointer. The press's hit
// test runs on a document of 2,000 annotations.

#include "app/editor/canvas/CanvasView.h"
#include "app/editor/canvas/CropGeometry.h"
#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"
#include "core/model/DocumentEditor.h"
#include "core/model/UndoManager.h"

#include "CanvasBench.h"
#include "ScreenshotFixture.h"
#include "support/ImageMap.h"
#include "support/ModelBuilders.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

using namespace vorlix;

namespace {

Annotation shape(int n, AnnotationKind kind, std::vector<Point> points, QString text = {})
{
    return Annotation::make(test::uuid(1000 + n), kind, std::move(points), std::move(text));
}

DocumentModel benchDocument()
{
    Panel panel;
    panel.id = test::uuid(1);
    panel.imageID = test::uuid(2);
    panel.pixelSize = {5120, 2880};
    panel.pixelsPerPoint = 1;
    std::vector<Annotation>& a = panel.annotations;
    int n = 0;
    a.push_back(shape(n++, AnnotationKind::blur, {{300, 300}, {1300, 800}}));
    a.push_back(shape(n++, AnnotationKind::pixelate, {{1600, 300}, {2400, 700}}));
    a.push_back(shape(n++, AnnotationKind::spotlight, {{600, 1200}, {2200, 2200}}));
    a.push_back(shape(n++, AnnotationKind::lens, {{4000, 600}, {4120, 600}, {4500, 1100}}));
    for (int i = 0; i < 36; ++i) {
        const double x = 200 + (i % 7) * 700;
        const double y = 200 + (i / 7) * 520;
        switch (i % 6) {
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
        case 4:
            a.push_back(shape(n++, AnnotationKind::highlighter, {{x, y + 80}, {x + 480, y + 80}}));
            break;
        case 5:
            a.push_back(shape(n++, AnnotationKind::number, {{x + 40, y + 40}}));
            break;
        }
    }
    DocumentModel document;
    document.panels = {panel};
    document.padding = 24;
    document.panelShadow = true;
    document.panelCornerRadius = 10;
    document.background = ColorBackground{RGBAColor::hex("#20242A")};
    return document;
}

struct Fixture : bench::BenchCanvas {
    Fixture() : BenchCanvas(benchDocument())
    {
        images.add(test::uuid(2), bench::screenshotFixture(5120, 2880));
        showWithViewport({2560, 1440});
        view.viewport()->repaint(); // warm: caches filled
    }
};

// Made once and never destroyed: widgets must not outlive the application, and the
// program ends right after the application does.
Fixture& fixture()
{
    static Fixture* f = new Fixture;
    return *f;
}

// Scrolls back and forth across the document by `step` pixels a frame.
void scrollBy(QScrollBar* bar, int step, int& direction)
{
    if (bar->value() + direction * step > bar->maximum() || bar->value() + direction * step < bar->minimum())
        direction = -direction;
    bar->setValue(bar->value() + direction * step);
}

// A scroll, then a repaint of the whole 2560 x 1440 viewport.
void BM_ScrollFullRepaint(benchmark::State& state)
{
    Fixture& f = fixture();
    f.view.setMagnification(1);
    const int step = int(state.range(0));
    int direction = 1;
    for (auto _ : state) {
        scrollBy(f.view.horizontalScrollBar(), step, direction);
        f.view.viewport()->repaint();
    }
    state.counters["viewport"] = f.view.viewport()->width();
}
BENCHMARK(BM_ScrollFullRepaint)->ArgName("pixels")->Arg(16)->Arg(240)->Unit(benchmark::kMillisecond)->UseRealTime();

// A scroll, then the event loop's repaint: the view moves what it had and paints the
// exposed strip.
void BM_ScrollExposedRepaint(benchmark::State& state)
{
    Fixture& f = fixture();
    f.view.setMagnification(1);
    const int step = int(state.range(0));
    int direction = 1;
    for (auto _ : state) {
        scrollBy(f.view.verticalScrollBar(), step, direction);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_ScrollExposedRepaint)->ArgName("pixels")->Arg(16)->Arg(240)->Unit(benchmark::kMillisecond)->UseRealTime();

// One zoom step (x 1.25 or back) about the middle of the view, to its complete repaint.
void BM_ZoomStep(benchmark::State& state)
{
    Fixture& f = fixture();
    f.view.setMagnification(1);
    bool in = true;
    for (auto _ : state) {
        f.view.setMagnification(in ? 1.25 : 1.0);
        f.view.viewport()->repaint();
        in = !in;
    }
}
BENCHMARK(BM_ZoomStep)->Unit(benchmark::kMillisecond)->UseRealTime();

void sendMouse(CanvasView& view, QEvent::Type type, Point at)
{
    const QPointF position = view.toViewport(at);
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, position, view.viewport()->mapToGlobal(position),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
    // A second apart: no two presses make a double click.
    static quint64 time = 0;
    time += 1000;
    event.setTimestamp(time);
    QApplication::sendEvent(view.viewport(), &event);
}

// One pointer move of a dragged rectangle, to the end of the paint it causes: the old
// and new places of the shape with its handles repaint, not the whole viewport.
void BM_DragMoveToPaint(benchmark::State& state)
{
    Fixture& f = fixture();
    f.view.setMagnification(1);
    const Point grab{900, 360}; // the left edge of the rectangle at (900, 200, 480, 320)
    f.view.centreOn(grab);
    QApplication::processEvents();
    sendMouse(f.view, QEvent::MouseButtonPress, grab);
    QApplication::processEvents();
    if (!std::holds_alternative<drag::Moving>(f.view.state().drag))
        state.SkipWithError("the press grabbed no shape");
    int step = 0;
    for (auto _ : state) {
        ++step;
        sendMouse(f.view, QEvent::MouseMove, grab + Point{double(step % 40) * 3, double(step % 25) * 2});
        QApplication::processEvents();
    }
    sendMouse(f.view, QEvent::MouseButtonRelease, grab);
    if (f.undo.canUndo())
        f.undo.undo();
    f.view.setSelection({});
    QApplication::processEvents();
}
BENCHMARK(BM_DragMoveToPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

void sendHover(CanvasView& view, Point at)
{
    const QPointF position = view.toViewport(at);
    QMouseEvent event(QEvent::MouseMove, position, view.viewport()->mapToGlobal(position), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &event);
}

// One pointer move of a crop handle over the whole 5K panel, to the end of the paint it
// causes.
void BM_CropHandleDragToPaint(benchmark::State& state)
{
    Fixture& f = fixture();
    f.view.setMagnification(1);
    f.view.setTool(Tool::crop);
    if (!f.view.state().cropSession) {
        state.SkipWithError("no crop session");
        return;
    }
    const Rect whole = cropCanvasRect(*f.view.state().cropSession);
    const Point corner{whole.maxX(), whole.maxY()}; // the bottom-right handle
    f.view.centreOn(corner - Point{600, 400});
    QApplication::processEvents();
    sendMouse(f.view, QEvent::MouseButtonPress, corner);
    QApplication::processEvents();
    int step = 0;
    for (auto _ : state) {
        ++step;
        sendMouse(f.view, QEvent::MouseMove, corner - Point{40 + double(step % 40) * 9, 30 + double(step % 25) * 7});
        QApplication::processEvents();
    }
    sendMouse(f.view, QEvent::MouseButtonRelease, corner);
    if (!f.view.state().cropSession || f.view.state().cropSession->rect.size.width >= 5120)
        state.SkipWithError("the drag moved no crop handle");
    f.view.cancelCrop();
    QApplication::processEvents();
}
BENCHMARK(BM_CropHandleDragToPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

// The ruler tool hovering: each pointer move finds the colour edges around the pointer on
// the 5K panel (its composite made once, before timing).
void BM_AutoRulerHover(benchmark::State& state)
{
    Fixture& f = fixture();
    f.view.setMagnification(1);
    f.view.setTool(Tool::ruler);
    const Point centre{2000, 1200};
    f.view.centreOn(centre);
    QApplication::processEvents();
    sendHover(f.view, centre);
    int step = 0;
    for (auto _ : state) {
        ++step;
        sendHover(f.view, centre + Point{double(step % 97) * 7, double(step % 61) * 5});
    }
    if (!f.view.state().autoRuler)
        state.SkipWithError("no edges found");
    f.view.setTool(Tool::select);
    QApplication::processEvents();
}
BENCHMARK(BM_AutoRulerHover)->Unit(benchmark::kMillisecond)->UseRealTime();

// 2,000 small annotations over a 5120 x 2880 panel, in a canvas of their own.
struct CrowdedFixture : bench::BenchCanvas {
    CrowdedFixture() : BenchCanvas(crowdedDocument())
    {
        images.add(test::uuid(2), bench::screenshotFixture(5120, 2880));
        view.resize(1600, 1000);
        view.show();
        QApplication::processEvents();
    }

    static DocumentModel crowdedDocument()
    {
        DocumentModel document = benchDocument();
        std::vector<Annotation>& a = document.panels[0].annotations;
        a.clear();
        for (int i = 0; i < 2000; ++i) {
            const double x = 40 + (i % 50) * 100;
            const double y = 40 + (i / 50) * 70;
            const AnnotationKind kinds[] = {AnnotationKind::arrow, AnnotationKind::rectangle, AnnotationKind::ellipse,
                                            AnnotationKind::line, AnnotationKind::text};
            const AnnotationKind kind = kinds[i % 5];
            a.push_back(kind == AnnotationKind::text ? shape(i, kind, {{x, y}}, QStringLiteral("Nota"))
                                                     : shape(i, kind, {{x, y}, {x + 60, y + 40}}));
        }
        return document;
    }
};

// A press of the hand tool that meets no annotation (every one is tested), and its release.
void BM_PressHitTest(benchmark::State& state)
{
    static CrowdedFixture* f = new CrowdedFixture;
    const Point between{4990, 2860}; // past the last annotation, on the panel
    f->view.centreOn(between);
    for (auto _ : state) {
        sendMouse(f->view, QEvent::MouseButtonPress, between);
        sendMouse(f->view, QEvent::MouseButtonRelease, between);
    }
    state.counters["annotations"] = double(f->editor.model().panels[0].annotations.size());
}
BENCHMARK(BM_PressHitTest)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
