#include "app/editor/canvas/CanvasView.h"

#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"
#include "core/document/DocumentAnnotations.h"
#include "core/imaging/Exporter.h"
#include "core/model/DocumentEditor.h"
#include "core/model/UndoManager.h"

#include "support/EventLoopWaits.h"
#include "support/ModelBuilders.h"
#include "support/RenderFixtures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>

using namespace vorlix;
using namespace std::chrono_literals;

namespace {

QImage gradientImage(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, w, h);
    gradient.setColorAt(0, QColor(30, 80, 160));
    gradient.setColorAt(1, QColor(240, 160, 40));
    painter.fillRect(image.rect(), gradient);
    painter.fillRect(QRect(w / 4, h / 4, w / 2, h / 8), Qt::white);
    return image;
}

// One panel of w x h pixels at one pixel per point, with a few annotations, on an
// opaque background with padding.
DocumentModel document(int w, int h, double padding = 24)
{
    DocumentModel d;
    Panel panel;
    panel.id = test::uuid(1);
    panel.imageID = test::uuid(2);
    panel.pixelSize = {double(w), double(h)};
    panel.pixelsPerPoint = 1;
    panel.annotations = {
        Annotation::make(test::uuid(10), AnnotationKind::arrow, {{20, 20}, {w * 0.6, h * 0.5}}),
        Annotation::make(test::uuid(11), AnnotationKind::rectangle, {{w * 0.5, h * 0.2}, {w * 0.9, h * 0.8}}),
        Annotation::make(test::uuid(12), AnnotationKind::text, {{30, h * 0.7}}, QStringLiteral("Fare clic qui")),
    };
    d.panels = {panel};
    d.padding = padding;
    d.background = ColorBackground{RGBAColor::hex("#20242A")};
    return d;
}

struct Canvas {
    explicit Canvas(DocumentModel model, QSize size = {800, 600})
        : editor(std::move(model), undo), view(editor, images, settings)
    {
        for (const Panel& panel : editor.model().panels)
            images.add(panel.imageID, gradientImage(int(panel.pixelSize.width), int(panel.pixelSize.height)));
        view.onStateChange = [this] { ++stateChanges; };
        view.resize(size);
        view.show();
        test::processEventsFor(20ms);
    }

    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    UndoManager undo;
    DocumentEditor editor;
    test::TestImages images;
    CanvasView view;
    int stateChanges = 0;
};

Rect bounds(const Canvas& canvas) { return canvasBounds(canvas.editor.model()); }

} // namespace

TEST(CanvasViewTest, DrawsTheDocumentPixelForPixelAsTheExporterDoes)
{
    for (const QSize size : {QSize(800, 600), QSize(300, 240)}) { // centred, and scrolled
        SCOPED_TRACE(testing::Message() << size.width() << " x " << size.height());
        Canvas canvas(document(420, 260), size);
        canvas.view.setSelection({}); // no overlay over the document
        const std::optional<QImage> exported = Exporter::renderImage(canvas.editor.model(), canvas.images, {});
        ASSERT_TRUE(exported);

        const QImage shown = canvas.view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const Rect b = bounds(canvas);
        const QPointF topLeft = canvas.view.toViewport(b.origin);
        ASSERT_EQ(topLeft, topLeft.toPoint());
        const QRect compared = QRect(topLeft.toPoint(), exported->size()).intersected(shown.rect());
        ASSERT_GT(compared.width(), 100);
        int differing = 0;
        for (int y = compared.top(); y <= compared.bottom(); ++y)
            for (int x = compared.left(); x <= compared.right(); ++x)
                differing += shown.pixel(x, y) != exported->pixel(x - int(topLeft.x()), y - int(topLeft.y()));
        EXPECT_EQ(differing, 0);
    }
}

TEST(CanvasViewTest, ZoomKeepsTheChosenPointStill)
{
    Canvas canvas(document(2000, 1400));
    canvas.view.centreOn(bounds(canvas).center()); // room to scroll both ways
    for (const double m : {2.0, 1.25, 0.8, 3.0}) {
        SCOPED_TRACE(m);
        const Point point = canvas.view.toCanvas(QPointF(300, 200));
        canvas.view.setMagnification(m, point);
        EXPECT_EQ(canvas.view.magnification(), m);
        const QPointF after = canvas.view.toViewport(point);
        // Within the pixel to which the canvas and the scroll position are rounded.
        EXPECT_NEAR(after.x(), 300, 1);
        EXPECT_NEAR(after.y(), 200, 1);
    }
    canvas.view.setMagnification(100);
    EXPECT_EQ(canvas.view.magnification(), ScrollGeometry::maximumMagnification);
}

TEST(CanvasViewTest, FitZoomsInForSmallDocumentsAndOutForLargeOnes)
{
    struct Case {
        int w, h;
        double padding;
        bool zoomsIn;
    };
    for (const Case c : {Case{200, 120, 24, true}, Case{3000, 2000, 24, false}, Case{20, 20, 0, true}}) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h);
        Canvas canvas(document(c.w, c.h, c.padding));
        // From an extreme zoom out, fit still comes back in (and from far in, out).
        canvas.view.setMagnification(c.zoomsIn ? 0.05 : 8);
        canvas.view.zoomToFit();
        test::processEventsFor(20ms); // the scroll bars go
        const double m = canvas.view.magnification();
        EXPECT_EQ(m > 1, c.zoomsIn);
        EXPECT_LE(m, ScrollGeometry::maximumMagnification);
        // The whole content is visible without scrolling (give or take the rounding of
        // the canvas to whole pixels).
        EXPECT_TRUE(canvas.view.visibleRect().insetBy(-1 / m, -1 / m).contains(bounds(canvas)));
        EXPECT_EQ(canvas.view.horizontalScrollBar()->maximum(), 0);
        EXPECT_EQ(canvas.view.verticalScrollBar()->maximum(), 0);
    }
}

TEST(CanvasViewTest, FrameHoldsTheContentAndRefitsOnlyOutsideGestures)
{
    Canvas canvas(document(900, 700));
    const ScrollGeometry& g = canvas.view.scrollGeometry();
    EXPECT_TRUE(Rect(g.boundsOrigin, g.frameSize).contains(bounds(canvas)));
    EXPECT_EQ(canvas.view.state().lastClipSize, canvas.view.clipSize());
    // Settled: one pass.
    EXPECT_EQ(canvas.view.updateFrameForCanvas(), 1);

    const Rect before(g.boundsOrigin, g.frameSize);
    canvas.editor.beginInteraction();
    canvas.editor.updateInteraction([](DocumentModel& doc) { doc.panels[0].origin = {3000, 0}; });
    EXPECT_EQ(Rect(g.boundsOrigin, g.frameSize), before);
    canvas.editor.endInteraction(QStringLiteral("Sposta pannello"));
    EXPECT_TRUE(Rect(g.boundsOrigin, g.frameSize).contains(bounds(canvas)));
}

TEST(CanvasViewTest, ResizingRecentresASmallCanvas)
{
    Canvas canvas(document(200, 100));
    canvas.view.resize(1000, 700);
    test::processEventsFor(20ms);
    const Rect b = bounds(canvas);
    const QPointF centre = canvas.view.toViewport(b.center());
    const QSize viewport = canvas.view.viewport()->size();
    EXPECT_NEAR(centre.x(), viewport.width() / 2.0, 1);
    EXPECT_NEAR(centre.y(), viewport.height() / 2.0, 1);
}

TEST(CanvasViewTest, ToolChangeClearsMarksAndTheSelectionOfOtherTools)
{
    Canvas canvas(document(300, 200));
    canvas.view.setSelection({test::uuid(10)});
    canvas.view.setMeasurement(Measurement{{0, 0}, {10, 10}});
    canvas.view.setTextRegion(Rect(0, 0, 20, 20));

    // The same tool again: marks go, the selection stays, and the window hears of it.
    canvas.stateChanges = 0;
    canvas.view.setTool(Tool::select);
    EXPECT_FALSE(canvas.view.state().measurement);
    EXPECT_FALSE(canvas.view.state().textRegion);
    EXPECT_EQ(canvas.view.state().selection, std::set<QUuid>{test::uuid(10)});
    EXPECT_GE(canvas.stateChanges, 1);

    // The ruler keeps its measurement; a drawing tool drops the selection.
    canvas.view.setTool(Tool::ruler);
    canvas.view.setMeasurement(Measurement{{0, 0}, {10, 10}});
    canvas.view.setTool(Tool::ruler);
    EXPECT_TRUE(canvas.view.state().measurement);
    EXPECT_TRUE(canvas.view.state().selection.empty());
    canvas.view.setSelectedPanel(test::uuid(1));
    canvas.view.setTool(Tool::arrow);
    EXPECT_EQ(canvas.view.tool(), Tool::arrow);
    EXPECT_FALSE(canvas.view.state().selectedPanel);
}

TEST(CanvasViewTest, SelectionFollowsTheModel)
{
    Canvas canvas(document(300, 200));
    canvas.view.setSelectedPanel(test::uuid(1));
    canvas.view.setSelection({test::uuid(10), test::uuid(11)});
    EXPECT_FALSE(canvas.view.state().selectedPanel); // annotations end a panel selection

    canvas.editor.perform(QStringLiteral("Elimina oggetti"),
                          [](DocumentModel& doc) { removeAnnotations(doc, {test::uuid(10)}); });
    EXPECT_EQ(canvas.view.state().selection, std::set<QUuid>{test::uuid(11)});

    canvas.view.setNumberingStart(5);
    EXPECT_EQ(canvas.editor.model().numberingStart, 5);
    EXPECT_EQ(canvas.undo.undoActionName(), QStringLiteral("Cambia numero di partenza"));
}

TEST(CanvasViewTest, DrawingToolsReturnToSelectAfterTheIdleTime)
{
    Canvas canvas(document(300, 200));
    canvas.settings.set(setting::toolIdleSeconds, 0);
    canvas.view.setTool(Tool::arrow);
    EXPECT_FALSE(canvas.view.isIdleTimerActive());

    canvas.settings.set(setting::toolIdleSeconds, 60);
    canvas.view.setTool(Tool::ruler); // never returns by itself
    EXPECT_FALSE(canvas.view.isIdleTimerActive());
    canvas.view.setTool(Tool::arrow);
    EXPECT_TRUE(canvas.view.isIdleTimerActive());

    // Something under way: the timer starts again and the tool stays.
    canvas.view.setDrag(drag::Marquee{{0, 0}, {5, 5}, {}});
    canvas.view.returnToHandIfIdle();
    EXPECT_EQ(canvas.view.tool(), Tool::arrow);
    EXPECT_TRUE(canvas.view.isIdleTimerActive());
    canvas.view.setDrag(drag::None{});
    canvas.editor.beginInteraction();
    canvas.view.returnToHandIfIdle();
    EXPECT_EQ(canvas.view.tool(), Tool::arrow);
    canvas.editor.cancelInteraction();

    // The timer itself, at its shortest.
    canvas.settings.set(setting::toolIdleSeconds, 1);
    canvas.view.noteActivity();
    EXPECT_TRUE(test::waitUntil([&] { return canvas.view.tool() == Tool::select; }, 3s));
    EXPECT_FALSE(canvas.view.isIdleTimerActive());

    canvas.view.setTool(Tool::arrow);
    canvas.view.tearDown();
    EXPECT_FALSE(canvas.view.isIdleTimerActive());
}
