// The colour and width of a shape changed on a real desktop, as a person changes them:
// from a swatch of the property column, from the colour ring a right click opens, and
// with the column's slider by keys and by a drag. Each change is one undo step.

#include "app/editor/canvas/CanvasView.h"
#include "app/editor/inspectors/ColumnButton.h"
#include "app/editor/inspectors/PropertyBar.h"
#include "app/editor/inspectors/PropertyColumn.h"
#include "app/editor/inspectors/RadialColorMenu.h"
#include "app/editor/inspectors/SwatchButton.h"
#include "app/editor/window/EditorToolbar.h"
#include "app/editor/window/EditorWindow.h"
#include "app/editor/window/ToolButton.h"
#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"
#include "core/document/DocumentAnnotations.h"
#include "support/EventLoopWaits.h"
#include "support/ImageFixtures.h"
#include "support/desktop/DesktopTools.h"

#include <QApplication>
#include <QLabel>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;
using namespace Qt::StringLiterals;

namespace {

struct ColumnOnDesktop : testing::Test {
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};

    std::unique_ptr<EditorWindow> openWindow()
    {
        QImage picture(800, 600, QImage::Format_RGB32);
        picture.fill(QColor(230, 230, 230));
        auto document = std::make_unique<ProjectDocument>(settings);
        EXPECT_TRUE(document->addImage(pngOf(picture), "png", 1.0, "Aggiungi immagine"));
        auto window = std::make_unique<EditorWindow>(std::move(document), settings);
        window->show();
        EXPECT_TRUE(waitUntil([&] { return window->isActiveWindow() && window->windowHandle()->isExposed(); }));
        return window;
    }

    static QPoint onScreen(EditorWindow& window, double x, double y)
    {
        const Point origin = canvasBounds(window.document().model()).origin;
        return window.canvas().viewport()->mapToGlobal(window.canvas().toViewport(origin + Point{x, y})).toPoint();
    }
    static QPoint centreOf(const QWidget& widget) { return widget.mapToGlobal(widget.rect().center()); }
    static QStringList at(QPoint p) { return {QString::number(p.x()), QString::number(p.y())}; }
    static bool clickAt(QPoint p, int button = 1) { return movePointer(p.x(), p.y()) && click(button); }

    static const Annotation& shape(EditorWindow& window) { return window.document().model().panels[0].annotations[0]; }
    static UndoManager& undo(EditorWindow& window) { return window.document().undoManager(); }
    // Undoes the last step, which must be named `name`, with the keys, until `undone`.
    static bool undoStep(EditorWindow& window, const QString& name, const std::function<bool()>& undone)
    {
        EXPECT_EQ(undo(window).undoActionName(), name);
        return sendKeys("ctrl+z") && waitUntil(undone);
    }
};

TEST_F(ColumnOnDesktop, ColourAndWidthChangeFromTheColumnAndTheRingAndUndoStepByStep)
{
    const std::unique_ptr<EditorWindow> window = openWindow();
    EditorWindow& w = *window;
    PropertyColumn& column = w.column();

    const ToolButton* arrowTool = w.toolbar().toolButton(Tool::arrow);
    ASSERT_TRUE(clickAt(centreOf(*arrowTool)));
    ASSERT_TRUE(waitUntil([&] { return w.canvas().tool() == Tool::arrow; }));
    const QStringList drawn = QStringList{"mousemove"} + at(onScreen(w, 100, 300)) +
                              QStringList{"mousedown", "1", "mousemove"} + at(onScreen(w, 300, 300)) +
                              QStringList{"mousemove"} + at(onScreen(w, 500, 300)) + QStringList{"mouseup", "1"};
    ASSERT_EQ(runTool("xdotool", drawn).exitCode, 0);
    ASSERT_TRUE(waitUntil([&] { return !w.document().model().panels[0].annotations.empty(); }));
    ASSERT_EQ(w.canvas().state().selection, std::set{shape(w).id}) << "a new shape is selected";
    const Style drawnStyle = shape(w).style;

    // A swatch of the column.
    ASSERT_TRUE(waitUntil([&] { return column.swatches().size() == 10 && column.swatches()[4]->isVisible(); }));
    const RGBAColor swatchColour = column.swatches()[4]->color();
    ASSERT_NE(swatchColour, drawnStyle.strokeColor);
    ASSERT_TRUE(clickAt(centreOf(*column.swatches()[4])));
    ASSERT_TRUE(waitUntil([&] { return shape(w).style.strokeColor == swatchColour; }));
    EXPECT_TRUE(column.swatches()[4]->isSelected());

    // The ring, under the pointer on the canvas.
    ASSERT_TRUE(clickAt(onScreen(w, 300, 200), 3));
    ASSERT_TRUE(waitUntil([] {
        const RadialColorView* ring = RadialColorMenu::shared().ring();
        return ring && ring->isVisible() && ring->windowHandle()->isExposed();
    }));
    RadialColorView* ring = RadialColorMenu::shared().ring();
    EXPECT_LT((ring->geometry().center() - onScreen(w, 300, 200)).manhattanLength(), 3);
    const QPoint dot = ring->mapToGlobal(RadialRing::dotCenter(6, 10).toPoint());
    ASSERT_TRUE(movePointer(dot.x(), dot.y()));
    EXPECT_TRUE(waitUntil([&] { return ring->hovered() == 6u; }));
    const RGBAColor ringColour = ring->colors()[6];
    ASSERT_TRUE(click());
    ASSERT_TRUE(waitUntil([&] { return shape(w).style.strokeColor == ringColour; }));
    EXPECT_TRUE(waitUntil([] { return !RadialColorMenu::shared().ring(); }));

    // The slider by keys: a step each.
    QSlider& slider = *column.measureSlider();
    ASSERT_TRUE(slider.isVisible());
    EXPECT_EQ(column.measureLabel()->text(), u"Spessore"_s);
    slider.setFocus();
    ASSERT_TRUE(waitUntil([&] { return slider.hasFocus(); }));
    ASSERT_TRUE(sendKeys("Up"));
    ASSERT_TRUE(waitUntil([&] { return shape(w).style.lineWidth == drawnStyle.lineWidth + 1; }));
    ASSERT_TRUE(sendKeys("Up"));
    ASSERT_TRUE(waitUntil([&] { return shape(w).style.lineWidth == drawnStyle.lineWidth + 2; }));
    EXPECT_EQ(settings.get(setting::toolStyles).at(AnnotationKind::arrow).lineWidth, drawnStyle.lineWidth + 2);

    // The slider by a drag: one step however far it goes.
    QStyleOptionSlider option;
    option.initFrom(&slider);
    option.orientation = Qt::Vertical;
    option.minimum = slider.minimum();
    option.maximum = slider.maximum();
    option.sliderPosition = slider.sliderPosition();
    option.sliderValue = slider.value();
    option.upsideDown = !slider.invertedAppearance();
    const QRect handle = slider.style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &slider);
    const QPoint grip = slider.mapToGlobal(handle.center());
    const QStringList dragged = QStringList{"mousemove"} + at(grip) + QStringList{"mousedown", "1", "mousemove"} +
                                at(grip - QPoint(0, 10)) + QStringList{"mousemove"} + at(grip - QPoint(0, 25)) +
                                QStringList{"mousemove"} + at(grip - QPoint(0, 40)) + QStringList{"mouseup", "1"};
    const double beforeDrag = shape(w).style.lineWidth;
    ASSERT_EQ(runTool("xdotool", dragged).exitCode, 0);
    ASSERT_TRUE(waitUntil([&] { return !slider.isSliderDown() && shape(w).style.lineWidth > beforeDrag + 2; }));
    const double afterDrag = shape(w).style.lineWidth;
    EXPECT_EQ(settings.get(setting::toolStyles).at(AnnotationKind::arrow).lineWidth, afterDrag);

    // Undo, step by step.
    w.canvas().setFocus();
    const auto width = [&](double expected) { return [&w, expected] { return shape(w).style.lineWidth == expected; }; };
    EXPECT_TRUE(undoStep(w, u"Cambia spessore"_s, width(beforeDrag))) << "the whole drag";
    EXPECT_TRUE(undoStep(w, u"Cambia spessore"_s, width(drawnStyle.lineWidth + 1)));
    EXPECT_TRUE(undoStep(w, u"Cambia spessore"_s, width(drawnStyle.lineWidth)));
    EXPECT_TRUE(undoStep(w, u"Cambia colore"_s, [&] { return shape(w).style.strokeColor == swatchColour; }));
    EXPECT_TRUE(undoStep(w, u"Cambia colore"_s, [&] { return shape(w).style.strokeColor == drawnStyle.strokeColor; }));
    EXPECT_EQ(shape(w).style, drawnStyle);

    // "Opzioni" opens the bar in its popover and closes it again.
    w.canvas().setTool(Tool::select);
    w.canvas().setSelection({});
    ColumnButton& options = *column.optionsButton();
    ASSERT_TRUE(waitUntil([&] { return options.isEnabled(); })) << "the document's settings";
    for (const bool open : {true, false, true}) {
        ASSERT_TRUE(clickAt(centreOf(options)));
        EXPECT_TRUE(waitUntil([&] { return column.popover()->isVisible() == open; })) << open;
        QTest::qWait(200);
    }
    EXPECT_TRUE(column.propertyBar().isVisible());
    ASSERT_TRUE(sendKeys("Escape"));
    EXPECT_TRUE(waitUntil([&] { return !column.popover()->isVisible(); }));
}

} // namespace
