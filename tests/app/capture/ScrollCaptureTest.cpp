// The scrolling capture over a page that scrolls between frames and a scripted overlay:
// the stitched rows, every way to end it (the panel's buttons, Escape, the command again,
// the height limit), the busy guard on each way out, and where the panel goes.

#include "app/capture/CaptureService.h"
#include "app/capture/ScrollCaptureControl.h"

#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"
#include "core/analysis/ScrollStitcher.h"
#include "core/imaging/ImageCoding.h"
#include "platform/FakeHotkeyGrabber.h"
#include "platform/HotkeyCenter.h"
#include "support/TaskWaits.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

using namespace vorlix;
using namespace vorlix::test;
using namespace std::chrono_literals;

namespace {

// Each row of the page has a colour of its own, also after the stitcher drops the two
// lowest bits of each channel.
QRgb pageRow(int row) { return qRgb((row & 63) << 2, ((row >> 6) & 63) << 2, ((row >> 12) & 63) << 2); }

QImage pageRows(int width, int first, int count)
{
    QImage image(width, count, QImage::Format_RGB32);
    for (int y = 0; y < count; ++y)
        std::fill_n(reinterpret_cast<QRgb*>(image.scanLine(y)), width, pageRow(first + y));
    return image;
}

// One screen showing a page that the user scrolls by `step` pixel rows after each frame;
// `onGrab` runs as a frame is taken, with the number of frames taken so far.
class ScrollingPage final : public ScreenSource {
public:
    ScreenInfo screen;
    int top = 0;
    int step = 0;
    bool fails = false;
    std::function<void(int)> onGrab;
    int grabs = 0;
    std::vector<std::uint32_t> activated;
    std::optional<WindowInfo> active;

    std::vector<ScreenInfo> screens() const override { return {screen}; }
    std::vector<WindowInfo> windowsFrontToBack(const std::set<std::uint32_t>&) const override { return {}; }
    std::optional<WindowInfo> activeWindow() const override { return active; }
    ScreenGrab grab(const ScreenInfo&, const QRectF& points) override
    {
        ++grabs;
        if (onGrab)
            onGrab(grabs);
        if (fails)
            return ScreenGrabError::grabFailed();
        const QRect pixels = pixelRect(points, screen.devicePixelRatio);
        QImage frame = pageRows(pixels.width(), top + pixels.y(), pixels.height());
        frame.setDevicePixelRatio(screen.devicePixelRatio);
        top += step;
        return frame;
    }
    std::optional<QImage> grabWindow(std::uint32_t) override { return std::nullopt; }
    void activateWindow(std::uint32_t window) override { activated.push_back(window); }
};

class AreaOverlay final : public SelectionOverlay {
public:
    explicit AreaOverlay(std::optional<SelectionResult> result) : m_result(std::move(result)) {}
    QCoro::Task<std::optional<SelectionResult>> run() override { co_return std::optional<SelectionResult>(m_result); }
    void close() override {}

private:
    std::optional<SelectionResult> m_result;
};

std::optional<CapturedShot> shotOf(const std::optional<CaptureOutcome>& outcome)
{
    if (!outcome) {
        ADD_FAILURE() << "the capture did not end";
        return std::nullopt;
    }
    if (const auto* error = std::get_if<CaptureError>(&*outcome)) {
        ADD_FAILURE() << "capture failed: " << error->message.toStdString();
        return std::nullopt;
    }
    return std::get<std::optional<CapturedShot>>(*outcome);
}

bool sameRows(const QImage& image, const QImage& expected)
{
    QImage a = image.convertToFormat(QImage::Format_RGB32);
    a.setDevicePixelRatio(1);
    return a == expected;
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

class ScrollCaptureTest : public testing::Test {
protected:
    ScrollCaptureTest()
    {
        page.screen = ScreenInfo{.id = 7, .name = "main", .geometry = QRect(0, 0, 400, 300), .devicePixelRatio = 1};
        page.active = WindowInfo{.id = 55,
                                 .title = "page",
                                 .frame = QRect(0, 0, 400, 300),
                                 .pid = 4242,
                                 .ours = false,
                                 .ownerName = "reader"};
    }

    std::unique_ptr<CaptureService> makeService(std::optional<SelectionResult> result)
    {
        return std::make_unique<CaptureService>(
            page, settings,
            [result](SelectionOverlaySetup setup) {
                setups.push_back(std::move(setup));
                return std::make_unique<AreaOverlay>(result);
            },
            [] { return QPoint(); }, CaptureSession::x11());
    }

    SelectionResult area(Rect rect) const { return AreaChosen{Selection{page.screen, rect, {}}}; }

    static inline std::vector<SelectionOverlaySetup> setups;
    ScrollingPage page;
    NotificationCenter center;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), center};
};

TEST_F(ScrollCaptureTest, FramesScrolledEitherWayJoinIntoThePageRowsTheAreaShowed)
{
    struct Case {
        double scale;
        int step;   // pixel rows the page moves after each frame; negative: upwards
        int frames; // "Fatto" is pressed while this frame is taken
        int firstRow;
        int rows;
    };
    // The area is 100 × 80 points from (20, 30); the page starts at row 1000.
    const Case cases[] = {
        {1, 25, 1, 1030, 80},            // "Fatto" at once: the first frame alone
        {1, 25, 5, 1030, 80 + 4 * 25},   // down: new rows at the bottom
        {1, -30, 4, 1030 - 90, 80 + 90}, // up: new rows on top
        {2, 50, 3, 1060, 160 + 100},     // scale 2: whole device pixels
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        setups.clear();
        page.screen.devicePixelRatio = c.scale;
        page.top = 1000;
        page.step = c.step;
        page.grabs = 0;
        page.activated.clear();
        const std::unique_ptr<CaptureService> service = makeService(area(Rect(20, 30, 100, 80)));
        page.onGrab = [&](int frame) {
            EXPECT_TRUE(service->isCapturing());
            if (frame == c.frames) {
                EXPECT_TRUE(service->finishScrolling());
            }
        };

        const std::optional<CapturedShot> shot = shotOf(start(service->captureScrolling()).wait());

        ASSERT_TRUE(shot);
        const int width = int(100 * c.scale);
        EXPECT_TRUE(sameRows(shot->image, pageRows(width, c.firstRow, c.rows)));
        EXPECT_EQ(ImageCoding::decode(shot->pngData).height(), c.rows);
        EXPECT_EQ(shot->kind, CaptureKind::scrolling);
        EXPECT_EQ(shot->pixelsPerPoint, c.scale);
        ASSERT_TRUE(shot->sourceApp);
        EXPECT_EQ(shot->sourceApp->pid, 4242);
        EXPECT_EQ(page.grabs, c.frames) << "no frame after \"Fatto\"";
        EXPECT_EQ(page.activated, std::vector<std::uint32_t>{55}) << "the page's program gets the focus back";
        ASSERT_EQ(setups.size(), 1u);
        EXPECT_EQ(setups[0].mode, SelectionMode::area());
        EXPECT_TRUE(setups[0].frozen.empty()) << "the page is chosen on the live screen";
        EXPECT_FALSE(service->isCapturing());
        EXPECT_FALSE(service->finishScrolling());
        EXPECT_EQ(shownButton("Fatto"), nullptr) << "the panel is gone";
    }
}

TEST_F(ScrollCaptureTest, EveryWayOutWithoutAShotReleasesTheService)
{
    struct Case {
        const char* name;
        bool overlayCancelled = false;
        bool framesFail = false;
        std::function<void()> end; // run while the second frame is taken
    };
    const auto pressEscape = [] {
        auto* grabber = dynamic_cast<FakeHotkeyGrabber*>(&HotkeyCenter::shared().grabber());
        ASSERT_TRUE(grabber);
        EXPECT_TRUE(grabber->press(KeyCombo{KeyCode::escape, {}}));
    };
    const auto click = [](const char* title) {
        return [title] {
            QPushButton* button = shownButton(title);
            ASSERT_TRUE(button);
            QTest::mouseClick(button, Qt::LeftButton);
        };
    };
    const Case cases[] = {
        {"Annulla", false, false, click("Annulla")},
        {"Escape", false, false, pressEscape},
        {"overlay cancelled", true, false, {}},
        {"every frame failed", false, true, click("Fatto")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        page.step = 20;
        page.grabs = 0;
        page.fails = c.framesFail;
        page.activated.clear();
        const std::unique_ptr<CaptureService> service =
            makeService(c.overlayCancelled ? std::nullopt : std::optional(area(Rect(0, 0, 50, 50))));
        page.onGrab = [&](int frame) {
            if (frame == 2 && c.end)
                c.end();
        };

        const std::optional<CaptureOutcome> outcome = start(service->captureScrolling()).wait();

        ASSERT_TRUE(outcome);
        EXPECT_EQ(*outcome, CaptureOutcome(std::optional<CapturedShot>()));
        EXPECT_FALSE(service->isCapturing());
        EXPECT_EQ(page.activated, std::vector<std::uint32_t>{55});
        EXPECT_EQ(shownButton("Annulla"), nullptr);
        EXPECT_EQ(HotkeyCenter::shared().registrationCount(), 0u) << "Escape is let go";
        if (!c.overlayCancelled) {
            EXPECT_GE(page.grabs, 2);
        }
    }
}

TEST_F(ScrollCaptureTest, CapturesAskedForWhileScrollingGetNothing)
{
    page.step = 10;
    const std::unique_ptr<CaptureService> service = makeService(area(Rect(0, 0, 50, 50)));
    std::optional<CaptureOutcome> second;
    std::optional<CaptureOutcome> third;
    page.onGrab = [&](int frame) {
        if (frame == 1) {
            second = start(service->captureScrolling()).wait();
            third = start(service->captureFullScreen()).wait();
        }
        if (frame == 2)
            service->finishScrolling();
    };
    const std::optional<CapturedShot> shot = shotOf(start(service->captureScrolling()).wait());
    EXPECT_TRUE(shot);
    EXPECT_EQ(second, CaptureOutcome(std::optional<CapturedShot>()));
    EXPECT_EQ(third, CaptureOutcome(std::optional<CapturedShot>()));
}

TEST_F(ScrollCaptureTest, StopsByItselfAtTheHeightLimitKeepingWhatItHas)
{
    // 1000 × 2000 points at scale 2: 4000-row frames, each scrolled 3900 rows on.
    page.screen = ScreenInfo{.id = 7, .name = "tall", .geometry = QRect(0, 0, 20, 2000), .devicePixelRatio = 2};
    page.top = 0;
    page.step = 3900;
    const std::unique_ptr<CaptureService> service = makeService(area(Rect(0, 0, 20, 2000)));

    const std::optional<CapturedShot> shot = shotOf(start(service->captureScrolling()).wait(20s));

    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->image.height(), ScrollStitcher::maximumHeight);
    EXPECT_TRUE(sameRows(shot->image, pageRows(40, 0, ScrollStitcher::maximumHeight)));
    EXPECT_FALSE(service->isCapturing());
}

TEST(ScrollCaptureControl, PanelStaysWithinTheAvailableAreaAndOffTheCapturedAreaWhereThereIsRoom)
{
    const QRect available(0, 30, 1000, 700); // a top bar of 30 pixels
    const QSize panel = ScrollCaptureControl::panelSize;
    struct Case {
        const char* name;
        QRect area;
        QPoint corner;
    };
    const Case cases[] = {
        {"centred below", QRect(300, 100, 400, 200), QPoint(320, 312)},
        {"above when below is too low", QRect(300, 400, 400, 300), QPoint(320, 344)},
        {"just fits below", QRect(300, 100, 400, 730 - 100 - 12 - 44), QPoint(320, 730 - 44)},
        {"whole height: on the right, level with the bottom", QRect(100, 30, 400, 700), QPoint(512, 686)},
        {"whole height, no room on the right: on the left", QRect(550, 30, 400, 700), QPoint(178, 686)},
        {"no room around it: over the area at the top", QRect(300, 30, 400, 700), QPoint(320, 30)},
        {"left edge", QRect(0, 100, 100, 100), QPoint(0, 212)},
        {"right edge", QRect(950, 100, 50, 100), QPoint(1000 - 360, 212)},
        {"not above the top bar", QRect(300, 80, 400, 640), QPoint(320, 30)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QPoint corner = scrollPanelPosition(c.area, panel, ScrollCaptureControl::panelGap, available);
        EXPECT_EQ(corner, c.corner);
        EXPECT_TRUE(available.contains(QRect(corner, panel)));
    }
}

TEST(ScrollCaptureControl, CountShowsWholePointsAndTheFlagsOnlyEverTurnOn)
{
    EXPECT_EQ(scrollCountText(2400, 2), "Raccolti 1200 punti in altezza · scorri, poi Fatto");
    EXPECT_EQ(scrollCountText(2401, 2), "Raccolti 1200 punti in altezza · scorri, poi Fatto");
    EXPECT_EQ(scrollCountText(1001, 1.5), "Raccolti 667 punti in altezza · scorri, poi Fatto");
    EXPECT_EQ(scrollCountText(5, 0), "Raccolti 0 punti in altezza · scorri, poi Fatto");

    const ScreenInfo screen{.id = 1, .name = "main", .geometry = QRect(0, 0, 800, 600), .devicePixelRatio = 1};
    ScrollCaptureControl control(Rect(100, 100, 200, 200), screen);
    EXPECT_EQ(control.countText(), "Scorri la pagina, in basso o in alto…");
    int finished = 0;
    QObject::connect(&control, &ScrollCaptureControl::finished, [&] { ++finished; });
    control.finish();
    EXPECT_TRUE(control.isFinished());
    EXPECT_FALSE(control.isCancelled());
    control.cancel();
    EXPECT_TRUE(control.isCancelled());
    control.finish();
    EXPECT_TRUE(control.isCancelled());
    EXPECT_EQ(finished, 1);
    // The frame lies wholly outside the area, so that it never enters a frame.
    EXPECT_EQ(control.frameWindow().geometry(), QRect(98, 98, 204, 204));
    EXPECT_FALSE(control.panelCoversArea());
}

} // namespace
