#include "app/shell/startup/AppDelegate.h"
#include "app/shell/startup/StatusMenuController.h"

#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"

#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

#include <gtest/gtest.h>

using namespace vorlix;

TEST(HistoryCleanUp, IsDueADayAfterTheLastOneOrWhenThereWasNone)
{
    const QDateTime now = QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC);
    struct Case {
        const char* what;
        std::optional<QDateTime> last;
        bool due;
    };
    const Case cases[] = {
        {"never", std::nullopt, true},
        {"3 hours ago", now.addSecs(-3 * 3600), false},
        {"25 hours ago", now.addSecs(-25 * 3600), true},
        {"exactly a day ago", now.addSecs(-86'400), true},
        {"a second short of a day", now.addSecs(-86'399), false},
        {"an unreadable date", QDateTime(), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(isHistoryCleanUpDue(c.last, now), c.due);
    }
}

namespace {

struct Launch : testing::Test {
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    QStringList calls;
    AppDelegate delegate{settings,
                         {
                             .applyHotkeys = [this] { calls << QStringLiteral("hotkeys"); },
                             .migrateLegacyHistory = [this] { calls << QStringLiteral("migrate"); },
                             .cleanUpHistory = [this] { calls << QStringLiteral("cleanUp"); },
                             .startUpdateChecker = {},
                             .openURLsOrFiles = [this](const QStringList& a) { calls << a; },
                         }};
};

} // namespace

TEST_F(Launch, FinishingTheLaunchPutsTheIconUpAndCleansTheHistoryHourlyWhenDue)
{
    delegate.finishLaunching();
    EXPECT_EQ(calls, (QStringList{QStringLiteral("hotkeys"), QStringLiteral("migrate"), QStringLiteral("cleanUp")}));
    EXPECT_FALSE(QApplication::quitOnLastWindowClosed());
    ASSERT_NE(delegate.statusMenu(), nullptr);
    EXPECT_EQ(delegate.statusMenu()->statusItem().toolTip(), QStringLiteral("Vorlix"));
    EXPECT_FALSE(delegate.statusMenu()->statusItem().icon().isNull());
    EXPECT_TRUE(delegate.cleanupTimer().isActive());
    EXPECT_EQ(delegate.cleanupTimer().intervalAsDuration(), std::chrono::seconds(3600));
    EXPECT_FALSE(delegate.cleanupTimer().isSingleShot());

    calls.clear();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    settings.set(setting::lastHistoryCleanup, now.addSecs(-3 * 3600));
    delegate.cleanupTimerFired(now);
    EXPECT_TRUE(calls.isEmpty());
    settings.set(setting::lastHistoryCleanup, now.addSecs(-25 * 3600));
    delegate.cleanupTimerFired(now);
    EXPECT_EQ(calls, QStringList{QStringLiteral("cleanUp")});
}

TEST_F(Launch, QuittingCleansTheHistoryOnceMore)
{
    delegate.finishLaunching();
    calls.clear();
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QApplication::exec();
    EXPECT_EQ(calls, QStringList{QStringLiteral("cleanUp")});
}

TEST_F(Launch, TheTrayMenuOffersToQuitAndIsBuiltAfreshOnEachOpening)
{
    delegate.finishLaunching();
    QMenu& menu = delegate.statusMenu()->menu();
    menu.addAction(QStringLiteral("stale"));
    emit menu.aboutToShow();
    for (const QAction* action : menu.actions())
        EXPECT_NE(action->text(), QStringLiteral("stale"));
    QAction* quit = menu.actions().back();
    EXPECT_EQ(quit->text(), QStringLiteral("Esci\tCtrl+Q"));

    calls.clear();
    quit->trigger();
    QApplication::exec(); // returns once the queued quit arrives
    EXPECT_EQ(calls, QStringList{QStringLiteral("cleanUp")});
}

TEST_F(Launch, ArgumentsAreHandedOnOnlyWhenThereAreAny)
{
    delegate.handleArguments({});
    EXPECT_TRUE(calls.isEmpty());
    delegate.handleArguments({QStringLiteral("vorlix://capture/screen")});
    EXPECT_EQ(calls, QStringList{QStringLiteral("vorlix://capture/screen")});
}
