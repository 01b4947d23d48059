#include "../canvas/CanvasFixture.h"

#include "app/editor/inspectors/PropertyBar.h"
#include "app/editor/inspectors/SegmentedControl.h"
#include "app/editor/inspectors/StyleRowTable.h"
#include "app/editor/inspectors/ValueSlider.h"
#include "core/document/DocumentAnnotations.h"
#include "core/model/Tool.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace vorlix {
namespace {

using enum AnnotationKind;

const QUuid addedID = test::uuid(40);

std::optional<Tool> toolFor(AnnotationKind kind)
{
    for (Tool tool : allTools())
        if (annotationKind(tool) == kind)
            return tool;
    return std::nullopt;
}

// The widgets of a row, in order.
std::vector<QWidget*> itemsOf(QWidget* row)
{
    std::vector<QWidget*> items;
    for (int i = 0; i < row->layout()->count(); ++i)
        if (QWidget* widget = row->layout()->itemAt(i)->widget())
            items.push_back(widget);
    return items;
}

// An item as the user reads it, in the words `describe` uses for the table's items.
QString shownAs(QWidget* item)
{
    if (auto* box = qobject_cast<QCheckBox*>(item))
        return box->text();
    if (auto* control = qobject_cast<SegmentedControl*>(item)) {
        QStringList segments;
        for (int i = 0; i < control->count(); ++i)
            segments << (control->segment(i)->text().isEmpty() ? control->segment(i)->toolTip()
                                                               : control->segment(i)->text());
        return segments.join(u'/');
    }
    if (auto* popup = qobject_cast<QComboBox*>(item))
        return popup->toolTip() == u"Carattere"_s ? u"[carattere]"_s : u"[sfondo]"_s;
    if (qobject_cast<QSpinBox*>(item))
        return u"[parti da]"_s;
    if (auto* label = qobject_cast<QLabel*>(item))
        return label->text().isEmpty() || label->text().front().isDigit() ? u"[numero]"_s : label->text();
    if (auto* button = qobject_cast<QToolButton*>(item))
        return button->menu() ? u"[preset]"_s : button->text();
    if (auto* button = qobject_cast<QPushButton*>(item))
        return button->text();
    if (item->findChild<ValueSlider*>())
        return item->findChild<QLabel*>()->text();
    if (item->findChild<QFrame*>())
        return u"|"_s;
    return u"?"_s;
}

QStringList shownRows(const PropertyBar& bar)
{
    QStringList rows;
    for (QWidget* row : bar.rowWidgets()) {
        QStringList items;
        for (QWidget* item : itemsOf(row))
            items << shownAs(item);
        rows << items.join(u", "_s);
    }
    return rows;
}

QStringList expectedRows(const std::set<AnnotationKind>& kinds)
{
    QStringList rows{kinds.size() == 1 ? u"[preset], Ripristina"_s : u"Ripristina"_s};
    for (const StyleRow& row : styleRows(kinds)) {
        QStringList items;
        for (const StyleRowItem& item : row)
            if (const auto* stamps = std::get_if<StampButtonsItem>(&item))
                items << stampCatalogue().mid(stamps->first, stamps->count);
            else
                items << describe(item);
        rows << items.join(u", "_s);
    }
    return rows;
}

// The canvas with a bar refreshed on every change, as the editor window has it.
struct BarFixture : test::CanvasFixture {
    BarFixture()
    {
        view.onStateChange = [this] { bar.refresh(); };
        bar.refresh();
    }
    // Adds an object of the kind (one undo step, then forgotten) and selects it alone.
    void selectNew(AnnotationKind kind)
    {
        const QString text = kind == stamp ? u"✅"_s : isTextual(kind) ? u"Testo"_s : QString();
        Annotation added = Annotation::make(addedID, kind, {{40, 120}, {120, 170}}, text);
        editor.perform(u"Aggiungi"_s, [&](DocumentModel& doc) { doc.panels[0].annotations.push_back(added); });
        undo.removeAllActions();
        view.setSelection({addedID});
    }
    Style addedStyle() const { return annotation(editor.model(), addedID)->style; }

    PropertyBar bar{view, settings};
};

// A change the user made and what the style must hold after it.
struct Change {
    QString actionName;
    std::function<bool(const Style&)> holds;
};

// Makes the user's change of one control; nothing when the control offers no other value.
std::optional<Change> changeControl(QWidget* widget, const StyleRowItem& item, const Style& current)
{
    if (const auto* s = std::get_if<SliderItem>(&item)) {
        auto* slider = widget->findChild<ValueSlider*>();
        const double target = current.*(s->field) == s->maximum ? s->minimum : s->maximum;
        slider->setValue(int(std::lround(target * ValueSlider::ticksPerUnit)));
        return Change{s->actionName,
                      [field = s->field, target](const Style& st) { return std::abs(st.*field - target) < 1e-9; }};
    }
    if (const auto* t = std::get_if<ToggleItem>(&item)) {
        const bool target = !(current.*(t->field));
        static_cast<QCheckBox*>(widget)->click();
        return Change{t->actionName, [field = t->field, target](const Style& st) { return st.*field == target; }};
    }
    const ChoiceAccess* access = nullptr;
    QString actionName;
    if (const auto* c = std::get_if<ChoiceItem>(&item))
        access = &c->access, actionName = c->actionName;
    if (const auto* c = std::get_if<ImageChoiceItem>(&item))
        access = &c->access, actionName = c->actionName;
    if (access) {
        auto* control = static_cast<SegmentedControl*>(widget);
        const int target = (access->get(current) + 1) % control->count();
        control->segment(target)->click();
        return Change{actionName, [get = access->get, target](const Style& st) { return get(st) == target; }};
    }
    const auto* special = std::get_if<SpecialItem>(&item);
    if (special && (*special == SpecialItem::backgroundPopup || *special == SpecialItem::fontPopup)) {
        auto* popup = static_cast<QComboBox*>(widget);
        if (popup->count() < 2)
            return std::nullopt;
        const int target = popup->currentIndex() == 1 ? 2 : 1;
        popup->setCurrentIndex(target);
        emit popup->activated(target);
        const bool background = *special == SpecialItem::backgroundPopup;
        return Change{background ? u"Cambia colore dello sfondo"_s : u"Cambia carattere"_s,
                      [background, before = current](const Style& st) {
                          return background ? st.fillColor != before.fillColor : st.fontName != before.fontName;
                      }};
    }
    return std::nullopt;
}

// Each bound control of the bar with its table item.
std::vector<std::pair<QWidget*, StyleRowItem>> boundControls(const PropertyBar& bar,
                                                             const std::set<AnnotationKind>& kinds)
{
    std::vector<std::pair<QWidget*, StyleRowItem>> controls;
    const std::vector<QWidget*> rows = bar.rowWidgets();
    const std::vector<StyleRow> table = styleRows(kinds);
    EXPECT_EQ(rows.size(), table.size() + 1);
    for (std::size_t r = 0; r < table.size() && r + 1 < rows.size(); ++r) {
        const std::vector<QWidget*> widgets = itemsOf(rows[r + 1]);
        std::size_t w = 0;
        for (const StyleRowItem& item : table[r]) {
            if (const auto* stamps = std::get_if<StampButtonsItem>(&item)) {
                w += std::size_t(stamps->count);
                continue;
            }
            if (w < widgets.size())
                controls.emplace_back(widgets[w], item);
            ++w;
        }
    }
    return controls;
}

TEST(StyleRows, EveryKindShowsItsRowsUnderTheHeadRow)
{
    for (AnnotationKind kind : allCases<AnnotationKind>()) {
        SCOPED_TRACE(displayName(kind).toStdString());
        BarFixture fixture;
        fixture.selectNew(kind);
        EXPECT_EQ(shownRows(fixture.bar), expectedRows({kind}));
    }
    BarFixture fixture;
    fixture.view.setSelection({test::uuid(10), test::uuid(11)}); // an arrow and a rectangle
    EXPECT_EQ(shownRows(fixture.bar), expectedRows({arrow, rectangle}));
    fixture.view.setSelection({test::uuid(10), test::uuid(12)}); // an arrow and a text: the head row only
    EXPECT_EQ(shownRows(fixture.bar), QStringList{u"Ripristina"_s});
}

TEST(StyleRows, EachControlChangesTheSelectionAsOneNamedStep)
{
    for (AnnotationKind kind : allCases<AnnotationKind>()) {
        BarFixture fixture;
        fixture.selectNew(kind);
        for (const auto& [widget, item] : boundControls(fixture.bar, {kind})) {
            SCOPED_TRACE(displayName(kind).toStdString() + ": " + describe(item).toStdString());
            const DocumentModel before = fixture.editor.model();
            const std::optional<Change> change = changeControl(widget, item, fixture.addedStyle());
            if (!change)
                continue;
            EXPECT_TRUE(change->holds(fixture.addedStyle()));
            EXPECT_TRUE(change->holds(fixture.view.style(kind))); // the kind's default follows
            EXPECT_EQ(fixture.undo.undoActionName(), change->actionName);
            fixture.undo.undo();
            EXPECT_EQ(fixture.editor.model(), before);
            EXPECT_FALSE(fixture.undo.canUndo());
        }
    }
}

TEST(StyleRows, WithNothingSelectedControlsChangeAndStoreTheToolsDefault)
{
    for (AnnotationKind kind : allCases<AnnotationKind>()) {
        const std::optional<Tool> tool = toolFor(kind);
        if (!tool)
            continue;
        BarFixture fixture;
        fixture.view.setTool(*tool);
        for (const auto& [widget, item] : boundControls(fixture.bar, {kind})) {
            SCOPED_TRACE(displayName(kind).toStdString() + ": " + describe(item).toStdString());
            const std::optional<Change> change = changeControl(widget, item, fixture.view.style(kind));
            if (!change)
                continue;
            EXPECT_TRUE(change->holds(fixture.view.style(kind)));
            EXPECT_EQ(fixture.settings.get(setting::toolStyles).at(kind), fixture.view.style(kind));
            EXPECT_FALSE(fixture.undo.canUndo());
        }
    }
}

TEST(StyleRows, ADraggedSliderIsOneStepAndStoresTheDefaultOnlyWhenReleased)
{
    BarFixture fixture;
    fixture.view.setSelection({test::uuid(10)}); // the arrow
    ValueSlider* slider = nullptr;
    for (const auto& [widget, item] : boundControls(fixture.bar, {arrow}))
        if (describe(item) == u"Spessore"_s)
            slider = widget->findChild<ValueSlider*>();
    ASSERT_NE(slider, nullptr);
    const Style stored = fixture.settings.get(setting::toolStyles).at(arrow);

    slider->setSliderDown(true);
    for (double width : {6.0, 9.0, 14.0})
        slider->setValue(int(width * ValueSlider::ticksPerUnit));
    EXPECT_EQ(fixture.annotationAt(0).style.lineWidth, 14);
    EXPECT_EQ(fixture.settings.get(setting::toolStyles).at(arrow), stored);
    slider->setSliderDown(false);

    EXPECT_EQ(fixture.settings.get(setting::toolStyles).at(arrow).lineWidth, 14);
    EXPECT_EQ(fixture.undo.undoActionName(), u"Cambia spessore"_s);
    fixture.undo.undo();
    EXPECT_EQ(fixture.editor.model(), test::styledDocument());
}

QList<QToolButton*> stampButtons(PropertyBar& bar)
{
    test::runDeferredDeletes();
    QList<QToolButton*> buttons;
    for (QToolButton* button : bar.findChildren<QToolButton*>())
        if (stampCatalogue().contains(button->text()))
            buttons << button;
    return buttons;
}

TEST(StyleRows, StampButtonsShowAndChooseTheStamp)
{
    BarFixture fixture;
    fixture.view.setTool(Tool::stamp);
    QList<QToolButton*> buttons = stampButtons(fixture.bar);
    ASSERT_EQ(buttons.size(), 16);
    buttons[14]->click();
    EXPECT_EQ(fixture.settings.get(setting::currentStamp), u"🎯"_s);
    for (int i = 0; i < buttons.size(); ++i)
        EXPECT_EQ(buttons[i]->isChecked(), i == 14) << i;

    fixture.view.setSelection({test::uuid(13)}); // a stamp showing ✅
    buttons = stampButtons(fixture.bar);
    EXPECT_TRUE(buttons[0]->isChecked());
    buttons[5]->click();
    EXPECT_EQ(fixture.annotationAt(3).text, u"👍"_s);
    EXPECT_EQ(fixture.undo.undoActionName(), u"Cambia timbro"_s);
    EXPECT_EQ(fixture.settings.get(setting::currentStamp), u"🎯"_s);
}

TEST(StyleRows, AnotherStampTakesTheFirstThreeCharactersOfTheAnswer)
{
    struct Case {
        std::optional<QString> typed; // nothing: "Annulla"
        QString expected;
    };
    const Case cases[] = {
        {u"🔥👍✅🎯"_s, u"🔥👍✅"_s},
        {u"  ★ "_s, u"★"_s},
        {u"   "_s, u"✅"_s},
        {std::nullopt, u"✅"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected.toStdString());
        BarFixture fixture;
        fixture.settings.set(setting::currentStamp, u"✅"_s);
        fixture.view.setTool(Tool::stamp);
        QPushButton* other = nullptr;
        for (QPushButton* button : fixture.bar.findChildren<QPushButton*>())
            if (button->text() == u"Altro…"_s)
                other = button;
        ASSERT_NE(other, nullptr);
        other->click();
        auto* dialog = fixture.bar.window()->findChild<QDialog*>();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->findChild<QLineEdit*>()->text(), u"✅"_s);
        if (c.typed)
            dialog->findChild<QLineEdit*>()->setText(*c.typed);
        dialog->findChildren<QPushButton*>()[c.typed ? 0 : 1]->click();
        test::runDeferredDeletes();
        EXPECT_EQ(fixture.settings.get(setting::currentStamp), c.expected);
    }
}

TEST(StyleRows, NumberStartIsOneStepAndFollowsTheDocument)
{
    BarFixture fixture;
    fixture.view.setTool(Tool::number);
    auto* stepper = fixture.bar.findChild<QSpinBox*>();
    ASSERT_NE(stepper, nullptr);
    EXPECT_EQ(stepper->value(), 1);
    stepper->setValue(5);
    EXPECT_EQ(fixture.editor.model().numberingStart, 5);
    EXPECT_EQ(fixture.undo.undoActionName(), u"Cambia numero di partenza"_s);
    fixture.undo.undo();
    EXPECT_EQ(fixture.editor.model().numberingStart, 1);
    fixture.bar.refresh();
    EXPECT_EQ(stepper->value(), 1);
    EXPECT_TRUE(shownRows(fixture.bar)[1].endsWith(u"[numero], [parti da]"_s));
}

TEST(StyleRows, TextBackgroundOutsideThePaletteShowsAutomatic)
{
    BarFixture fixture;
    fixture.editor.perform(u"Colore"_s, [](DocumentModel& doc) {
        doc.panels[0].annotations[2].style.fillColor = RGBAColor{0.1, 0.2, 0.3, 1};
    });
    fixture.view.setSelection({test::uuid(12)});
    QComboBox* background = nullptr;
    for (QComboBox* popup : fixture.bar.findChildren<QComboBox*>())
        if (popup->toolTip() == u"Colore dello sfondo"_s)
            background = popup;
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->count(), 11);
    EXPECT_EQ(background->currentText(), u"Automatico"_s);
    EXPECT_EQ(background->itemText(1), Palette::standard()[0].hexString());
}

} // namespace
} // namespace vorlix
