#include "../canvas/CanvasFixture.h"

#include "app/editor/inspectors/ClosureControls.h"
#include "app/editor/inspectors/PropertyBar.h"
#include "app/editor/inspectors/SegmentedControl.h"
#include "app/editor/inspectors/StyleBinding.h"
#include "app/editor/inspectors/ValueSlider.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;
using namespace Qt::StringLiterals;

namespace {

// The fixture's rectangle selected, so that style changes reach the document.
struct SelectedRectangle : CanvasFixture {
    SelectedRectangle() { view.setSelection({uuid(11)}); }

    const Style& rectangleStyle() const { return editor.model().panels[0].annotations[1].style; }
    std::vector<QString> undoNames()
    {
        std::vector<QString> names;
        while (undo.canUndo()) {
            names.push_back(undo.undoActionName());
            undo.undo();
        }
        while (undo.canRedo())
            undo.redo();
        return names;
    }
    CanvasView::StyleContext contextWith(void (*change)(Style&))
    {
        CanvasView::StyleContext context = *view.styleContext();
        change(context.style);
        return context;
    }
};

TEST(SliderBinding, SnapsToItsStepShowsTheValueAndWritesIt)
{
    struct Case {
        double step;
        double sliderValue;
        double written;
        const char* shown;
    };
    const Case cases[] = {
        {0.05, 0.33, 0.35, "0"},
        {0.5, 2.74, 2.5, "3"},
        {1, 12.4, 12, "12"},
        {2, 2.99, 2, "2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.step << " " << c.sliderValue);
        SelectedRectangle canvas;
        ValueSlider slider(0, 50);
        QLabel label;
        SliderBinding binding(&canvas.view, u"Cambia spessore"_s, &slider, &label, &Style::lineWidth, c.step);
        slider.setValueQuietly(c.sliderValue);
        binding.changed();
        EXPECT_EQ(label.text(), QString::fromLatin1(c.shown));
        EXPECT_DOUBLE_EQ(canvas.rectangleStyle().lineWidth, c.written);
        EXPECT_EQ(canvas.undoNames(), std::vector<QString>{u"Cambia spessore"_s});
    }
}

TEST(SliderBinding, ADragIsOneStepAndEachArrowKeyIsOne)
{
    SelectedRectangle canvas;
    ValueSlider slider(1, 30);
    QLabel label;
    SliderBinding binding(&canvas.view, u"Cambia spessore"_s, &slider, &label, &Style::lineWidth, 1);
    binding.update(*canvas.view.styleContext());

    slider.setSliderDown(true);
    for (const double value : {2.0, 5.0, 8.0, 10.0})
        slider.setValue(int(value * ValueSlider::ticksPerUnit));
    EXPECT_DOUBLE_EQ(canvas.rectangleStyle().lineWidth, 10);
    slider.setSliderDown(false);
    EXPECT_EQ(canvas.undoNames(), std::vector<QString>{u"Cambia spessore"_s});

    slider.setFocus();
    QTest::keyClick(&slider, Qt::Key_Right);
    QTest::keyClick(&slider, Qt::Key_Right);
    EXPECT_DOUBLE_EQ(canvas.rectangleStyle().lineWidth, 12);
    EXPECT_EQ(canvas.undoNames().size(), 3u);
}

TEST(SliderBinding, RefreshLeavesAHeldKnobButTheLabelFollowsTheStyle)
{
    SelectedRectangle canvas;
    ValueSlider slider(0, 50);
    QLabel label;
    SliderBinding binding(&canvas.view, u"Cambia spessore"_s, &slider, &label, &Style::lineWidth, 1);

    binding.update(canvas.contextWith([](Style& s) { s.lineWidth = 12.4; }));
    EXPECT_DOUBLE_EQ(slider.value(), 12.4);
    EXPECT_EQ(label.text(), u"12"_s);

    slider.setSliderDown(true);
    slider.setValueQuietly(20);
    binding.update(canvas.contextWith([](Style& s) { s.lineWidth = 7; }));
    EXPECT_DOUBLE_EQ(slider.value(), 20);
    EXPECT_EQ(label.text(), u"7"_s);
}

TEST(StyleBinding, WithoutACanvasAChangeWritesNothing)
{
    SelectedRectangle canvas;
    const DocumentModel before = canvas.editor.model();
    ValueSlider slider(0, 50);
    QLabel label;
    SliderBinding binding(nullptr, u"Cambia spessore"_s, &slider, &label, &Style::lineWidth, 1);
    slider.setValueQuietly(9.2);
    binding.changed();
    EXPECT_EQ(label.text(), u"9"_s);
    EXPECT_EQ(canvas.editor.model(), before);
}

TEST(StyleBinding, ToggleChoiceAndPopupWriteWhatTheUserPicksAndShowTheStyle)
{
    SelectedRectangle canvas;
    QCheckBox box;
    ToggleBinding toggle(&canvas.view, u"Tratteggio"_s, &box, &Style::dashed);
    box.click();
    EXPECT_TRUE(canvas.rectangleStyle().dashed);
    toggle.update(canvas.contextWith([](Style& s) { s.dashed = false; }));
    EXPECT_FALSE(box.isChecked());

    const IndexAccess fill{.get = [](const Style& s) { return int(s.fill); },
                           .set = [](Style& s, int i) { s.fill = FillMode(i); }};
    SegmentedControl segments;
    for (const char* title : {"Nessuno", "Pieno", "Velato"})
        segments.addSegment(QString::fromLatin1(title));
    ChoiceBinding choice(&canvas.view, u"Cambia riempimento"_s, &segments, fill);
    segments.segment(2)->click();
    EXPECT_EQ(canvas.rectangleStyle().fill, FillMode::translucent);
    choice.update(canvas.contextWith([](Style& s) { s.fill = FillMode::solid; }));
    EXPECT_EQ(segments.selectedSegment(), 1);
    // No segment selected counts as the first.
    segments.setSelectedSegment(-1);
    choice.changed();
    EXPECT_EQ(canvas.rectangleStyle().fill, FillMode::none);

    QComboBox popup;
    popup.addItems({u"Nessuno"_s, u"Pieno"_s, u"Velato"_s});
    PopupBinding picker(&canvas.view, u"Cambia riempimento"_s, &popup, fill);
    popup.setCurrentIndex(1);
    emit popup.activated(1);
    EXPECT_EQ(canvas.rectangleStyle().fill, FillMode::solid);
    picker.update(canvas.contextWith([](Style& s) { s.fill = FillMode::translucent; }));
    EXPECT_EQ(popup.currentIndex(), 2);

    EXPECT_EQ(canvas.undoNames(), (std::vector<QString>{u"Cambia riempimento"_s, u"Cambia riempimento"_s,
                                                        u"Cambia riempimento"_s, u"Tratteggio"_s}));
}

TEST(FontPopup, OffersTheSystemFontFirstAndShowsItForAnUnlistedFamily)
{
    SelectedRectangle canvas;
    canvas.view.setSelection({uuid(12)}); // the text
    PropertyBar bar(canvas.view, canvas.settings);
    bar.refresh();
    const std::unique_ptr<QComboBox> popup(bar.fontPopup());
    const std::vector<std::optional<QString>>& families = PropertyBar::fontFamilies();
    ASSERT_FALSE(families.empty());
    EXPECT_EQ(families.front(), std::nullopt);
    EXPECT_EQ(popup->itemText(0), u"Sistema"_s);
    EXPECT_EQ(popup->count(), int(families.size()));

    canvas.view.changeStyle(u"Cambia carattere"_s, false, [](Style& s) { s.fontName = u"Nessuna famiglia"_s; });
    popup->setCurrentIndex(popup->count() - 1);
    bar.refresh();
    EXPECT_EQ(popup->currentIndex(), 0);

    if (families.size() > 1) {
        popup->setCurrentIndex(1);
        emit popup->activated(1);
        EXPECT_EQ(canvas.editor.model().panels[0].annotations[2].style.fontName, families[1]);
    }
}

TEST(ClosureSlider, ReportsWholeValuesContinuousWhileHeldAndShowsModelValuesUnlessHeld)
{
    std::vector<std::pair<double, bool>> calls;
    ClosureSlider slider(0, 120, [&](double value, bool continuous) { calls.emplace_back(value, continuous); });
    QLabel label;
    slider.setValueLabel(&label);

    slider.setSliderDown(true);
    slider.setValue(int(10.4 * ValueSlider::ticksPerUnit));
    slider.setSliderDown(false);
    EXPECT_EQ(calls, (std::vector<std::pair<double, bool>>{{10, true}, {10, false}}));
    EXPECT_EQ(label.text(), u"10"_s);

    slider.showValue(40.5);
    EXPECT_DOUBLE_EQ(slider.value(), 40.5);
    EXPECT_EQ(label.text(), u"41"_s);
    slider.setSliderDown(true);
    slider.showValue(80);
    EXPECT_DOUBLE_EQ(slider.value(), 40.5);
    EXPECT_EQ(label.text(), u"80"_s);
    EXPECT_EQ(calls.size(), 2u); // showing a value reports nothing
}

} // namespace
