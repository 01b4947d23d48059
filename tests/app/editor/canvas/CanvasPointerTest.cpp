#include "CanvasInput.h"

#include "app/editor/canvas/CanvasHandles.h"
#include "app/editor/canvas/CanvasView.h"

#include "app/support/Beeper.h"
#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"
#include "core/document/DocumentAnnotations.h"
#include "core/model/DocumentEditor.h"
#include "core/model/PanelGeometry.h"
#include "core/model/UndoManager.h"
#include "core/shapes/ShapeGeometry.h"

#include "support/EventLoopWaits.h"
#include "support/ModelBuilders.h"
#include "support/RenderFixtures.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

using namespace vorlix;
using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

constexpr double zoom = 2; // every pointer test runs magnified: tolerances are screen points

Panel panel(int n, Rect frame)
{
    Panel p;
    p.id = test::uuid(n);
    p.imageID = test::uuid(100 + n);
    p.pixelSize = frame.size;
    p.pixelsPerPoint = 1;
    p.origin = frame.origin;
    p.isManuallyPositioned = true;
    return p;
}

DocumentModel onePanel(std::vector<Annotation> annotations = {})
{
    DocumentModel d;
    d.panels = {panel(1, {0, 0, 300, 200})};
    d.panels[0].annotations = std::move(annotations);
    d.padding = 24;
    d.background = ColorBackground{RGBAColor::hex("#20242A")};
    return d;
}

struct Canvas : test::CanvasInput {
    explicit Canvas(DocumentModel model, QSize size = {900, 700})
        : editor(std::move(model), undo), view(editor, images, settings)
    {
        for (const Panel& p : editor.model().panels) {
            QImage image(int(p.pixelSize.width), int(p.pixelSize.height), QImage::Format_RGB32);
            image.fill(QColor(240, 240, 235));
            images.add(p.imageID, image);
        }
        subscription = editor.subscribe([this](const DocumentChange& change) {
            switch (change.cause) {
            case ChangeCause::perform:
            case ChangeCause::interactionEnd:
            case ChangeCause::redo:
                ++recorded;
                break;
            case ChangeCause::undo:
                --recorded;
                break;
            case ChangeCause::interactionUpdate:
            case ChangeCause::interactionCancel:
                break;
            }
        });
        view.resize(size);
        view.show();
        view.setMagnification(zoom);
        view.centreOn(canvasBounds(editor.model()).center());
        test::processEventsFor(10ms);
    }

    // Undo steps recorded and not undone.
    std::size_t steps() const { return recorded; }
    QString lastStep() const { return undo.undoActionName(); }
    CanvasShape shape(const QUuid& id) const { return *canvasShape(editor.model(), id); }

    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    UndoManager undo;
    DocumentEditor editor;
    test::TestImages images;
    CanvasView view;
    Subscription subscription;
    std::size_t recorded = 0;

private:
    CanvasView& inputView() override { return view; }
};

// Undo brings back `before`, redo `after`.
void expectUndoRedo(Canvas& canvas, const DocumentModel& before, const DocumentModel& after)
{
    canvas.undo.undo();
    EXPECT_EQ(canvas.editor.model(), before);
    canvas.undo.redo();
    EXPECT_EQ(canvas.editor.model(), after);
}

// One annotation of every kind, each in a cell of its own on a 5 x 3 grid over the panel.
std::vector<Annotation> everyKind()
{
    std::vector<Annotation> out;
    int cell = 0;
    const auto add = [&](AnnotationKind kind, auto points, QString text = {}) {
        const Point o{12 + (cell % 5) * 58.0, 12 + (cell / 5) * 64.0};
        std::vector<Point> placed;
        for (const Point p : points)
            placed.push_back(o + p);
        out.push_back(Annotation::make(test::uuid(10 + cell), kind, placed, text));
        ++cell;
    };
    using P = std::vector<Point>;
    add(AnnotationKind::arrow, P{{0, 0}, {36, 30}});
    add(AnnotationKind::line, P{{0, 30}, {36, 0}});
    add(AnnotationKind::rectangle, P{{0, 0}, {36, 30}});
    add(AnnotationKind::ellipse, P{{0, 0}, {36, 30}});
    add(AnnotationKind::text, P{{0, 0}}, u"Ab"_s);
    add(AnnotationKind::callout, P{{0, 0}, {30, 34}}, u"Ab"_s);
    add(AnnotationKind::highlighter, P{{0, 15}, {36, 15}});
    add(AnnotationKind::pencil, P{{0, 0}, {12, 20}, {24, 6}, {36, 30}});
    add(AnnotationKind::number, P{{18, 15}});
    add(AnnotationKind::stamp, P{{18, 15}}, u"\u2705"_s);
    add(AnnotationKind::cursor, P{{10, 5}});
    add(AnnotationKind::pixelate, P{{0, 0}, {36, 30}});
    add(AnnotationKind::blur, P{{0, 0}, {36, 30}});
    add(AnnotationKind::spotlight, P{{0, 0}, {36, 30}});
    const Rect source(0, 0, 14, 14);
    const std::vector<Point> lens = LensGeometry::points(source, {20, 10, 24, 24});
    add(AnnotationKind::lens, lens);
    return out;
}

// A point that grabs the annotation itself: it hits it and no handle of it.
std::optional<Point> grabPoint(const DocumentModel& model, const QUuid& id)
{
    const Rect b = canvasShape(model, id)->bounds();
    for (double y = b.minY(); y <= b.maxY(); y += 1)
        for (double x = b.minX(); x <= b.maxX(); x += 1)
            if (topmostAnnotation(model, {x, y}, 5 / zoom) == id && !handle(model, {id}, {x, y}, zoom))
                return Point{x, y};
    return std::nullopt;
}

// The viewport rectangles painted while it lives.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
    QRegion painted;
};

// Six points away from the shape's middle, so that the handle surely changes the shape:
// across the line for a bend handle, which bends only beyond 3 points.
Point outwards(const CanvasShape& shape, const Handle& handle, Point at)
{
    Point direction = at - shape.bounds().center();
    if (handle.kind == HandleKind::bend)
        direction = {shape.points[0].y - shape.points[1].y, shape.points[1].x - shape.points[0].x};
    const double length = std::hypot(direction.x, direction.y);
    return length < 0.5 ? Point{6, 4} : direction * (6 / length);
}

} // namespace

TEST(CanvasPointer, EveryDrawingToolDrawsOneNamedStepAndSelectsIt)
{
    const std::pair<Tool, AnnotationKind> tools[] = {
        {Tool::arrow, AnnotationKind::arrow},         {Tool::line, AnnotationKind::line},
        {Tool::rectangle, AnnotationKind::rectangle}, {Tool::ellipse, AnnotationKind::ellipse},
        {Tool::pencil, AnnotationKind::pencil},       {Tool::highlighter, AnnotationKind::highlighter},
        {Tool::pixelate, AnnotationKind::pixelate},   {Tool::spotlight, AnnotationKind::spotlight},
        {Tool::lens, AnnotationKind::lens},
    };
    for (const auto& [tool, kind] : tools) {
        SCOPED_TRACE(displayName(kind).toStdString());
        Canvas canvas(onePanel());
        canvas.view.setTool(tool);
        const DocumentModel before = canvas.editor.model();
        canvas.drag({40, 40}, {120, 90});
        ASSERT_EQ(canvas.steps(), 1u);
        EXPECT_EQ(canvas.lastStep(), u"Disegna "_s + displayName(kind));
        ASSERT_EQ(canvas.view.state().selection.size(), 1u);
        const std::optional<Annotation> drawn =
            annotation(canvas.editor.model(), *canvas.view.state().selection.begin());
        ASSERT_TRUE(drawn);
        EXPECT_EQ(drawn->kind, kind);
        EXPECT_FALSE(canvas.editor.isInteracting());
        expectUndoRedo(canvas, before, DocumentModel(canvas.editor.model()));
    }
}

TEST(CanvasPointer, OneClickToolsPlaceOneNamedStep)
{
    const std::tuple<Tool, AnnotationKind, QString> tools[] = {
        {Tool::number, AnnotationKind::number, u"Aggiungi numero"_s},
        {Tool::stamp, AnnotationKind::stamp, u"Aggiungi timbro"_s},
        {Tool::cursor, AnnotationKind::cursor, u"Aggiungi cursore"_s},
    };
    for (const auto& [tool, kind, name] : tools) {
        SCOPED_TRACE(name.toStdString());
        Canvas canvas(onePanel());
        canvas.view.setTool(tool);
        canvas.click({50, 60});
        ASSERT_EQ(canvas.steps(), 1u);
        EXPECT_EQ(canvas.lastStep(), name);
        const CanvasShape placed = canvas.shape(*canvas.view.state().selection.begin());
        EXPECT_EQ(placed.kind, kind);
        EXPECT_EQ(placed.points, (std::vector<Point>{{50, 60}}));
    }
}

TEST(CanvasPointer, GesturesThatCreateNothingRecordNothing)
{
    struct Case {
        const char* what;
        Tool tool;
        Point from, to;
    };
    const Case cases[] = {
        {"a click with the rectangle tool", Tool::rectangle, {40, 40}, {40, 40}},
        {"2 screen points of travel", Tool::arrow, {40, 40}, {41, 40}},
        {"a click on an annotation with the hand", Tool::select, {60, 60}, {60, 60}},
        {"a text click (the session adds it)", Tool::text, {40, 40}, {40, 40}},
        {"a callout placed (the session adds it)", Tool::callout, {40, 40}, {90, 20}},
        {"a measurement", Tool::ruler, {40, 40}, {90, 20}},
        {"a marquee outside the panel", Tool::select, {-20, -20}, {-5, 250}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Canvas canvas(onePanel({Annotation::make(test::uuid(10), AnnotationKind::rectangle, {{60, 60}, {100, 90}})}));
        canvas.view.setTool(c.tool);
        const DocumentModel before = canvas.editor.model();
        canvas.drag(c.from, c.to);
        EXPECT_EQ(canvas.steps(), 0u);
        EXPECT_EQ(canvas.editor.model(), before);
        EXPECT_FALSE(canvas.editor.isInteracting());
        EXPECT_FALSE(canvas.view.state().hasDrag());
    }
}

TEST(CanvasPointer, ADrawingStartsAfterThreeScreenPoints)
{
    Canvas canvas(onePanel());
    canvas.view.setTool(Tool::rectangle);
    canvas.press({40, 40});
    canvas.moveTo({41, 40}); // 2 screen points
    EXPECT_TRUE(annotationIDsInDrawOrder(canvas.editor.model()).empty());
    canvas.moveTo({41.5, 40}); // 3 screen points
    EXPECT_EQ(annotationIDsInDrawOrder(canvas.editor.model()).size(), 1u);
    canvas.release({41.5, 40});
    EXPECT_EQ(canvas.steps(), 1u);
}

TEST(CanvasPointer, EveryKindMovesAndResizesByEachHandleAsOneNamedStep)
{
    Canvas canvas(onePanel(everyKind()));
    for (const QUuid& id : annotationIDsInDrawOrder(canvas.editor.model())) {
        const AnnotationKind kind = annotation(canvas.editor.model(), id)->kind;
        SCOPED_TRACE(displayName(kind).toStdString());

        // Pressed on itself: selected and moved.
        canvas.view.setSelection({});
        const DocumentModel before = canvas.editor.model();
        const std::optional<Point> grab = grabPoint(before, id);
        ASSERT_TRUE(grab);
        const std::size_t steps = canvas.steps();
        const std::vector<Point> points = canvas.shape(id).points;
        canvas.drag(*grab, *grab + Point{3, 2});
        EXPECT_EQ(canvas.view.state().selection, std::set<QUuid>{id});
        ASSERT_EQ(canvas.steps(), steps + 1);
        EXPECT_EQ(canvas.lastStep(), u"Sposta "_s + displayName(kind));
        std::vector<Point> moved = points;
        for (Point& p : moved)
            p = p + Point{3, 2};
        const std::vector<Point> after = canvas.shape(id).points;
        ASSERT_EQ(after.size(), moved.size());
        for (std::size_t i = 0; i < moved.size(); ++i) {
            EXPECT_NEAR(after[i].x, moved[i].x, 1e-9);
            EXPECT_NEAR(after[i].y, moved[i].y, 1e-9);
        }
        expectUndoRedo(canvas, before, DocumentModel(canvas.editor.model()));

        // Each handle dragged.
        for (const auto& [target, at] : canvas.shape(id).handles()) {
            const DocumentModel start = canvas.editor.model();
            const std::optional<HandleHit> hit = handle(start, {id}, at, zoom);
            ASSERT_TRUE(hit);
            if (hit->handle != target)
                continue; // another handle lies over this one and is the one grabbed
            const QString verb = target.kind == HandleKind::bend            ? u"Curva"_s
                                 : target.kind == HandleKind::moveMagnified ? u"Sposta"_s
                                                                            : u"Ridimensiona"_s;
            const std::size_t count = canvas.steps();
            canvas.drag(at, at + outwards(canvas.shape(id), target, at));
            ASSERT_EQ(canvas.steps(), count + 1);
            EXPECT_EQ(canvas.lastStep(), verb + u' ' + displayName(kind));
            expectUndoRedo(canvas, start, DocumentModel(canvas.editor.model()));
            canvas.undo.undo(); // the next handle is where it was
        }
        if (const std::optional<LensGeometry> lens = canvas.shape(id).lens()) {
            const DocumentModel start = canvas.editor.model();
            canvas.drag(lens->magnifiedCenter(), lens->magnifiedCenter() + Point{4, 3});
            EXPECT_EQ(canvas.lastStep(), u"Sposta "_s + displayName(kind));
            EXPECT_EQ(canvas.shape(id).lens()->magnifiedCenter(), (lens->magnifiedCenter() + Point{4, 3}));
            expectUndoRedo(canvas, start, DocumentModel(canvas.editor.model()));
        }
    }
}

TEST(CanvasPointer, ShiftConstrainsBoxesAnglesAndMoves)
{
    struct Case {
        const char* what;
        Tool tool;
        Point offset;
        std::vector<Point> expected; // relative to the start
    };
    const Case cases[] = {
        {"a square box", Tool::rectangle, {10, 4}, {{0, 0}, {10, 10}}},
        {"a square box up and left", Tool::rectangle, {-3, 7}, {{0, 0}, {-7, 7}}},
        {"a line at 45 degrees",
         Tool::line,
         {10, 9},
         {{0, 0}, {std::hypot(10, 9) / std::sqrt(2), std::hypot(10, 9) / std::sqrt(2)}}},
    };
    const Point start{100, 100};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Canvas canvas(onePanel());
        canvas.view.setTool(c.tool);
        canvas.drag(start, start + c.offset, Qt::ShiftModifier);
        const CanvasShape drawn = canvas.shape(*canvas.view.state().selection.begin());
        ASSERT_EQ(drawn.points.size(), c.expected.size());
        for (std::size_t i = 0; i < c.expected.size(); ++i) {
            EXPECT_NEAR(drawn.points[i].x, start.x + c.expected[i].x, 1e-9);
            EXPECT_NEAR(drawn.points[i].y, start.y + c.expected[i].y, 1e-9);
        }
    }

    // A group moved by (5, 5) with Shift goes straight down.
    Canvas canvas(onePanel({Annotation::make(test::uuid(10), AnnotationKind::rectangle, {{20, 20}, {60, 50}}),
                            Annotation::make(test::uuid(11), AnnotationKind::rectangle, {{120, 20}, {160, 50}})}));
    canvas.view.setSelection({test::uuid(10), test::uuid(11)});
    canvas.press({20, 35}); // Shift on the press would take the annotation out of the selection
    canvas.moveTo({22, 37}, Qt::ShiftModifier);
    canvas.moveTo({25, 40}, Qt::ShiftModifier);
    canvas.release({25, 40});
    EXPECT_EQ(canvas.shape(test::uuid(10)).points, (std::vector<Point>{{20, 25}, {60, 55}}));
    EXPECT_EQ(canvas.shape(test::uuid(11)).points, (std::vector<Point>{{120, 25}, {160, 55}}));
    EXPECT_EQ(canvas.lastStep(), u"Sposta oggetti"_s);
    EXPECT_EQ(canvas.steps(), 1u);
}

TEST(CanvasPointer, ShiftClicksToggleTheSelection)
{
    Canvas canvas(onePanel({Annotation::make(test::uuid(10), AnnotationKind::rectangle, {{20, 20}, {60, 50}}),
                            Annotation::make(test::uuid(11), AnnotationKind::rectangle, {{120, 20}, {160, 50}})}));
    canvas.view.setSelection({test::uuid(10), test::uuid(11)});
    canvas.press({20, 35}, Qt::ShiftModifier);
    EXPECT_EQ(canvas.view.state().selection, std::set<QUuid>{test::uuid(11)});
    EXPECT_FALSE(canvas.view.state().hasDrag()); // deselecting grabs nothing
    canvas.release({20, 35});

    // Added with Shift, the whole selection is dragged.
    canvas.drag({20, 35}, {30, 35}, Qt::ShiftModifier);
    EXPECT_EQ(canvas.view.state().selection, (std::set<QUuid>{test::uuid(10), test::uuid(11)}));
    EXPECT_EQ(canvas.shape(test::uuid(11)).points, (std::vector<Point>{{130, 20}, {170, 50}}));
}

TEST(CanvasPointer, AMarqueeSelectsWhatItMeetsOnTopOfAShiftKeptSelection)
{
    Canvas canvas(onePanel({Annotation::make(test::uuid(10), AnnotationKind::rectangle, {{20, 20}, {60, 50}}),
                            Annotation::make(test::uuid(11), AnnotationKind::rectangle, {{120, 20}, {160, 50}}),
                            Annotation::make(test::uuid(12), AnnotationKind::rectangle, {{20, 120}, {60, 150}})}));
    canvas.drag({-20, -20}, {70, 60});
    EXPECT_EQ(canvas.view.state().selection, std::set<QUuid>{test::uuid(10)});
    canvas.drag({-20, 210}, {30, 140}, Qt::ShiftModifier);
    EXPECT_EQ(canvas.view.state().selection, (std::set<QUuid>{test::uuid(10), test::uuid(12)}));
    EXPECT_EQ(canvas.steps(), 0u);
}

TEST(CanvasPointer, APanelDragSnapsWithGuidesThatGoAtTheRelease)
{
    for (const bool free : {false, true}) {
        SCOPED_TRACE(free ? "with Ctrl" : "snapping");
        DocumentModel model;
        model.panels = {panel(1, {0, 0, 100, 80}), panel(2, {200, 0, 100, 80})};
        Canvas canvas(model);
        const DocumentModel before = canvas.editor.model();
        const Qt::KeyboardModifiers modifiers = free ? Qt::ControlModifier : Qt::NoModifier;
        // To a proposed origin of (103, 3): within 8 screen points (4 canvas points) of x = 100, y = 0.
        canvas.press({250, 40}, modifiers);
        EXPECT_EQ(canvas.view.state().selectedPanel, test::uuid(2));
        canvas.moveTo({200, 42}, modifiers);
        canvas.moveTo({153, 43}, modifiers);
        const std::vector<Guide> expected = {{{100, -10000}, {100, 10000}}, {{-10000, 0}, {10000, 0}}};
        EXPECT_EQ(canvas.view.state().guides, free ? std::vector<Guide>{} : expected);
        canvas.release({153, 43});
        EXPECT_TRUE(canvas.view.state().guides.empty());
        ASSERT_EQ(canvas.steps(), 1u);
        EXPECT_EQ(canvas.lastStep(), u"Sposta pannello"_s);
        EXPECT_EQ(canvas.editor.model().panels[1].origin, (free ? Point{103, 3} : Point{100, 0}));
        expectUndoRedo(canvas, before, DocumentModel(canvas.editor.model()));
    }
}

TEST(CanvasPointer, ASelectedPanelScalesByItsCorner)
{
    Canvas canvas(onePanel());
    canvas.view.setSelectedPanel(test::uuid(1));
    const DocumentModel before = canvas.editor.model();
    canvas.drag({301, 201}, {150, 120}); // the bottom-right corner, caught 1.4 points off
    ASSERT_EQ(canvas.steps(), 1u);
    EXPECT_EQ(canvas.lastStep(), u"Ridimensiona pannello"_s);
    EXPECT_DOUBLE_EQ(canvas.editor.model().panels[0].scale, 0.5);
    EXPECT_EQ(frame(canvas.editor.model().panels[0]), Rect(0, 0, 150, 100));
    expectUndoRedo(canvas, before, DocumentModel(canvas.editor.model()));
}

TEST(CanvasPointer, EscapeEndsEveryGestureLeavingNothingBehind)
{
    struct Case {
        const char* what;
        Tool tool;
        Point from, to;
        std::optional<QUuid> selectedPanel;
    };
    const Case cases[] = {
        {"drawing", Tool::rectangle, {40, 120}, {90, 160}, {}},
        {"moving an annotation", Tool::select, {20, 35}, {50, 60}, {}},
        {"moving a panel", Tool::select, {250, 40}, {153, 43}, {}},
        {"scaling a panel", Tool::select, {100, 80}, {60, 50}, test::uuid(1)},
        {"cutting a strip", Tool::cutStrip, {40, 20}, {40, 60}, {}},
        {"placing a callout", Tool::callout, {40, 120}, {90, 160}, {}},
        {"measuring", Tool::ruler, {40, 120}, {90, 160}, {}},
        {"choosing a text region", Tool::ocr, {40, 120}, {90, 160}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DocumentModel model;
        model.panels = {panel(1, {0, 0, 100, 80}), panel(2, {200, 0, 100, 80})};
        model.panels[0].annotations = {
            Annotation::make(test::uuid(10), AnnotationKind::rectangle, {{20, 20}, {60, 50}})};
        Canvas canvas(model);
        canvas.view.setTool(c.tool);
        canvas.view.setSelectedPanel(c.selectedPanel);
        const DocumentModel before = canvas.editor.model();
        canvas.press(c.from);
        canvas.moveTo(c.from + (c.to - c.from) * 0.5);
        canvas.moveTo(c.to);
        ASSERT_TRUE(canvas.view.state().hasDrag());
        canvas.key(Qt::Key_Escape);
        canvas.moveTo(c.to + Point{5, 5});
        canvas.release(c.to + Point{5, 5});
        EXPECT_EQ(canvas.editor.model(), before);
        EXPECT_EQ(canvas.steps(), 0u);
        EXPECT_FALSE(canvas.editor.isInteracting());
        EXPECT_FALSE(canvas.view.state().hasDrag());
        EXPECT_TRUE(canvas.view.state().guides.empty());
        EXPECT_FALSE(canvas.view.state().measurement);
        EXPECT_FALSE(canvas.view.state().textRegion);
        EXPECT_EQ(canvas.view.tool(), c.tool); // the first Escape ends the gesture only
    }
}

TEST(CanvasPointer, AnOpenContinuousChangeBecomesItsOwnStepBeforeADrag)
{
    Canvas canvas(onePanel({Annotation::make(test::uuid(10), AnnotationKind::rectangle, {{20, 20}, {60, 50}}),
                            Annotation::make(test::uuid(11), AnnotationKind::rectangle, {{120, 20}, {160, 50}})}));
    // A change that keeps the interaction open, as a wheel gesture does until its timer ends it.
    canvas.editor.beginInteraction();
    canvas.editor.updateInteraction([](DocumentModel& doc) {
        updateAnnotation(doc, test::uuid(10), [](Annotation& a) { a.style.lineWidth = 9; });
    });
    canvas.drag({120, 35}, {130, 45});
    EXPECT_EQ(canvas.steps(), 2u);
    EXPECT_EQ(canvas.lastStep(), u"Sposta rettangolo"_s);
    EXPECT_EQ(annotation(canvas.editor.model(), test::uuid(10))->style.lineWidth, 9);
    EXPECT_EQ(canvas.shape(test::uuid(11)).points, (std::vector<Point>{{130, 30}, {170, 60}}));
    canvas.undo.undo();
    EXPECT_EQ(annotation(canvas.editor.model(), test::uuid(10))->style.lineWidth, 9);
    EXPECT_EQ(canvas.shape(test::uuid(11)).points, (std::vector<Point>{{120, 20}, {160, 50}}));
}

TEST(CanvasPointer, PanelToolsOutsideEveryPanelBeep)
{
    for (const Tool tool : {Tool::cutStrip, Tool::pixelate, Tool::lens}) {
        SCOPED_TRACE(rawValue(tool).toStdString());
        Canvas canvas(onePanel());
        int beeps = 0;
        const Beeper::Override counting([&] { ++beeps; });
        canvas.view.setTool(tool);
        canvas.drag({-15, 40}, {-5, 90});
        EXPECT_EQ(beeps, 1);
        EXPECT_EQ(canvas.steps(), 0u);
    }

    Canvas canvas(onePanel());
    canvas.view.setTool(Tool::cutStrip);
    canvas.drag({40, 50}, {40, 90});
    EXPECT_EQ(canvas.steps(), 1u);
    EXPECT_EQ(canvas.lastStep(), u"Taglia una striscia"_s);
}

TEST(CanvasPointer, LensesShortMeasurementsAndDoubleClicksOnText)
{
    {
        SCOPED_TRACE("a lens drawn 3 wide becomes 8 wide about its centre");
        Canvas canvas(onePanel());
        canvas.view.setTool(Tool::lens);
        canvas.drag({100, 40}, {103, 60});
        const std::optional<LensGeometry> lens = canvas.shape(*canvas.view.state().selection.begin()).lens();
        ASSERT_TRUE(lens);
        EXPECT_EQ(lens->sourceRect, Rect(97.5, 40, 8, 20));
    }
    {
        SCOPED_TRACE("a highlighter over a light picture is drawn at 0.7");
        Canvas canvas(onePanel());
        canvas.view.setTool(Tool::highlighter);
        canvas.drag({40, 40}, {120, 40});
        EXPECT_EQ(canvas.shape(*canvas.view.state().selection.begin()).style.opacity, 0.7);
    }
    {
        SCOPED_TRACE("measurements under 2 screen points go at the release");
        Canvas canvas(onePanel());
        canvas.view.setTool(Tool::ruler);
        canvas.drag({40, 40}, {40.5, 40.5});
        EXPECT_FALSE(canvas.view.state().measurement);
        canvas.drag({40, 40}, {41, 40});
        EXPECT_EQ(canvas.view.state().measurement, (Measurement{{40, 40}, {41, 40}}));
    }
    {
        SCOPED_TRACE("a double click on text opens it rather than grabbing it");
        Canvas canvas(onePanel({Annotation::make(test::uuid(10), AnnotationKind::text, {{40, 40}}, u"Testo"_s)}));
        const std::optional<Point> grab = grabPoint(canvas.editor.model(), test::uuid(10));
        ASSERT_TRUE(grab);
        canvas.click(*grab);
        EXPECT_EQ(canvas.view.state().selection, std::set<QUuid>{test::uuid(10)});
        canvas.press(*grab, {}, 100);
        EXPECT_FALSE(canvas.view.state().hasDrag());
        EXPECT_TRUE(canvas.view.state().textSession);
        canvas.release(*grab);
        canvas.press(*grab, {}, 1000); // a press ends the typing and does nothing else
        EXPECT_FALSE(canvas.view.state().textSession);
        EXPECT_FALSE(canvas.view.state().hasDrag());
        canvas.release(*grab);
        canvas.press(*grab, {}, 1000); // slow: a single click again
        EXPECT_TRUE(canvas.view.state().hasDrag());
        canvas.release(*grab);
    }
    {
        SCOPED_TRACE("the window system's double click, its second press a double-click event, opens it too");
        Canvas canvas(onePanel({Annotation::make(test::uuid(10), AnnotationKind::text, {{40, 40}}, u"Testo"_s)}));
        const std::optional<Point> grab = grabPoint(canvas.editor.model(), test::uuid(10));
        ASSERT_TRUE(grab);
        canvas.click(*grab);
        canvas.send(QEvent::MouseButtonDblClick, *grab, Qt::LeftButton, {}, 100);
        EXPECT_TRUE(canvas.view.state().textSession);
    }
}

TEST(CanvasPointer, TheColourPickerCopiesTheColourUnderThePointer)
{
    Canvas canvas(onePanel());
    std::optional<RGBAColor> told;
    canvas.view.onHoverColor = [&](std::optional<RGBAColor> color) { told = color; };
    canvas.view.setTool(Tool::colorPicker);
    canvas.click({50, 50});
    ASSERT_TRUE(told);
    EXPECT_EQ(told->hexString(), u"#F0F0EB"_s);
    EXPECT_EQ(QApplication::clipboard()->text(), u"#F0F0EB"_s);
    EXPECT_EQ(canvas.steps(), 0u);

    int beeps = 0;
    const Beeper::Override counting([&] { ++beeps; });
    canvas.click({-60, -60}); // off the document: no colour there
    EXPECT_FALSE(told);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(QApplication::clipboard()->text(), u"#F0F0EB"_s);
}

TEST(CanvasPointer, ADragRepaintsWhereTheShapeWasAndIsOnly)
{
    Canvas canvas(onePanel({Annotation::make(test::uuid(10), AnnotationKind::rectangle, {{20, 20}, {60, 50}})}));
    const Rect before = canvas.shape(test::uuid(10)).bounds();
    canvas.press({20, 35});
    const PaintRecorder recorder(canvas.view.viewport());
    canvas.moveTo({30, 40});
    const Rect after = canvas.shape(test::uuid(10)).bounds();
    for (const Rect& r : {before, after}) {
        const QRect shown =
            QRectF(canvas.view.toViewport(r.origin), canvas.view.toViewport({r.maxX(), r.maxY()})).toAlignedRect();
        EXPECT_TRUE(recorder.painted.contains(shown));
    }
    const QRect all = recorder.painted.boundingRect();
    EXPECT_LT(all.width() * all.height(), canvas.view.viewport()->width() * canvas.view.viewport()->height() / 10);
    canvas.release({30, 40});
}

TEST(CanvasPointer, ADragPastTheViewportScrollsAndTheShapeFollows)
{
    Canvas canvas(onePanel({Annotation::make(test::uuid(10), AnnotationKind::rectangle, {{20, 20}, {60, 50}})}),
                  {260, 220});
    canvas.view.scrollVisibleOriginTo({-24, -24});
    canvas.press({20, 35});
    const QWidget* viewport = canvas.view.viewport();
    const QPointF outside(viewport->width() + 20, viewport->height() / 2.0);
    canvas.moveToViewport(outside);
    const Point visibleBefore = canvas.view.visibleRect().origin;
    ASSERT_TRUE(test::waitUntil([&] { return canvas.view.visibleRect().origin.x > visibleBefore.x + 20; }));
    canvas.send(QEvent::MouseButtonRelease, canvas.view.toCanvas(outside), Qt::NoButton, {});
    // The shape's left edge went where the pointer was let go.
    EXPECT_NEAR(canvas.shape(test::uuid(10)).points[0].x, canvas.view.toCanvas(outside).x, 1e-6);
    EXPECT_EQ(canvas.steps(), 1u);
}

// The pointer opens the in-place text session, the keys fill and end it, and a style
// change while typing reaches the text: one step in all.
TEST(CanvasPointer, AClickWithTheTextToolTypesAStyledTextAsOneStep)
{
    Canvas canvas(onePanel());
    canvas.view.setTool(Tool::text);
    canvas.click({60, 80});
    ASSERT_TRUE(canvas.view.textEditor());
    QTest::keyClicks(canvas.view.textEditor(), u"Ciao"_s);
    canvas.view.changeStyle(u"Cambia misura"_s, false, [](Style& style) { style.fontSize = 30; });
    QTest::keyClick(canvas.view.textEditor(), Qt::Key_Return);
    test::processEventsFor(10ms);

    EXPECT_FALSE(canvas.view.state().textSession);
    EXPECT_EQ(canvas.steps(), 1u);
    EXPECT_EQ(canvas.lastStep(), u"Scrivi testo"_s);
    ASSERT_EQ(canvas.view.state().selection.size(), 1u);
    const std::optional<Annotation> typed = annotation(canvas.editor.model(), *canvas.view.state().selection.begin());
    ASSERT_TRUE(typed);
    EXPECT_EQ(typed->kind, AnnotationKind::text);
    EXPECT_EQ(typed->text, u"Ciao"_s);
    EXPECT_EQ(typed->style.fontSize, 30);
}
