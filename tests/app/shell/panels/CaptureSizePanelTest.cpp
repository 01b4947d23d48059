// The fixed-size form in its dialog, on the offscreen platform (one screen of 800 × 600).

#include "app/shell/panels/CaptureSizePanel.h"

#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"
#include "support/EventLoopWaits.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;
using namespace Qt::StringLiterals;

namespace {

struct Answer {
    CaptureSize size;
    bool addToFavorites = false;
};

QPushButton* button(QDialog& dialog, const QString& title)
{
    for (QPushButton* candidate : dialog.findChildren<QPushButton*>())
        if (candidate->text() == title)
            return candidate;
    return nullptr;
}

void type(QLineEdit* field, const QString& text)
{
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
}

class CaptureSizePanelTest : public testing::Test {
protected:
    QPointer<QDialog> present(const CaptureSize& size, bool forCapture, const std::optional<QString>& problem = {})
    {
        auto form = std::make_unique<CaptureSizeForm>(size, false, forCapture);
        fields = form.get();
        return CaptureSizePanel::present(std::move(form), problem, nullptr,
                                         [this](const CaptureSize& s, bool favorite) {
                                             answers.push_back({s, favorite});
                                         });
    }

    void TearDown() override
    {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QDialog*>(window))
                dialog->reject();
        runDeferredDeletes();
    }

    CaptureSizeForm* fields = nullptr;
    std::vector<Answer> answers;
};

} // namespace

TEST_F(CaptureSizePanelTest, TheCaptureFormShowsItsRowsAndTheHint)
{
    QPointer<QDialog> dialog = present({640, 480, false}, true);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->windowTitle(), u"Cattura area di misura fissa"_s);
    EXPECT_TRUE(button(*dialog, u"Cattura"_s));
    EXPECT_TRUE(button(*dialog, u"Annulla"_s));
    EXPECT_EQ(fields->widthField()->text(), u"640"_s);
    EXPECT_EQ(fields->heightField()->text(), u"480"_s);
    EXPECT_FALSE(fields->ratioSwitch()->isChecked());
    ASSERT_TRUE(fields->favoriteSwitch());
    EXPECT_EQ(fields->favoriteSwitch()->text(), u"Aggiungi alle misure preferite"_s);
    EXPECT_EQ(fields->note()->text(), u"Pixel dell'immagine finale."_s);
    EXPECT_EQ(fields->width(), CaptureSizeForm::formWidth);

    fields->favoriteSwitch()->setChecked(true);
    button(*dialog, u"Cattura"_s)->click();
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].size, (CaptureSize{640, 480, false}));
    EXPECT_TRUE(answers[0].addToFavorites);
    runDeferredDeletes();
    EXPECT_FALSE(dialog);
}

TEST_F(CaptureSizePanelTest, TheRatioSwitchHidesAndShowsBothUnits)
{
    QPointer<QDialog> dialog = present({16, 9, true}, true);
    ASSERT_EQ(fields->units().size(), 2);
    for (QLabel* unit : fields->units())
        EXPECT_TRUE(unit->isHidden());
    fields->ratioSwitch()->setChecked(false);
    for (QLabel* unit : fields->units())
        EXPECT_FALSE(unit->isHidden());
    fields->ratioSwitch()->setChecked(true);
    for (QLabel* unit : fields->units())
        EXPECT_TRUE(unit->isHidden());
}

TEST_F(CaptureSizePanelTest, ARefusedSizeKeepsTheFormWithTheProblemInRedAndTheTypedValues)
{
    QPointer<QDialog> dialog = present({640, 480, false}, true);
    const QColor hint = fields->note()->palette().color(QPalette::WindowText);
    type(fields->widthField(), u"7"_s);
    button(*dialog, u"Cattura"_s)->click();
    EXPECT_TRUE(answers.empty());
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(fields->note()->text(), u"Scrivi due numeri di almeno 8 pixel."_s);
    EXPECT_EQ(fields->note()->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_NE(hint, QColor(Qt::red));
    EXPECT_EQ(fields->widthField()->text(), u"7"_s);
    EXPECT_EQ(fields->heightField()->text(), u"480"_s);

    // Larger than the one screen of 800 × 600.
    type(fields->widthField(), u"801"_s);
    button(*dialog, u"Cattura"_s)->click();
    EXPECT_TRUE(answers.empty());
    EXPECT_EQ(fields->note()->text(), u"801 × 480 px è più grande dello schermo."_s);

    type(fields->widthField(), u"800"_s);
    button(*dialog, u"Cattura"_s)->click();
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].size, (CaptureSize{800, 480, false}));
    EXPECT_FALSE(answers[0].addToFavorites);
}

TEST_F(CaptureSizePanelTest, TheFieldsTakeOnlyWholeNumbersUpTo99999AndAnEmptyOneIsZero)
{
    QPointer<QDialog> dialog = present({640, 480, false}, true);
    type(fields->widthField(), u"1a2b3-4"_s);
    EXPECT_EQ(fields->widthField()->text(), u"1234"_s);
    type(fields->widthField(), u"999999"_s);
    EXPECT_EQ(fields->widthField()->text(), u"99999"_s);
    type(fields->widthField(), QString());
    EXPECT_EQ(fields->enteredSize(), (CaptureSize{0, 480, false}));
    button(*dialog, u"Cattura"_s)->click();
    EXPECT_TRUE(answers.empty());
    EXPECT_EQ(fields->note()->text(), u"Scrivi due numeri di almeno 8 pixel."_s);
}

TEST_F(CaptureSizePanelTest, TheNewFavouriteFormHasNoFavouriteSwitchAndAlwaysAsksToAdd)
{
    QPointer<QDialog> dialog = present({4, 3, true}, false, u"Scrivi due numeri da 1 a 1000."_s);
    EXPECT_EQ(dialog->windowTitle(), u"Nuova misura fissa"_s);
    EXPECT_FALSE(fields->favoriteSwitch());
    EXPECT_FALSE(button(*dialog, u"Cattura"_s));
    // A problem handed in shows from the start.
    EXPECT_EQ(fields->note()->text(), u"Scrivi due numeri da 1 a 1000."_s);
    button(*dialog, u"Aggiungi"_s)->click();
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].size, (CaptureSize{4, 3, true}));
    EXPECT_TRUE(answers[0].addToFavorites);
}

TEST_F(CaptureSizePanelTest, CancellingCallsNothing)
{
    QPointer<QDialog> dialog = present({640, 480, false}, true);
    button(*dialog, u"Annulla"_s)->click();
    runDeferredDeletes();
    EXPECT_FALSE(dialog);
    EXPECT_TRUE(answers.empty());
}

TEST(CaptureSizePanelForCapture, StartsWithTheGivenSizeAndAnswersWithTheFavouriteSwitch)
{
    std::vector<std::pair<CaptureSize, bool>> answers;
    QPointer<QDialog> dialog = CaptureSizePanel::askForCapture(
        {400, 300, false}, [&](const CaptureSize& s, bool favorite) { answers.emplace_back(s, favorite); });
    auto* form = dialog->findChild<CaptureSizeForm*>();
    EXPECT_EQ(form->enteredSize(), (CaptureSize{400, 300, false}));
    EXPECT_FALSE(form->favoriteRequested());
    form->favoriteSwitch()->setChecked(true);
    button(*dialog, u"Cattura"_s)->click();
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0], std::make_pair(CaptureSize{400, 300, false}, true));
}
