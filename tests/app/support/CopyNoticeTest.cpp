#include "app/support/CopyNotice.h"

#include "support/EventLoopWaits.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

class CopyNoticeTest : public testing::Test {
protected:
    void TearDown() override
    {
        // Leave no notice for the next test.
        test::waitUntil([] { return CopyNotice::current() == nullptr; }, 4s);
        test::runDeferredDeletes();
    }
};

} // namespace

TEST(CopyNoticePlacement, CentredWithItsBottomEdge36PointsAboveTheAnchors)
{
    struct Case {
        QSize size;
        QRect anchor;
        QPoint expected;
    };
    const Case cases[] = {
        {{120, 30}, {100, 50, 400, 300}, {240, 284}},
        {{121, 30}, {100, 50, 400, 300}, {240, 284}},    // 239.5 rounds away from zero
        {{121, 30}, {-1280, 0, 1280, 800}, {-701, 734}}, // a screen left of the first
        {{100, 30}, {}, {-50, -66}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.size.width() << " in " << c.anchor.x() << "," << c.anchor.width());
        EXPECT_EQ(CopyNotice::placement(c.size, c.anchor), c.expected);
    }
}

TEST_F(CopyNoticeTest, ANoticeForAWindowSitsOnItAndMovesWithIt)
{
    QWidget window;
    window.setGeometry(100, 100, 600, 400);
    window.show();
    CopyNotice::show(u"Oggetto copiato"_s, &window);
    QWidget* notice = CopyNotice::current();
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(notice->isWindow());
    EXPECT_TRUE(notice->isVisible());
    EXPECT_NE(QApplication::activeWindow(), notice);
    EXPECT_TRUE(notice->windowFlags().testFlags(Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput));
    EXPECT_TRUE(notice->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_GT(notice->width(), notice->height());
    EXPECT_EQ(notice->pos(), CopyNotice::placement(notice->size(), window.frameGeometry()));
    EXPECT_EQ(notice->geometry().bottom() + 1, window.frameGeometry().bottom() + 1 - 36);

    window.move(300, 240);
    test::processEventsFor(20ms);
    EXPECT_EQ(notice->pos(), CopyNotice::placement(notice->size(), window.frameGeometry()));
}

TEST_F(CopyNoticeTest, WithoutAWindowTheNoticeSitsOnTheScreenUnderThePointer)
{
    CopyNotice::show(u"Immagine copiata"_s, nullptr);
    QWidget* notice = CopyNotice::current();
    ASSERT_NE(notice, nullptr);
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(notice->pos(), CopyNotice::placement(notice->size(), available));
}

TEST_F(CopyNoticeTest, ANewNoticeReplacesTheOldAtOnceAndKeepsItsOwnTimeline)
{
    QWidget window;
    window.setGeometry(100, 100, 600, 400);
    window.show();
    CopyNotice::show(u"Primo"_s, &window);
    QPointer<QWidget> first = CopyNotice::current();
    ASSERT_FALSE(first.isNull());
    EXPECT_LT(first->windowOpacity(), 0.5) << "fading in from nothing";
    test::processEventsFor(500ms);
    EXPECT_DOUBLE_EQ(first->windowOpacity(), 1.0);

    QElapsedTimer sinceSecond;
    CopyNotice::show(u"Secondo"_s, &window);
    sinceSecond.start();
    QPointer<QWidget> second = CopyNotice::current();
    ASSERT_NE(second, first);
    EXPECT_FALSE(first->isVisible()) << "the first closes at once";
    test::runDeferredDeletes();
    EXPECT_TRUE(first.isNull());

    // Still whole 1.2 s after its own start (1.7 s after the first's), gone after hold plus fade-out.
    test::waitUntil([&] { return sinceSecond.elapsed() >= 1200; }, 2s);
    ASSERT_FALSE(second.isNull());
    EXPECT_TRUE(second->isVisible());
    EXPECT_DOUBLE_EQ(second->windowOpacity(), 1.0);
    EXPECT_EQ(CopyNotice::current(), second.data());

    ASSERT_TRUE(test::waitUntil([&] { return CopyNotice::current() == nullptr; }, 3s));
    const qint64 shownFor = sinceSecond.elapsed();
    EXPECT_GE(shownFor, (CopyNotice::hold + CopyNotice::fadeOut).count() - 20);
    EXPECT_LT(shownFor, 2600);
    test::runDeferredDeletes();
    EXPECT_TRUE(second.isNull());
}

TEST_F(CopyNoticeTest, ClosingTheWindowTakesItsNoticeAlong)
{
    auto* window = new QWidget;
    window->setGeometry(100, 100, 600, 400);
    window->show();
    CopyNotice::show(u"Copiato"_s, window);
    ASSERT_NE(CopyNotice::current(), nullptr);
    delete window;
    EXPECT_EQ(CopyNotice::current(), nullptr);
    CopyNotice::show(u"Di nuovo"_s, nullptr); // the slot works after its notice was deleted
    EXPECT_NE(CopyNotice::current(), nullptr);
}
