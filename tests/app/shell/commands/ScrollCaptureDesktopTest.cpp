// The scrolling capture through the command centre on a real X server: an area is dragged
// over a window that shows a long page of known rows, the page is scrolled with wheel
// clicks while frames are taken, and the capture is ended the ways a person ends it.
// "Fatto" and the command given again leave exactly the page's rows in the history;
// "Annulla" and Escape leave nothing.

#include "app/capture/SelectionView.h"
#include "app/shell/commands/CommandCenter.h"
#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"
#include "core/imaging/ImageCoding.h"
#include "platform/X11Source.h"
#include "support/desktop/DesktopTools.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRasterWindow>
#include <QTemporaryDir>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace vorlix;
using namespace vorlix::test;
using namespace std::chrono_literals;

namespace {

constexpr int rowsPerClick = 40;

// Each row of the page has a colour of its own.
QRgb pageRow(int row) { return qRgb((row & 63) << 2, ((row >> 6) & 63) << 2, 128); }

QImage pageRows(int width, int first, int count)
{
    QImage image(width, count, QImage::Format_RGB32);
    for (int y = 0; y < count; ++y)
        std::fill_n(reinterpret_cast<QRgb*>(image.scanLine(y)), width, pageRow(first + y));
    return image;
}

// A window showing a page of `pageHeight` rows from `top` down, moved on by each wheel click.
class PageWindow final : public QRasterWindow {
public:
    PageWindow(QRect geometry, int pageHeight) : pageHeight(pageHeight)
    {
        setFlag(Qt::X11BypassWindowManagerHint);
        setGeometry(geometry);
    }

    const int pageHeight;
    int top = 0;
    bool painted = false;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter(this).drawImage(0, 0, pageRows(width(), top, height()));
        painted = true;
    }
    void wheelEvent(QWheelEvent* event) override
    {
        const int clicks = -event->angleDelta().y() / 120;
        top = std::clamp(top + clicks * rowsPerClick, 0, pageHeight - height());
        update();
    }
};

// Where two pictures of page rows part: their heights and the first row that differs.
std::string rowDifference(const QImage& actual, const QImage& expected)
{
    const auto size = [](const QImage& image) {
        return std::to_string(image.width()) + "×" + std::to_string(image.height());
    };
    std::string text = size(actual) + ", expected " + size(expected);
    for (int y = 0; y < std::min(actual.height(), expected.height()); ++y)
        for (int x = 0; x < std::min(actual.width(), expected.width()); ++x)
            if (actual.pixel(x, y) != expected.pixel(x, y))
                return text + "; row " + std::to_string(y) + " pixel " + std::to_string(x) + " is " +
                       QColor(actual.pixel(x, y)).name().toStdString() + ", expected " +
                       QColor(expected.pixel(x, y)).name().toStdString();
    return text;
}

QPushButton* shownButton(const QString& title)
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible())
            for (QPushButton* button : widget->findChildren<QPushButton*>())
                if (button->text() == title)
                    return button;
    return nullptr;
}

// The text of the panel's count; empty when no panel is shown.
QString countShown()
{
    if (QPushButton* fatto = shownButton("Fatto"))
        for (QLabel* label : fatto->window()->findChildren<QLabel*>())
            return label->text();
    return {};
}

bool overlayShown()
{
    return waitUntil([] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (dynamic_cast<SelectionView*>(widget) && widget->isVisible() && QWidget::keyboardGrabber())
                return true;
        return false;
    });
}

// Clicks the panel's button as a person does, again should the click fall in the moment
// the panel is away for a frame.
bool clickButton(const QString& title, const CaptureService& service)
{
    for (int attempt = 0; attempt < 5 && service.isCapturing(); ++attempt) {
        if (QPushButton* button = shownButton(title)) {
            const QPoint centre = button->mapToGlobal(button->rect().center());
            if (!movePointer(centre.x(), centre.y()) || !click(1))
                return false;
        }
        waitUntil([&] { return !service.isCapturing(); }, 400ms);
    }
    return !service.isCapturing();
}

struct ScrollingOnDesktop : testing::Test {
    std::unique_ptr<ScreenSource> source = x11Source();
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    CaptureService service{*source, settings};
    QTemporaryDir history;
    CommandCenter center{settings};
    std::optional<CapturedShot> previewed;
    std::vector<CommandAlert> alerts;
    std::unique_ptr<PageWindow> page;

    void SetUp() override
    {
        ASSERT_TRUE(center.setHistoryFolder(history.path()));
        settings.set(setting::afterCapture, AfterCapture::quickPreview);
        center.hooks.captureService = [this]() -> CaptureService& { return service; };
        center.hooks.showAlert = [this](const CommandAlert& alert, std::function<void(int)>) {
            alerts.push_back(alert);
        };
        center.hooks.showQuickPreview = [this](const CapturedShot& shot, const QDateTime&) { previewed = shot; };
    }

    void showPage(QRect geometry, int pageHeight)
    {
        page = std::make_unique<PageWindow>(geometry, pageHeight);
        page->show();
        ASSERT_TRUE(waitUntil([this] { return page->isExposed() && page->painted; }));
    }

    // Starts the capture, drags `area` over the page and scrolls the page to its end while
    // frames are taken.
    void captureWhileScrolling(QRect area)
    {
        center.perform(AppCommand::Kind::captureScrolling);
        ASSERT_TRUE(overlayShown());
        const QPoint end = area.topLeft() + QPoint(area.width(), area.height());
        ASSERT_EQ(
            runTool("xdotool", {"mousemove", QString::number(area.x()), QString::number(area.y()), "mousedown", "1",
                                "mousemove", QString::number(end.x()), QString::number(end.y()), "mouseup", "1"})
                .exitCode,
            0);
        // The first frame is taken before the page moves: the panel counts it.
        ASSERT_TRUE(waitUntil([] { return countShown().startsWith("Raccolti"); }));
        EXPECT_TRUE(service.isCapturing());
        // A click a tenth of a second: a few clicks a frame, far fewer rows than the area has.
        ASSERT_TRUE(movePointer(area.center().x(), area.center().y()));
        const int clicks = (page->pageHeight - page->height()) / rowsPerClick + 1;
        ASSERT_EQ(
            runTool("xdotool", {"click", "--repeat", QString::number(clicks), "--delay", "100", "5"}, 15s).exitCode, 0);
        waitUntil([] { return false; }, 600ms); // the last position is in a frame
        EXPECT_EQ(page->top, page->pageHeight - page->height());
    }
};

TEST_F(ScrollingOnDesktop, FattoOrTheCommandAgainGiveThePageRowsInTheHistory)
{
    struct Case {
        const char* name;
        QRect window;
        int pageHeight;
        QRect area;
        bool byCommand;
    };
    const Case cases[] = {
        {"Fatto", QRect(100, 100, 300, 300), 1200, QRect(110, 110, 280, 280), false},
        {"the command again", QRect(100, 100, 300, 300), 1200, QRect(110, 110, 280, 280), true},
        // No room above or below the area: the panel goes beside it; with no room there
        // either, it lies over the area and leaves the screen for each frame.
        {"panel beside the area", QRect(100, 5, 300, 790), 2400, QRect(110, 12, 280, 780), false},
        {"panel over the area", QRect(0, 5, 1280, 790), 2400, QRect(10, 12, 1260, 780), false},
    };
    std::size_t stored = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        showPage(c.window, c.pageHeight);
        previewed.reset();
        captureWhileScrolling(c.area);
        if (c.byCommand)
            center.perform(AppCommand::Kind::captureScrolling);
        else
            ASSERT_TRUE(clickButton("Fatto", service));
        ASSERT_TRUE(waitUntil([this] { return previewed.has_value(); }, 5s));
        EXPECT_TRUE(alerts.empty());
        EXPECT_FALSE(service.isCapturing());
        EXPECT_EQ(shownButton("Fatto"), nullptr);

        // Every row the area showed while the page went by, once: none doubled or missing,
        // and neither the frame nor the panel anywhere.
        const QImage expected =
            pageRows(c.area.width(), c.area.y() - c.window.y(), c.pageHeight - c.window.height() + c.area.height());
        const QImage shot = previewed->image.convertToFormat(QImage::Format_RGB32);
        EXPECT_TRUE(shot == expected) << rowDifference(shot, expected);
        const std::vector<HistoryEntry> entries = center.history().entries();
        ASSERT_EQ(entries.size(), ++stored);
        EXPECT_EQ(entries[0].captureKind, CaptureKind::scrolling);
        QFile file(*entries[0].fileURL);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(ImageCoding::decode(file.readAll()).convertToFormat(QImage::Format_RGB32), expected);
    }
}

TEST_F(ScrollingOnDesktop, AnnullaOrEscapeLeaveNothing)
{
    showPage(QRect(100, 100, 300, 300), 1200);
    for (const bool byEscape : {false, true}) {
        SCOPED_TRACE(byEscape);
        page->top = 0;
        page->update();
        captureWhileScrolling(QRect(110, 110, 280, 280));
        if (byEscape)
            ASSERT_TRUE(sendKeys("Escape"));
        else
            ASSERT_TRUE(clickButton("Annulla", service));
        ASSERT_TRUE(waitUntil([this] { return !service.isCapturing(); }, 5s));
        EXPECT_EQ(shownButton("Annulla"), nullptr);
        EXPECT_FALSE(previewed);
        EXPECT_TRUE(alerts.empty());
        EXPECT_TRUE(center.history().entries().empty());
    }
}

} // namespace
