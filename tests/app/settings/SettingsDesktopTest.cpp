// The settings window in the program itself, on a desktop with a window manager and a
// system tray: opened from the tray menu, its tabs switched with the pointer, the delay
// and what follows a shot changed with the keyboard; the next capture follows both.
// Its settings, folders and socket live in a temporary folder.

#include "support/desktop/ChildProcess.h"
#include "support/desktop/Desktop.h"
#include "support/desktop/DesktopTools.h"
#include "support/desktop/ProgramHome.h"
#include "support/desktop/ProgramOnDesktop.h"
#include "support/desktop/TrayProbe.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

using namespace vorlix::test;

namespace {

struct SettingsOnDesktop : testing::Test, ProgramOnDesktop {
    ChildProcess startFirst() const { return startProgram(); }

    // What the program has written to its settings file.
    QString stored(const QString& key) const
    {
        QSettings ini(home.filePath(QStringLiteral("config/Vorlix/Vorlix.ini")), QSettings::IniFormat);
        return ini.value(key).toString();
    }

    QStringList shots() const
    {
        return QDir(home.filePath(QStringLiteral("Downloads/Vorlix")))
            .entryList({QStringLiteral("*.png")}, QDir::Files);
    }

    static std::optional<QString> shownWindow(pid_t pid, const QString& title)
    {
        const QStringList found =
            visibleWindows({QStringLiteral("--all"), QStringLiteral("--pid"), QString::number(pid),
                            QStringLiteral("--name"), QStringLiteral("^") + title + QStringLiteral("$")});
        return found.isEmpty() ? std::nullopt : std::optional(found.front());
    }
};

} // namespace

TEST_F(SettingsOnDesktop, OpensFromTheTrayAndTheNextCaptureFollowsWhatWasChanged)
{
    ChildProcess app = startFirst();
    const TrayProbe tray;
    std::optional<std::uint32_t> icon;
    ASSERT_TRUE(waitUntil([&] { return (icon = tray.embeddedIconOf(app.pid())).has_value(); }, 10s)) << log().data();

    // "Impostazioni…" is the fourth item from the bottom of the tray menu (above
    // "Informazioni", the update item and "Esci"); the keyboard reaches it from the end.
    const std::optional<QRect> iconRect = tray.screenRect(*icon);
    ASSERT_TRUE(iconRect.has_value());
    std::optional<QString> settingsWindow;
    for (int attempt = 0; attempt < 3 && !settingsWindow; ++attempt) {
        ASSERT_TRUE(movePointer(iconRect->center().x(), iconRect->center().y()));
        ASSERT_TRUE(click(3));
        processEventsFor(700ms);
        for (int up = 0; up < 4; ++up)
            ASSERT_TRUE(sendKeys(QStringLiteral("Up")));
        ASSERT_TRUE(sendKeys(QStringLiteral("Return")));
        waitUntil([&] { return (settingsWindow = shownWindow(app.pid(), QStringLiteral("Generale"))).has_value(); },
                  4s);
        if (!settingsWindow)
            sendKeys(QStringLiteral("Escape"));
    }
    ASSERT_TRUE(settingsWindow.has_value()) << log().data();

    // Hanging from the top of the screen, centred.
    const std::optional<QRect> placed = windowGeometry(*settingsWindow);
    ASSERT_TRUE(placed.has_value());
    EXPECT_LT(placed->top(), 60);
    EXPECT_LE(std::abs(placed->center().x() - VORLIX_DESKTOP_WIDTH / 2), 2) << placed->x() << " " << placed->width();

    // The tabs sit in the middle of the toolbar: "Scatti" in the centre, "Generale" left of
    // it. Clicked within the window itself: where the window manager's frame puts the
    // window's top differs between the tools that report it.
    const auto clickInWindow = [&](QPoint at) {
        return runTool(QStringLiteral("xdotool"),
                       {QStringLiteral("mousemove"), QStringLiteral("--window"), *settingsWindow,
                        QString::number(at.x()), QString::number(at.y()), QStringLiteral("click"), QStringLiteral("1")})
                   .exitCode == 0;
    };
    const QPoint scatti(placed->width() / 2, 14);
    ASSERT_TRUE(clickInWindow(scatti));
    EXPECT_TRUE(waitUntil([&] { return shownWindow(app.pid(), QStringLiteral("Scatti")).has_value(); }, 4s));
    ASSERT_TRUE(clickInWindow(scatti - QPoint(97, 0)));
    EXPECT_TRUE(waitUntil([&] { return shownWindow(app.pid(), QStringLiteral("Generale")).has_value(); }, 4s));

    // The delay's field, the fourth control of the page, takes a click; three controls back
    // lies the choice of what follows a shot.
    ASSERT_TRUE(clickInWindow(QPoint(436, 381)));
    ASSERT_TRUE(sendKeys(QStringLiteral("ctrl+a")));
    ASSERT_TRUE(sendKeys(QStringLiteral("6")));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(sendKeys(QStringLiteral("shift+Tab")));
    ASSERT_TRUE(sendKeys(QStringLiteral("Down")));
    EXPECT_TRUE(
        waitUntil([&] { return stored(QStringLiteral("afterCapture")) == QStringLiteral("quickPreview"); }, 5s));
    EXPECT_TRUE(waitUntil([&] { return stored(QStringLiteral("captureDelay")) == QStringLiteral("6"); }, 5s));

    // A delayed capture asked for by URL, confirmed: taken after 6 s, not the standard 3.
    const QStringList before = visibleWindows({QStringLiteral("--pid"), QString::number(app.pid())});
    QProcess later;
    later.setProcessEnvironment(withEntries(environment()));
    later.start(QStringLiteral(VORLIX_EXECUTABLE), {QStringLiteral("vorlix://capture/delayed")});
    ASSERT_TRUE(later.waitForFinished(10000));
    const auto question = [&] {
        for (const QString& window : visibleWindows({QStringLiteral("--pid"), QString::number(app.pid())}))
            if (!before.contains(window))
                return true;
        return false;
    };
    ASSERT_TRUE(waitUntil(question, 5s)) << log().data();
    processEventsFor(300ms);
    ASSERT_TRUE(sendKeys(QStringLiteral("Return")));
    QElapsedTimer clock;
    clock.start();
    processEventsFor(4500ms);
    EXPECT_TRUE(shots().isEmpty()) << "a shot after " << clock.elapsed() << " ms";
    EXPECT_TRUE(waitUntil([&] { return !shots().isEmpty(); }, 12s)) << log().data();
    // The quick preview follows, not an editor.
    EXPECT_TRUE(waitUntil(
        [&] {
            return !visibleWindows({QStringLiteral("--all"), QStringLiteral("--pid"), QString::number(app.pid()),
                                    QStringLiteral("--name"), QStringLiteral("^Anteprima rapida$")})
                        .isEmpty();
        },
        10s));
    EXPECT_TRUE(visibleWindows({QStringLiteral("--name"), QStringLiteral("^Progetto ")}).isEmpty());
    EXPECT_TRUE(app.isRunning());
}
