#include "support/desktop/Desktop.h"
#include "support/desktop/DesktopTools.h"
#include "support/desktop/FixtureWindow.h"

#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>

#include <gtest/gtest.h>

#include <set>

using namespace vorlix::test;

namespace {

bool allEnded(const std::vector<pid_t>& pids) { return std::ranges::none_of(pids, processAlive); }

} // namespace

TEST(Desktop, DesktopsRunSideBySideOnDisplaysOfTheirOwnAndLeaveNothingRunning)
{
    std::vector<pid_t> pids;
    {
        Desktop full({.size = {640, 480}, .windowManager = true, .tray = true, .compositor = true});
        Desktop bare({.size = {320, 240}});
        const std::set<int> displays{processDesktop().displayNumber(), full.displayNumber(), bare.displayNumber()};
        EXPECT_EQ(displays.size(), 3u);
        pids = full.processIds();
        const std::vector<pid_t> barePids = bare.processIds();
        pids.insert(pids.end(), barePids.begin(), barePids.end());
        EXPECT_EQ(pids.size(), 5u);
        EXPECT_TRUE(std::ranges::all_of(pids, processAlive));
        full.stop();
        EXPECT_TRUE(allEnded(full.processIds()));
    }
    EXPECT_TRUE(allEnded(pids));
}

TEST(Desktop, AProgramThatCrashesLeavesNoServerBehind)
{
    QProcess probe;
    probe.start(QStringLiteral(VORLIX_CRASH_PROBE), {});
    ASSERT_TRUE(probe.waitForFinished(15000));
    EXPECT_EQ(probe.exitStatus(), QProcess::CrashExit);
    std::vector<pid_t> pids;
    for (const QByteArray& line : probe.readAllStandardOutput().split('\n'))
        if (!line.isEmpty())
            pids.push_back(line.toInt());
    ASSERT_EQ(pids.size(), 2u); // the server and the window manager
    EXPECT_TRUE(waitUntil([&] { return allEnded(pids); }, 5s));
}

TEST(DesktopTools, FixtureWindowShowsItsPixelsWhereAsked)
{
    FixtureWindow window(FixtureWindow::quadrants({80, 60}), {100, 50}, QStringLiteral("Finestra di prova"));
    ASSERT_TRUE(window.showAndWait());
    EXPECT_TRUE(waitForWindow(QStringLiteral("Finestra di prova")).has_value());
    EXPECT_FALSE(waitForWindow(QStringLiteral("Nessuna finestra"), 100ms).has_value());

    const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0, 100, 50, 80, 60).toImage();
    ASSERT_EQ(shot.size(), QSize(80, 60));
    struct Case {
        QPoint at;
        QRgb expected;
    };
    const Case cases[] = {{{2, 2}, qRgb(255, 0, 0)},
                          {{77, 2}, qRgb(0, 255, 0)},
                          {{2, 57}, qRgb(0, 0, 255)},
                          {{77, 57}, qRgb(255, 255, 255)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.at.x() << "," << c.at.y());
        EXPECT_EQ(shot.pixel(c.at) & 0xffffff, c.expected & 0xffffff);
    }
}

TEST(DesktopTools, PointerMovesAndTheClipboardReadsBack)
{
    ASSERT_TRUE(movePointer(123, 45));
    EXPECT_TRUE(waitUntil([] { return QCursor::pos() == QPoint(123, 45); }));

    QGuiApplication::clipboard()->setText(QStringLiteral("perché sì"));
    EXPECT_EQ(readClipboard(), QStringLiteral("perché sì").toUtf8());
    EXPECT_EQ(readClipboard(QStringLiteral("image/png")), std::nullopt);
}
