#include "app/support/TextResultPanel.h"
#include "app/support/TextResultView.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace Qt::StringLiterals;

namespace {

TextRecognition::Result result(const QString& text, const QStringList& codes = {})
{
    return {.text = text, .codes = codes};
}

QWidgetList visiblePanels()
{
    QWidgetList panels;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && widget->windowTitle() == u"Riconosci testo/QR"_s)
            panels.append(widget);
    return panels;
}

void closeEveryPanel()
{
    for (QWidget* panel : visiblePanels())
        panel->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

TEST(TextResultView, AResultShowsItsTextAndAnEmptyOneSaysWhatToTry)
{
    struct Case {
        TextRecognition::Result recognised;
        QString header;
        QString shown;
        int textHeight;
        bool canCopy;
    };
    const Case cases[] = {
        {.recognised = result(u"Riga uno\nRiga due"_s, {u"https://esempio.it"_s}),
         .header = u"Testo copiato negli appunti"_s,
         .shown = u"Riga uno\nRiga due\nhttps://esempio.it"_s,
         .textHeight = 140,
         .canCopy = true},
        {.recognised = result({}, {u"QR"_s}),
         .header = u"Testo copiato negli appunti"_s,
         .shown = u"QR"_s,
         .textHeight = 140,
         .canCopy = true},
        {.recognised = {},
         .header = u"Nessun testo trovato"_s,
         .shown = u"Prova con un'area più grande o un testo più nitido."_s,
         .textHeight = 40,
         .canCopy = false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown.toStdString());
        TextResultView view(c.recognised);
        view.adjustSize();
        EXPECT_EQ(view.header()->text(), c.header);
        EXPECT_EQ(view.textBox()->toPlainText(), c.shown);
        EXPECT_TRUE(view.textBox()->isReadOnly());
        EXPECT_TRUE(view.textBox()->textInteractionFlags() & Qt::TextSelectableByMouse);
        EXPECT_EQ(view.copyButton()->isEnabled(), c.canCopy);

        EXPECT_EQ(view.width(), 380);
        EXPECT_EQ(view.textBox()->geometry(), QRect(12, view.textBox()->y(), 356, c.textHeight));
        const QRect header = view.header()->geometry();
        const QRect close = view.closeButton()->geometry();
        EXPECT_EQ(header.top(), 12);
        EXPECT_EQ(view.textBox()->y(), header.bottom() + 1 + 8);
        EXPECT_EQ(close.right(), 380 - 12 - 1);
        EXPECT_EQ(view.copyButton()->geometry().right() + 1 + 6, close.left());
        EXPECT_EQ(view.height(), close.bottom() + 1 + 12);
    }
}

TEST(TextResultView, TextThatLooksLikeMarkupIsShownAsItIs)
{
    const QString markup = u"<b>x</b> &amp; <img src=\"a.png\">"_s;
    TextResultView view(result(markup));
    EXPECT_EQ(view.textBox()->toPlainText(), markup);
    EXPECT_EQ(view.textBox()->document()->blockCount(), 1);
    EXPECT_FALSE(view.textBox()->document()->firstBlock().charFormat().font().bold());
}

TEST(TextResultView, CopyAgainPutsExactlyThePlainTextOnTheClipboard)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    auto* old = new QMimeData;
    old->setHtml(u"<p>prima</p>"_s);
    old->setData(u"image/png"_s, "png");
    clipboard->setMimeData(old);

    TextResultView view(result(u"<i>Testo</i>  con spazi \n"_s, {u"CODICE"_s}));
    view.copyButton()->click();
    const QMimeData* copied = clipboard->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->formats(), QStringList{u"text/plain"_s});
    EXPECT_EQ(copied->text(), view.text());
    EXPECT_EQ(view.text(), u"<i>Testo</i>  con spazi \n\nCODICE"_s);
}

TEST(TextResultView, CloseAndEscapeCallOnClose)
{
    TextResultView view(result(u"testo"_s));
    int closes = 0;
    view.setOnClose([&] { ++closes; });
    view.closeButton()->click();
    EXPECT_EQ(closes, 1);

    view.show();
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    view.textBox()->setFocus();
    QTest::keyClick(view.textBox(), Qt::Key_Escape);
    EXPECT_EQ(closes, 2);
}

TEST(TextResultPanel, ThePanelSitsAtTheBottomRightOfTheScreenWithoutTakingFocus)
{
    TextResultPanel::show(result(u"testo"_s));
    QWidget* panel = TextResultPanel::current();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(panel->isWindow());
    EXPECT_EQ(panel->windowTitle(), u"Riconosci testo/QR"_s);
    EXPECT_EQ(panel->windowType(), Qt::Tool);
    EXPECT_TRUE(panel->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(panel->testAttribute(Qt::WA_ShowWithoutActivating));

    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(panel->frameGeometry().bottomRight(), available.bottomRight() - QPoint(16, 16));
    closeEveryPanel();
}

TEST(TextResultPanel, ANewResultReplacesThePanelAndClosingDeletesIt)
{
    TextResultPanel::show(result(u"primo"_s));
    QPointer<QWidget> first = TextResultPanel::current();
    TextResultPanel::show({});
    QPointer<QWidget> second = TextResultPanel::current();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    ASSERT_FALSE(second.isNull());
    EXPECT_EQ(visiblePanels(), QWidgetList{second.data()});
    EXPECT_EQ(second->findChild<QLabel*>()->text(), u"Nessun testo trovato"_s);

    second->findChildren<QPushButton*>().last()->click(); // "Chiudi"
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(second.isNull());
    EXPECT_EQ(TextResultPanel::current(), nullptr);
    EXPECT_TRUE(visiblePanels().isEmpty());
}

TEST(TextResultPanel, TheCornerFollowsTheAvailableArea)
{
    EXPECT_EQ(TextResultPanel::bottomRightPosition({0, 0, 1280, 800}, {380, 250}), QPoint(884, 534));
    EXPECT_EQ(TextResultPanel::bottomRightPosition({100, 30, 1000, 700}, {380, 250}), QPoint(704, 464));
}
