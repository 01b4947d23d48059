// The quick preview on a real X server with a window manager: where the panel lands, that
// the focus stays with the window the user works in, and that it hides by itself unless
// the pointer rests on it.

#include "app/shell/panels/QuickPreview.h"

#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"
#include "support/desktop/DesktopTools.h"
#include "support/desktop/FixtureWindow.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;
using namespace Qt::StringLiterals;

namespace {

const QString panelTitle = u"Anteprima rapida"_s;

CapturedShot shotOf(QSize pixels)
{
    CapturedShot shot;
    shot.image = QImage(pixels, QImage::Format_RGB32);
    shot.image.fill(QColor(220, 60, 30));
    QBuffer buffer(&shot.pngData);
    buffer.open(QIODevice::WriteOnly);
    shot.image.save(&buffer, "PNG");
    return shot;
}

std::optional<std::uint32_t> activeWindow()
{
    const ToolResult result = runTool(u"xdotool"_s, {u"getactivewindow"_s});
    bool ok = false;
    const std::uint32_t id = QString::fromUtf8(result.output).trimmed().toUInt(&ok);
    return result.exitCode == 0 && ok ? std::optional(id) : std::nullopt;
}

bool panelVisibleOnTheServer()
{
    const ToolResult result =
        runTool(u"xdotool"_s, {u"search"_s, u"--onlyvisible"_s, u"--name"_s, u"^Anteprima rapida$"_s});
    return !QString::fromUtf8(result.output).trimmed().isEmpty();
}

// The window's rectangle in root coordinates, as the server tells it.
std::optional<QRect> geometryOnTheServer(std::uint32_t window)
{
    const QString text = QString::fromUtf8(runTool(u"xwininfo"_s, {u"-id"_s, QString::number(window)}).output);
    const auto value = [&](const QString& name) {
        const QRegularExpressionMatch match = QRegularExpression(name + u":\\s+(-?\\d+)"_s).match(text);
        return match.hasMatch() ? std::optional(match.captured(1).toInt()) : std::nullopt;
    };
    const auto x = value(u"Absolute upper-left X"_s);
    const auto y = value(u"Absolute upper-left Y"_s);
    const auto width = value(u"Width"_s);
    const auto height = value(u"Height"_s);
    if (!x || !y || !width || !height)
        return std::nullopt;
    return QRect(*x, *y, *width, *height);
}

class QuickPreviewOnTheDesktop : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fixture.showAndWait());
        fixture.requestActivate();
        ASSERT_TRUE(waitUntil([&] { return activeWindow() == fixture.winId(); }));
        ASSERT_TRUE(movePointer(20, 20));
    }

    void TearDown() override
    {
        preview.close();
        processEventsFor(100ms);
    }

    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    QuickPreview preview{settings};
    FixtureWindow fixture{FixtureWindow::quadrants({200, 150}), {100, 100}, u"Finestra al lavoro"_s};
};

} // namespace

TEST_F(QuickPreviewOnTheDesktop, ThePanelAppearsAtTheBottomRightAndLeavesTheFocusWhereItWas)
{
    preview.show(shotOf({1920, 1080}), QDateTime::currentDateTime());
    const std::optional<std::uint32_t> panel = waitForWindow(panelTitle);
    ASSERT_TRUE(panel.has_value());

    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect expected(available.right() + 1 - 16 - 260, available.bottom() + 1 - 16 - 199, 260, 199);
    std::optional<QRect> geometry;
    EXPECT_TRUE(waitUntil([&] {
        geometry = geometryOnTheServer(*panel);
        return geometry == expected;
    })) << (geometry ? geometry->x() : -1)
        << "," << (geometry ? geometry->y() : -1) << " " << (geometry ? geometry->width() : -1) << "x"
        << (geometry ? geometry->height() : -1);

    processEventsFor(300ms);
    EXPECT_EQ(activeWindow(), fixture.winId());
}

TEST_F(QuickPreviewOnTheDesktop, ItHidesByItselfAfterTheDelay)
{
    preview.setHideDelay(800ms);
    QElapsedTimer clock;
    clock.start();
    preview.show(shotOf({640, 400}), QDateTime::currentDateTime());
    ASSERT_TRUE(waitForWindow(panelTitle).has_value());
    EXPECT_TRUE(waitUntil([&] { return !panelVisibleOnTheServer(); }, 5s));
    // A coarse timer may fire up to 5 % early; a loaded machine only makes it later.
    EXPECT_GE(clock.elapsed(), 760) << "hidden before its delay";
    EXPECT_FALSE(preview.panel());
}

TEST_F(QuickPreviewOnTheDesktop, ThePointerOnThePanelKeepsItAndLeavingHidesItAfterTheDelay)
{
    // Long enough for the pointer to get there however loaded the machine is.
    preview.setHideDelay(30s);
    preview.show(shotOf({640, 400}), QDateTime::currentDateTime());
    ASSERT_TRUE(waitForWindow(panelTitle).has_value());
    preview.setHideDelay(600ms);
    const QPoint middle = preview.panel()->geometry().center();
    ASSERT_TRUE(movePointer(middle.x(), middle.y()));
    EXPECT_TRUE(waitUntil([&] { return !preview.isHidePending(); }, 2s)) << "the pointer on it stops the delay";
    processEventsFor(1000ms);
    EXPECT_TRUE(panelVisibleOnTheServer()) << "kept while the pointer rests on it";

    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(movePointer(20, 20));
    EXPECT_TRUE(waitUntil([&] { return preview.isHidePending(); }, 2s));
    EXPECT_TRUE(waitUntil([&] { return !panelVisibleOnTheServer(); }, 5s));
    EXPECT_GE(clock.elapsed(), 570) << "the delay starts when the pointer leaves";
}
