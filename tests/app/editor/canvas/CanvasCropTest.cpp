#include "CanvasFixture.h"

#include "app/editor/canvas/CropGeometry.h"
#include "core/document/CropAndStrips.h"
#include "core/document/PanelRecrop.h"
#include "core/model/PanelGeometry.h"

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;
using namespace Qt::StringLiterals;

namespace {

constexpr double zoom = 2; // tolerances are screen points: every test runs magnified
const Rect startingCrop{50, 40, 100, 80};

// The fixture's panel cropped to `startingCrop`, magnified, with a crop session open.
struct CropCanvas : CanvasFixture {
    CropCanvas()
    {
        editor.perform(u"Ritaglia"_s, [](DocumentModel& doc) { applyCrop(doc, startingCrop, uuid(1)); });
        undo.removeAllActions();
        view.setMagnification(zoom);
        view.centreOn(frame(editor.model().panels[0]).center());
        processEventsFor(std::chrono::milliseconds(10));
        view.setTool(Tool::crop);
    }
    const CropSession& session() const { return *view.state().cropSession; }
    // Where an image pixel of the cropped panel shows during the session.
    Point at(Point image) const { return canvasPointFromImage(session().preview, image); }
};

TEST(CanvasCrop, SessionShowsThePanelUncroppedAndStartsFromItsCrop)
{
    CropCanvas canvas;
    ASSERT_TRUE(canvas.view.state().cropSession);
    EXPECT_EQ(canvas.session().rect, startingCrop);
    EXPECT_EQ(canvas.view.displayModel().panels[0].crop, std::nullopt);
    // The pixels that were showing keep their place on the canvas.
    const Panel& real = canvas.editor.model().panels[0];
    EXPECT_EQ(canvas.at({60, 50}), canvasPointFromImage(real, {60, 50}));

    CanvasFixture uncropped;
    uncropped.view.setTool(Tool::crop);
    EXPECT_EQ(uncropped.view.state().cropSession->rect, Rect(0, 0, 300, 200));
}

TEST(CanvasCrop, PointerGesturesShapeTheRectangle)
{
    struct Case {
        const char* name;
        Point from; // image pixels
        Point to;
        Qt::KeyboardModifiers modifiers;
        CropAspect aspect;
        Rect expected;
    };
    const Case cases[] = {
        // Handles are caught 8.5 screen points away: 3.6 canvas points off the corner is on it.
        {"corner handle", {153, 122}, {200, 150}, {}, CropAspect::free, {50, 40, 150, 110}},
        {"handle past the work area stops at it", {150, 120}, {900, 700}, {}, CropAspect::free, {50, 40, 250, 160}},
        {"edge within 6 screen points snaps to the image", {50, 80}, {2.5, 80}, {}, CropAspect::free, {0, 40, 150, 80}},
        {"edge further away stays", {50, 80}, {4, 80}, {}, CropAspect::free, {4, 40, 146, 80}},
        {"move", {100, 80}, {130, 100}, {}, CropAspect::free, {80, 60, 100, 80}},
        {"move slides along the limit", {100, 80}, {600, 90}, {}, CropAspect::free, {200, 50, 100, 80}},
        {"Shift draws a square", {170, 20}, {230, 50}, Qt::ShiftModifier, CropAspect::free, {170, 20, 60, 60}},
        {"square towards the upper left",
         {250, 150},
         {230, 100},
         Qt::ShiftModifier,
         CropAspect::free,
         {200, 100, 50, 50}},
        {"16:9 keeps the start corner", {170, 10}, {250, 190}, {}, CropAspect::sixteenNine, {170, 10, 80, 45}},
        {"16:9 short of room below narrows",
         {10, 150},
         {250, 190},
         {},
         CropAspect::sixteenNine,
         {10, 150, 50 * (16.0 / 9), 50}},
        {"16:9 from a corner handle anchors the opposite one",
         {50, 40},
         {20, 20},
         {},
         CropAspect::sixteenNine,
         {20, 46.875, 130, 73.125}},
        {"under 4 pixels is ignored", {170, 20}, {173, 60}, {}, CropAspect::free, startingCrop},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CropCanvas canvas;
        canvas.view.setCropAspect(c.aspect);
        canvas.view.setCropRect(startingCrop);
        canvas.drag(canvas.at(c.from), canvas.at(c.to), c.modifiers);
        EXPECT_EQ(canvas.session().rect, c.expected);
        EXPECT_TRUE(canvas.undo.undoActionName().isEmpty()) << "a session changes nothing until applied";
    }
}

TEST(CanvasCrop, ApplyingIsOneStepThatKeepsThePixelsInPlace)
{
    struct Case {
        const char* name;
        int key; // 0: double click
    };
    for (const Case c : {Case{"Return", Qt::Key_Return}, Case{"Enter", Qt::Key_Enter}, Case{"double click", 0}}) {
        SCOPED_TRACE(c.name);
        CropCanvas canvas;
        const Panel before = canvas.editor.model().panels[0];
        const Point shown = canvas.at({120, 70});
        canvas.drag(canvas.at({50, 40}), canvas.at({100, 60}));
        if (c.key)
            canvas.key(c.key);
        else {
            canvas.press(canvas.at({125, 90}));
            canvas.release(canvas.at({125, 90}));
            canvas.press(canvas.at({125, 90}), std::chrono::milliseconds(50));
            canvas.release(canvas.at({125, 90}));
        }
        EXPECT_FALSE(canvas.view.state().cropSession);
        EXPECT_EQ(canvas.view.tool(), Tool::select);
        const Panel& after = canvas.editor.model().panels[0];
        EXPECT_EQ(after.crop, Rect(100, 60, 50, 60));
        EXPECT_EQ(after.origin, recropped(before, Rect(100, 60, 50, 60)).origin);
        const Point now = canvasPointFromImage(after, {120, 70});
        EXPECT_NEAR(now.x, shown.x, 1e-9);
        EXPECT_NEAR(now.y, shown.y, 1e-9);
        EXPECT_EQ(canvas.undo.undoActionName(), u"Ritaglia"_s);
        canvas.undo.undo();
        EXPECT_EQ(canvas.editor.model().panels[0], before);
        EXPECT_FALSE(canvas.undo.canUndo());
    }
}

TEST(CanvasCrop, RemovingTheCropMovesThePanelBack)
{
    CropCanvas canvas;
    const Panel cropped = canvas.editor.model().panels[0];
    canvas.view.setCropRect(Rect(0, 0, 300, 200)); // "Immagine intera"
    canvas.view.setTool(Tool::select);             // leaving the tool applies
    const Panel& after = canvas.editor.model().panels[0];
    EXPECT_EQ(after.crop, std::nullopt);
    EXPECT_EQ(after.origin, recropped(cropped, std::nullopt).origin);
    EXPECT_EQ(canvas.undo.undoActionName(), u"Ritaglia"_s);
}

TEST(CanvasCrop, EscapeLeavesTheDocumentUntouched)
{
    CropCanvas canvas;
    const DocumentModel before = canvas.editor.model();
    canvas.drag(canvas.at({60, 50}), canvas.at({200, 150}));
    canvas.key(Qt::Key_Escape);
    EXPECT_FALSE(canvas.view.state().cropSession);
    EXPECT_EQ(canvas.view.tool(), Tool::select);
    EXPECT_EQ(canvas.editor.model(), before);
    EXPECT_FALSE(canvas.undo.canUndo());
}

TEST(CanvasCrop, UndoAndRedoUnderARunningCropKeepItOnThePanelAsItNowIs)
{
    CropCanvas canvas;
    canvas.key(Qt::Key_Escape);
    canvas.editor.perform(
        u"Elimina"_s, [](DocumentModel& doc) { doc.panels[0].annotations.erase(doc.panels[0].annotations.begin()); });
    canvas.editor.perform(u"Elimina pannello"_s, [](DocumentModel& doc) { doc.panels.clear(); });
    canvas.undo.undo();
    canvas.view.setTool(Tool::crop);
    ASSERT_TRUE(canvas.view.state().cropSession);
    canvas.drag(canvas.at({50, 40}), canvas.at({100, 60}));

    canvas.undo.undo(); // the arrow comes back while the crop is chosen
    ASSERT_TRUE(canvas.view.state().cropSession);
    EXPECT_EQ(canvas.session().preview, recropped(canvas.editor.model().panels[0], std::nullopt));
    EXPECT_EQ(canvas.session().rect, Rect(100, 60, 50, 60));

    canvas.undo.redo();
    canvas.undo.redo(); // the panel goes: nothing is left to crop
    EXPECT_FALSE(canvas.view.state().cropSession);
    EXPECT_EQ(canvas.view.tool(), Tool::select);
    EXPECT_TRUE(canvas.editor.model().panels.empty());
}

TEST(CanvasCrop, CursorShowsWhatAPressWouldGrab)
{
    CropCanvas canvas;
    struct Case {
        Point image;
        Qt::CursorShape shape;
    };
    const Case cases[] = {
        {{50, 40}, Qt::SizeFDiagCursor}, {{150, 40}, Qt::SizeBDiagCursor}, {{100, 40}, Qt::SizeVerCursor},
        {{152, 80}, Qt::SizeHorCursor},  {{100, 80}, Qt::OpenHandCursor},  {{250, 160}, Qt::CrossCursor},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.image.x << ", " << c.image.y);
        EXPECT_EQ(canvas.view.cursorAt(canvas.at(c.image)).shape(), c.shape);
    }
    canvas.press(canvas.at({100, 80}));
    EXPECT_EQ(canvas.view.viewport()->cursor().shape(), Qt::ClosedHandCursor);
    canvas.release(canvas.at({100, 80}));
}

TEST(CanvasCrop, OverlayDimsTheLimitOutsideTheRectangleOnly)
{
    CanvasFixture canvas;
    canvas.view.setMagnification(zoom);
    canvas.view.centreOn(frame(canvas.editor.model().panels[0]).center());
    processEventsFor(std::chrono::milliseconds(10));
    const QImage before = canvas.view.viewport()->grab().toImage();
    canvas.view.setTool(Tool::crop);
    canvas.view.setCropRect(startingCrop);
    const QImage during = canvas.view.viewport()->grab().toImage();

    const Panel& preview = canvas.view.state().cropSession->preview;
    const auto pixel = [&](const QImage& image, Point imagePoint) {
        return QColor(image.pixel(canvas.view.toViewport(canvasPointFromImage(preview, imagePoint)).toPoint()));
    };
    const QColor outside = pixel(during, {140, 180});
    EXPECT_LT(outside.lightness(), pixel(before, {140, 180}).lightness() * 0.6);
    EXPECT_EQ(pixel(during, {100, 55}), pixel(before, {100, 55})) << "inside the crop";
    EXPECT_EQ(pixel(during, {49, 60}), outside) << "dimmed right up to the border";
}

TEST(CanvasCrop, OnePanelLimitTakesInTheDocumentsAnnotations)
{
    DocumentModel model = styledDocument();
    const Rect panelFrame = frame(model.panels[0]);
    model.annotations = {Annotation::make(uuid(20), AnnotationKind::rectangle,
                                          {{panelFrame.maxX() + 40, 10}, {panelFrame.maxX() + 80, 50}})};
    const CropSession session{uuid(1), cropRect(model.panels[0]), recropped(model.panels[0], std::nullopt)};
    EXPECT_GE(cropLimit(model, session).maxX(), panelFrame.maxX() + 80);

    Panel second = model.panels[0];
    second.id = uuid(3);
    second.origin = {0, 400};
    model.panels.push_back(second);
    EXPECT_LT(cropLimit(model, session).maxX(), panelFrame.maxX() + 10);
}

} // namespace
