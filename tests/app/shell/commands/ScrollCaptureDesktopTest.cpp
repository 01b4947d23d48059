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
#include <QPainter>
#include <QPushButton>
#include <QRasterWindow>
#include <QTemporaryDir>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>

using namespace vorlix;
using namespace vorlix::test;
using namespace std::chrono_literals;

namespace {

constexpr int pageHeight = 1200;
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

// A window showing the page from `top` down, moved on by each wheel click.
class PageWindow final : public QRasterWindow {
public:
    explicit PageWindow(QRect geometry)
    {
        setFlag(Qt::X11BypassWindowManagerHint);
        setGeometry(geometry);
    }

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

QPushButton* shownButton(const QString& title)
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible())
            for (QPushButton* button : widget->findChildren<QPushButton*>())
                if (button->text() == title)
                    return button;
    return nullptr;
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

bool clickAt(QPoint global) { return movePointer(global.x(), global.y()) && click(1); }

struct ScrollingOnDesktop : testing::Test {
    std::unique_ptr<ScreenSource> source = x11Source();
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    CaptureService service{*source, settings};
    QTemporaryDir history;
    CommandCenter center{settings};
    std::optional<CapturedShot> previewed;
    std::vector<CommandAlert> alerts;
    PageWindow page{QRect(100, 100, 300, 300)};

    void SetUp() override
    {
        ASSERT_TRUE(center.setHistoryFolder(history.path()));
        settings.set(setting::afterCapture, AfterCapture::quickPreview);
        center.hooks.captureService = [this]() -> CaptureService& { return service; };
        center.hooks.showAlert = [this](const CommandAlert& alert, std::function<void(int)>) {
            alerts.push_back(alert);
        };
        center.hooks.showQuickPreview = [this](const CapturedShot& shot, const QDateTime&) { previewed = shot; };
        page.show();
        ASSERT_TRUE(waitUntil([this] { return page.isExposed() && page.painted; }));
    }

    // Starts the capture, drags the area 10 pixels inside the page window and scrolls the
    // page to its end while frames are taken.
    void captureWhileScrolling()
    {
        center.perform(AppCommand::Kind::captureScrolling);
        ASSERT_TRUE(overlayShown());
        ASSERT_EQ(
            runTool("xdotool", {"mousemove", "110", "110", "mousedown", "1", "mousemove", "390", "390", "mouseup", "1"})
                .exitCode,
            0);
        ASSERT_TRUE(waitUntil([] { return shownButton("Fatto") != nullptr; }));
        EXPECT_TRUE(service.isCapturing());
        // A few clicks per frame, well within the area's 280 rows.
        ASSERT_TRUE(movePointer(250, 250));
        const int clicks = (pageHeight - 300) / rowsPerClick + 1;
        ASSERT_EQ(
            runTool("xdotool", {"click", "--repeat", QString::number(clicks), "--delay", "100", "5"}, 10s).exitCode, 0);
        waitUntil([] { return false; }, 600ms); // the last position is in a frame
        EXPECT_EQ(page.top, pageHeight - 300);
    }
};

TEST_F(ScrollingOnDesktop, FattoOrTheCommandAgainGiveThePageRowsInTheHistory)
{
    const std::function<void()> ends[] = {
        [] {
            QPushButton* fatto = shownButton("Fatto");
            ASSERT_TRUE(fatto);
            ASSERT_TRUE(clickAt(fatto->mapToGlobal(fatto->rect().center())));
        },
        [this] { center.perform(AppCommand::Kind::captureScrolling); },
    };
    int stored = 0;
    for (const auto& end : ends) {
        SCOPED_TRACE(stored);
        page.top = 0;
        page.update();
        previewed.reset();
        captureWhileScrolling();
        end();
        ASSERT_TRUE(waitUntil([this] { return previewed.has_value(); }, 5s));
        EXPECT_TRUE(alerts.empty());
        EXPECT_FALSE(service.isCapturing());
        EXPECT_EQ(shownButton("Fatto"), nullptr);

        // Rows 10 … 1189 of the page: none doubled, none missing, no frame or panel.
        const QImage expected = pageRows(280, 10, pageHeight - 20);
        EXPECT_EQ(previewed->image.convertToFormat(QImage::Format_RGB32), expected);
        const std::vector<HistoryEntry> entries = center.history().entries();
        ASSERT_EQ(entries.size(), std::size_t(++stored));
        EXPECT_EQ(entries[0].captureKind, CaptureKind::scrolling);
        QFile file(*entries[0].fileURL);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(ImageCoding::decode(file.readAll()).convertToFormat(QImage::Format_RGB32), expected);
    }
}

TEST_F(ScrollingOnDesktop, AnnullaOrEscapeLeaveNothing)
{
    const std::function<void()> ends[] = {
        [] {
            QPushButton* annulla = shownButton("Annulla");
            ASSERT_TRUE(annulla);
            ASSERT_TRUE(clickAt(annulla->mapToGlobal(annulla->rect().center())));
        },
        [] { ASSERT_TRUE(sendKeys("Escape")); },
    };
    for (const auto& end : ends) {
        page.top = 0;
        page.update();
        captureWhileScrolling();
        end();
        ASSERT_TRUE(waitUntil([this] { return !service.isCapturing(); }, 5s));
        EXPECT_EQ(shownButton("Annulla"), nullptr);
        EXPECT_FALSE(previewed);
        EXPECT_TRUE(alerts.empty());
        EXPECT_TRUE(center.history().entries().empty());
    }
}

} // namespace
