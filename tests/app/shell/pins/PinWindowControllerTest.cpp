// Pins off screen: their opening size, the context menu's opacity steps, click-through and
// back, copying, and leaving the list of open pins when closed.

#include "app/shell/pins/PinWindowController.h"

#include "app/support/Beeper.h"
#include "app/support/Pasteboard.h"
#include "support/EventLoopWaits.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;
using namespace Qt::StringLiterals;

namespace {

QImage picture(QSize pixels)
{
    QImage image(pixels, QImage::Format_ARGB32);
    image.fill(QColor(30, 140, 220));
    return image;
}

QAction* actionNamed(const QMenu& menu, const QString& text)
{
    for (QAction* action : menu.actions()) {
        if (action->text() == text)
            return action;
        if (action->menu())
            if (QAction* inner = actionNamed(*action->menu(), text))
                return inner;
    }
    return nullptr;
}

class PinnedImages : public testing::Test {
protected:
    void TearDown() override
    {
        PinWindowController::open().clear();
        runDeferredDeletes();
    }

    static PinWindowController& pin(QSize pixels = {400, 300}, const QString& title = u"Scatto"_s)
    {
        return PinWindowController::pin(picture(pixels), 2.0, title);
    }
};

} // namespace

TEST(PinOpeningSize, NaturalSizeUnlessAboveSixtyPercentOfTheArea)
{
    struct Case {
        QSize pixels;
        double pixelsPerPoint;
        QSize area;
        QSize expected;
    };
    const Case cases[] = {
        {{800, 600}, 2.0, {500, 400}, {300, 225}}, // limited by the width: 0.75
        {{200, 100}, 1.0, {500, 400}, {200, 100}}, // fits: never enlarged
        {{400, 1000}, 1.0, {500, 400}, {96, 240}}, // limited by the height: 0.24
        {{300, 240}, 1.0, {500, 400}, {300, 240}}, // exactly 60 % both ways
        {{3000, 2000}, 1.0, PinWindowController::fallbackArea, {720, 480}},
        {{0, 0}, 1.0, {500, 400}, {1, 1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PinWindowController::openingSize(c.pixels, c.pixelsPerPoint, c.area), c.expected)
            << c.pixels.width() << "x" << c.pixels.height() << " @" << c.pixelsPerPoint;
}

TEST_F(PinnedImages, APinOpensCentredOnTheScreenAndJoinsTheOpenList)
{
    PinWindowController& made = pin({200, 100}, u"Scatto [*] del 9 dic"_s);
    ASSERT_EQ(PinWindowController::open().size(), 1u);
    EXPECT_EQ(PinWindowController::open().front().get(), &made);
    QWidget* window = made.window();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowHandle()->title(), u"Scatto [*] del 9 dic"_s);
    EXPECT_EQ(window->size(), QSize(100, 50));
    EXPECT_EQ(window->geometry().center(), window->screen()->availableGeometry().center());
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
}

TEST_F(PinnedImages, EachOpacityItemSetsItsPercentage)
{
    PinWindowController& made = pin();
    const std::pair<QString, double> items[] = {
        {u"40%"_s, 0.4}, {u"20%"_s, 0.2}, {u"80%"_s, 0.8}, {u"60%"_s, 0.6}, {u"100%"_s, 1.0}};
    for (const auto& [text, opacity] : items) {
        QAction* item = actionNamed(*made.menu(), text);
        ASSERT_TRUE(item) << text.toStdString();
        item->trigger();
        EXPECT_DOUBLE_EQ(made.window()->windowOpacity(), opacity) << text.toStdString();
    }
}

TEST_F(PinnedImages, ClickThroughDimsOnlyAnOpaquePinAndUnlockingRestoresFullOpacity)
{
    struct Case {
        int percent;
        double whileTransparent;
    };
    for (const Case c : {Case{100, 0.6}, Case{40, 0.4}}) {
        PinWindowController& made = pin();
        made.setOpacity(c.percent);
        actionNamed(*made.menu(), u"Trasparente ai clic"_s)->trigger();
        EXPECT_TRUE(made.isTransparentToClicks());
        EXPECT_TRUE(made.window()->isVisible());
        EXPECT_NEAR(made.window()->windowOpacity(), c.whileTransparent, 0.01) << c.percent;
        ASSERT_TRUE(made.lockBar());
        QWidget* bar = made.lockBar();
        made.lockClicked(); // already transparent: nothing changes
        EXPECT_EQ(made.lockBar(), bar);

        PinWindowController::unlockAll();
        EXPECT_FALSE(made.isTransparentToClicks());
        EXPECT_DOUBLE_EQ(made.window()->windowOpacity(), 1.0);
        EXPECT_FALSE(made.lockBar());
    }
}

TEST_F(PinnedImages, UnlockAllLeavesPinsThatReceiveClicksAsTheyAre)
{
    PinWindowController& plain = pin();
    plain.setOpacity(80);
    PinWindowController& locked = pin();
    locked.lockClicked();
    PinWindowController::unlockAll();
    EXPECT_DOUBLE_EQ(plain.window()->windowOpacity(), 0.8);
    EXPECT_FALSE(locked.isTransparentToClicks());
    EXPECT_DOUBLE_EQ(locked.window()->windowOpacity(), 1.0);
}

TEST_F(PinnedImages, TheLockBarCoversTheTopOfThePinAndDraggingItMovesThePin)
{
    PinWindowController& made = pin({600, 400}, u"Nome <b>non</b> formattato"_s);
    made.lockClicked();
    QWidget* bar = made.lockBar();
    ASSERT_TRUE(bar);
    const QRect frame = made.window()->frameGeometry();
    EXPECT_EQ(bar->geometry().topLeft(), frame.topLeft());
    EXPECT_EQ(bar->width(), frame.width());
    EXPECT_GE(bar->height(), PinWindowController::smallestLockBarHeight);

    bar->move(bar->pos() + QPoint(40, 25));
    EXPECT_EQ(made.window()->frameGeometry().topLeft(), frame.topLeft() + QPoint(40, 25));
}

TEST_F(PinnedImages, ClosingFromTheLockBarRemovesTheBarAndThePin)
{
    PinWindowController& kept = pin();
    PinWindowController& made = pin();
    made.lockClicked();
    QPointer<QWidget> bar = made.lockBar();
    QPointer<PinWindowController> closed = &made;
    QPointer<QWidget> window = made.window();

    bar->findChild<QAbstractButton*>()->click(); // the first button: "Chiudi"
    runDeferredDeletes();
    EXPECT_FALSE(bar);
    EXPECT_FALSE(closed);
    EXPECT_FALSE(window);
    ASSERT_EQ(PinWindowController::open().size(), 1u);
    EXPECT_EQ(PinWindowController::open().front().get(), &kept);
}

TEST_F(PinnedImages, ClosingAllFreesEveryPin)
{
    std::vector<QPointer<PinWindowController>> pins;
    for (int i = 0; i < 3; ++i)
        pins.emplace_back(&pin());
    pins[1]->lockClicked();
    PinWindowController::closeAll();
    runDeferredDeletes();
    EXPECT_TRUE(PinWindowController::open().empty());
    for (const auto& made : pins)
        EXPECT_FALSE(made);
    PinWindowController::unlockAll(); // with no pins: nothing to do
}

TEST_F(PinnedImages, ResizingKeepsTheImagesProportions)
{
    PinWindowController& made = pin({400, 200});
    QWidget* window = made.window();
    struct Case {
        QSize requested;
        QSize expected;
    };
    const Case cases[] = {
        {{300, 100}, {300, 150}}, // wider: the height follows
        {{300, 200}, {400, 200}}, // taller: the width follows
        {{120, 60}, {120, 60}},   // already in proportion
    };
    for (const Case& c : cases) {
        window->resize(c.requested);
        EXPECT_EQ(window->size(), c.expected) << c.requested.width() << "x" << c.requested.height();
    }
}

TEST_F(PinnedImages, CopyPutsThePngOnTheClipboard)
{
    const QImage image = picture({40, 30});
    PinWindowController& made = PinWindowController::pin(image, 2.0, u"Scatto"_s);
    actionNamed(*made.menu(), u"Copia immagine"_s)->trigger();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(data && data->hasFormat(QString::fromLatin1(Pasteboard::pngType)));
    const QImage copied = QImage::fromData(data->data(QString::fromLatin1(Pasteboard::pngType)), "PNG");
    EXPECT_EQ(copied.convertToFormat(QImage::Format_ARGB32), image);
    EXPECT_NEAR(copied.dotsPerMeterX(), 2.0 * 72 / 0.0254, 1.0);
}

TEST_F(PinnedImages, AnImageThatCannotBeEncodedBeepsAndLeavesTheClipboard)
{
    QGuiApplication::clipboard()->setText(u"prima"_s);
    int beeps = 0;
    const Beeper::Override sound([&] { ++beeps; });
    PinWindowController made(QImage(), 1.0, u"Vuoto"_s);
    made.copyImage();
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"prima"_s);
}
