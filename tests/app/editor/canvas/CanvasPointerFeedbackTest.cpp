#include "CanvasFixture.h"

#include "app/editor/canvas/EyedropperCursor.h"
#include "core/document/DocumentAnnotations.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace vorlix;
using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

void moveTo(CanvasView& view, Point canvasPoint)
{
    const QPointF at = view.toViewport(canvasPoint);
    QMouseEvent event(QEvent::MouseMove, at, view.viewport()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &event);
}

void rightClick(CanvasView& view, Point canvasPoint)
{
    const QPointF at = view.toViewport(canvasPoint);
    QMouseEvent event(QEvent::MouseButtonPress, at, view.viewport()->mapToGlobal(at), Qt::RightButton, Qt::RightButton,
                      Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &event);
}

void wheel(CanvasView& view, QPointF at, QPoint angleDelta, QPoint pixelDelta, Qt::KeyboardModifiers modifiers)
{
    QWheelEvent event(at, view.viewport()->mapToGlobal(at), pixelDelta, angleDelta, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &event);
}

bool near(const RGBAColor& c, const QColor& q)
{
    const double e = 1.5 / 255;
    return std::abs(c.red - q.redF()) < e && std::abs(c.green - q.greenF()) < e && std::abs(c.blue - q.blueF()) < e;
}

// Places on the fixture's document.
const Point inPanel{60, 150};
const Point alsoInPanel{80, 170};
const Point rightInPanel{230, 150};
const Point outsidePanels{-15, 100}; // in the padding
const Point onText{205, 28};
const Point onArrow{60, 20};

} // namespace

TEST(CanvasPointerFeedback, HoverTellsTheColourUnderThePointerOnlyWhenItChanges)
{
    test::CanvasFixture canvas;
    std::vector<std::optional<RGBAColor>> told;
    canvas.view.onHoverColor = [&](std::optional<RGBAColor> c) { told.push_back(c); };

    moveTo(canvas.view, inPanel);
    moveTo(canvas.view, alsoInPanel); // same colour: not told again
    moveTo(canvas.view, rightInPanel);
    moveTo(canvas.view, {-150, -150}); // nothing drawn there
    ASSERT_EQ(told.size(), 3u);
    ASSERT_TRUE(told[0] && told[1]);
    EXPECT_TRUE(near(*told[0], test::leftColor));
    EXPECT_TRUE(near(*told[1], test::rightColor));
    EXPECT_FALSE(told[2]);
    EXPECT_EQ(canvas.view.state().hoveredColor, std::nullopt);
}

TEST(CanvasPointerFeedback, TheCursorSaysWhatAClickWouldDo)
{
    struct Case {
        Tool tool;
        Point point;
        Qt::CursorShape expected;
    };
    const Case cases[] = {
        {Tool::select, inPanel, Qt::OpenHandCursor},
        {Tool::select, outsidePanels, Qt::ArrowCursor},
        {Tool::select, onText, Qt::OpenHandCursor},
        {Tool::text, onText, Qt::IBeamCursor},
        {Tool::callout, onText, Qt::IBeamCursor},
        {Tool::arrow, onText, Qt::OpenHandCursor},
        {Tool::text, onArrow, Qt::OpenHandCursor},
        {Tool::text, inPanel, Qt::IBeamCursor},
        {Tool::arrow, inPanel, Qt::CrossCursor},
        {Tool::number, inPanel, Qt::PointingHandCursor},
        {Tool::stamp, outsidePanels, Qt::PointingHandCursor},
        {Tool::callout, inPanel, Qt::CrossCursor},
        {Tool::cursor, inPanel, Qt::CrossCursor},
        {Tool::pixelate, inPanel, Qt::CrossCursor},
        {Tool::pixelate, outsidePanels, Qt::ForbiddenCursor},
        {Tool::lens, outsidePanels, Qt::ForbiddenCursor},
        {Tool::cutStrip, inPanel, Qt::CrossCursor},
        {Tool::cutStrip, outsidePanels, Qt::ForbiddenCursor},
        {Tool::ruler, onText, Qt::CrossCursor},
        {Tool::ocr, inPanel, Qt::CrossCursor},
        {Tool::cutOut, inPanel, Qt::CrossCursor},
        {Tool::crop, inPanel, Qt::OpenHandCursor}, // inside the crop rectangle of the session it opens
        {Tool::colorPicker, onText, Qt::BitmapCursor},
    };
    test::CanvasFixture canvas;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << rawValue(c.tool).toStdString() << " at " << c.point.x << ", " << c.point.y);
        canvas.view.setTool(c.tool);
        moveTo(canvas.view, c.point);
        EXPECT_EQ(canvas.view.viewport()->cursor().shape(), c.expected);
    }
}

TEST(CanvasPointerFeedback, TheRulerFollowsTheEdgesUnderThePointerUntilAMeasurementIsShown)
{
    test::CanvasFixture canvas;
    canvas.view.setTool(Tool::ruler);
    moveTo(canvas.view, inPanel);
    ASSERT_TRUE(canvas.view.state().autoRuler);
    EXPECT_EQ(canvas.view.state().autoRuler->point, inPanel);
    // The blue half runs from the panel's left edge to its middle.
    EXPECT_NEAR(canvas.view.state().autoRuler->edges.origin.x, 0, 1);
    EXPECT_NEAR(canvas.view.state().autoRuler->edges.maxX(), 150, 1);

    canvas.view.setMeasurement(Measurement{{0, 0}, {10, 10}});
    moveTo(canvas.view, alsoInPanel);
    EXPECT_FALSE(canvas.view.state().autoRuler);
}

TEST(CanvasPointerFeedback, CtrlWheelZoomsAboutThePointer)
{
    struct Case {
        const char* name;
        QPoint angle;
        QPoint pixels;
        Qt::KeyboardModifiers modifiers;
        double factor;
    };
    const Case cases[] = {
        {"touchpad, capped at two steps", {}, {0, 500}, Qt::ControlModifier, 1.25 * 1.25},
        {"one notch", {0, 120}, {}, Qt::ControlModifier, std::pow(1.25, 0.1)},
        {"ten notches out", {0, -1200}, {}, Qt::ControlModifier, 1 / 1.25},
        {"with Alt too", {}, {0, 100}, Qt::ControlModifier | Qt::AltModifier, 1.25},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::CanvasFixture canvas;
        canvas.view.resize(200, 150); // the document is larger than the view: room to scroll
        test::processEventsFor(20ms);
        canvas.view.centreOn({150, 100});
        const QPointF pointer(60, 40);
        const Point under = canvas.view.toCanvas(pointer);
        const double before = canvas.view.magnification();

        wheel(canvas.view, pointer, c.angle, c.pixels, c.modifiers);
        EXPECT_NEAR(canvas.view.magnification(), before * c.factor, 1e-9);
        const QPointF after = canvas.view.toViewport(under);
        EXPECT_NEAR(after.x(), pointer.x(), 1);
        EXPECT_NEAR(after.y(), pointer.y(), 1);
        EXPECT_FALSE(canvas.undo.canUndo());
    }
}

TEST(CanvasPointerFeedback, RightClickOpensTheColourMenuForStylesWithAColour)
{
    test::CanvasFixture canvas;
    canvas.editor.perform(u"Cambia colore"_s, [](DocumentModel& doc) {
        updateAnnotation(doc, test::uuid(10), [](Annotation& a) { a.style.arrowHeadColor = RGBAColor{0, 0, 1, 1}; });
    });
    int requests = 0;
    RGBAColor shown;
    std::function<void(RGBAColor)> choose;
    canvas.view.onColorMenuRequest = [&](QPoint, RGBAColor current, std::function<void(RGBAColor)> chosen) {
        ++requests;
        shown = current;
        choose = std::move(chosen);
    };

    rightClick(canvas.view, inPanel); // select tool, nothing selected: no style
    canvas.view.setSelection({test::uuid(13)});
    rightClick(canvas.view, inPanel); // a stamp has no colour
    EXPECT_EQ(requests, 0);

    canvas.view.setSelection({test::uuid(10)});
    rightClick(canvas.view, inPanel);
    ASSERT_EQ(requests, 1);
    EXPECT_EQ(shown, canvas.annotationAt(0).style.strokeColor);
    const RGBAColor green{0, 1, 0, 1};
    choose(green);
    EXPECT_EQ(canvas.annotationAt(0).style.strokeColor, green);
    EXPECT_FALSE(canvas.annotationAt(0).style.arrowHeadColor);
    EXPECT_EQ(canvas.undo.undoActionName(), u"Cambia colore"_s);
    canvas.undo.undo();
    EXPECT_EQ(canvas.annotationAt(0).style.arrowHeadColor, (RGBAColor{0, 0, 1, 1}));
}

TEST(CanvasPointerFeedback, TheEyedropperIsABlackGlyphWithAWhiteOutline)
{
    const QImage image = EyedropperCursor::image(2);
    EXPECT_EQ(image.size(), QSize(44, 44));
    int black = 0, white = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            black += c.alpha() == 255 && c.lightness() < 20;
            white += c.alpha() == 255 && c.lightness() > 235;
        }
    EXPECT_GT(black, 20);
    EXPECT_GT(white, 20);
    EXPECT_EQ(EyedropperCursor::shared().hotSpot(), QPoint(5, 18));
}
