// Typing on the canvas: one key pressed in an in-place text session until the event loop
// has painted what changed. The document is a 5120 x 2880 point screenshot panel with a
// few dozen annotations, shown at 100 % in a 2560 x 1440 viewport; the session is a new
// text, or an existing callout of fixed width whose lines wrap. Keys alternate between a
// letter and Backspace, so the text stays the same length. The goal is at most 5 ms.

#include "app/editor/canvas/CanvasView.h"
#include "app/editor/canvas/TextSessionEditor.h"
#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"
#include "core/document/DocumentAnnotations.h"
#include "core/model/DocumentEditor.h"
#include "core/model/UndoManager.h"

#include "CanvasBench.h"
#include "ScreenshotFixture.h"
#include "support/ImageMap.h"
#include "support/ModelBuilders.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTextCursor>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

using namespace vorlix;

namespace {

const QUuid calloutID = test::uuid(500);

DocumentModel benchDocument()
{
    Panel panel;
    panel.id = test::uuid(1);
    panel.imageID = test::uuid(2);
    panel.pixelSize = {5120, 2880};
    panel.pixelsPerPoint = 1;
    for (int i = 0; i < 30; ++i) {
        const double x = 200 + (i % 6) * 800;
        const double y = 200 + (i / 6) * 520;
        const AnnotationKind kind = i % 3 == 0   ? AnnotationKind::arrow
                                    : i % 3 == 1 ? AnnotationKind::rectangle
                                                 : AnnotationKind::text;
        const std::vector<Point> points =
            kind == AnnotationKind::text ? std::vector<Point>{{x, y}} : std::vector<Point>{{x, y}, {x + 400, y + 260}};
        panel.annotations.push_back(
            Annotation::make(test::uuid(100 + i), kind, points, QStringLiteral("Fare clic qui\npoi su Salva")));
    }
    panel.annotations.push_back(Annotation::make(calloutID, AnnotationKind::callout,
                                                 {{1000, 700}, {900, 1000}, {1300, 760}},
                                                 QStringLiteral("Una nota sul passaggio che va a capo")));
    DocumentModel document;
    document.panels = {panel};
    document.padding = 24;
    document.panelShadow = true;
    document.background = ColorBackground{RGBAColor::hex("#20242A")};
    return document;
}

struct Fixture : bench::BenchCanvas {
    Fixture() : BenchCanvas(benchDocument())
    {
        images.add(test::uuid(2), bench::screenshotFixture(5120, 2880));
        showWithViewport({2560, 1440});
        view.centreOn({1100, 800});
        view.viewport()->repaint(); // warm: caches filled
    }
};

// Made once and never destroyed: widgets must not outlive the application.
Fixture& fixture()
{
    static Fixture* f = new Fixture;
    return *f;
}

void press(QWidget* widget, int key, const QString& text)
{
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &up);
}

// Counts the paints of the canvas's viewport.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void typeKeys(benchmark::State& state, CanvasView& view)
{
    TextSessionEditor* editor = view.textEditor();
    QApplication::processEvents();
    PaintCounter counter;
    view.viewport()->installEventFilter(&counter);
    bool letter = true;
    for (auto _ : state) {
        if (letter)
            press(editor, Qt::Key_A, QStringLiteral("a"));
        else
            press(editor, Qt::Key_Backspace, {});
        QApplication::processEvents(); // the paint of what changed
        letter = !letter;
    }
    view.viewport()->removeEventFilter(&counter);
    // One paint of the canvas per key, or the measure would miss it.
    state.counters["canvasPaintsPerKey"] = double(counter.paints) / double(state.iterations());
    view.commitTextEditing();
    QApplication::processEvents();
}

void BM_KeystrokeInNewText(benchmark::State& state)
{
    Fixture& f = fixture();
    f.view.beginNewText({1100, 600}, AnnotationKind::text, std::nullopt);
    press(f.view.textEditor(), Qt::Key_B, QStringLiteral("B"));
    typeKeys(state, f.view);
    f.undo.undo();
}
BENCHMARK(BM_KeystrokeInNewText)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_KeystrokeInWrappingCallout(benchmark::State& state)
{
    Fixture& f = fixture();
    f.view.beginEditingText(calloutID);
    f.view.textEditor()->moveCursor(QTextCursor::End);
    typeKeys(state, f.view);
}
BENCHMARK(BM_KeystrokeInWrappingCallout)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
