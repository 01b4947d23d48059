// The program itself on a desktop with a system tray: it shows its icon in the tray, a
// later start hands its URL to it and ends at once, the URL's capture (once confirmed)
// lands in the history folder, and "Esci" in the tray menu quits it.
// Its settings, folders and socket live in a temporary folder.

#include "support/desktop/ChildProcess.h"
#include "support/desktop/Desktop.h"
#include "support/desktop/DesktopTools.h"
#include "support/desktop/ProgramHome.h"
#include "support/desktop/ProgramOnDesktop.h"
#include "support/desktop/TrayProbe.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

using namespace vorlix::test;

namespace {

struct VorlixOnDesktop : testing::Test, ProgramOnDesktop {
    QProcessEnvironment processEnvironment() const { return withEntries(environment()); }

    ChildProcess startFirst() const { return startProgram(); }

    // The PNG files anywhere under `folder`.
    static QStringList shotsUnder(const QString& folder)
    {
        QStringList found;
        QDirIterator it(folder, {QStringLiteral("*.png")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            found << it.next();
        return found;
    }

    static QStringList visibleWindowIDsOf(pid_t pid)
    {
        return visibleWindows({QStringLiteral("--pid"), QString::number(pid)});
    }

    int visibleWindowsOf(pid_t pid) const
    {
        const ToolResult found =
            runTool(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                QStringLiteral("--pid"), QString::number(pid)});
        const QByteArray windows = found.output.trimmed();
        return windows.isEmpty() ? 0 : static_cast<int>(windows.split('\n').size());
    }
};

} // namespace

TEST_F(VorlixOnDesktop, ShowsItsTrayIconTakesALaterStartsURLAndQuitsFromItsMenu)
{
    ChildProcess first = startFirst();
    const TrayProbe tray;
    std::optional<std::uint32_t> icon;
    ASSERT_TRUE(waitUntil([&] { return (icon = tray.embeddedIconOf(first.pid())).has_value(); }, 10s)) << log().data();
    // Heavy parts wait for their first use: a program idle in the tray has not mapped them.
    QFile maps(QStringLiteral("/proc/%1/maps").arg(first.pid()));
    ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
    const QByteArray mapped = maps.readAll();
    for (const char* library : {"libQt6Network", "libtesseract", "libZXing"})
        EXPECT_FALSE(mapped.contains(library)) << library;

    QProcess second;
    second.setProcessEnvironment(processEnvironment());
    QElapsedTimer clock;
    clock.start();
    second.start(QStringLiteral(VORLIX_EXECUTABLE), {QStringLiteral("vorlix://capture/screen")});
    ASSERT_TRUE(second.waitForFinished(5000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().data();
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_TRUE(waitUntil([&] { return log().contains("Received vorlix://capture/screen"); })) << log().data();
    EXPECT_TRUE(first.isRunning());
    EXPECT_EQ(tray.embeddedIconOf(first.pid()), icon);

    // A capture asked for by another program is confirmed first ("Cattura" is the default
    // button); then the shot lands in the history folder and opens in an editor.
    ASSERT_TRUE(waitUntil([&] { return visibleWindowsOf(first.pid()) >= 2; })) << log().data();
    ASSERT_TRUE(sendKeys(QStringLiteral("Return")));
    EXPECT_TRUE(waitUntil([&] { return !shotsUnder(home.path()).isEmpty(); }, 10s)) << log().data();
    const auto editorShown = [] {
        return !runTool(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                    QStringLiteral("--name"), QStringLiteral("^Progetto ")})
                    .output.trimmed()
                    .isEmpty();
    };
    EXPECT_TRUE(waitUntil(editorShown, 10s));

    // The tray menu opens under a right click; "Esci" is its last item.
    const QStringList before = visibleWindowIDsOf(first.pid());
    const std::optional<QRect> rect = tray.screenRect(*icon);
    ASSERT_TRUE(rect.has_value());
    ASSERT_TRUE(movePointer(rect->center().x(), rect->center().y()));
    ASSERT_TRUE(click(3));
    // The menu is the tall new window: the icon's tooltip may show up beside it.
    std::optional<QRect> items;
    ASSERT_TRUE(waitUntil([&] {
        for (const QString& id : visibleWindowIDsOf(first.pid()))
            if (!before.contains(id))
                if (const std::optional<QRect> shown = windowGeometry(id); shown && shown->height() > 100)
                    items = shown;
        return items.has_value();
    }));
    ASSERT_TRUE(movePointer(items->center().x(), items->bottom() - 12));
    ASSERT_TRUE(click(1));
    EXPECT_TRUE(waitUntil([&] { return !first.isRunning(); }));
}

TEST_F(VorlixOnDesktop, AStartAfterAnInstanceWasKilledRunsItselfAndTakesLaterStarts)
{
    const TrayProbe tray;
    {
        ChildProcess killed = startFirst();
        ASSERT_TRUE(waitUntil([&] { return tray.embeddedIconOf(killed.pid()).has_value(); }, 10s));
    }
    const QString socket = home.filePath(QStringLiteral("org.vorlix.Vorlix-%1.socket").arg(geteuid()));
    ASSERT_TRUE(QFile::exists(socket)) << "the killed instance left its socket";

    ChildProcess first = startFirst();
    ASSERT_TRUE(waitUntil([&] { return tray.embeddedIconOf(first.pid()).has_value(); }, 10s)) << log().data();
    QProcess second;
    second.setProcessEnvironment(processEnvironment());
    second.start(QStringLiteral(VORLIX_EXECUTABLE), {QStringLiteral("vorlix://capture/area")});
    ASSERT_TRUE(second.waitForFinished(5000));
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().data();
    EXPECT_TRUE(waitUntil([&] { return log().contains("Received vorlix://capture/area"); }, 10s)) << log().data();
}
