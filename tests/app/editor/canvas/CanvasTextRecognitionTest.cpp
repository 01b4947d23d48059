#include "app/editor/canvas/CanvasView.h"
#include "app/editor/canvas/TextRegionPopover.h"
#include "app/support/TextResultView.h"
#include "core/model/PanelGeometry.h"

#include "DocumentCanvas.h"

#include <QClipboard>
#include <QFont>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// A loaded machine is slow to start the engine the first time.
constexpr auto engineTimeout = 120s;

// A second panel showing "Ciao mondo" in dark text on white; `words` is its canvas frame.
struct CanvasTextRecognitionTest : test::DocumentCanvas {
    CanvasTextRecognitionTest()
    {
        QImage image(320, 60, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            QFont font(u"DejaVu Sans"_s);
            font.setPixelSize(24);
            painter.setFont(font);
            painter.setPen(QColor(20, 20, 20));
            painter.drawText(QPointF(12, 40), u"Ciao mondo"_s);
        }
        document.addImage(*ImageCoding::encode(image, ImageType::png, 1, 0.9), u"png"_s, 1, u"Aggiungi"_s);
        undo().removeAllActions();
        words = frame(editor().model().panels.back());
        blank = Rect(frame(editor().model().panels.front()).center(), Size{4, 4});
        view->setTool(Tool::ocr);
        view->zoomToFit();
        clipboard()->setText(u"prima"_s);
    }

    static QClipboard* clipboard() { return QGuiApplication::clipboard(); }
    TextRegionPopover* popover() const { return dynamic_cast<TextRegionPopover*>(view->textPopover()); }
    QString shownText() const { return popover() ? popover()->resultView()->textBox()->toPlainText() : QString(); }

    Rect words;
    Rect blank;
};

TEST_F(CanvasTextRecognitionTest, TextOfTheRegionGoesToTheClipboardAndShowsUnderTheRegion)
{
    drag(words.origin, {words.maxX(), words.maxY()});
    // Read off the interface thread: the release is over before anything was found.
    EXPECT_EQ(clipboard()->text(), u"prima"_s);
    ASSERT_TRUE(view->state().textRegion);
    EXPECT_NEAR(view->state().textRegion->width(), words.width(), 0.01);

    ASSERT_TRUE(test::waitUntil([&] { return popover() != nullptr; }, engineTimeout));
    EXPECT_EQ(clipboard()->text(), u"Ciao mondo"_s);
    EXPECT_EQ(popover()->resultView()->text(), u"Ciao mondo"_s);
    EXPECT_TRUE(popover()->isVisible());
    // Below the region, centred on it.
    const QPoint anchor = view->viewport()->mapToGlobal(view->toViewport({words.midX(), words.maxY()}).toPoint());
    // (The test platform may add a window frame of a few pixels.)
    EXPECT_NEAR(popover()->geometry().top(), anchor.y(), 3);
    EXPECT_NEAR(popover()->geometry().center().x(), anchor.x(), 3);

    // "Chiudi" closes it, and the region goes with it.
    popover()->resultView()->closePressed();
    test::processEventsFor(20ms);
    EXPECT_EQ(view->textPopover(), nullptr);
    EXPECT_EQ(view->state().textRegion, std::nullopt);
}

TEST_F(CanvasTextRecognitionTest, RegionsTooSmallAreDroppedAndAnEmptyOneLeavesTheClipboard)
{
    click(blank.origin);
    EXPECT_EQ(view->state().textRegion, std::nullopt);
    view->setTextRegion(Rect(blank.origin, Size{3, 100}));
    view->recognizeText();
    EXPECT_EQ(view->state().textRegion, std::nullopt);
    test::processEventsFor(50ms);
    EXPECT_EQ(view->textPopover(), nullptr);

    // 4 x 4 points of white are read and found empty.
    view->setTextRegion(blank);
    view->recognizeText();
    ASSERT_TRUE(test::waitUntil([&] { return popover() != nullptr; }, engineTimeout));
    EXPECT_EQ(clipboard()->text(), u"prima"_s);
    EXPECT_EQ(popover()->resultView()->header()->text(), u"Nessun testo trovato"_s);
}

TEST_F(CanvasTextRecognitionTest, OnlyTheLatestRegionShowsItsResult)
{
    drag(words.origin, {words.maxX(), words.maxY()});
    drag(blank.origin, blank.origin + Point{20, 20});
    ASSERT_TRUE(test::waitUntil([&] { return popover() != nullptr; }, engineTimeout));
    // The first result reached the clipboard; the popover is the second, empty one.
    ASSERT_TRUE(test::waitUntil([&] { return clipboard()->text() == u"Ciao mondo"_s; }, engineTimeout));
    test::processEventsFor(50ms);
    EXPECT_EQ(popover()->resultView()->text(), QString());
    ASSERT_TRUE(view->state().textRegion);
    EXPECT_NEAR(view->state().textRegion->width(), 20, 0.01);

    // A new press closes the shown popover.
    send(QEvent::MouseButtonPress, words.origin);
    EXPECT_EQ(view->textPopover(), nullptr);
    send(QEvent::MouseButtonRelease, words.origin, 16);
}

// A result arriving after the window closed still reaches the clipboard, but never the
// canvas: with the canvas torn down but alive, and with the canvas destroyed.
TEST_F(CanvasTextRecognitionTest, ResultAfterTheWindowClosedShowsNothing)
{
    for (const bool destroyed : {false, true}) {
        SCOPED_TRACE(destroyed ? "destroyed" : "torn down");
        clipboard()->setText(u"prima"_s);
        drag(words.origin, {words.maxX(), words.maxY()});
        if (destroyed)
            view.reset();
        else
            view->tearDown();
        // Seeing the text arrive is seeing the late hand-back run.
        ASSERT_TRUE(test::waitUntil([&] { return clipboard()->text() == u"Ciao mondo"_s; }, engineTimeout));
        test::processEventsFor(50ms);
        for (QWidget* window : QApplication::topLevelWidgets())
            EXPECT_FALSE(window->isVisible() && dynamic_cast<TextRegionPopover*>(window));
        if (view) {
            EXPECT_EQ(view->state().textRegion, std::nullopt);
        }
    }
}

} // namespace
