// The text result panel on a real X server with a window manager: where the panel lands
// and whom the focus belongs to are decided by the server and the manager.

#include "app/support/TextResultPanel.h"

#include "support/desktop/DesktopTools.h"
#include "support/desktop/FixtureWindow.h"

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;
using namespace Qt::StringLiterals;

namespace {

const QString panelTitle = u"Riconosci testo/QR"_s;

TextRecognition::Result result(const QString& text) { return {.text = text, .codes = {}}; }

std::optional<std::uint32_t> activeWindow()
{
    const ToolResult result = runTool(u"xdotool"_s, {u"getactivewindow"_s});
    bool ok = false;
    const std::uint32_t id = QString::fromUtf8(result.output).trimmed().toUInt(&ok);
    return result.exitCode == 0 && ok ? std::optional(id) : std::nullopt;
}

int visiblePanelsOnTheServer()
{
    const ToolResult result =
        runTool(u"xdotool"_s, {u"search"_s, u"--onlyvisible"_s, u"--name"_s, u"^Riconosci testo/QR$"_s});
    return int(QString::fromUtf8(result.output).split(u'\n', Qt::SkipEmptyParts).size());
}

// The outer rectangle of a window with the frame the window manager drew around it, as
// the server and the manager tell it.
std::optional<QRect> frameOnTheServer(std::uint32_t window)
{
    const ToolResult info = runTool(u"xwininfo"_s, {u"-id"_s, QString::number(window)});
    const ToolResult extents = runTool(u"xprop"_s, {u"-id"_s, QString::number(window), u"_NET_FRAME_EXTENTS"_s});
    const QString text = QString::fromUtf8(info.output);
    const auto value = [&](const QString& name) {
        const QRegularExpressionMatch match = QRegularExpression(name + u":\\s+(-?\\d+)"_s).match(text);
        return match.hasMatch() ? std::optional(match.captured(1).toInt()) : std::nullopt;
    };
    const QStringList sides = QString::fromUtf8(extents.output).section(u'=', 1).split(u',', Qt::SkipEmptyParts);
    const std::optional<int> x = value(u"Absolute upper-left X"_s);
    const std::optional<int> y = value(u"Absolute upper-left Y"_s);
    const std::optional<int> width = value(u"Width"_s);
    const std::optional<int> height = value(u"Height"_s);
    if (sides.size() != 4 || !x || !y || !width || !height)
        return std::nullopt;
    const int left = sides[0].trimmed().toInt();
    const int right = sides[1].trimmed().toInt();
    const int top = sides[2].trimmed().toInt();
    const int bottom = sides[3].trimmed().toInt();
    return QRect(*x - left, *y - top, *width + left + right, *height + top + bottom);
}

class TextResultPanelOnTheDesktop : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fixture.showAndWait());
        fixture.requestActivate();
        ASSERT_TRUE(waitUntil([&] { return activeWindow() == fixture.winId(); }));
    }

    void TearDown() override
    {
        if (QWidget* panel = TextResultPanel::current())
            panel->close();
        processEventsFor(100ms);
    }

    FixtureWindow fixture{FixtureWindow::quadrants({200, 150}), {100, 100}, u"Finestra al lavoro"_s};
};

} // namespace

TEST_F(TextResultPanelOnTheDesktop, ThePanelAppearsAtTheBottomRightAndLeavesTheFocusWhereItWas)
{
    TextResultPanel::show(result(u"testo riconosciuto"_s));
    const std::optional<std::uint32_t> panel = waitForWindow(panelTitle);
    ASSERT_TRUE(panel.has_value());

    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint corner = available.bottomRight() - QPoint(16, 16);
    std::optional<QRect> frame;
    EXPECT_TRUE(waitUntil([&] {
        frame = frameOnTheServer(*panel);
        return frame && frame->bottomRight() == corner;
    })) << (frame ? frame->x() : -1)
        << "," << (frame ? frame->y() : -1) << " " << (frame ? frame->width() : -1) << "x"
        << (frame ? frame->height() : -1);
    EXPECT_GT(frame->height(), TextResultPanel::current()->height()) << "no title bar";

    processEventsFor(300ms);
    EXPECT_EQ(activeWindow(), fixture.winId());
}

TEST_F(TextResultPanelOnTheDesktop, ASecondResultLeavesOnePanelOnScreen)
{
    TextResultPanel::show(result(u"primo"_s));
    ASSERT_TRUE(waitForWindow(panelTitle).has_value());
    TextResultPanel::show(result(u"secondo"_s));
    processEventsFor(300ms);
    EXPECT_EQ(visiblePanelsOnTheServer(), 1);
    EXPECT_EQ(activeWindow(), fixture.winId());
}

TEST_F(TextResultPanelOnTheDesktop, TextInThePanelCanBeSelectedAndEscapeClosesIt)
{
    TextResultPanel::show(result(u"testo da scegliere"_s));
    ASSERT_TRUE(waitForWindow(panelTitle).has_value());
    QPointer<QWidget> panel = TextResultPanel::current();
    auto* textBox = panel->findChild<QPlainTextEdit*>();
    processEventsFor(200ms); // the panel's final place

    const QPoint start = textBox->mapToGlobal(QPoint(8, 12));
    ASSERT_TRUE(movePointer(start.x(), start.y()));
    ASSERT_TRUE(runTool(u"xdotool"_s, {u"mousedown"_s, u"1"_s}).exitCode == 0);
    ASSERT_TRUE(movePointer(start.x() + 150, start.y()));
    ASSERT_TRUE(runTool(u"xdotool"_s, {u"mouseup"_s, u"1"_s}).exitCode == 0);
    EXPECT_TRUE(waitUntil([&] { return textBox->textCursor().hasSelection(); }));

    ASSERT_TRUE(sendKeys(u"Escape"_s));
    EXPECT_TRUE(waitUntil([&] { return panel.isNull(); }));
    EXPECT_EQ(visiblePanelsOnTheServer(), 0);
}
