#include "app/shell/update/UpdateChecker.h"

#include "app/shell/startup/StatusMenuController.h"
#include "app/support/AppConfig.h"
#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"
#include "support/EventLoopWaits.h"

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <map>

using namespace vorlix;
using namespace vorlix::test;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QDateTime now(QDate(2026, 12, 11), QTime(9, 30), QTimeZone::utc());

// A web server on 127.0.0.1 answering each path as told; unknown paths get a 404.
class FeedServer {
public:
    struct Answer {
        QByteArray statusLine = "HTTP/1.1 200 OK";
        QByteArray body;
        QByteArray headers; // extra header lines, each ending in "\r\n"
        bool declaresLength = true;
        bool holds = false; // never answers
    };

    FeedServer()
    {
        EXPECT_TRUE(m_server.listen(QHostAddress::LocalHost));
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection())
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { serve(*socket); });
        });
    }

    QUrl url(const QString& path) const
    {
        return QUrl(u"http://127.0.0.1:%1%2"_s.arg(m_server.serverPort()).arg(path));
    }

    std::map<QByteArray, Answer> answers;
    QList<QByteArray> requested;

private:
    void serve(QTcpSocket& socket)
    {
        QByteArray& request = m_requests[&socket];
        request += socket.readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        const QByteArray path = request.split(' ').value(1);
        requested << path;
        const auto found = answers.find(path);
        const Answer answer = found != answers.end() ? found->second : Answer{.statusLine = "HTTP/1.1 404 Not Found"};
        if (answer.holds)
            return;
        QByteArray reply = answer.statusLine + "\r\nContent-Type: application/json\r\nConnection: close\r\n";
        if (answer.declaresLength)
            reply += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
        reply += answer.headers + "\r\n" + answer.body;
        socket.write(reply);
        socket.disconnectFromHost();
    }

    QTcpServer m_server;
    std::map<QTcpSocket*, QByteArray> m_requests;
};

FeedServer::Answer record(const QByteArray& json) { return {.body = json}; }

QByteArray installedRecord()
{
    const AppVersion installed = AppConfig::installedVersion();
    return R"({"version": ")" + installed.description().toUtf8() + R"(", "build": )" +
           QByteArray::number(installed.build) + "}";
}

struct Fixture {
    Fixture()
    {
        checker.setTimeout(400ms);
        checker.hooks.now = [] { return now; };
        checker.hooks.openSettings = [this] { ++settingsOpened; };
        checker.hooks.openPage = [this](const QUrl& page) { pagesOpened << page; };
        settings.set(setting::updateFeedURL, server.url(u"/version.json"_s));
        QObject::connect(&notifications, &NotificationCenter::posted, [this](const QString& name) {
            if (name == UpdateChecker::didChange)
                ++changesPosted;
        });
    }

    // Runs one check to its end.
    void check()
    {
        checker.checkNow();
        ASSERT_TRUE(checker.isChecking());
        ASSERT_TRUE(waitUntil([&] { return !checker.isChecking(); }, 5s));
    }

    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    UpdateChecker checker{settings};
    FeedServer server;
    int changesPosted = 0;
    int settingsOpened = 0;
    QList<QUrl> pagesOpened;
};

QColor centreColour(const QIcon& icon) { return icon.pixmap(QSize(16, 16)).toImage().pixelColor(8, 8); }

} // namespace

TEST(UpdateChecker, OnlyAValidRecordWithin64KiBFromA200AnswerCounts)
{
    const QByteArray newer = R"({"version": "999.1", "notes": "<b>grassetto</b>"})";
    const QByteArray padding(70 * 1024, ' '); // still valid JSON
    struct Case {
        const char* name;
        std::map<QByteArray, FeedServer::Answer> answers;
        UpdateStatus expected;
    };
    const Case cases[] = {
        {"newer", {{"/version.json", record(newer)}}, UpdateStatus::updateAvailable(decodeUpdateInfo(newer.data()))},
        {"the installed one", {{"/version.json", record(installedRecord())}}, UpdateStatus::upToDate()},
        {"404", {}, UpdateStatus::notVerified()},
        {"500 with a record",
         {{"/version.json", {.statusLine = "HTTP/1.1 500 Internal Server Error", .body = newer}}},
         UpdateStatus::notVerified()},
        {"no answer in time", {{"/version.json", {.holds = true}}}, UpdateStatus::notVerified()},
        {"over 64 KiB, declared", {{"/version.json", record(newer + padding)}}, UpdateStatus::notVerified()},
        {"over 64 KiB, undeclared",
         {{"/version.json", {.body = newer + padding, .declaresLength = false}}},
         UpdateStatus::notVerified()},
        {"bad JSON", {{"/version.json", record(R"({"version": "2.0")")}}, UpdateStatus::notVerified()},
        {"a web page", {{"/version.json", record("<html><body>2.0</body></html>")}}, UpdateStatus::notVerified()},
        {"a version that is no version",
         {{"/version.json", record(R"({"version": "abc"})")}},
         UpdateStatus::notVerified()},
        {"redirect to a local file",
         {{"/version.json", {.statusLine = "HTTP/1.1 302 Found", .headers = "Location: file:///etc/hostname\r\n"}}},
         UpdateStatus::notVerified()},
        {"redirect to ftp",
         {{"/version.json",
           {.statusLine = "HTTP/1.1 301 Moved Permanently", .headers = "Location: ftp://127.0.0.1/version.json\r\n"}}},
         UpdateStatus::notVerified()},
        {"redirect on the same server",
         {{"/version.json", {.statusLine = "HTTP/1.1 302 Found", .headers = "Location: /moved.json\r\n"}},
          {"/moved.json", record(newer)}},
         UpdateStatus::updateAvailable(decodeUpdateInfo(newer.data()))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.server.answers = c.answers;
        ASSERT_EQ(f.checker.status(), UpdateStatus::notVerified()) << "nothing is known before a check";
        f.check();
        EXPECT_EQ(f.checker.status(), c.expected);
        EXPECT_EQ(f.settings.get(setting::lastUpdateCheck), now) << "the next automatic check waits a day";
        EXPECT_EQ(f.settings.get(setting::latestUpdate).has_value(), c.expected != UpdateStatus::notVerified());
        EXPECT_EQ(f.changesPosted, 1);
        EXPECT_EQ(f.server.requested.value(0), "/version.json");
    }
}

TEST(UpdateChecker, AFailedCheckKeepsAKnownNewerReleaseButNeverReadsAsUpToDate)
{
    Fixture f;
    f.server.answers["/version.json"] = record(R"({"version": "999"})");
    f.check();
    ASSERT_TRUE(f.checker.status().isUpdateAvailable());

    f.server.answers.clear();
    f.check();
    EXPECT_TRUE(f.checker.status().isUpdateAvailable()) << "the record from before still holds";
    EXPECT_EQ(f.settings.get(setting::latestUpdate)->version, u"999"_s);

    f.server.answers["/version.json"] = record(installedRecord());
    f.check();
    EXPECT_EQ(f.checker.status(), UpdateStatus::upToDate());

    f.server.answers.clear();
    f.check();
    EXPECT_EQ(f.checker.status(), UpdateStatus::notVerified());
    EXPECT_EQ(f.changesPosted, 4);

    f.settings.set(setting::checksForUpdates, false);
    EXPECT_EQ(f.checker.status(), UpdateStatus::disabled());
    f.checker.checkNow();
    EXPECT_FALSE(f.checker.isChecking());
}

TEST(UpdateChecker, StartChecksOnlyWhenDueThenEveryHour)
{
    struct Case {
        const char* name;
        std::optional<QDateTime> last;
        bool enabled;
        bool checks;
    };
    const Case cases[] = {
        {"first start", std::nullopt, true, true},    {"a second short of a day", now.addSecs(-86'399), true, false},
        {"a day", now.addSecs(-86'400), true, true},  {"in the future", now.addSecs(60), true, true},
        {"checking off", std::nullopt, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.settings.set(setting::lastUpdateCheck, c.last);
        f.settings.set(setting::checksForUpdates, c.enabled);
        f.checker.start();
        EXPECT_EQ(f.checker.isChecking(), c.checks);
        EXPECT_TRUE(f.checker.timer().isActive());
        EXPECT_EQ(f.checker.timer().intervalAsDuration(), 3600s);
    }
}

TEST(UpdateChecker, TheFeedSitsBesideTheConfiguredPage)
{
    FeedServer server;
    qputenv("VORLIX_UPDATE_PAGE_URL", server.url(u"/vorlix/"_s).toEncoded());
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    UpdateChecker checker{settings};
    EXPECT_EQ(UpdateChecker::pageURL(), server.url(u"/vorlix/"_s));
    EXPECT_EQ(checker.requestURL(), server.url(u"/vorlix/version.json"_s));
    qputenv("VORLIX_UPDATE_PAGE_URL", server.url(u"/vorlix"_s).toEncoded());
    EXPECT_EQ(checker.requestURL(), server.url(u"/vorlix/version.json"_s));
    settings.set(setting::updateFeedURL, server.url(u"/altro.json"_s));
    EXPECT_EQ(checker.requestURL(), server.url(u"/altro.json"_s));
    qunsetenv("VORLIX_UPDATE_PAGE_URL");
}

TEST(UpdateChecker, TheItemShowsTheStatusAndActsOnIt)
{
    Fixture f;
    QMenu menu;
    QAction* item = f.checker.menuItem(menu);
    ASSERT_EQ(menu.actions(), QList<QAction*>{item});
    const auto choose = [&] {
        item->trigger();
        processEventsFor(20ms);
    };

    // Unknown yet: choosing checks; choosing again while it runs starts nothing new.
    EXPECT_EQ(item->text(), u"Non verificato"_s);
    f.server.answers["/version.json"] = {.holds = true};
    choose();
    EXPECT_TRUE(f.checker.isChecking());
    choose();
    ASSERT_TRUE(waitUntil([&] { return !f.checker.isChecking(); }, 5s));
    EXPECT_EQ(f.server.requested.size(), 1);

    // A newer release: the item changes with the check, and opens the maker's page.
    f.server.answers["/version.json"] = record(R"({"version": "999.0", "url": "https://altrove.invalid/"})");
    f.check();
    EXPECT_EQ(item->text(), u"Da aggiornare"_s);
    EXPECT_EQ(item->toolTip(), u"È disponibile la versione 999.0. Clic per aprire la pagina di "_s + AppConfig::name());
    EXPECT_EQ(centreColour(item->icon()), QColor(255, 59, 48));
    choose();
    EXPECT_EQ(f.pagesOpened, QList<QUrl>{UpdateChecker::pageURL()}) << "never the record's own address";
    EXPECT_FALSE(f.checker.isChecking());

    // Checking off: shown when the menu opens; choosing opens the settings.
    f.settings.set(setting::checksForUpdates, false);
    emit menu.aboutToShow();
    EXPECT_EQ(item->text(), u"No verifica aggiornamenti"_s);
    EXPECT_EQ(centreColour(item->icon()), QColor(255, 204, 0));
    choose();
    EXPECT_EQ(f.settingsOpened, 1);
    EXPECT_FALSE(f.checker.isChecking());

    // Up to date: choosing checks again.
    f.settings.set(setting::checksForUpdates, true);
    f.server.answers["/version.json"] = record(installedRecord());
    f.check();
    EXPECT_EQ(item->text(), u"Aggiornato"_s);
    EXPECT_EQ(centreColour(item->icon()), QColor(52, 199, 89));
    choose();
    EXPECT_TRUE(f.checker.isChecking());
}

TEST(UpdateChecker, TheTrayIconCarriesARedDotWhileAnUpdateIsAvailable)
{
    Fixture f;
    StatusMenuController tray(f.settings, f.checker);
    const auto topRightIsRed = [&] {
        const QImage icon = tray.statusItem().icon().pixmap(QSize(44, 44)).toImage();
        return icon.pixelColor(icon.width() - 13, 13) == QColor(255, 59, 48);
    };
    EXPECT_FALSE(tray.updateBadgeShown());
    EXPECT_FALSE(topRightIsRed());

    f.server.answers["/version.json"] = record(R"({"version": "999.0"})");
    f.check();
    EXPECT_TRUE(tray.updateBadgeShown());
    EXPECT_TRUE(topRightIsRed());
    EXPECT_EQ(tray.statusItem().toolTip(), AppConfig::name() + u": è disponibile una versione nuova"_s);
    emit tray.menu().aboutToShow();
    const QList<QAction*> items = tray.menu().actions();
    EXPECT_EQ(items.size() >= 2 ? items[items.size() - 2]->text() : QString(), u"Da aggiornare"_s);

    // Turning checking off is posted by the settings; the dot goes at once.
    f.settings.set(setting::checksForUpdates, false);
    f.notifications.post(UpdateChecker::didChange);
    EXPECT_FALSE(tray.updateBadgeShown());
    EXPECT_EQ(tray.statusItem().toolTip(), AppConfig::name());
}
