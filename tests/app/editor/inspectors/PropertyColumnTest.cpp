#include "app/editor/inspectors/PropertyColumn.h"

#include "app/editor/inspectors/ColumnButton.h"
#include "app/editor/inspectors/PropertyBar.h"
#include "app/editor/inspectors/SwatchButton.h"
#include "app/support/Beeper.h"

#include "app/editor/canvas/CanvasFixture.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QSlider>
#include <QTest>
#include <QWheelEvent>

namespace vorlix {
namespace {

using namespace Qt::StringLiterals;
using test::uuid;

// A cut-out session that has no result yet.
CutOutSession pendingCutOut()
{
    CutOutSession session;
    session.region = Rect(0, 0, 50, 50);
    return session;
}

struct PropertyColumnTest : testing::Test {
    PropertyColumnTest() : column(canvas.view, new PropertyBar(canvas.view, canvas.settings), canvas.settings)
    {
        canvas.view.onStateChange = [this] { column.refresh(); };
        column.show();
        QApplication::processEvents();
    }

    static bool shown(const QWidget* widget) { return !widget->isHidden(); }
    bool swatchesShown() const { return shown(column.swatches().front()->parentWidget()); }
    bool sliderShown() const { return shown(column.measureSlider()); }
    const Annotation& arrow() const { return canvas.editor.model().panels[0].annotations[0]; }
    // The names of the undo steps, newest first; undoes them all.
    std::vector<QString> undoAll()
    {
        std::vector<QString> names;
        while (canvas.undo.canUndo()) {
            names.push_back(canvas.undo.undoActionName());
            canvas.undo.undo();
        }
        return names;
    }

    test::CanvasFixture canvas;
    PropertyColumn column;
};

TEST_F(PropertyColumnTest, ShowsWhatTheCanvasStateAsksFor)
{
    struct Case {
        const char* name;
        std::function<void(CanvasView&)> arrange;
        bool crop, pin, cutOut, swatches, slider;
    };
    const Case cases[] = {
        {"nothing to style", [](CanvasView&) {}, false, false, false, false, false},
        {"an arrow", [](CanvasView& v) { v.setSelection({uuid(10)}); }, false, false, false, true, true},
        {"only stamps", [](CanvasView& v) { v.setSelection({uuid(13)}); }, false, false, false, false, true},
        {"a crop with a style tool",
         [](CanvasView& v) {
             v.setTool(Tool::arrow);
             v.beginCrop();
         },
         true, false, false, false, false},
        {"a measurement",
         [](CanvasView& v) {
             v.setTool(Tool::ruler);
             v.setMeasurement(Measurement{{10, 10}, {90, 10}});
         },
         false, true, false, false, false},
        {"a cut-out session",
         [](CanvasView& v) {
             v.setTool(Tool::cutOut);
             v.setCutOutSession(pendingCutOut());
         },
         false, false, true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        canvas.view.setTool(Tool::select);
        canvas.view.cancelCrop();
        canvas.view.setCutOutSession(std::nullopt);
        c.arrange(canvas.view);
        column.refresh();
        EXPECT_EQ(shown(column.applyCropButton()), c.crop);
        EXPECT_EQ(shown(column.cancelCropButton()), c.crop);
        EXPECT_EQ(shown(column.pinMeasureButton()), c.pin);
        for (ColumnButton* button : column.cutOutButtons()) {
            EXPECT_EQ(shown(button), c.cutOut) << button->title().toStdString();
            // No result yet: only "Annulla" acts.
            EXPECT_EQ(button->isEnabled(), button == column.cutOutButtons().back());
        }
        EXPECT_EQ(swatchesShown(), c.swatches);
        EXPECT_EQ(shown(column.separators()[0]), c.swatches);
        EXPECT_EQ(sliderShown(), c.slider);
        EXPECT_EQ(shown(column.measureLabel()), c.slider);
        EXPECT_EQ(shown(column.separators()[1]), c.slider);
    }
}

TEST_F(PropertyColumnTest, TheSwatchOfTheStyleColourIsSelectedAndAPressSetsTheColour)
{
    canvas.view.setSelection({uuid(10)});
    const std::vector<SwatchButton*>& swatches = column.swatches();
    ASSERT_EQ(swatches.size(), Palette::slotCount);
    for (SwatchButton* swatch : swatches)
        EXPECT_EQ(swatch->isSelected(), swatch->color() == arrow().style.strokeColor);

    canvas.editor.perform(u"Prova"_s, [](DocumentModel& doc) {
        doc.panels[0].annotations[0].style.arrowHeadColor = RGBAColor{0, 0, 1, 1};
    });
    SwatchButton* yellow = swatches[2];
    yellow->onPress();
    EXPECT_EQ(arrow().style.strokeColor, yellow->color());
    EXPECT_FALSE(arrow().style.arrowHeadColor);
    EXPECT_TRUE(yellow->isSelected());
    EXPECT_EQ(canvas.undo.undoActionName(), u"Cambia colore"_s);
}

TEST_F(PropertyColumnTest, AnInvalidPaletteShowsTheStandardColoursAndAChangeRebuildsThem)
{
    canvas.settings.set(setting::palette, Palette{std::vector<RGBAColor>(9, RGBAColor::black())});
    std::vector<RGBAColor> colors;
    for (SwatchButton* swatch : column.swatches())
        colors.push_back(swatch->color());
    EXPECT_EQ(colors, Palette::standard().colors);

    Palette mine = Palette::standard();
    mine[4] = RGBAColor::hex("#123456");
    canvas.settings.set(setting::palette, mine);
    EXPECT_EQ(column.swatches()[4]->color(), RGBAColor::hex("#123456"));
}

TEST_F(PropertyColumnTest, TheCutOutSliderSetsTheSensitivityInWholePercents)
{
    canvas.view.setTool(Tool::cutOut);
    canvas.view.setCutOutSensitivity(0.125);
    column.refresh();
    EXPECT_EQ(column.measureSlider()->value(), 1250);
    EXPECT_EQ(column.measureValue()->text(), u"13%"_s);
    EXPECT_EQ(column.measureLabel()->text(), u"Sensibilità"_s);
    EXPECT_EQ(column.measureLabel()->font().pointSizeF(), 9.5);
    EXPECT_FALSE(column.measure());

    column.measureSlider()->setValue(3740);
    EXPECT_DOUBLE_EQ(canvas.view.state().cutOutSensitivity, 0.37);
    EXPECT_EQ(column.measureValue()->text(), u"37%"_s);
    EXPECT_FALSE(canvas.undo.canUndo());
}

TEST_F(PropertyColumnTest, TheMeasureIsRoundedToItsStepAndNamedAfterItsTitle)
{
    canvas.editor.perform(u"Lente"_s, [](DocumentModel& doc) {
        doc.panels[0].annotations.push_back(
            Annotation::make(uuid(14), AnnotationKind::lens, {{40, 120}, {60, 120}, {80, 150}}));
    });
    canvas.view.setSelection({uuid(14)});
    ASSERT_TRUE(column.measure());
    EXPECT_EQ(column.measureLabel()->text(), u"Ingrandimento"_s);
    EXPECT_EQ(column.measureLabel()->font().pointSizeF(), 11);

    column.measureSlider()->setValue(340);
    const Annotation& lens = canvas.editor.model().panels[0].annotations.back();
    EXPECT_DOUBLE_EQ(lens.style.filterIntensity, 3.5);
    EXPECT_EQ(column.measureValue()->text(), u"3,5×"_s);
    EXPECT_EQ(canvas.undo.undoActionName(), u"Cambia ingrandimento"_s);
}

// Keys, the wheel and accessibility change the slider without holding it: each change is
// an undo step of its own and is kept as the tool's style, also when another edit follows.
TEST_F(PropertyColumnTest, ASliderChangedWithoutHoldingItMakesOneStepEach)
{
    canvas.view.setSelection({uuid(10)});
    const double before = arrow().style.lineWidth;
    QSlider& slider = *column.measureSlider();
    struct Change {
        const char* name;
        std::function<void()> act;
    };
    const Change changes[] = {
        {"key", [&] { QTest::keyClick(&slider, Qt::Key_Up); }},
        {"wheel",
         [&] {
             QWheelEvent wheel(QPointF(5, 50), slider.mapToGlobal(QPointF(5, 50)), {}, QPoint(0, 120), Qt::NoButton, {},
                               Qt::NoScrollPhase, false);
             QApplication::sendEvent(&slider, &wheel);
         }},
        {"accessibility", [&] { slider.setValue(slider.value() + 100); }},
    };
    double expected = before;
    for (const Change& change : changes) {
        SCOPED_TRACE(change.name);
        change.act();
        QApplication::processEvents();
        EXPECT_GT(arrow().style.lineWidth, expected);
        expected = arrow().style.lineWidth;
        EXPECT_EQ(canvas.settings.get(setting::toolStyles).at(AnnotationKind::arrow).lineWidth, expected);
        // Another edit neither reuses nor drops the change.
        canvas.editor.perform(u"Sposta"_s, [](DocumentModel& doc) { doc.panels[0].annotations[1].points[0].x += 1; });
        EXPECT_EQ(arrow().style.lineWidth, expected);
    }
    const std::vector<QString> steps = undoAll();
    EXPECT_EQ(std::count(steps.begin(), steps.end(), u"Cambia spessore"_s), 3);
    EXPECT_EQ(arrow().style.lineWidth, before);
}

TEST_F(PropertyColumnTest, ASliderDragIsOneStep)
{
    canvas.view.setSelection({uuid(10)});
    const double before = arrow().style.lineWidth;
    QSlider& slider = *column.measureSlider();
    slider.setSliderDown(true);
    for (int width : {6, 9, 12}) {
        slider.setValue(width * 100);
        EXPECT_EQ(arrow().style.lineWidth, width);
    }
    EXPECT_EQ(canvas.settings.get(setting::toolStyles).at(AnnotationKind::arrow).lineWidth, before);
    slider.setSliderDown(false);
    EXPECT_EQ(arrow().style.lineWidth, 12);
    EXPECT_EQ(canvas.settings.get(setting::toolStyles).at(AnnotationKind::arrow).lineWidth, 12);
    EXPECT_EQ(undoAll(), std::vector<QString>{u"Cambia spessore"_s});
    EXPECT_EQ(arrow().style.lineWidth, before);
}

TEST_F(PropertyColumnTest, OptionsOpenTheBarOrBeepWhenItHasNothingToShow)
{
    int beeps = 0;
    Beeper::Override sound([&] { ++beeps; });
    canvas.view.setTool(Tool::colorPicker);
    column.refresh();
    EXPECT_FALSE(column.optionsButton()->isEnabled());
    EXPECT_EQ(column.optionsButton()->toolTip(), u"Questo strumento non ha opzioni"_s);
    column.showOptions();
    EXPECT_EQ(beeps, 1);
    EXPECT_FALSE(column.popover()->isVisible());

    canvas.view.setSelection({uuid(10)});
    canvas.view.setTool(Tool::select);
    canvas.view.setSelection({uuid(10)});
    column.showOptions();
    EXPECT_TRUE(column.popover()->isVisible());
    EXPECT_EQ(column.propertyBar().parentWidget(), column.popover());
    EXPECT_EQ(beeps, 1);
    column.optionsButton()->onPress();
    EXPECT_FALSE(column.popover()->isVisible());
}

TEST_F(PropertyColumnTest, AButtonActsOnlyWhenReleasedOverItAndDragsOnlyWithAResult)
{
    canvas.view.setTool(Tool::cutOut);
    canvas.view.setCutOutSession(pendingCutOut());
    ColumnButton& cancel = *column.cutOutButtons().back();
    QTest::mousePress(&cancel, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&cancel, Qt::LeftButton, {}, QPoint(80, 10));
    EXPECT_TRUE(canvas.view.state().cutOutSession);
    QTest::mousePress(&cancel, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&cancel, Qt::LeftButton, {}, QPoint(12, 10));
    EXPECT_FALSE(canvas.view.state().cutOutSession);

    ColumnButton drag("hand.draw", u"Trascina"_s, {});
    int asked = 0;
    drag.dragData = [&]() -> std::optional<std::pair<QByteArray, QString>> {
        ++asked;
        return std::nullopt;
    };
    QTest::mousePress(&drag, Qt::LeftButton, {}, QPoint(10, 10));
    QMouseEvent move(QEvent::MouseMove, QPointF(20, 20), drag.mapToGlobal(QPointF(20, 20)), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(&drag, &move);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(drag.gesture().down, QPoint(10, 10));
    EXPECT_FALSE(drag.isPressed());
}

} // namespace
} // namespace vorlix
