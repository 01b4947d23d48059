// The update check against a server on 127.0.0.1: how long one check takes from start to
// stored answer (the network access is set up afresh for each check), and the longest
// the event loop goes without a turn while the server takes its time to answer.

#include "app/shell/update/UpdateChecker.h"
#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

using namespace vorlix;
using namespace std::chrono_literals;

namespace {

// Answers every request with one record after `delay`.
class SlowFeed {
public:
    explicit SlowFeed(std::chrono::milliseconds delay) : m_delay(delay)
    {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection())
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    if (!socket->readAll().contains("\r\n\r\n"))
                        return;
                    QTimer::singleShot(m_delay, socket, [socket] {
                        const QByteArray body = R"({"version": "999.0", "build": 1})";
                        socket->write("HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: " +
                                      QByteArray::number(body.size()) + "\r\n\r\n" + body);
                        socket->disconnectFromHost();
                    });
                });
        });
    }

    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/version.json").arg(m_server.serverPort())); }

private:
    std::chrono::milliseconds m_delay;
    QTcpServer m_server;
};

struct Checker {
    explicit Checker(const QUrl& feed)
    {
        settings.set(setting::updateFeedURL, feed);
        checker.hooks.now = [] { return QDateTime::currentDateTimeUtc(); };
    }
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    UpdateChecker checker{settings};
};

// Turns the event loop until the check ends; the longest gap between two turns.
qint64 runCheck(UpdateChecker& checker)
{
    checker.checkNow();
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    while (checker.isChecking()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        const qint64 at = clock.nsecsElapsed();
        longest = std::max(longest, at - last);
        last = at;
    }
    return longest;
}

void BM_UpdateCheckAnswered(benchmark::State& state)
{
    SlowFeed feed(0ms);
    Checker c(feed.url());
    for (auto _ : state)
        runCheck(c.checker);
    if (!c.checker.status().isUpdateAvailable())
        state.SkipWithError("the check did not read the record");
}
BENCHMARK(BM_UpdateCheckAnswered)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_UpdateCheckLongestStallWhileTheServerWaits(benchmark::State& state)
{
    SlowFeed feed(200ms);
    Checker c(feed.url());
    qint64 longest = 0;
    for (auto _ : state)
        longest = std::max(longest, runCheck(c.checker));
    state.counters["longest_stall_ms"] = static_cast<double>(longest) / 1e6;
}
BENCHMARK(BM_UpdateCheckLongestStallWhileTheServerWaits)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace
