// The capture service over a fake screen source and a scripted overlay: the busy guard,
// frozen crops and live grabs, window shots, cancels, repeats, delays, failures and the
// Wayland path over one desktop picture.

#include "app/capture/CaptureService.h"

#include "app/support/Beeper.h"
#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"
#include "core/imaging/ImageCoding.h"
#include "platform/FakeScreenSource.h"

#include <QCoro/QCoroTimer>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace vorlix;
using namespace std::chrono_literals;

namespace vorlix {

void PrintTo(const CaptureError& error, std::ostream* out)
{
    *out << "CaptureError(" << int(error.kind) << ", " << error.message.toStdString() << ")";
}

} // namespace vorlix

namespace {

// What the overlay answers, and what the service did with the overlays it built.
struct OverlayScript {
    std::optional<SelectionResult> result;
    // The answer comes on a later turn of the event loop, so other requests can arrive.
    bool answersLater = false;
    // Runs while the overlay is shown, before it answers.
    std::function<void()> whileShown;

    std::vector<SelectionOverlaySetup> setups;
    int closes = 0;
    std::function<void()> onFirstClose;
};

class ScriptedOverlay final : public SelectionOverlay {
public:
    explicit ScriptedOverlay(OverlayScript& script) : m_script(script) {}

    QCoro::Task<std::optional<SelectionResult>> run() override
    {
        if (m_script.answersLater)
            co_await QCoro::sleepFor(1ms);
        if (m_script.whileShown)
            m_script.whileShown();
        // A copy: co_return of an lvalue moves from it.
        co_return std::optional<SelectionResult>(m_script.result);
    }
    void close() override
    {
        if (++m_script.closes == 1 && m_script.onFirstClose)
            m_script.onFirstClose();
    }

private:
    OverlayScript& m_script;
};

// Every pixel tells where it is: red = x, green = y, blue = the screen's tint.
QImage patterned(QSize size, int tint, double ratio)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(x % 256, y % 256, tint));
    image.setDevicePixelRatio(ratio);
    return image;
}

QImage plain(QSize size, QColor color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

bool samePixels(const QImage& a, const QImage& b)
{
    QImage first = a.convertToFormat(QImage::Format_RGB32);
    QImage second = b.convertToFormat(QImage::Format_RGB32);
    first.setDevicePixelRatio(1);
    second.setDevicePixelRatio(1);
    return first.size() == second.size() && first == second;
}

template <class T>
T waited(QCoro::Task<T>& task)
{
    return QCoro::waitFor(task);
}

template <class T>
T waited(QCoro::Task<T>&& task)
{
    return QCoro::waitFor(task);
}

std::optional<CapturedShot> shotOf(const CaptureOutcome& outcome)
{
    if (const auto* error = std::get_if<CaptureError>(&outcome)) {
        ADD_FAILURE() << "capture failed: " << error->message.toStdString();
        return std::nullopt;
    }
    return std::get<std::optional<CapturedShot>>(outcome);
}

std::vector<CapturedShot> shotsOf(const CaptureListOutcome& outcome)
{
    if (const auto* error = std::get_if<CaptureError>(&outcome)) {
        ADD_FAILURE() << "capture failed: " << error->message.toStdString();
        return {};
    }
    return std::get<std::vector<CapturedShot>>(outcome);
}

std::optional<CaptureError> errorOf(const CaptureOutcome& outcome)
{
    if (const auto* error = std::get_if<CaptureError>(&outcome))
        return *error;
    return std::nullopt;
}

std::optional<CaptureError> errorOf(const CaptureListOutcome& outcome)
{
    if (const auto* error = std::get_if<CaptureError>(&outcome))
        return *error;
    return std::nullopt;
}

// Two screens side by side: a 100 × 50 point screen at scale 2 and an 80 × 60 one at scale 1.
const ScreenInfo wide{.id = 1, .name = "wide", .geometry = QRect(0, 0, 100, 50), .devicePixelRatio = 2};
const ScreenInfo side{.id = 2, .name = "side", .geometry = QRect(100, 0, 80, 60), .devicePixelRatio = 1};

WindowInfo window(std::uint32_t id, std::optional<std::int64_t> pid, const QString& owner, bool ours = false)
{
    return WindowInfo{.id = id,
                      .title = "window " + QString::number(id),
                      .frame = QRect(10, 10, 60, 30),
                      .pid = pid,
                      .ours = ours,
                      .ownerName = owner};
}

class CaptureServiceTest : public testing::Test {
protected:
    CaptureServiceTest()
    {
        source.addScreen(wide, wideScreen);
        source.addScreen(side, sideScreen);
    }

    std::unique_ptr<CaptureService> makeService(ScreenSource& screens, CaptureSession session = CaptureSession::x11())
    {
        return std::make_unique<CaptureService>(
            screens, settings,
            [this](SelectionOverlaySetup setup) {
                script.setups.push_back(std::move(setup));
                return std::make_unique<ScriptedOverlay>(script);
            },
            [this] { return pointer; }, std::move(session));
    }

    // The next overlay answers `result`, after running `whileShown`, on a later turn of
    // the event loop when `later`.
    void answer(std::optional<SelectionResult> result, std::function<void()> whileShown = {}, bool later = false)
    {
        script = OverlayScript();
        script.result = std::move(result);
        script.whileShown = std::move(whileShown);
        script.answersLater = later;
    }

    static SelectionResult areaOn(const ScreenInfo& screen, Rect rect)
    {
        return AreaChosen{Selection{screen, rect, {901, 902}}};
    }

    const QImage wideScreen = patterned(QSize(200, 100), 10, 2);
    const QImage sideScreen = patterned(QSize(80, 60), 20, 1);
    FakeScreenSource source;
    NotificationCenter center;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), center};
    OverlayScript script;
    QPoint pointer{10, 10};
    std::unique_ptr<CaptureService> service = makeService(source);
};

TEST_F(CaptureServiceTest, AreaIsCutFromTheFrozenPictureAlongWholePixels)
{
    struct Case {
        Rect points;
        QRect pixels;
    };
    const Case cases[] = {
        {Rect(10, 5, 20, 10), QRect(20, 10, 40, 20)},
        // 20.5 → 20 and 61.5 → 62 across, 10.6 → 10 and 30.8 → 31 down: the far edges go out.
        {Rect(10.25, 5.3, 20.5, 10.1), QRect(20, 10, 42, 21)},
        {Rect(0, 0, 100, 50), QRect(0, 0, 200, 100)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.points.origin.x);
        answer(areaOn(wide, c.points));
        const int grabsBefore = source.grabCount();

        const std::optional<CapturedShot> shot = shotOf(waited(service->captureArea()));

        ASSERT_TRUE(shot);
        EXPECT_TRUE(samePixels(shot->image, wideScreen.copy(c.pixels)));
        EXPECT_EQ(shot->image.devicePixelRatio(), 2);
        EXPECT_EQ(shot->pixelsPerPoint, 2);
        EXPECT_EQ(shot->kind, CaptureKind::area);
        const std::optional<QImage> decoded = ImageCoding::decode(shot->pngData);
        ASSERT_TRUE(decoded);
        EXPECT_TRUE(samePixels(*decoded, shot->image));
        // One grab per screen to freeze them, none after the choice.
        EXPECT_EQ(source.grabCount() - grabsBefore, 2);
        ASSERT_EQ(script.setups.size(), 1u);
        EXPECT_EQ(script.setups[0].frozen.size(), 2u);
        EXPECT_EQ(script.setups[0].mode, SelectionMode::area());
        EXPECT_TRUE(script.setups[0].screenWindows.empty());
        EXPECT_GE(script.closes, 1);
        EXPECT_EQ(service->lastArea(), (CaptureArea{wide.id, c.points}));
        EXPECT_FALSE(service->isCapturing());
    }
}

TEST_F(CaptureServiceTest, WithoutFreezingAnAreaIsGrabbedLiveAndWindowModeNeverFreezes)
{
    settings.set(setting::freezeScreen, false);
    answer(areaOn(side, Rect(10, 20, 30, 15)));
    int grabsWhileShown = -1;
    script.onFirstClose = [&] { grabsWhileShown = source.grabCount(); };

    const std::optional<CapturedShot> shot = shotOf(waited(service->captureArea()));

    ASSERT_TRUE(shot);
    EXPECT_TRUE(script.setups.at(0).frozen.empty());
    // A grab sees what is on the screen: the overlay is taken off first.
    EXPECT_EQ(grabsWhileShown, 0);
    EXPECT_EQ(source.grabCount(), 1);
    EXPECT_TRUE(samePixels(shot->image, sideScreen.copy(10, 20, 30, 15)));
    EXPECT_EQ(shot->pixelsPerPoint, 1);

    settings.set(setting::freezeScreen, true);
    source.addWindow(window(11, 500, "editor"), plain(QSize(60, 30), Qt::red));
    answer(WindowsChosen{{11}});
    const std::vector<CapturedShot> shots = shotsOf(waited(service->captureWithOverlay(SelectionMode::window())));
    ASSERT_EQ(shots.size(), 1u);
    EXPECT_TRUE(script.setups.at(0).frozen.empty());
    ASSERT_EQ(script.setups[0].screenWindows.size(), 1u);
    EXPECT_EQ(script.setups[0].screenWindows[0].id, 11u);
}

TEST_F(CaptureServiceTest, AScreenThatCouldNotBeFrozenIsGrabbedLive)
{
    source.setGrabFails(side.id, true);
    answer(areaOn(side, Rect(5, 5, 10, 10)), [&] { source.setGrabFails(side.id, false); });

    const std::optional<CapturedShot> shot = shotOf(waited(service->captureArea()));

    ASSERT_TRUE(shot);
    const SelectionOverlaySetup& setup = script.setups.at(0);
    EXPECT_EQ(setup.frozen.size(), 1u);
    EXPECT_TRUE(setup.frozen.contains(wide.id));
    EXPECT_EQ(source.grabCount(), 3); // two freezes (one failed), one live grab
    EXPECT_TRUE(samePixels(shot->image, sideScreen.copy(5, 5, 10, 10)));

    // A live grab that fails is passed up, the overlay closed and the flag cleared.
    source.setGrabFails(side.id, true);
    answer(areaOn(side, Rect(5, 5, 10, 10)));
    const CaptureOutcome failed = waited(service->captureArea());
    ASSERT_TRUE(errorOf(failed));
    EXPECT_EQ(errorOf(failed)->kind, CaptureError::Kind::platform);
    EXPECT_EQ(errorOf(failed)->message, ScreenGrabError::grabFailed().message());
    EXPECT_GE(script.closes, 1);
    EXPECT_FALSE(service->isCapturing());
}

TEST_F(CaptureServiceTest, AFullScreenChoiceReusesTheFrozenPictureWhole)
{
    answer(FullScreenChosen{wide});

    const std::vector<CapturedShot> shots = shotsOf(waited(service->captureWithOverlay(SelectionMode::allInOne())));

    ASSERT_EQ(shots.size(), 1u);
    EXPECT_EQ(source.grabCount(), 2);
    EXPECT_TRUE(samePixels(shots[0].image, wideScreen));
    EXPECT_EQ(shots[0].kind, CaptureKind::fullScreen);
    EXPECT_EQ(shots[0].pixelsPerPoint, 2);
    EXPECT_EQ(service->lastArea(), std::nullopt);
    EXPECT_GE(script.closes, 1);
}

TEST_F(CaptureServiceTest, PickedWindowsAreShotInOrderSkippingClosedOnes)
{
    source.addWindow(window(11, 500, "editor"), plain(QSize(60, 30), Qt::red));
    source.addWindow(window(12, 600, "viewer"), plain(QSize(60, 30), Qt::green));
    source.addWindow(window(13, std::nullopt, ""), plain(QSize(60, 30), Qt::blue));
    answer(WindowsChosen{{13, 12, 11}}, [&] { source.removeWindow(12); });

    const std::vector<CapturedShot> shots = shotsOf(waited(service->captureWithOverlay(SelectionMode::window())));

    ASSERT_EQ(shots.size(), 2u);
    EXPECT_EQ(shots[0].image.pixel(0, 0), QColor(Qt::blue).rgb());
    EXPECT_EQ(shots[1].image.pixel(0, 0), QColor(Qt::red).rgb());
    EXPECT_EQ(shots[0].kind, CaptureKind::window);
    EXPECT_EQ(shots[1].kind, CaptureKind::window);
    EXPECT_EQ(shots[0].sourceApp, (SourceApplication{std::nullopt, "", 13}));
    EXPECT_EQ(shots[1].sourceApp, (SourceApplication{500, "editor", 11}));
    EXPECT_GE(script.closes, 1);

    answer(WindowsChosen{{12}});
    EXPECT_TRUE(shotsOf(waited(service->captureWithOverlay(SelectionMode::window()))).empty());
    EXPECT_FALSE(service->isCapturing());
}

TEST_F(CaptureServiceTest, ACancelGivesNothingAndReactivatesTheWindowThatWasActive)
{
    source.addWindow(window(11, 500, "editor"));
    source.addWindow(window(12, 600, "viewer"));
    source.setActiveWindow(11);
    answer(std::nullopt, [&] { source.setActiveWindow(12); });

    EXPECT_TRUE(shotsOf(waited(service->captureWithOverlay(SelectionMode::area()))).empty());

    EXPECT_EQ(source.activationRequests(), std::vector<std::uint32_t>{11});
    EXPECT_GE(script.closes, 1);
    EXPECT_FALSE(service->isCapturing());
}

TEST_F(CaptureServiceTest, ARequestWhileCapturingIsDroppedAndTheRunningCaptureGoesOn)
{
    source.addWindow(window(11, 500, "editor"), plain(QSize(60, 30), Qt::red));
    source.setActiveWindow(11);
    answer(areaOn(wide, Rect(1, 1, 10, 10)), {}, true);

    QCoro::Task<CaptureOutcome> running = service->captureArea();
    ASSERT_TRUE(service->isCapturing());
    const int grabs = source.grabCount();
    EXPECT_EQ(shotOf(waited(service->captureFullScreen())), std::nullopt);
    EXPECT_EQ(shotOf(waited(service->captureActiveWindow())), std::nullopt);
    EXPECT_EQ(shotOf(waited(service->captureRepeatArea())), std::nullopt);
    EXPECT_TRUE(shotsOf(waited(service->captureWithOverlay(SelectionMode::window()))).empty());
    EXPECT_EQ(source.grabCount(), grabs);
    EXPECT_EQ(script.setups.size(), 1u);
    EXPECT_TRUE(service->isCapturing());

    const std::optional<CapturedShot> shot = shotOf(waited(running));
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->kind, CaptureKind::area);
    EXPECT_EQ(shot->sourceApp, (SourceApplication{500, "editor", 11}));
    EXPECT_FALSE(service->isCapturing());
}

TEST_F(CaptureServiceTest, EncodingLeavesTheEventLoopRunningAndKeepsTheCaptureBusy)
{
    answer(FullScreenChosen{wide});

    QCoro::Task<CaptureListOutcome> encoding = service->captureWithOverlay(SelectionMode::allInOne());

    // The overlay has answered; the shot is being encoded on another thread.
    EXPECT_FALSE(encoding.isReady());
    EXPECT_TRUE(service->isCapturing());
    EXPECT_TRUE(shotsOf(waited(service->captureWithOverlay(SelectionMode::area()))).empty());
    const std::vector<CapturedShot> shots = shotsOf(waited(encoding));
    ASSERT_EQ(shots.size(), 1u);
    EXPECT_FALSE(shots[0].pngData.isEmpty());
    EXPECT_FALSE(service->isCapturing());
    EXPECT_EQ(script.setups.size(), 1u);
}

TEST_F(CaptureServiceTest, RepeatUsesTheRememberedAreaElseOpensTheOverlay)
{
    answer(areaOn(side, Rect(4, 6, 20, 10)));
    const std::optional<CapturedShot> first = shotOf(waited(service->captureRepeatArea()));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->kind, CaptureKind::area);
    EXPECT_EQ(script.setups.size(), 1u);

    const int grabs = source.grabCount();
    const std::optional<CapturedShot> again = shotOf(waited(service->captureRepeatArea()));
    ASSERT_TRUE(again);
    EXPECT_EQ(again->kind, CaptureKind::repeatArea);
    EXPECT_EQ(script.setups.size(), 1u);
    EXPECT_EQ(source.grabCount(), grabs + 1);
    EXPECT_TRUE(samePixels(again->image, sideScreen.copy(4, 6, 20, 10)));
    EXPECT_EQ(service->lastArea(), (CaptureArea{side.id, Rect(4, 6, 20, 10)}));

    // The remembered screen is gone: the overlay again.
    source.removeScreen(side.id);
    answer(areaOn(wide, Rect(0, 0, 5, 5)));
    const std::optional<CapturedShot> fallback = shotOf(waited(service->captureRepeatArea()));
    ASSERT_TRUE(fallback);
    EXPECT_EQ(fallback->kind, CaptureKind::area);
    EXPECT_EQ(script.setups.size(), 1u);
    EXPECT_EQ(service->lastArea(), (CaptureArea{wide.id, Rect(0, 0, 5, 5)}));
}

TEST(CaptureDelay, IsBroughtIntoRangeAndANonNumberWaitsTheDefault)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    const std::pair<double, double> cases[] = {{-5, 0},     {0, 0},   {2.5, 2.5},    {60, 60},       {61, 60},
                                               {1e300, 60}, {nan, 3}, {infinity, 3}, {-infinity, 3}, {-1e300, 0}};
    for (const auto& [asked, expected] : cases) {
        SCOPED_TRACE(asked);
        EXPECT_EQ(captureDelaySeconds(asked), expected);
    }
}

TEST_F(CaptureServiceTest, ADelayedShotIsTheScreenUnderThePointerAndDoesNotHoldTheFlagWhileWaiting)
{
    pointer = QPoint(150, 30);
    QCoro::Task<CaptureOutcome> delayed = service->captureDelayed(0.05);
    EXPECT_FALSE(service->isCapturing());
    EXPECT_EQ(source.grabCount(), 0);

    const std::optional<CapturedShot> shot = shotOf(waited(delayed));
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->kind, CaptureKind::delayed);
    EXPECT_TRUE(samePixels(shot->image, sideScreen));
}

TEST_F(CaptureServiceTest, FullScreenTakesTheScreenUnderThePointerLeftAndTopEdgesIncluded)
{
    const std::vector<ScreenInfo> screens{wide, side};
    struct Case {
        QPoint point;
        const ScreenInfo* screen;
    };
    const Case cases[] = {
        {QPoint(0, 0), &wide},    {QPoint(99, 49), &wide}, {QPoint(100, 0), &side},
        {QPoint(179, 59), &side}, {QPoint(50, 50), &wide}, // below the wide screen: on none, so the first
        {QPoint(180, 10), &wide}, {QPoint(-1, 0), &wide},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.point.x() * 1000 + c.point.y());
        const ScreenInfo* under = screenUnderPointer(c.point, screens);
        ASSERT_TRUE(under);
        EXPECT_EQ(under->id, c.screen->id);
    }
    EXPECT_EQ(screenUnderPointer(QPoint(0, 0), {}), nullptr);

    pointer = QPoint(100, 59);
    const std::optional<CapturedShot> shot = shotOf(waited(service->captureFullScreen()));
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->kind, CaptureKind::fullScreen);
    EXPECT_TRUE(samePixels(shot->image, sideScreen));
    EXPECT_EQ(script.setups.size(), 0u);
}

TEST_F(CaptureServiceTest, WithoutScreensNothingWaitsAndNothingStaysBusy)
{
    FakeScreenSource empty;
    std::unique_ptr<CaptureService> bare = makeService(empty);
    answer(areaOn(wide, Rect(0, 0, 5, 5)), {}, true);

    QCoro::Task<CaptureListOutcome> overlay = bare->captureWithOverlay(SelectionMode::allInOne());
    EXPECT_TRUE(overlay.isReady());
    EXPECT_TRUE(shotsOf(waited(overlay)).empty());
    EXPECT_TRUE(script.setups.empty());
    EXPECT_FALSE(bare->isCapturing());

    EXPECT_EQ(errorOf(waited(bare->captureFullScreen())), CaptureError::displayNotFound());
    EXPECT_EQ(CaptureError::displayNotFound().message, "Monitor non trovato.");
    EXPECT_FALSE(bare->isCapturing());
}

TEST_F(CaptureServiceTest, AShotThatCannotBeEncodedFailsAndClearsTheFlag)
{
    // A screen whose every grab comes back empty: nothing to freeze, nothing to encode.
    const ScreenInfo blank{.id = 3, .name = "blank", .geometry = QRect(180, 0, 40, 40), .devicePixelRatio = 1};
    source.addScreen(blank, QImage());
    answer(areaOn(blank, Rect(10, 10, 5, 5)));
    const CaptureOutcome area = waited(service->captureArea());
    EXPECT_EQ(errorOf(area), CaptureError::encodingFailed());
    EXPECT_EQ(CaptureError::encodingFailed().message, "Impossibile salvare l'immagine catturata.");
    EXPECT_FALSE(script.setups.at(0).frozen.contains(blank.id));
    EXPECT_GE(script.closes, 1);
    // The area was remembered before the encoding failed.
    EXPECT_EQ(service->lastArea(), (CaptureArea{blank.id, Rect(10, 10, 5, 5)}));
    EXPECT_FALSE(service->isCapturing());

    source.addWindow(window(11, 500, "editor"), QImage()); // a window whose picture is empty
    source.setActiveWindow(11);
    EXPECT_EQ(errorOf(waited(service->captureActiveWindow())), CaptureError::encodingFailed());
    EXPECT_FALSE(service->isCapturing());
}

TEST_F(CaptureServiceTest, ActiveWindowShotIsTheProgramsFrontWindowAndOursOnlyBeeps)
{
    int beeps = 0;
    Beeper::Override countBeeps([&] { ++beeps; });
    source.addWindow(window(20, 600, "other"), plain(QSize(60, 30), Qt::green));
    source.addWindow(window(21, 500, "editor"), plain(QSize(60, 30), Qt::red));
    source.addWindow(window(22, 500, "editor"), plain(QSize(60, 30), Qt::blue));
    source.addWindow(window(30, 700, "vorlix", true), plain(QSize(60, 30), Qt::black));

    source.setActiveWindow(22);
    const std::optional<CapturedShot> shot = shotOf(waited(service->captureActiveWindow()));
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->kind, CaptureKind::window);
    EXPECT_EQ(shot->image.pixel(0, 0), QColor(Qt::red).rgb());
    EXPECT_EQ(shot->sourceApp, (SourceApplication{500, "editor", 21}));
    EXPECT_EQ(beeps, 0);

    for (const std::optional<std::uint32_t> active :
         {std::optional<std::uint32_t>(30), std::optional<std::uint32_t>()}) {
        source.setActiveWindow(active);
        const int grabs = source.grabCount();
        EXPECT_EQ(shotOf(waited(service->captureActiveWindow())), std::nullopt);
        EXPECT_EQ(source.grabCount(), grabs);
    }
    EXPECT_EQ(beeps, 2);
    EXPECT_FALSE(service->isCapturing());

    // A capture that begins while our own window is active belongs to no program.
    source.setActiveWindow(30);
    answer(areaOn(wide, Rect(0, 0, 5, 5)));
    const std::optional<CapturedShot> ours = shotOf(waited(service->captureArea()));
    ASSERT_TRUE(ours);
    EXPECT_EQ(ours->sourceApp, std::nullopt);
}

// Under Wayland the one picture is the portal's whole desktop, at one scale for all screens.
class WaylandCaptureTest : public CaptureServiceTest {
protected:
    WaylandCaptureTest()
    {
        left = ScreenInfo{.id = 5, .name = "left", .geometry = QRect(0, 0, 100, 50), .devicePixelRatio = 2};
        right = ScreenInfo{.id = 6, .name = "right", .geometry = QRect(100, 0, 80, 60), .devicePixelRatio = 2};
        // Grabs of the source fail: nothing may grab live.
        screens.addScreen(left, QImage());
        screens.addScreen(right, QImage());
        screens.setGrabFails(left.id, true);
        screens.setGrabFails(right.id, true);
        desktop = QImage(QSize(360, 120), QImage::Format_RGB32);
        desktop.fill(Qt::black);
        QPainter painter(&desktop);
        painter.drawImage(QPoint(0, 0), leftPicture);
        painter.drawImage(QPoint(200, 0), rightPicture);
        painter.end();
        wayland = makeService(screens, CaptureSession::waylandSession([this]() -> QCoro::Task<PortalScreenshotResult> {
                                  ++pictures;
                                  co_await QCoro::sleepFor(1ms);
                                  co_return PortalScreenshotResult(portalAnswer);
                              }));
        portalAnswer = desktop;
    }

    ScreenInfo left;
    ScreenInfo right;
    const QImage leftPicture = patterned(QSize(200, 100), 30, 1);
    const QImage rightPicture = patterned(QSize(160, 120), 40, 1);
    QImage desktop;
    PortalScreenshotResult portalAnswer;
    int pictures = 0;
    FakeScreenSource screens;
    std::unique_ptr<CaptureService> wayland;
};

TEST_F(WaylandCaptureTest, AreasAndScreensAreCutFromOneDesktopPicture)
{
    settings.set(setting::freezeScreen, false);
    answer(areaOn(right, Rect(10, 10, 20, 20)));
    const std::optional<CapturedShot> area = shotOf(waited(wayland->captureArea()));
    ASSERT_TRUE(area);
    EXPECT_TRUE(samePixels(area->image, rightPicture.copy(20, 20, 40, 40)));
    EXPECT_EQ(area->pixelsPerPoint, 2);
    EXPECT_EQ(script.setups.at(0).frozen.size(), 2u);
    EXPECT_EQ(pictures, 1);

    pointer = QPoint(20, 20);
    const std::optional<CapturedShot> full = shotOf(waited(wayland->captureFullScreen()));
    ASSERT_TRUE(full);
    EXPECT_TRUE(samePixels(full->image, leftPicture));

    const std::optional<CapturedShot> repeated = shotOf(waited(wayland->captureRepeatArea()));
    ASSERT_TRUE(repeated);
    EXPECT_EQ(repeated->kind, CaptureKind::repeatArea);
    EXPECT_TRUE(samePixels(repeated->image, rightPicture.copy(20, 20, 40, 40)));
    EXPECT_EQ(pictures, 3);
    EXPECT_EQ(screens.grabCount(), 0);
}

TEST_F(WaylandCaptureTest, RefusalsAndWindowCapturesFail)
{
    portalAnswer = PortalScreenshotError{PortalScreenshotErrorKind::refused,
                                         portalScreenshotMessage(PortalScreenshotErrorKind::refused)};
    answer(areaOn(left, Rect(0, 0, 5, 5)));
    EXPECT_EQ(errorOf(waited(wayland->captureArea())), CaptureError::permissionDenied());
    EXPECT_TRUE(script.setups.empty());
    EXPECT_EQ(CaptureError::permissionDenied().message, "Manca il permesso di Registrazione schermo.");

    const PortalScreenshotError timedOut{PortalScreenshotErrorKind::timedOut,
                                         portalScreenshotMessage(PortalScreenshotErrorKind::timedOut)};
    portalAnswer = timedOut;
    EXPECT_EQ(errorOf(waited(wayland->captureFullScreen())), CaptureError::platform(timedOut.message));

    const CaptureError windowError = CaptureError::platform(QString::fromUtf16(waylandWindowCaptureMessage));
    EXPECT_EQ(errorOf(waited(wayland->captureActiveWindow())), windowError);
    EXPECT_EQ(errorOf(waited(wayland->captureWithOverlay(SelectionMode::window()))), windowError);
    EXPECT_FALSE(wayland->isCapturing());
}

} // namespace
