#include "../canvas/DocumentCanvas.h"

#include "support/ModelBuilders.h"

#include "app/editor/inspectors/ClosureControls.h"
#include "app/editor/inspectors/PropertyBar.h"
#include "app/editor/inspectors/SegmentedControl.h"
#include "app/editor/inspectors/SwatchButton.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;
using namespace Qt::StringLiterals;

namespace {

// A bar over the fixture's canvas, refreshed on every change of the canvas as the editor
// window does.
struct BarCanvas : DocumentCanvas {
    BarCanvas()
    {
        undo().setGroupsByEvent(false);
        view->onStateChange = [this] { bar.refresh(); };
        bar.onCommand = [this](const QString& command) { commands << command; };
        bar.refresh();
    }
    // The caption field of the selected panel, being typed in.
    QLineEdit* focusedCaption()
    {
        bar.show();
        bar.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&bar));
        bar.captionField()->setFocus();
        EXPECT_TRUE(bar.captionField()->hasFocus());
        return bar.captionField();
    }
    QUuid panelID(std::size_t i) { return editor().model().panels.at(i).id; }
    void addPanels(int count)
    {
        for (int i = 0; i < count; ++i)
            document.addImage(solidPng(Qt::gray, 200, 100), u"png"_s, 1, u"Aggiungi"_s);
        undo().removeAllActions();
    }

    // What the bar shows now (rows dropped by a rebuild are gone).
    template <class W>
    QList<W*> shown()
    {
        runDeferredDeletes();
        return bar.findChildren<W*>();
    }
    template <class W>
    W* withText(const QString& text)
    {
        for (W* widget : shown<W>())
            if (widget->text() == text)
                return widget;
        return nullptr;
    }
    QStringList labelTexts()
    {
        QStringList texts;
        for (QLabel* label : shown<QLabel>())
            texts << label->text();
        return texts;
    }
    SegmentedControl* segmentedWith(const QString& firstTip)
    {
        for (SegmentedControl* control : shown<SegmentedControl>())
            if (control->count() > 0 &&
                (control->segment(0)->toolTip() == firstTip || control->segment(0)->text() == firstTip))
                return control;
        return nullptr;
    }
    Panel selectedPanel() { return *view->selectedPanelModel(); }

    PropertyBar bar{*view, settings};
    QStringList commands;
};

using Mode = PropertyBar::Mode;

TEST_F(BarCanvas, ShowsWhatTheCanvasWorksOn)
{
    struct Case {
        const char* name;
        std::function<void()> setUp;
        Mode mode;
        bool crop;
        bool hidden;
        const char* someLabel;
    };
    const Case cases[] = {
        {"nothing selected", [] {}, Mode::document, false, false, "Sfondo"},
        {"a panel", [this] { view->setSelectedPanel(panelID(0)); }, Mode::panel, false, false, "Pannello 1 di 1"},
        {"a crop of the panel", [this] { view->setTool(Tool::crop); }, Mode::style, true, false, "Ritaglio"},
        {"the crop ended", [this] { bar.cancelCrop(); }, Mode::document, false, false, "Sfondo"},
        {"a drawing tool", [this] { view->setTool(Tool::arrow); }, Mode::style, false, false, nullptr},
        {"a tool without style", [this] { view->setTool(Tool::ocr); }, Mode::style, false, true, nullptr},
        {"a panel again",
         [this] {
             view->setTool(Tool::select);
             view->setSelectedPanel(panelID(0));
         },
         Mode::panel, false, false, "Pannello 1 di 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.setUp();
        bar.refresh();
        EXPECT_EQ(bar.mode(), c.mode);
        EXPECT_EQ(bar.isShowingCrop(), c.crop);
        EXPECT_EQ(bar.isHidden(), c.hidden);
        if (c.someLabel) {
            EXPECT_TRUE(labelTexts().contains(QString::fromUtf8(c.someLabel))) << labelTexts().join(u'|').toStdString();
        }
    }
}

TEST_F(BarCanvas, CropBarShowsTheTruncatedSizeAndTheRememberedProportion)
{
    view->setCropAspect(CropAspect::sixteenNine);
    view->setSelectedPanel(panelID(0));
    view->setTool(Tool::crop);
    ASSERT_TRUE(bar.isShowingCrop());
    const QList<QComboBox*> popups = shown<QComboBox>();
    ASSERT_EQ(popups.size(), 1);
    EXPECT_EQ(popups[0]->currentText(), u"16:9"_s);

    view->setCropRect(Rect{10.9, 0, 250.99, 120.5});
    EXPECT_EQ(bar.cropSizeLabel()->text(), u"250 × 120 px"_s);
    withText<QPushButton>(u"Immagine intera"_s)->click();
    EXPECT_EQ(bar.cropSizeLabel()->text(), u"400 × 300 px"_s);

    // Return is the canvas's: "Applica" never takes it.
    QPushButton* apply = withText<QPushButton>(u"Applica"_s);
    EXPECT_FALSE(apply->isDefault());
    EXPECT_FALSE(apply->autoDefault());

    popups[0]->setCurrentIndex(3);
    emit popups[0]->activated(3);
    EXPECT_EQ(view->state().cropAspect, CropAspect::fourThree);

    view->setCropRect(Rect{0, 0, 200, 150});
    apply->click();
    EXPECT_FALSE(bar.isShowingCrop());
    EXPECT_EQ(editor().model().panels[0].crop, (Rect{0, 0, 200, 150}));
    EXPECT_EQ(undoNames(), std::vector<QString>{u"Ritaglia"_s});
}

TEST_F(BarCanvas, PanelRowsFollowTheSelectedPanelWithoutRebuilding)
{
    addPanels(2);
    view->setSelectedPanel(panelID(1));
    EXPECT_TRUE(labelTexts().contains(u"Pannello 2 di 3"_s));
    const std::vector<QWidget*> rows = bar.rowWidgets();
    view->setSelectedPanel(panelID(0));
    EXPECT_TRUE(labelTexts().contains(u"Pannello 1 di 3"_s));
    EXPECT_EQ(bar.rowWidgets(), rows);
    EXPECT_TRUE(withText<QPushButton>(u"Rimuovi"_s)->isEnabled());

    withText<QPushButton>(u"Rimuovi"_s)->click();
    ASSERT_EQ(editor().model().panels.size(), 2u);
    EXPECT_EQ(undoNames(), std::vector<QString>{u"Rimuovi pannello"_s});

    QToolButton* rotate = nullptr;
    view->setSelectedPanel(panelID(0));
    for (QToolButton* button : shown<QToolButton>())
        if (button->toolTip().startsWith(u"Ruota a sinistra"_s))
            rotate = button;
    ASSERT_NE(rotate, nullptr);
    rotate->click();
    EXPECT_EQ(commands, QStringList{u"rotateLeft"_s});
}

TEST_F(BarCanvas, PanelControlsAppearOnlyWhereThePanelHasSomethingForThem)
{
    view->setSelectedPanel(panelID(0));
    const auto controls = [this] {
        struct {
            bool removeEnabled, restoreEnabled, cutMarkShown, cursorShown;
        } s{withText<QPushButton>(u"Rimuovi"_s)->isEnabled(),
            withText<QPushButton>(u"Ripristina strisce"_s)->isEnabled(), !segmentedWith(u"Fulmine"_s)->isHidden(),
            !withText<ClosureCheckbox>(u"Cursore"_s)->isHidden()};
        return s;
    };
    auto plain = controls();
    EXPECT_FALSE(plain.removeEnabled); // the last panel stays
    EXPECT_FALSE(plain.restoreEnabled);
    EXPECT_FALSE(plain.cutMarkShown);
    EXPECT_FALSE(plain.cursorShown);
    EXPECT_TRUE(withText<ClosureCheckbox>(u"Clic"_s)->isHidden());

    const QUuid id = panelID(0);
    editor().perform(u"Prepara"_s, [id](DocumentModel& doc) {
        Panel& panel = *findPanel(doc, id);
        panel.removedStrips.push_back(RemovedStrip{.axis = RemovedStrip::Axis::rows, .lower = 100, .upper = 150});
        panel.cursor = CursorElement{.position = {10, 10}, .imageID = uuid(99), .hotspot = {}};
    });
    undo().removeAllActions();
    bar.refresh();
    auto rich = controls();
    EXPECT_TRUE(rich.restoreEnabled);
    EXPECT_TRUE(rich.cutMarkShown);
    EXPECT_TRUE(rich.cursorShown);

    withText<ClosureCheckbox>(u"Clic"_s)->click();
    EXPECT_TRUE(selectedPanel().cursor->showsClick);
    segmentedWith(u"Fulmine"_s)->segment(1)->click();
    EXPECT_EQ(editor().model().cutMark, CutMark::zigzag);
    withText<QPushButton>(u"Ripristina strisce"_s)->click();
    EXPECT_TRUE(selectedPanel().removedStrips.empty());
    EXPECT_EQ(undoNames(),
              (std::vector<QString>{u"Ripristina strisce"_s, u"Cambia segno del taglio"_s, u"Mostra il clic"_s}));
}

TEST_F(BarCanvas, TypingACaptionIsOneStep)
{
    view->setSelectedPanel(panelID(0));
    QLineEdit* caption = focusedCaption();
    QTest::keyClicks(caption, u"Passo uno"_s);
    EXPECT_EQ(selectedPanel().caption, u"Passo uno"_s);
    QTest::keyClick(caption, Qt::Key_Return);
    EXPECT_EQ(undoNames(), std::vector<QString>{u"Cambia didascalia"_s});

    // Emptying the field takes the caption away.
    caption->selectAll();
    QTest::keyClick(caption, Qt::Key_Delete);
    QTest::keyClick(caption, Qt::Key_Return);
    EXPECT_EQ(selectedPanel().caption, std::nullopt);
}

TEST_F(BarCanvas, ACaptionBeingTypedSurvivesOtherEditsMeanwhile)
{
    view->setSelectedPanel(panelID(0));
    QLineEdit* caption = focusedCaption();
    QTest::keyClicks(caption, u"Ab"_s);

    // Other edits while the field is being typed in: a command and a control of the bar.
    editor().perform(u"Ruota a destra"_s, [](DocumentModel& doc) { doc.panels[0].orientation.quarterTurns += 1; });
    EXPECT_EQ(selectedPanel().caption, u"Ab"_s);
    view->changeDocument(u"Cambia margine"_s, false, [](DocumentModel& doc) { doc.padding = 30; });
    EXPECT_EQ(selectedPanel().caption, u"Ab"_s);

    QTest::keyClicks(caption, u"c"_s);
    EXPECT_EQ(selectedPanel().caption, u"Abc"_s);
    // Undo, as the window does it: the typing so far becomes a step, which is taken back …
    view->endContinuousChange();
    undo().undo();
    EXPECT_EQ(selectedPanel().caption, u"Ab"_s);
    QTest::keyClick(caption, Qt::Key_Return);
    // … but leaving the field stores what it shows.
    EXPECT_EQ(caption->text(), u"Abc"_s);
    EXPECT_EQ(selectedPanel().caption, u"Abc"_s);
    EXPECT_EQ(editor().model().padding, 30);
}

TEST_F(BarCanvas, DocumentRowsEditTheDocumentAndFollowThePalette)
{
    const auto selectedSwatches = [this] {
        QStringList tips;
        for (SwatchButton* swatch : shown<SwatchButton>())
            if (swatch->isSelected())
                tips << swatch->toolTip();
        return tips;
    };
    EXPECT_EQ(selectedSwatches(), QStringList{u"Trasparente"_s});
    const RGBAColor fourth = Palette::standard()[3];
    for (SwatchButton* swatch : shown<SwatchButton>())
        if (swatch->color() == fourth)
            QTest::mouseClick(swatch, Qt::LeftButton);
    EXPECT_EQ(editor().model().background, CanvasBackground{ColorBackground{fourth}});
    EXPECT_EQ(selectedSwatches(), QStringList{fourth.hexString()});

    // A drag of "Margine" is one step; refreshes meanwhile leave the knob alone.
    ClosureSlider* margin = nullptr;
    for (ClosureSlider* slider : shown<ClosureSlider>())
        if (slider->toolTip() == u"Margine"_s)
            margin = slider;
    ASSERT_NE(margin, nullptr);
    margin->setSliderDown(true);
    for (const int value : {10, 20, 40})
        margin->setValue(value * int(ValueSlider::ticksPerUnit));
    EXPECT_EQ(editor().model().padding, 40);
    EXPECT_EQ(margin->valueLabel()->text(), u"40"_s);
    margin->setSliderDown(false);

    segmentedWith(u"In colonna (uno sotto l'altro)"_s)->segment(2)->click();
    EXPECT_EQ(editor().model().layout.mode, PanelLayout::Mode::grid);
    EXPECT_EQ(undoNames(), (std::vector<QString>{u"Cambia disposizione"_s, u"Cambia margine"_s, u"Cambia sfondo"_s}));

    // A new palette rebuilds the swatches in its colours.
    Palette mine = Palette::standard();
    mine[3] = RGBAColor::hex("#0A0B0C");
    settings.set(setting::palette, mine);
    QStringList tips;
    for (SwatchButton* swatch : shown<SwatchButton>())
        tips << swatch->toolTip();
    EXPECT_TRUE(tips.contains(u"#0A0B0C"_s));
    EXPECT_FALSE(tips.contains(fourth.hexString()));
    EXPECT_EQ(bar.mode(), Mode::document);

    withText<QPushButton>(u"Riordina"_s)->click();
    EXPECT_EQ(commands, QStringList{u"arrangePanels"_s});
}

TEST_F(BarCanvas, UpdatingAPresetNeedsAKindWithASelectedPreset)
{
    StylePresetLibrary library;
    library.save(Style::defaults(AnnotationKind::arrow), u"Rossa"_s, AnnotationKind::arrow);
    settings.set(setting::stylePresets, library);
    struct Case {
        QVariant kind;
        bool enabled;
    };
    const Case cases[] = {
        {QVariant(u"arrow"_s), true},
        {QVariant(u"rectangle"_s), false},
        {QVariant(u"nessuno"_s), false},
        {QVariant(3), false},
        {QVariant(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind.toString().toStdString());
        EXPECT_EQ(bar.canUpdateStylePreset(c.kind), c.enabled);
    }
}

} // namespace
