// The program as a person uses it, started as a child process on a desktop with a window
// manager and a system tray: the area hot key, a drag over a window and the shot in the
// history folder, followed by the quick preview or the editor as the settings say;
// later starts handing over files: images good or broken, projects, and files that are
// neither, which are refused and never run; pinning the editor's picture.
// Each test has its own settings, folders and socket in a temporary folder.

#include "core/formats/HistoryEntry.h"
#include "core/formats/ProjectPackageWriter.h"
#include "core/imaging/ImageCoding.h"
#include "support/desktop/ChildProcess.h"
#include "support/desktop/Desktop.h"
#include "support/desktop/DesktopTools.h"
#include "support/desktop/FixtureWindow.h"
#include "support/desktop/ProgramHome.h"
#include "support/desktop/ProgramOnDesktop.h"
#include "support/desktop/TrayProbe.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QPainter>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

using namespace vorlix;
using namespace vorlix::test;

namespace {

const QString editorTitlePattern = QStringLiteral("^Progetto ");

struct VorlixInUse : testing::Test, ProgramOnDesktop {
    QTemporaryDir files; // what the user opens, kept apart from the program's folders
    QString historyFolder = home.filePath(QStringLiteral("Downloads/Vorlix"));

    // The settings the program reads at start: its INI file under XDG_CONFIG_HOME.
    void writeSetting(const QString& key, const QString& value) const
    {
        QSettings ini(home.filePath(QStringLiteral("config/Vorlix/Vorlix.ini")), QSettings::IniFormat);
        ini.setValue(key, value);
        ini.sync();
    }

    // Starts the first instance and waits until its icon is in the tray.
    ChildProcess startFirst() const
    {
        ChildProcess process = startProgram();
        const TrayProbe tray;
        EXPECT_TRUE(waitUntil([&] { return tray.embeddedIconOf(process.pid()).has_value(); }, 10s))
            << this->log().data();
        return process;
    }

    // A later start with `arguments`: it hands them over and ends at once.
    void startLater(const QStringList& arguments) const
    {
        QProcess second;
        second.setProcessEnvironment(withEntries(environment()));
        second.start(QStringLiteral(VORLIX_EXECUTABLE), arguments);
        ASSERT_TRUE(second.waitForFinished(10000));
        EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().data();
    }

    QStringList shots() const
    {
        return QDir(historyFolder).entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
    }

    static QStringList visibleWindowsOf(pid_t pid)
    {
        return visibleWindows({QStringLiteral("--pid"), QString::number(pid)});
    }
    static bool editorShown() { return !visibleWindows({QStringLiteral("--name"), editorTitlePattern}).isEmpty(); }

    static QRect screen() { return QRect(0, 0, VORLIX_DESKTOP_WIDTH, VORLIX_DESKTOP_HEIGHT); }

    // Presses the area hot key until the program's overlay covers the screen (the key is
    // grabbed a moment after the tray icon shows).
    static bool openOverlayWithHotkey(pid_t pid, const QString& keys = QStringLiteral("ctrl+shift+2"))
    {
        const auto overlayShown = [pid] {
            for (const QString& window : visibleWindowsOf(pid))
                if (windowGeometry(window) == screen())
                    return true;
            return false;
        };
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (!sendKeys(keys))
                return false;
            if (waitUntil(overlayShown, 4s)) {
                // The overlay takes the pointer as it shows; give it that turn.
                processEventsFor(300ms);
                return true;
            }
        }
        return false;
    }

    static bool drag(QPoint from, QPoint to)
    {
        return runTool(QStringLiteral("xdotool"),
                       {QStringLiteral("mousemove"), QString::number(from.x()), QString::number(from.y()),
                        QStringLiteral("mousedown"), QStringLiteral("1"), QStringLiteral("mousemove"),
                        QString::number((from.x() + to.x()) / 2), QString::number((from.y() + to.y()) / 2),
                        QStringLiteral("mousemove"), QString::number(to.x()), QString::number(to.y()),
                        QStringLiteral("mouseup"), QStringLiteral("1")})
                   .exitCode == 0;
    }

    // A window of four coloured quadrants at a place the window manager leaves alone.
    struct Fixture {
        QImage picture = FixtureWindow::quadrants({400, 300});
        QPoint topLeft{200, 150};
        FixtureWindow window{picture, topLeft, QStringLiteral("Quadranti")};
        Fixture() { window.setFlags(window.flags() | Qt::X11BypassWindowManagerHint); }
    };

    // Drives a capture of part of the fixture with the hot key; returns the shot's file.
    QString captureFixturePart(pid_t pid, const Fixture& fixture, const QRect& area)
    {
        if (!openOverlayWithHotkey(pid)) {
            ADD_FAILURE() << "no overlay after the hot key\n" << log().data();
            return {};
        }
        const QPoint from = fixture.topLeft + area.topLeft();
        if (!drag(from, from + QPoint(area.width(), area.height()))) {
            ADD_FAILURE() << "xdotool could not drag";
            return {};
        }
        // Until the file is whole.
        const auto shotWritten = [&] {
            return !shots().isEmpty() &&
                   !ImageCoding::decode(contents(QDir(historyFolder).filePath(shots().front()))).isNull();
        };
        if (!waitUntil(shotWritten, 10s)) {
            ADD_FAILURE() << "no shot in " << historyFolder.toStdString() << "\n" << log().data();
            return {};
        }
        EXPECT_EQ(shots().size(), 1);
        return QDir(historyFolder).filePath(shots().front());
    }

    // The shot's pixels are the fixture's in `area`, and it carries its history entry.
    static void expectShotOf(const QByteArray& png, const Fixture& fixture, const QRect& area)
    {
        const QImage image = ImageCoding::decode(png).convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(image, fixture.picture.copy(area).convertToFormat(QImage::Format_RGB32))
            << image.width() << "x" << image.height();
        const std::optional<QString> description = ImageCoding::description(png);
        ASSERT_TRUE(description.has_value());
        const HistoryEntry entry = decodeHistoryEntry(description->toStdString());
        EXPECT_FALSE(entry.id.isNull());
        EXPECT_EQ(entry.captureKind, CaptureKind::area);
        EXPECT_EQ(entry.pixelWidth, area.width());
        EXPECT_EQ(entry.pixelHeight, area.height());
        EXPECT_LT(std::abs(entry.date.secsTo(QDateTime::currentDateTimeUtc())), 120);
    }

    static QByteArray contents(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

} // namespace

TEST_F(VorlixInUse, TheAreaHotKeyTakesTheDraggedPartOfAWindowAndShowsTheQuickPreview)
{
    writeSetting(QStringLiteral("afterCapture"), QStringLiteral("quickPreview"));
    Fixture fixture;
    ASSERT_TRUE(fixture.window.showAndWait());
    ChildProcess app = startFirst();

    // Across all four quadrants, so that a shifted or mirrored shot shows.
    const QRect area(150, 100, 120, 90);
    const QString shot = captureFixturePart(app.pid(), fixture, area);
    ASSERT_FALSE(shot.isEmpty());
    const QByteArray png = contents(shot);
    expectShotOf(png, fixture, area);

    // The panel first: it hides by itself after a few seconds.
    QString panel;
    ASSERT_TRUE(waitUntil(
        [&] {
            const QStringList found =
                visibleWindows({QStringLiteral("--all"), QStringLiteral("--pid"), QString::number(app.pid()),
                                QStringLiteral("--name"), QStringLiteral("^Anteprima rapida$")});
            panel = found.value(0);
            return !panel.isEmpty();
        },
        10s))
        << log().data();
    const std::optional<QRect> placed = windowGeometry(panel);
    ASSERT_TRUE(placed.has_value());
    // At the bottom-right, inside the screen, with a small inset (a tray panel may take an edge).
    EXPECT_TRUE(screen().contains(*placed));
    EXPECT_LT(screen().right() - placed->right(), 64) << placed->x() << "," << placed->y();
    EXPECT_LT(screen().bottom() - placed->bottom(), 64) << placed->x() << "," << placed->y();
    std::optional<QByteArray> copied;
    EXPECT_TRUE(waitUntil([&] { return (copied = readClipboard(QStringLiteral("image/png"))).has_value(); }, 10s));
    if (copied) {
        EXPECT_EQ(ImageCoding::decode(*copied).convertToFormat(QImage::Format_RGB32),
                  ImageCoding::decode(png).convertToFormat(QImage::Format_RGB32));
    }

    EXPECT_FALSE(editorShown());
    EXPECT_TRUE(app.isRunning());
}

TEST_F(VorlixInUse, TheTextHotKeyReadsTheDraggedTextIntoTheClipboardAndShowsIt)
{
    QImage page(520, 120, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        QFont font = painter.font();
        font.setPixelSize(44);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(page.rect(), Qt::AlignCenter, QStringLiteral("Cattura 2026"));
    }
    const QPoint topLeft(200, 150);
    FixtureWindow window(page, topLeft, QStringLiteral("Testo"));
    window.setFlags(window.flags() | Qt::X11BypassWindowManagerHint);
    ASSERT_TRUE(window.showAndWait());
    ChildProcess app = startFirst();

    // Ctrl+Alt+Super+O, the text hot key.
    ASSERT_TRUE(openOverlayWithHotkey(app.pid(), QStringLiteral("ctrl+alt+super+o"))) << log().data();
    ASSERT_TRUE(drag(topLeft + QPoint(10, 10), topLeft + QPoint(510, 110)));
    std::optional<QByteArray> text;
    EXPECT_TRUE(waitUntil(
        [&] {
            text = readClipboard();
            return text && text->contains("Cattura");
        },
        20s))
        << (text ? text->constData() : "nothing on the clipboard") << "\n"
        << log().data();
    EXPECT_TRUE(text && text->contains("2026"));
    EXPECT_TRUE(waitUntil(
        [&] {
            return !visibleWindows({QStringLiteral("--name"), QStringLiteral("^Riconosci testo/QR$")}).isEmpty();
        },
        10s));
    EXPECT_TRUE(shots().isEmpty()) << "reading text keeps no shot";
    EXPECT_TRUE(app.isRunning());
}

TEST_F(VorlixInUse, ByDefaultTheShotOfTheAreaHotKeyOpensInAnEditor)
{
    Fixture fixture;
    ASSERT_TRUE(fixture.window.showAndWait());
    ChildProcess app = startFirst();

    const QRect area(120, 30, 160, 100); // across the red and the green quadrant
    const QString shot = captureFixturePart(app.pid(), fixture, area);
    ASSERT_FALSE(shot.isEmpty());
    expectShotOf(contents(shot), fixture, area);
    EXPECT_TRUE(waitUntil(editorShown, 10s)) << log().data();
    EXPECT_TRUE(visibleWindows({QStringLiteral("--name"), QStringLiteral("^Anteprima rapida$")}).isEmpty());
    EXPECT_TRUE(app.isRunning());
}

TEST_F(VorlixInUse, ALaterStartOpensAnImageInAnEditorAndABrokenOneInAnAlert)
{
    ChildProcess app = startFirst();
    const QStringList before = visibleWindowsOf(app.pid());

    const QString good = files.filePath(QStringLiteral("piccola.png"));
    ASSERT_TRUE(FixtureWindow::quadrants({64, 48}).save(good));
    startLater({good});
    ASSERT_TRUE(waitUntil(editorShown, 10s)) << log().data();
    const QStringList withEditor = visibleWindowsOf(app.pid());

    const QString broken = files.filePath(QStringLiteral("rotta.png"));
    {
        QFile file(broken);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("\x89PNG\r\n\x1a\n not really an image");
    }
    startLater({broken});
    QStringList alerts;
    EXPECT_TRUE(waitUntil(
        [&] {
            alerts.clear();
            for (const QString& window : visibleWindowsOf(app.pid()))
                if (!withEditor.contains(window) && !before.contains(window))
                    alerts << window;
            return !alerts.isEmpty();
        },
        10s))
        << log().data();
    EXPECT_EQ(visibleWindows({QStringLiteral("--name"), editorTitlePattern}).size(), 1) << "no editor for it";
    EXPECT_TRUE(app.isRunning());

    // The alert goes with its button, and the program carries on.
    ASSERT_EQ(alerts.size(), 1);
    runTool(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"), alerts.front()});
    ASSERT_TRUE(sendKeys(QStringLiteral("Return")));
    EXPECT_TRUE(waitUntil([&] { return !visibleWindowsOf(app.pid()).contains(alerts.front()); }, 10s));
    EXPECT_TRUE(app.isRunning());
    EXPECT_TRUE(editorShown());
}

TEST_F(VorlixInUse, TheEditorsPinCommandFloatsThePictureOnEveryDesktop)
{
    ChildProcess app = startFirst();
    const QString image = files.filePath(QStringLiteral("piccola.png"));
    ASSERT_TRUE(FixtureWindow::quadrants({64, 48}).save(image));
    startLater({image});
    ASSERT_TRUE(waitUntil(editorShown, 10s)) << log().data();
    const QStringList editors = visibleWindows({QStringLiteral("--name"), editorTitlePattern});
    ASSERT_EQ(editors.size(), 1);
    const QStringList before = visibleWindowsOf(app.pid());

    runTool(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"), editors.front()});
    ASSERT_TRUE(sendKeys(QStringLiteral("ctrl+alt+p")));
    QStringList pins;
    EXPECT_TRUE(waitUntil(
        [&] {
            pins.clear();
            for (const QString& window : visibleWindowsOf(app.pid()))
                if (!before.contains(window))
                    pins << window;
            return !pins.isEmpty();
        },
        10s))
        << log().data();
    ASSERT_EQ(pins.size(), 1);
    const QString desktop = QString::fromUtf8(
        runTool(QStringLiteral("xprop"), {QStringLiteral("-id"), pins.front(), QStringLiteral("_NET_WM_DESKTOP")})
            .output);
    EXPECT_TRUE(desktop.contains(QStringLiteral("4294967295"))) << desktop.toStdString();
    EXPECT_TRUE(app.isRunning());
}

TEST_F(VorlixInUse, ALaterStartOpensAProjectAndAnImageAndRefusesAScriptWithoutRunningIt)
{
    ChildProcess app = startFirst();
    const QStringList before = visibleWindowsOf(app.pid());

    // A project whose extension is written in capitals, and an image.
    const QString project = files.filePath(QStringLiteral("Viaggio.VORLIX"));
    {
        const QImage picture = FixtureWindow::quadrants({64, 48});
        DocumentModel document;
        Panel panel;
        panel.id = QUuid::createUuid();
        panel.imageID = QUuid::createUuid();
        panel.pixelSize = {64, 48};
        document.panels = {panel};
        ImageStore images;
        images.add({*ImageCoding::encode(picture, ImageType::png, 1, 0.9), QStringLiteral("png")}, panel.imageID);
        ProjectPackage::write(document, images, project);
    }
    const QString image = files.filePath(QStringLiteral("piccola.png"));
    ASSERT_TRUE(FixtureWindow::quadrants({64, 48}).save(image));
    startLater({project, image});
    const auto shown = [](const QString& titlePattern) {
        return !visibleWindows({QStringLiteral("--name"), titlePattern}).isEmpty();
    };
    EXPECT_TRUE(waitUntil([&] { return shown(QStringLiteral("^Viaggio")); }, 10s)) << log().data();
    EXPECT_TRUE(waitUntil(editorShown, 10s)) << log().data();
    EXPECT_TRUE(waitUntil(
        [&] {
            const QSettings ini(home.filePath(QStringLiteral("config/Vorlix/Vorlix.ini")), QSettings::IniFormat);
            return ini.value(QStringLiteral("recentProjects")).toStringList().value(0) == project;
        },
        10s))
        << "the project heads the recent projects";
    const QStringList withEditors = visibleWindowsOf(app.pid());

    // A script that would leave a mark if anything ran it.
    const QString mark = files.filePath(QStringLiteral("eseguito"));
    const QString script = files.filePath(QStringLiteral("installa.sh"));
    {
        QFile file(script);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\ntouch '" + mark.toUtf8() + "'\n");
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
    }
    startLater({script});
    QStringList alerts;
    EXPECT_TRUE(waitUntil(
        [&] {
            alerts.clear();
            for (const QString& window : visibleWindowsOf(app.pid()))
                if (!withEditors.contains(window) && !before.contains(window))
                    alerts << window;
            return !alerts.isEmpty();
        },
        10s))
        << log().data();
    ASSERT_EQ(alerts.size(), 1);
    runTool(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"), alerts.front()});
    ASSERT_TRUE(sendKeys(QStringLiteral("Return")));
    EXPECT_TRUE(waitUntil([&] { return !visibleWindowsOf(app.pid()).contains(alerts.front()); }, 10s));
    processEventsFor(300ms);
    EXPECT_FALSE(QFile::exists(mark));
    EXPECT_TRUE(app.isRunning());
    EXPECT_EQ(visibleWindowsOf(app.pid()).size(), withEditors.size()) << "no editor for the script";
}
