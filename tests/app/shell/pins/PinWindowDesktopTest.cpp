// Pins on a real X server with a window manager: above other windows and on every
// desktop without taking the focus, click-through with the lock bar as the only part that
// reacts, proportions kept when the window manager resizes, and the copied PNG as another
// program reads it.

#include "app/shell/pins/PinWindowController.h"

#include "support/desktop/DesktopTools.h"
#include "support/desktop/FixtureWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;
using namespace Qt::StringLiterals;

namespace {

const QString pinTitle = u"Scatto sul leggio"_s;

QImage picture(QSize pixels)
{
    QImage image(pixels, QImage::Format_ARGB32);
    image.fill(QColor(30, 140, 220));
    for (int y = 0; y < pixels.height() / 2; ++y)
        for (int x = 0; x < pixels.width() / 2; ++x)
            image.setPixelColor(x, y, QColor(240, 200, 20));
    return image;
}

std::optional<std::uint32_t> activeWindow()
{
    const ToolResult result = runTool(u"xdotool"_s, {u"getactivewindow"_s});
    bool ok = false;
    const std::uint32_t id = QString::fromUtf8(result.output).trimmed().toUInt(&ok);
    return result.exitCode == 0 && ok ? std::optional(id) : std::nullopt;
}

QString property(WId window, const QString& name)
{
    return QString::fromUtf8(runTool(u"xprop"_s, {u"-id"_s, QString::number(window), name}).output);
}

bool isViewable(WId window)
{
    return QString::fromUtf8(runTool(u"xwininfo"_s, {u"-id"_s, QString::number(window)}).output)
        .contains(u"IsViewable"_s);
}

// The client windows from the bottom of the stack to the top.
QList<WId> stackingOrder()
{
    const QString text = QString::fromUtf8(runTool(u"xprop"_s, {u"-root"_s, u"_NET_CLIENT_LIST_STACKING"_s}).output);
    QList<WId> windows;
    for (const QRegularExpressionMatch& match : QRegularExpression(u"0x[0-9a-f]+"_s).globalMatch(text))
        windows << match.captured(0).toULongLong(nullptr, 16);
    return windows;
}

bool setDesktop(int desktop)
{
    return runTool(u"xdotool"_s, {u"set_desktop"_s, QString::number(desktop)}).exitCode == 0;
}

bool xdotool(const QStringList& arguments) { return runTool(u"xdotool"_s, arguments).exitCode == 0; }

// A window that counts the mouse presses it receives.
class PressCounter : public QWidget {
public:
    PressCounter() { setWindowTitle(u"Finestra sotto"_s); }
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++presses; }
    void contextMenuEvent(QContextMenuEvent*) override {}
};

class PinsOnTheDesktop : public testing::Test {
protected:
    void TearDown() override
    {
        PinWindowController::closeAll();
        runDeferredDeletes();
        setDesktop(0);
        processEventsFor(100ms);
    }

    static PinWindowController& pinAndWait(QSize pixels)
    {
        PinWindowController& made = PinWindowController::pin(picture(pixels), 1.0, pinTitle);
        EXPECT_TRUE(waitForWindow(pinTitle).has_value());
        EXPECT_TRUE(waitUntil([&] { return isViewable(made.window()->winId()); }));
        processEventsFor(200ms);
        return made;
    }
};

} // namespace

TEST_F(PinsOnTheDesktop, APinStaysAboveOnEveryDesktopAndLeavesTheFocusWhereItWas)
{
    FixtureWindow fixture(FixtureWindow::quadrants({300, 200}), {50, 50}, u"Finestra al lavoro"_s);
    ASSERT_TRUE(fixture.showAndWait());
    fixture.requestActivate();
    ASSERT_TRUE(waitUntil([&] { return activeWindow() == fixture.winId(); }));

    PinWindowController& made = pinAndWait({320, 200});
    const WId pin = made.window()->winId();
    EXPECT_EQ(activeWindow(), fixture.winId());

    // Raising and activating the other window leaves the pin on top.
    ASSERT_TRUE(xdotool({u"windowactivate"_s, QString::number(fixture.winId())}));
    processEventsFor(300ms);
    const QList<WId> stack = stackingOrder();
    ASSERT_TRUE(stack.contains(pin) && stack.contains(fixture.winId()));
    EXPECT_GT(stack.indexOf(pin), stack.indexOf(fixture.winId()));

    EXPECT_TRUE(property(pin, u"_NET_WM_DESKTOP"_s).contains(u"4294967295"_s));
    ASSERT_TRUE(setDesktop(2));
    EXPECT_TRUE(waitUntil([&] { return !isViewable(fixture.winId()); }));
    EXPECT_TRUE(isViewable(pin));
}

TEST_F(PinsOnTheDesktop, ClicksPassThroughALockedPinAndTheBarMovesUnlocksAndCloses)
{
    PressCounter below;
    below.setGeometry(QGuiApplication::primaryScreen()->availableGeometry().adjusted(100, 100, -100, -100));
    below.show();
    ASSERT_TRUE(waitForWindow(u"Finestra sotto"_s).has_value());
    PinWindowController& made = pinAndWait({400, 300});
    QWidget* window = made.window();

    made.lockClicked();
    QWidget* bar = made.lockBar();
    ASSERT_TRUE(bar);
    ASSERT_TRUE(waitUntil([&] { return isViewable(bar->winId()); }));
    processEventsFor(200ms);
    EXPECT_TRUE(property(window->winId(), u"_NET_WM_WINDOW_OPACITY"_s).contains(u"2576980377"_s)); // 60 %

    const QPoint middle = window->geometry().center();
    ASSERT_TRUE(movePointer(middle.x(), middle.y()));
    ASSERT_TRUE(click(3));
    EXPECT_TRUE(waitUntil([&] { return below.presses == 1; }, 2s));
    EXPECT_FALSE(QApplication::activePopupWidget());

    // Dragging the bar by its background takes the pin along.
    const QRect before = window->frameGeometry();
    const QPoint grip(bar->geometry().right() - 6, bar->geometry().center().y());
    ASSERT_TRUE(movePointer(grip.x(), grip.y()));
    ASSERT_TRUE(xdotool({u"mousedown"_s, u"1"_s}));
    processEventsFor(100ms);
    for (int step = 1; step <= 5; ++step) {
        ASSERT_TRUE(movePointer(grip.x() - 16 * step, grip.y() + 10 * step));
        processEventsFor(50ms);
    }
    ASSERT_TRUE(xdotool({u"mouseup"_s, u"1"_s}));
    EXPECT_TRUE(waitUntil([&] { return window->frameGeometry().topLeft() == before.topLeft() + QPoint(-80, 50); }))
        << window->frameGeometry().x() << "," << window->frameGeometry().y();
    EXPECT_TRUE(waitUntil([&] { return bar->geometry().topLeft() == window->frameGeometry().topLeft(); }));

    // The bar's unlock button: the pin answers clicks again, its menu among them.
    QAbstractButton* unlock = bar->findChildren<QAbstractButton*>().value(1);
    ASSERT_TRUE(unlock);
    const QPoint unlockAt = unlock->mapToGlobal(unlock->rect().center());
    ASSERT_TRUE(movePointer(unlockAt.x(), unlockAt.y()));
    ASSERT_TRUE(click(1));
    ASSERT_TRUE(waitUntil([&] { return !made.lockBar(); }));
    processEventsFor(200ms);
    const QPoint moved = window->geometry().center();
    ASSERT_TRUE(movePointer(moved.x(), moved.y()));
    ASSERT_TRUE(click(3));
    EXPECT_TRUE(waitUntil([&] { return QApplication::activePopupWidget() == made.menu(); }, 2s));
    EXPECT_EQ(below.presses, 1);
    made.menu()->close();

    // Locked again, the bar's close button ends the pin.
    made.lockClicked();
    bar = made.lockBar();
    ASSERT_TRUE(waitUntil([&] { return isViewable(bar->winId()); }));
    QAbstractButton* close = bar->findChildren<QAbstractButton*>().value(0);
    const QPoint closeAt = close->mapToGlobal(close->rect().center());
    ASSERT_TRUE(movePointer(closeAt.x(), closeAt.y()));
    ASSERT_TRUE(click(1));
    EXPECT_TRUE(waitUntil([] { return PinWindowController::open().empty(); }));
    EXPECT_FALSE(waitForWindow(pinTitle, 300ms).has_value());
}

TEST_F(PinsOnTheDesktop, ResizingThroughTheWindowManagerKeepsTheProportions)
{
    PinWindowController& made = pinAndWait({400, 200});
    QWidget* window = made.window();
    ASSERT_TRUE(xdotool({u"windowsize"_s, QString::number(window->winId()), u"500"_s, u"120"_s}));
    EXPECT_TRUE(waitUntil([&] {
        const QSize size = window->size();
        return size != QSize(200, 100) && std::abs(size.width() - 2 * size.height()) <= 2;
    })) << window->width()
        << "x" << window->height();
    processEventsFor(300ms);
    EXPECT_LE(std::abs(window->width() - 2 * window->height()), 2) << window->width() << "x" << window->height();
}

TEST_F(PinsOnTheDesktop, CopyOffersThePngToOtherPrograms)
{
    const QImage image = picture({64, 48});
    PinWindowController& made = PinWindowController::pin(image, 2.0, pinTitle);
    made.copyImage();
    const std::optional<QByteArray> png = readClipboard(u"image/png"_s);
    ASSERT_TRUE(png.has_value());
    EXPECT_EQ(QImage::fromData(*png, "PNG").convertToFormat(QImage::Format_ARGB32), image);
}

TEST_F(PinsOnTheDesktop, ClosingAllPinsTakesTheirWindowsOffTheScreenAndFreesThem)
{
    std::vector<QPointer<PinWindowController>> pins;
    for (int i = 0; i < 3; ++i)
        pins.emplace_back(&pinAndWait({120 + 40 * i, 90}));
    pins[1]->lockClicked();
    QPointer<QWidget> bar = pins[1]->lockBar();
    PinWindowController::closeAll();
    runDeferredDeletes();
    EXPECT_TRUE(PinWindowController::open().empty());
    for (const QPointer<PinWindowController>& pin : pins)
        EXPECT_FALSE(pin);
    EXPECT_FALSE(bar);
    EXPECT_FALSE(waitForWindow(pinTitle, 300ms).has_value());
}
