// The kit the settings pages are built from: rules between rows, footers, the number
// field's range, the cards' two looks and the page that scrolls when it is cut short.

#include "app/settings/SettingsPage.h"
#include "app/settings/SettingsRow.h"
#include "app/settings/SettingsSection.h"

#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace vorlix;
using Separator = SettingsSection::Separator;

namespace {

std::vector<QWidget*> rows(int count)
{
    std::vector<QWidget*> made;
    for (int i = 0; i < count; ++i)
        made.push_back(
            new SettingsRow(QStringLiteral("Riga %1").arg(i), std::nullopt, new QLabel(QStringLiteral("x"))));
    return made;
}

// What lies between the rows, top to bottom.
std::vector<Separator> separators(const SettingsSection& section)
{
    std::vector<Separator> found;
    for (QWidget* item : section.cardItems())
        if (const std::optional<Separator> kind = SettingsSection::separatorKind(item))
            found.push_back(*kind);
    return found;
}

} // namespace

TEST(SettingsSection, PutsASolidOrDashedRuleBetweenEveryTwoRows)
{
    struct Case {
        int rows;
        std::set<int> dashedAbove;
        std::vector<Separator> expected;
    };
    const Case cases[] = {
        {1, {}, {}},
        {1, {0}, {}},
        {3, {2}, {Separator::solid, Separator::dashed}},
        {3, {0}, {Separator::solid, Separator::solid}},
        {4, {1, 3}, {Separator::dashed, Separator::solid, Separator::dashed}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rows);
        SettingsSection section(QStringLiteral("Sezione"), rows(c.rows), c.dashedAbove);
        EXPECT_EQ(separators(section), c.expected);
        EXPECT_EQ(section.cardItems().size(), std::size_t(c.rows) + c.expected.size());
    }
}

TEST(SettingsSection, ShowsItsFooterUnderTheCardOnlyWhenGiven)
{
    const auto texts = [](const SettingsSection& section) {
        QStringList found;
        for (const QLabel* label : section.findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
            found << label->text();
        return found;
    };
    const SettingsSection plain(QStringLiteral("Cattura"), rows(2));
    EXPECT_EQ(texts(plain), QStringList{QStringLiteral("Cattura")});
    const SettingsSection noted(QStringLiteral("Cattura"), rows(2), {}, QStringLiteral("Nei nomi: {data}."));
    EXPECT_EQ(texts(noted), (QStringList{QStringLiteral("Cattura"), QStringLiteral("Nei nomi: {data}.")}));
}

TEST(NumberStepper, BringsEveryChangeIntoItsRangeAndReportsIt)
{
    struct Case {
        const char* typed;
        const char* shown;
        int reported;
    };
    const Case cases[] = {{"0", "1", 1}, {"999", "60", 60}, {"-5", "1", 1}, {"30", "30", 30}, {"60", "60", 60}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        NumberStepper stepper(1, 60, QStringLiteral("s"));
        std::vector<int> reports;
        stepper.onChange = [&](int value) { reports.push_back(value); };
        stepper.field()->setFocus();
        QTest::keyClicks(stepper.field(), QString::fromLatin1(c.typed));
        QTest::keyClick(stepper.field(), Qt::Key_Return);
        EXPECT_EQ(stepper.text(), QString::fromLatin1(c.shown));
        EXPECT_EQ(reports, std::vector{c.reported});
    }
}

TEST(NumberStepper, ShowsAValueAsGivenAndStepsFromWithinTheRange)
{
    NumberStepper stepper(1, 60, QStringLiteral("s"));
    std::vector<int> reports;
    stepper.onChange = [&](int value) { reports.push_back(value); };

    // A stored value outside the range shows as it is, until the user changes it.
    stepper.setValue(0);
    EXPECT_EQ(stepper.text(), QStringLiteral("0"));
    emit stepper.field()->editingFinished();
    EXPECT_TRUE(reports.empty());
    stepper.upArrow()->click();
    EXPECT_EQ(stepper.text(), QStringLiteral("2"));

    stepper.setValue(60);
    stepper.upArrow()->click();
    stepper.setValue(1);
    stepper.downArrow()->click();
    EXPECT_EQ(reports, (std::vector{2, 60, 1}));
    EXPECT_EQ(stepper.text(), QStringLiteral("1"));
}

TEST(SettingsCard, IsWhitishInALightLookAndAlmostClearInADarkOne)
{
    const auto centreAlpha = [](QColor window) {
        SettingsCard card;
        QPalette palette = card.palette();
        palette.setColor(QPalette::Window, window);
        card.setPalette(palette);
        card.resize(80, 40);
        QImage image(card.size(), QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        card.render(&image, {}, {}, QWidget::DrawChildren);
        return std::pair{qAlpha(image.pixel(40, 20)), card.look().stroke.alphaF()};
    };
    const auto [lightFill, lightStroke] = centreAlpha(QColor(236, 236, 236));
    const auto [darkFill, darkStroke] = centreAlpha(QColor(40, 40, 40));
    EXPECT_NEAR(lightFill, 191, 2);
    EXPECT_NEAR(darkFill, 13, 2);
    EXPECT_GT(darkStroke, lightStroke);
}

TEST(SettingsPage, AsksForItsWholeContentAndScrollsWhenCutShort)
{
    std::vector<QWidget*> sections;
    for (int i = 0; i < 6; ++i)
        sections.push_back(new SettingsSection(QStringLiteral("Sezione"), rows(4)));
    SettingsPage tall(sections);
    SettingsPage shortPage({new SettingsSection(QStringLiteral("Sezione"), rows(1))});
    EXPECT_EQ(tall.sizeHint().width(), SettingsPage::pageWidth);
    EXPECT_GT(tall.sizeHint().height(), 6 * 4 * SettingsRow::minimumHeight);
    EXPECT_LT(shortPage.sizeHint().height(), 2 * SettingsRow::minimumHeight + 100);

    tall.resize(SettingsPage::pageWidth, 300);
    tall.show();
    QApplication::processEvents();
    EXPECT_EQ(tall.width(), SettingsPage::pageWidth);
    EXPECT_EQ(tall.content()->width(), SettingsPage::pageWidth);
    EXPECT_EQ(tall.content()->height(), tall.sizeHint().height());
    EXPECT_GT(tall.scrollArea()->verticalScrollBar()->maximum(), 0);
}
