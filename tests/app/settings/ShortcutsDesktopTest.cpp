// The shortcut fields in the program itself, on a desktop with a window manager and a
// system tray: a combination recorded into the "Cattura area" field becomes the area hot
// key, and a recording abandoned by closing the window or by turning to another window
// leaves the hot keys working. Its settings, folders and socket live in a temporary folder.

#include "app/settings/SettingsWindowController.h"
#include "app/settings/ShortcutRecorder.h"
#include "app/settings/ShortcutSettingsViewController.h"
#include "app/support/DefaultsStore.h"
#include "app/support/NotificationCenter.h"
#include "app/support/Settings.h"

#include "support/desktop/ChildProcess.h"
#include "support/desktop/Desktop.h"
#include "support/desktop/DesktopTools.h"
#include "support/desktop/FixtureWindow.h"
#include "support/desktop/ProgramHome.h"
#include "support/desktop/ProgramOnDesktop.h"
#include "support/desktop/TrayProbe.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

using namespace vorlix;
using namespace vorlix::test;

namespace {

// Where the "Scorciatoie" tab and the "Cattura area" field lie in the settings window,
// from its top-left corner: measured on the same window made here, on the same desktop
// with the same fonts and style.
struct Places {
    QPoint shortcutsTab;
    QPoint areaField;
};

Places measureSettingsWindow()
{
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    SettingsServices services;
    SettingsWindowController controller(settings, services);
    controller.show();
    controller.selectTab(2);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&controller.window()));
    // Until the window has taken the page's size and laid it out.
    processEventsFor(300ms);
    const SettingsWindowController::Tab& tab = controller.tabs().at(2);
    QWidget* tabButton = controller.toolbar().widgetForAction(tab.action);
    auto* page = dynamic_cast<ShortcutSettingsViewController*>(tab.page);
    if (!tabButton || !page) {
        ADD_FAILURE() << "no shortcuts tab";
        return {};
    }
    const ShortcutRecorder* field = page->recorder(HotkeyAction::captureArea);
    const Places places{tabButton->mapTo(&controller.window(), tabButton->rect().center()),
                        field->mapTo(&controller.window(), QPoint(30, field->height() / 2))};
    controller.window().close();
    return places;
}

struct ShortcutsOnDesktop : testing::Test, ProgramOnDesktop {
    // Starts the program and waits until its icon is in the tray.
    ChildProcess startFirst() const
    {
        ChildProcess process = startProgram();
        const TrayProbe tray;
        EXPECT_TRUE(waitUntil([&] { return tray.embeddedIconOf(process.pid()).has_value(); }, 10s))
            << this->log().data();
        return process;
    }

    // The key and modifiers stored for "Cattura area", as the program wrote them.
    std::pair<int, int> storedAreaKey() const
    {
        QSettings ini(home.filePath(QStringLiteral("config/Vorlix/Vorlix.ini")), QSettings::IniFormat);
        const QJsonObject area = QJsonDocument::fromJson(ini.value(QStringLiteral("hotkeys")).toByteArray())
                                     .object()[QStringLiteral("bindings")]
                                     .toObject()[QStringLiteral("captureArea")]
                                     .toObject();
        return {area[QStringLiteral("keyCode")].toInt(-1), area[QStringLiteral("modifiers")].toInt(-1)};
    }

    // The program's shown window whose title starts with `title` (its name follows).
    static std::optional<QString> shownWindow(pid_t pid, const QString& title)
    {
        for (const QString& window : visibleWindows({QStringLiteral("--pid"), QString::number(pid)})) {
            const ToolResult name = runTool(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), window});
            if (QString::fromUtf8(name.output).startsWith(title))
                return window;
        }
        return std::nullopt;
    }

    // A click at `point` from the top-left corner of `window`'s contents.
    static bool clickIn(const QString& window, QPoint point)
    {
        return runTool(QStringLiteral("xdotool"),
                       {QStringLiteral("mousemove"), QStringLiteral("--window"), window, QString::number(point.x()),
                        QString::number(point.y()), QStringLiteral("click"), QStringLiteral("1")})
                   .exitCode == 0;
    }

    static bool overlayShown(pid_t pid)
    {
        for (const QString& window : visibleWindows({QStringLiteral("--pid"), QString::number(pid)}))
            if (windowGeometry(window) == QRect(0, 0, VORLIX_DESKTOP_WIDTH, VORLIX_DESKTOP_HEIGHT))
                return true;
        return false;
    }

    // Opens the settings on the "Scorciatoie" page; its window.
    std::optional<QString> openShortcutsPage(pid_t pid, const Places& places) const
    {
        QProcess later;
        later.setProcessEnvironment(withEntries(environment()));
        later.start(QStringLiteral(VORLIX_EXECUTABLE), {QStringLiteral("vorlix://settings")});
        if (!later.waitForFinished(10000))
            return std::nullopt;
        std::optional<QString> window;
        if (!waitUntil([&] { return (window = shownWindow(pid, QStringLiteral("Generale"))).has_value(); }, 5s))
            return std::nullopt;
        // Placed at the top of the screen once shown.
        processEventsFor(500ms);
        if (!clickIn(*window, places.shortcutsTab))
            return std::nullopt;
        if (!waitUntil([&] { return shownWindow(pid, QStringLiteral("Scorciatoie")).has_value(); }, 4s))
            return std::nullopt;
        processEventsFor(300ms);
        return window;
    }

    // Records ctrl+alt+k into the "Cattura area" field: it becomes the area hot key.
    void recordNewAreaKey(const QString& window, const Places& places) const
    {
        ASSERT_TRUE(clickIn(window, places.areaField));
        processEventsFor(300ms);
        ASSERT_TRUE(sendKeys(QStringLiteral("ctrl+alt+k")));
        const std::pair<int, int> ctrlAltK{0x28, 1 | 4};
        ASSERT_TRUE(waitUntil([&] { return storedAreaKey() == ctrlAltK; }, 5s)) << log().data();
    }

    // Presses the new area hot key until the overlay covers the screen.
    static bool hotKeyOpensOverlay(pid_t pid)
    {
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (!sendKeys(QStringLiteral("ctrl+alt+k")))
                return false;
            if (waitUntil([pid] { return overlayShown(pid); }, 4s))
                return true;
        }
        return false;
    }
};

} // namespace

TEST_F(ShortcutsOnDesktop, ClosingTheWindowWhileAFieldRecordsLeavesTheHotKeysWorking)
{
    const Places places = measureSettingsWindow();
    ChildProcess app = startFirst();
    const std::optional<QString> window = openShortcutsPage(app.pid(), places);
    ASSERT_TRUE(window.has_value()) << log().data();
    recordNewAreaKey(*window, places);

    // Listening again, then the window is closed through the window manager.
    ASSERT_TRUE(clickIn(*window, places.areaField));
    processEventsFor(300ms);
    ASSERT_TRUE(sendKeys(QStringLiteral("alt+F4")));
    ASSERT_TRUE(waitUntil([&] { return !shownWindow(app.pid(), QStringLiteral("Scorciatoie")).has_value(); }, 4s));

    EXPECT_TRUE(hotKeyOpensOverlay(app.pid())) << log().data();
    sendKeys(QStringLiteral("Escape"));
    EXPECT_TRUE(app.isRunning());
}

TEST_F(ShortcutsOnDesktop, TurningToAnotherWindowWhileAFieldRecordsLeavesTheHotKeysWorking)
{
    const Places places = measureSettingsWindow();
    FixtureWindow other(FixtureWindow::quadrants({200, 150}), QPoint(40, 500), QStringLiteral("Altra finestra"));
    ASSERT_TRUE(other.showAndWait());
    ChildProcess app = startFirst();
    const std::optional<QString> window = openShortcutsPage(app.pid(), places);
    ASSERT_TRUE(window.has_value()) << log().data();
    recordNewAreaKey(*window, places);

    ASSERT_TRUE(clickIn(*window, places.areaField));
    processEventsFor(300ms);
    ASSERT_TRUE(movePointer(140, 575) && click(1));
    processEventsFor(300ms);
    ASSERT_TRUE(shownWindow(app.pid(), QStringLiteral("Scorciatoie")).has_value());

    EXPECT_TRUE(hotKeyOpensOverlay(app.pid())) << log().data();
    sendKeys(QStringLiteral("Escape"));
    EXPECT_TRUE(app.isRunning());
}
