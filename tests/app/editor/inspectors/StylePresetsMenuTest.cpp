#include "app/editor/inspectors/StylePresetsMenu.h"

#include "../canvas/CanvasFixture.h"

#include "app/support/Beeper.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace vorlix {
namespace {

using enum AnnotationKind;

Style styleWidth(double width)
{
    Style style = Style::defaults(arrow);
    style.lineWidth = width;
    return style;
}

// The canvas drawing arrows, its bar's preset pull-down, and the window dialogs open on.
struct PresetFixture : test::CanvasFixture {
    explicit PresetFixture(Tool tool = Tool::arrow)
    {
        view.setTool(tool);
        window.show();
    }

    void storePresets(AnnotationKind kind, const QStringList& names, std::optional<std::int64_t> selected)
    {
        StylePresetLibrary library = settings.get(setting::stylePresets);
        for (int i = 0; i < names.size(); ++i)
            library.save(styleWidth(i + 1), names[i], kind);
        library.select(selected, kind);
        settings.set(setting::stylePresets, library);
    }
    std::vector<StylePreset> presets(AnnotationKind kind = arrow) const
    {
        return settings.get(setting::stylePresets).presets(kind);
    }
    // The menu as the user sees it on opening: one line per item, "-" for a separator,
    // "(off)" after a disabled item, "[x]" before a checked one, submenus in brackets.
    static QStringList lines(const QMenu& menu)
    {
        QStringList out;
        for (QAction* action : menu.actions()) {
            if (action->isSeparator()) {
                out << u"-"_s;
                continue;
            }
            QString line = action->text();
            if (action->isChecked())
                line.prepend(u"[x] "_s);
            if (!action->isEnabled())
                line += u" (off)"_s;
            if (action->menu())
                line += u" ["_s + lines(*action->menu()).join(u", "_s) + u"]"_s;
            out << line;
        }
        return out;
    }
    QMenu& openedMenu(AnnotationKind kind)
    {
        popup = presetMenu.makePopup(kind);
        emit popup->menu()->aboutToShow();
        return *popup->menu();
    }
    QAction* item(QMenu& menu, const QString& text)
    {
        for (QAction* action : menu.actions()) {
            if (action->text() == text)
                return action;
            if (action->menu())
                if (QAction* inner = item(*action->menu(), text))
                    return inner;
        }
        return nullptr;
    }
    QDialog* dialog() { return window.findChild<QDialog*>(); }
    void answer(const std::optional<QString>& text)
    {
        QDialog* d = dialog();
        ASSERT_NE(d, nullptr);
        if (text)
            d->findChild<QLineEdit*>()->setText(*text);
        // The confirming button comes first, "Annulla" second.
        const QList<QPushButton*> buttons = d->findChildren<QPushButton*>();
        ASSERT_EQ(buttons.size(), 2);
        buttons[text ? 0 : 1]->click();
        test::runDeferredDeletes();
    }
    QStringList dialogTexts()
    {
        QStringList texts;
        for (QLabel* label : dialog()->findChildren<QLabel*>())
            texts << label->text();
        return texts;
    }

    QWidget window;
    StylePresetMenu presetMenu{&view, settings, &window};
    QPointer<QToolButton> popup;
};

TEST(StylePresetMenu, TitleNamesTheSelectedPresetAndSaysWhenTheStyleDiffers)
{
    StylePresetLibrary library;
    library.save(styleWidth(2), u"Sottile"_s, arrow);
    library.save(styleWidth(8), u"Spessa"_s, arrow);
    struct Case {
        std::optional<std::int64_t> selected;
        std::optional<Style> edited;
        QString expected;
    };
    const Case cases[] = {
        {std::nullopt, styleWidth(2), u"Preset"_s},
        {0, styleWidth(2), u"Sottile"_s},
        {0, styleWidth(3), u"Sottile (modificato)"_s},
        {1, std::nullopt, u"Spessa"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected.toStdString());
        library.select(c.selected, arrow);
        EXPECT_EQ(presetTitle(library, arrow, c.edited), c.expected);
    }
    EXPECT_EQ(presetTitle(library, line, styleWidth(8)), u"Preset"_s); // presets are per kind
}

TEST(StylePresetMenu, NewPresetsAreOfferedTheKindsNameAndTheNextNumber)
{
    EXPECT_EQ(defaultPresetName(arrow, 3), u"Freccia 4"_s);
    EXPECT_EQ(defaultPresetName(pencil, 0), u"Tratto a mano 1"_s);
}

TEST(StylePresetMenu, MenuListsPresetsTextStylesAndCommands)
{
    struct Case {
        AnnotationKind kind;
        QStringList stored;
        std::optional<std::int64_t> selected;
        QStringList expected;
    };
    const Case cases[] = {
        {arrow, {}, std::nullopt, {u"Salva lo stile attuale…"_s, u"Aggiorna lo stile attuale (off)"_s}},
        {text,
         {},
         std::nullopt,
         {u"Stili pronti (off)"_s, u"    Titolo"_s, u"    Normale"_s, u"    Etichetta"_s, u"    Nota"_s,
          u"    Con contorno"_s, u"-"_s, u"Salva lo stile attuale…"_s, u"Aggiorna lo stile attuale (off)"_s}},
        {arrow,
         {u"Uno"_s, u"Due"_s, u"Tre"_s},
         1,
         {u"Uno\t1"_s, u"[x] Due\t2"_s, u"Tre\t3"_s, u"-"_s, u"Salva lo stile attuale…"_s,
          u"Aggiorna lo stile attuale"_s, u"Rinomina [Uno…, Due…, Tre…]"_s, u"Elimina [Uno, Due, Tre]"_s}},
        {callout,
         {u"Uno"_s},
         std::nullopt,
         {u"Uno\t1"_s, u"-"_s, u"Stili pronti (off)"_s, u"    Titolo"_s, u"    Normale"_s, u"    Etichetta"_s,
          u"    Nota"_s, u"    Con contorno"_s, u"-"_s, u"Salva lo stile attuale…"_s,
          u"Aggiorna lo stile attuale (off)"_s, u"Rinomina [Uno…]"_s, u"Elimina [Uno]"_s}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected.join(u" | "_s).toStdString());
        PresetFixture fixture;
        fixture.storePresets(c.kind, c.stored, c.selected);
        EXPECT_EQ(PresetFixture::lines(fixture.openedMenu(c.kind)), c.expected);
    }
}

TEST(StylePresetMenu, UpdateItemSaysWhichPresetItWouldChange)
{
    PresetFixture fixture;
    fixture.storePresets(arrow, {u"Uno"_s, u"Due"_s}, std::nullopt);
    QMenu& menu = fixture.openedMenu(arrow);
    EXPECT_EQ(fixture.item(menu, u"Aggiorna lo stile attuale"_s)->toolTip(),
              u"Prima scegli un preset: poi qui lo aggiorni con le impostazioni attuali"_s);
    fixture.storePresets(arrow, {}, 1);
    emit menu.aboutToShow();
    EXPECT_EQ(fixture.item(menu, u"Aggiorna lo stile attuale"_s)->toolTip(),
              u"Mette le impostazioni attuali nel preset «Due»"_s);
}

TEST(StylePresetMenu, MenuIsFilledAgainOnEveryOpening)
{
    PresetFixture fixture;
    QMenu& menu = fixture.openedMenu(arrow);
    fixture.storePresets(arrow, {u"Da un'altra finestra"_s}, std::nullopt); // saved elsewhere
    emit menu.aboutToShow();
    EXPECT_NE(fixture.item(menu, u"Da un'altra finestra\t1"_s), nullptr);
    emit menu.aboutToShow();
    test::runDeferredDeletes();
    EXPECT_EQ(menu.findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly).size(),
              2); // one "Rinomina", one "Elimina"
}

TEST(StylePresetMenu, ChoosingAPresetAppliesItAndTheTitleFollowsTheStyle)
{
    PresetFixture fixture;
    fixture.storePresets(arrow, {u"Uno"_s, u"Due"_s, u"Tre"_s}, std::nullopt);
    QMenu& menu = fixture.openedMenu(arrow);
    EXPECT_EQ(fixture.popup->text(), u"Preset"_s);

    fixture.item(menu, u"Due\t2"_s)->trigger();
    EXPECT_EQ(fixture.view.style(arrow).lineWidth, 2);
    fixture.presetMenu.refreshTitle();
    EXPECT_EQ(fixture.popup->text(), u"Due"_s);

    fixture.view.changeStyle(u"Cambia spessore"_s, false, [](Style& s) { s.lineWidth = 7; });
    fixture.presetMenu.refreshTitle();
    EXPECT_EQ(fixture.popup->text(), u"Due (modificato)"_s);
    emit menu.aboutToShow();
    EXPECT_TRUE(fixture.item(menu, u"Due\t2"_s)->isChecked());
}

TEST(StylePresetMenu, TextStyleIsOneNamedStep)
{
    PresetFixture fixture(Tool::select);
    fixture.view.setSelection({test::uuid(12)}); // the text
    QMenu& menu = fixture.openedMenu(text);
    fixture.item(menu, u"    Nota"_s)->trigger();
    EXPECT_EQ(fixture.undo.undoActionName(), u"Stile Nota"_s);
    Style expected = Style::defaults(text);
    apply(TextPreset::note, expected);
    EXPECT_EQ(fixture.annotationAt(2).style.fontSize, expected.fontSize);
    fixture.undo.undo();
    EXPECT_FALSE(fixture.undo.canUndo());
}

TEST(StylePresetMenu, SavingAsksForANameAndStoresTheCurrentStyle)
{
    PresetFixture fixture;
    fixture.storePresets(arrow, {u"Uno"_s, u"Due"_s, u"Tre"_s}, std::nullopt);
    fixture.view.changeStyle(u"Cambia spessore"_s, false, [](Style& s) { s.lineWidth = 9; });
    QMenu& menu = fixture.openedMenu(arrow);

    fixture.item(menu, u"Salva lo stile attuale…"_s)->trigger();
    ASSERT_NE(fixture.dialog(), nullptr);
    EXPECT_TRUE(fixture.dialogTexts().contains(u"Salva preset"_s));
    EXPECT_EQ(fixture.dialog()->findChild<QLineEdit*>()->text(), u"Freccia 4"_s);
    fixture.answer(std::nullopt);
    EXPECT_EQ(fixture.presets().size(), 3u);
    EXPECT_TRUE(fixture.view.hasFocus() || !fixture.view.isActiveWindow());

    fixture.item(menu, u"Salva lo stile attuale…"_s)->trigger();
    fixture.answer(u"  Larga  "_s);
    ASSERT_EQ(fixture.presets().size(), 4u);
    EXPECT_EQ(fixture.presets()[3], (StylePreset{u"Larga"_s, fixture.view.style(arrow)}));
    EXPECT_EQ(fixture.popup->text(), u"Larga"_s);
}

TEST(StylePresetMenu, UpdatingWritesTheCurrentStyleIntoTheSelectedPreset)
{
    PresetFixture fixture;
    int beeps = 0;
    Beeper::Override countBeeps{[&] { ++beeps; }};
    fixture.storePresets(arrow, {u"Uno"_s, u"Due"_s}, std::nullopt);
    QMenu& menu = fixture.openedMenu(arrow);

    fixture.presetMenu.updateStylePreset(arrow); // nothing selected
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(fixture.presets()[1].style, styleWidth(2));

    fixture.item(menu, u"Due\t2"_s)->trigger();
    fixture.view.changeStyle(u"Cambia spessore"_s, false, [](Style& s) { s.lineWidth = 5; });
    emit menu.aboutToShow();
    fixture.item(menu, u"Aggiorna lo stile attuale"_s)->trigger();
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(fixture.presets()[1].style, fixture.view.style(arrow));
    EXPECT_EQ(fixture.presets()[0].style, styleWidth(1));
    EXPECT_EQ(fixture.popup->text(), u"Due"_s);
}

TEST(StylePresetMenu, RenamingKeepsTheKeyAndRefusesABadName)
{
    PresetFixture fixture;
    int beeps = 0;
    Beeper::Override countBeeps{[&] { ++beeps; }};
    fixture.storePresets(arrow, {u"Uno"_s, u"Due"_s, u"Tre"_s}, 2);
    QMenu& menu = fixture.openedMenu(arrow);

    fixture.item(menu, u"Tre…"_s)->trigger();
    ASSERT_NE(fixture.dialog(), nullptr);
    EXPECT_TRUE(fixture.dialogTexts().contains(u"Il nuovo nome del preset (il tasto 3 resta lo stesso)."_s));
    EXPECT_EQ(fixture.dialog()->findChild<QLineEdit*>()->text(), u"Tre"_s);
    fixture.answer(u"Terza"_s);
    EXPECT_EQ(fixture.presets()[2].name, u"Terza"_s);
    EXPECT_EQ(fixture.popup->text(), u"Terza (modificato)"_s); // the arrow tool is not drawing with it

    emit menu.aboutToShow();
    fixture.item(menu, u"Uno…"_s)->trigger();
    fixture.answer(u"Due"_s); // taken by another preset of the kind
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(fixture.presets()[0].name, u"Uno"_s);

    fixture.presetMenu.renameStylePreset(arrow, 3); // no such preset: no dialog
    EXPECT_EQ(fixture.dialog(), nullptr);
}

TEST(StylePresetMenu, DeletingNeedsNoConfirmation)
{
    PresetFixture fixture;
    fixture.storePresets(arrow, {u"Uno"_s, u"Due"_s}, 0);
    QMenu& menu = fixture.openedMenu(arrow);
    QMenu* remove = fixture.item(menu, u"Elimina"_s)->menu();
    ASSERT_NE(remove, nullptr);
    fixture.item(*remove, u"Uno"_s)->trigger();
    ASSERT_EQ(fixture.presets().size(), 1u);
    EXPECT_EQ(fixture.presets()[0].name, u"Due"_s);
    EXPECT_EQ(fixture.dialog(), nullptr);
    EXPECT_EQ(fixture.popup->text(), u"Preset"_s);
}

} // namespace
} // namespace vorlix
