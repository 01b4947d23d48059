#include "app/support/Alerts.h"

#include "support/EventLoopWaits.h"

#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

using namespace vorlix;
using namespace Qt::StringLiterals;

namespace {

QPushButton* buttonNamed(const QWidget& dialog, const QString& text)
{
    for (auto* button : dialog.findChildren<QPushButton*>())
        if (button->text() == text)
            return button;
    return nullptr;
}

struct Window : QWidget {
    Window()
    {
        setGeometry(100, 100, 500, 300);
        show();
    }
};

} // namespace

TEST(Alerts, PresentedBoxesCountTheirButtonsInTheOrderTheyWereAdded)
{
    struct Button {
        QString text;
        QMessageBox::ButtonRole role;
    };
    struct Case {
        std::vector<Button> buttons;
        QString pressed;
        int expected;
    };
    const std::vector<Case> cases = {
        {{{u"Svuota"_s, QMessageBox::AcceptRole}, {u"Annulla"_s, QMessageBox::RejectRole}}, u"Svuota"_s, 0},
        {{{u"Svuota"_s, QMessageBox::AcceptRole}, {u"Annulla"_s, QMessageBox::RejectRole}}, u"Annulla"_s, 1},
        // Added in an order other than Qt's grouping by role.
        {{{u"Annulla"_s, QMessageBox::RejectRole},
          {u"Salva"_s, QMessageBox::AcceptRole},
          {u"Non salvare"_s, QMessageBox::DestructiveRole}},
         u"Salva"_s,
         1},
        {{{u"Annulla"_s, QMessageBox::RejectRole},
          {u"Salva"_s, QMessageBox::AcceptRole},
          {u"Non salvare"_s, QMessageBox::DestructiveRole}},
         u"Non salvare"_s,
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pressed.toStdString() + " of " + std::to_string(c.buttons.size()));
        Window window;
        auto* box = new QMessageBox(QMessageBox::Question, u"Titolo"_s, u"Testo"_s);
        for (const Button& button : c.buttons)
            box->addButton(button.text, button.role);
        std::vector<int> answers;
        Alerts::present(box, &window, [&](int index) { answers.push_back(index); });

        // Open as a window-modal dialog of the window, and not answered yet: nothing blocked.
        EXPECT_TRUE(box->isVisible());
        EXPECT_EQ(box->windowModality(), Qt::WindowModal);
        EXPECT_EQ(box->parentWidget(), &window);
        EXPECT_TRUE(answers.empty());

        QPointer<QMessageBox> guard = box;
        buttonNamed(*box, c.pressed)->click();
        EXPECT_EQ(answers, std::vector<int>{c.expected});
        test::runDeferredDeletes();
        EXPECT_TRUE(guard.isNull()) << "the box is deleted once answered";
    }
}

TEST(Alerts, WithoutAWindowTheBoxIsApplicationModal)
{
    auto* box = new QMessageBox(QMessageBox::Warning, u"Titolo"_s, u"Testo"_s);
    box->addButton(u"OK"_s, QMessageBox::AcceptRole);
    int answer = -2;
    Alerts::present(box, nullptr, [&](int index) { answer = index; });
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
    buttonNamed(*box, u"OK"_s)->click();
    EXPECT_EQ(answer, 0);
    test::runDeferredDeletes();
}

TEST(Alerts, AskTextShowsAFocusedFieldOfTheGivenSize)
{
    Window window;
    std::optional<std::optional<QString>> answer;
    Alerts::askText(u"Rinomina"_s, u"Nuovo nome del preset"_s, u"Preset 1"_s, u"Rinomina"_s, 15, 260, &window,
                    [&](std::optional<QString> text) { answer = text; });
    auto* dialog = window.findChild<QDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
    auto* field = dialog->findChild<QLineEdit*>();
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->text(), u"Preset 1"_s);
    EXPECT_EQ(field->size(), QSize(260, 24));
    EXPECT_EQ(field->font().pixelSize(), 15);
    EXPECT_EQ(dialog->focusWidget(), field);
    EXPECT_FALSE(answer.has_value());

    const QList<QPushButton*> buttons = dialog->findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 2);
    EXPECT_EQ(buttons[0]->text(), u"Rinomina"_s);
    EXPECT_EQ(buttons[1]->text(), u"Annulla"_s);
    buttons[1]->click();
    ASSERT_TRUE(answer.has_value());
    test::runDeferredDeletes();
}

TEST(Alerts, AskTextPassesTheTrimmedAnswerOnlyWhenConfirmedAndNotBlank)
{
    struct Case {
        QString typed;
        QString pressed;
        std::optional<QString> expected;
    };
    const Case cases[] = {
        {u"  parola \n"_s, u"Crea"_s, u"parola"_s}, {u"due parole"_s, u"Crea"_s, u"due parole"_s},
        {u" \t \n"_s, u"Crea"_s, std::nullopt},     {u""_s, u"Crea"_s, std::nullopt},
        {u"parola"_s, u"Annulla"_s, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString() + " / " + c.pressed.toStdString());
        Window window;
        std::vector<std::optional<QString>> answers;
        Alerts::askText(u"Nuovo"_s, u""_s, u"iniziale"_s, u"Crea"_s, 13, 200, &window,
                        [&](std::optional<QString> text) { answers.push_back(text); });
        auto* dialog = window.findChild<QDialog*>();
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QLineEdit*>()->setText(c.typed);
        buttonNamed(*dialog, c.pressed)->click();
        EXPECT_EQ(answers, std::vector<std::optional<QString>>{c.expected});
        test::runDeferredDeletes();
    }
}
