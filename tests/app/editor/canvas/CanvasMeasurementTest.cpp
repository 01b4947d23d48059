#include "CanvasFixture.h"

#include "app/editor/canvas/MeasurementLabels.h"
#include "app/support/Beeper.h"
#include "core/document/DocumentAnnotations.h"
#include "core/model/PanelGeometry.h"

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;
using namespace Qt::StringLiterals;

namespace {

constexpr double zoom = 2;

void magnify(CanvasFixture& canvas)
{
    canvas.view.setMagnification(zoom);
    canvas.view.centreOn(frame(canvas.editor.model().panels[0]).center());
    processEventsFor(std::chrono::milliseconds(10));
}

QImage grabbed(CanvasView& view) { return view.viewport()->grab().toImage(); }

// Whether the two pictures differ anywhere within a pixel of the canvas point.
bool differsAround(const CanvasView& view, const QImage& a, const QImage& b, Point at)
{
    const QPoint centre = view.toViewport(at).toPoint();
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const QPoint p = centre + QPoint(dx, dy);
            if (a.rect().contains(p) && a.pixel(p) != b.pixel(p))
                return true;
        }
    return false;
}

TEST(MeasurementLabels, BadgeReadsPixelsPointsAndCentimetres)
{
    struct Case {
        Measurement measurement;
        double pixelsPerPoint;
        const char16_t* expected;
    };
    const Case cases[] = {
        {{{10, 10}, {110, 60}},
         2,
         u"200 \u00D7 100 px   \u2197 224 px\n100 \u00D7 50 pt   3,5 \u00D7 1,8 cm\nInvio: fissa la misura "
         u"sull'immagine"},
        // Halves round away from zero, whichever way the drag went.
        {{{5, 5}, {2.5, 4.5}},
         1,
         u"3 \u00D7 1 px   \u2197 3 px\n3 \u00D7 1 pt   0,1 \u00D7 0,0 cm\nInvio: fissa la misura sull'immagine"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pixelsPerPoint);
        EXPECT_EQ(measurementBadgeText(c.measurement, c.pixelsPerPoint), QString::fromUtf16(c.expected));
    }
}

TEST(MeasurementLabels, PinnedSegmentsFollowTheRectangle)
{
    using Segments = std::vector<Segment>;
    const AutoRuler ruler{{50, 40}, {0, 10, 150, 110}};
    struct Case {
        const char* name;
        std::optional<Measurement> measurement;
        std::optional<AutoRuler> autoRuler;
        Segments expected;
    };
    const Case cases[] = {
        {"nothing", std::nullopt, std::nullopt, {}},
        {"the automatic ruler", std::nullopt, ruler, {{{0, 40}, {150, 40}}, {{50, 10}, {50, 120}}}},
        {"zero length", Measurement{{20, 20}, {20, 20}}, ruler, {}},
        // Thinner than three quarters of an image pixel at 2 pixels a point: 0.375 points.
        {"horizontal", Measurement{{20, 20}, {80, 20.25}}, std::nullopt, {{{20, 20.125}, {80, 20.125}}}},
        {"vertical", Measurement{{20, 80}, {20.25, 20}}, std::nullopt, {{{20.125, 20}, {20.125, 80}}}},
        {"a box", Measurement{{80, 60}, {20, 20}}, std::nullopt, {{{20, 12}, {80, 12}}, {{88, 20}, {88, 60}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(measureSegments(c.measurement, c.autoRuler, 2), c.expected);
    }
}

TEST(CanvasMeasurement, DragMeasuresAndDrawsItsBadge)
{
    CanvasFixture canvas;
    canvas.editor.perform(u"Scala"_s, [](DocumentModel& doc) { doc.panels[0].pixelsPerPoint = 2; });
    magnify(canvas);
    canvas.view.setTool(Tool::ruler);
    const Point o = frame(canvas.editor.model().panels[0]).origin;
    const QImage before = grabbed(canvas.view);
    canvas.drag(o + Point{20, 20}, o + Point{80, 40});

    ASSERT_TRUE(canvas.view.state().measurement);
    const Measurement& measured = *canvas.view.state().measurement;
    EXPECT_EQ(measured, (Measurement{o + Point{20, 20}, o + Point{80, 40}}));
    EXPECT_TRUE(measurementBadgeText(measured, canvas.view.pixelsPerPoint(measured.start))
                    .startsWith(u"120 \u00D7 40 px   \u2197 126 px\n60 \u00D7 20 pt   2,1 \u00D7 0,7 cm"_s));

    const QImage after = grabbed(canvas.view);
    EXPECT_TRUE(differsAround(canvas.view, before, after, o + Point{50, 30})) << "the diagonal";
    EXPECT_TRUE(differsAround(canvas.view, before, after, o + Point{80 + 14 / zoom, 40 + 14 / zoom})) << "the badge";
    EXPECT_FALSE(differsAround(canvas.view, before, after, o + Point{20, 60}));
}

TEST(CanvasMeasurement, BadgeFlipsInsideTheViewNearItsRightAndBottomEdges)
{
    CanvasFixture canvas;
    magnify(canvas);
    canvas.view.setTool(Tool::ruler);
    const Rect visible = canvas.view.visibleRect();
    const Point end{visible.maxX() - 5, visible.maxY() - 5};
    const QImage before = grabbed(canvas.view);
    canvas.drag(end - Point{100, 10}, end);

    const QImage after = grabbed(canvas.view);
    const double screenPoint = 1 / zoom;
    EXPECT_TRUE(differsAround(canvas.view, before, after, end - Point{14, 14} * screenPoint))
        << "the badge goes above and left of the end";
}

TEST(CanvasMeasurement, PinningInsertsLabelledLinesAsOneStep)
{
    CanvasFixture canvas;
    int beeps = 0;
    Beeper::Override beeper{[&beeps] { ++beeps; }};
    magnify(canvas);
    canvas.view.setTool(Tool::ruler);
    const Point o = frame(canvas.editor.model().panels[0]).origin;
    const std::size_t existing = canvas.editor.model().panels[0].annotations.size();

    canvas.press(o + Point{30, 150});
    canvas.release(o + Point{30, 150});
    canvas.view.pinMeasure();
    EXPECT_EQ(beeps, 1) << "nothing measured";
    EXPECT_FALSE(canvas.undo.canUndo());

    canvas.drag(o + Point{30, 150}, o + Point{130, 150});
    canvas.view.pinMeasure();
    EXPECT_EQ(canvas.undo.undoActionName(), u"Fissa la misura"_s);
    const std::vector<Annotation>& annotations = canvas.editor.model().panels[0].annotations;
    ASSERT_EQ(annotations.size(), existing + 1);
    const Annotation& line = annotations.back();
    EXPECT_EQ(line.kind, AnnotationKind::line);
    EXPECT_TRUE(line.style.showsMeasure);
    EXPECT_EQ(line.style.lineWidth, 2);
    EXPECT_EQ(canvas.view.state().selection, std::set<QUuid>{line.id});
    EXPECT_FALSE(canvas.view.state().measurement);
}

// Bars of colour: the pointer's pixel is base grey; bars within 28 of it in every byte
// belong to its run, bars 29 away end it.
QImage barsImage()
{
    QImage image(300, 200, QImage::Format_RGB32);
    image.fill(QColor(100, 100, 100));
    QPainter painter(&image);
    painter.fillRect(0, 0, 20, 200, QColor(128, 100, 100));    // 28: same run
    painter.fillRect(100, 0, 50, 200, QColor(120, 110, 100));  // 20: same run
    painter.fillRect(150, 0, 150, 200, QColor(129, 100, 100)); // 29: edge at x 150
    painter.fillRect(0, 0, 300, 10, QColor(100, 100, 127));    // 27: same run
    painter.fillRect(0, 120, 300, 80, QColor(100, 100, 71));   // 29: edge at y 120
    return image;
}

TEST(CanvasMeasurement, AutomaticRulerFindsTheColourEdgesAndIsDrawn)
{
    CanvasFixture canvas;
    canvas.images.add(uuid(2), barsImage());
    canvas.editor.perform(u"Svuota"_s, [](DocumentModel& doc) { doc.panels[0].annotations.clear(); });
    magnify(canvas);
    canvas.view.setTool(Tool::ruler);
    const Point o = frame(canvas.editor.model().panels[0]).origin;
    const QImage before = grabbed(canvas.view);

    canvas.hover(o + Point{50.25, 50.25});
    ASSERT_TRUE(canvas.view.state().autoRuler);
    EXPECT_EQ(canvas.view.state().autoRuler->edges, Rect(o.x, o.y, 150, 120));

    const QImage after = grabbed(canvas.view);
    EXPECT_TRUE(differsAround(canvas.view, before, after, o + Point{5, 50.25})) << "the horizontal line";
    EXPECT_TRUE(differsAround(canvas.view, before, after, o + Point{50.25, 100})) << "the vertical line";
    EXPECT_FALSE(differsAround(canvas.view, before, after, o + Point{200, 50.25})) << "beyond the edge";

    canvas.drag(o + Point{20, 20}, o + Point{60, 60});
    EXPECT_FALSE(differsAround(canvas.view, before, grabbed(canvas.view), o + Point{5, 50.25}))
        << "a measurement hides the automatic ruler";
}

} // namespace
