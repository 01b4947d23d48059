// The running program on a desktop with a system tray, driven from outside as a user
// drives it: a hot key until the selection overlay's first pixels show, a capture asked
// for by URL until its PNG is complete in the history folder, and the tray menu opened
// with 5,000 shots in the history until it shows. Each benchmark starts the program once,
// with its settings, folders and socket in a temporary folder whose settings it writes
// first; the keys and clicks go through xdotool, whose own cost BM_XdotoolKeyAlone shows.

#include "core/formats/HistoryStore.h"
#include "platform/ScreenSource.h"
#include "support/EventLoopWaits.h"
#include "support/desktop/ChildProcess.h"
#include "support/desktop/DesktopTools.h"
#include "support/desktop/FixtureWindow.h"
#include "support/desktop/ProgramHome.h"
#include "support/desktop/TrayProbe.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <xcb/xcb.h>

#include <fcntl.h>
#include <unistd.h>

#include <memory>
#include <set>
#include <string>
#include <thread>

using namespace vorlix;
using namespace vorlix::test;

namespace {

constexpr auto generous = std::chrono::seconds(10);

double msSince(const QElapsedTimer& clock) { return static_cast<double>(clock.nsecsElapsed()) / 1e6; }

// The program's home: settings written before it starts, its history folder, its log.
struct Home {
    QTemporaryDir dir;

    explicit Home(const QByteArray& settings)
    {
        QDir(dir.path()).mkpath(QStringLiteral("config/Vorlix"));
        QFile ini(dir.filePath(QStringLiteral("config/Vorlix/Vorlix.ini")));
        if (ini.open(QIODevice::WriteOnly))
            ini.write("[General]\nchecksForUpdates=false\n" + settings);
    }

    QString historyFolder() const { return dir.filePath(QStringLiteral("Downloads/Vorlix")); }

    std::vector<std::string> environment() const { return programEnvironment(dir.path()); }

    QProcessEnvironment processEnvironment() const { return withEntries(environment()); }
};

// The program, started and shown in the tray; its errors go to "vorlix.log" in its home.
struct Running {
    static ChildProcess start(const Home& home)
    {
        const int log = open(home.dir.filePath(QStringLiteral("vorlix.log")).toLocal8Bit().constData(),
                             O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ChildProcess process(VORLIX_EXECUTABLE, {}, {.environment = home.environment(), .standardError = log});
        close(log);
        return process;
    }

    ChildProcess process;
    std::optional<std::uint32_t> icon;

    explicit Running(const Home& home) : process(VORLIX_EXECUTABLE, {}, {.environment = home.environment()})
    {
        const TrayProbe tray;
        waitUntil([&] { return (icon = tray.embeddedIconOf(process.pid())).has_value(); }, generous);
        // Let the first capture's buffers be prepared, as they are a moment after start.
        processEventsFor(std::chrono::milliseconds(1500));
    }
};

// The windows of one process that are mapped, found from the root down two levels (a
// window manager's frame holds a client one level down), with their rectangles.
class WindowWatch {
public:
    WindowWatch() : m_connection(xcb_connect(nullptr, nullptr))
    {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        const char name[] = "_NET_WM_PID";
        xcb_intern_atom_reply_t* atom =
            xcb_intern_atom_reply(m_connection, xcb_intern_atom(m_connection, 0, sizeof name - 1, name), nullptr);
        m_pidAtom = atom ? atom->atom : 0;
        free(atom);
    }
    ~WindowWatch() { xcb_disconnect(m_connection); }
    WindowWatch(const WindowWatch&) = delete;
    WindowWatch& operator=(const WindowWatch&) = delete;

    std::set<std::uint32_t> shownWindowsOf(pid_t pid) const
    {
        std::set<std::uint32_t> found;
        std::vector<xcb_window_t> level = children(m_root);
        std::vector<xcb_window_t> candidates = level;
        for (xcb_window_t window : level)
            for (xcb_window_t child : children(window))
                candidates.push_back(child);
        std::vector<xcb_get_window_attributes_cookie_t> attributes;
        std::vector<xcb_get_property_cookie_t> pids;
        for (xcb_window_t window : candidates) {
            attributes.push_back(xcb_get_window_attributes(m_connection, window));
            pids.push_back(xcb_get_property(m_connection, 0, window, m_pidAtom, XCB_ATOM_CARDINAL, 0, 1));
        }
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            xcb_get_window_attributes_reply_t* a =
                xcb_get_window_attributes_reply(m_connection, attributes[i], nullptr);
            xcb_get_property_reply_t* p = xcb_get_property_reply(m_connection, pids[i], nullptr);
            const bool viewable = a && a->map_state == XCB_MAP_STATE_VIEWABLE;
            const bool ofPid =
                p && xcb_get_property_value_length(p) == 4 &&
                *static_cast<const std::uint32_t*>(xcb_get_property_value(p)) == static_cast<std::uint32_t>(pid);
            if (viewable && ofPid)
                found.insert(candidates[i]);
            free(a);
            free(p);
        }
        return found;
    }

    // The window's rectangle on the screen.
    QRect screenRect(std::uint32_t window) const
    {
        xcb_get_geometry_reply_t* g =
            xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr);
        xcb_translate_coordinates_reply_t* t = xcb_translate_coordinates_reply(
            m_connection, xcb_translate_coordinates(m_connection, window, m_root, 0, 0), nullptr);
        QRect rect = g && t ? QRect(t->dst_x, t->dst_y, g->width, g->height) : QRect();
        free(g);
        free(t);
        return rect;
    }

private:
    std::vector<xcb_window_t> children(xcb_window_t window) const
    {
        std::vector<xcb_window_t> result;
        if (xcb_query_tree_reply_t* tree =
                xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), nullptr)) {
            const xcb_window_t* list = xcb_query_tree_children(tree);
            result.assign(list, list + xcb_query_tree_children_length(tree));
            free(tree);
        }
        return result;
    }

    xcb_connection_t* m_connection;
    xcb_window_t m_root = 0;
    xcb_atom_t m_pidAtom = 0;
};

// Pixels of the screen, as the server shows them.
struct ScreenProbe {
    std::unique_ptr<ScreenSource> source = makePlatformScreenSource();

    QImage grab(const QRect& rect) const
    {
        ScreenGrab grab = source->grab(source->screens().front(), QRectF(rect));
        return std::holds_alternative<QImage>(grab) ? std::get<QImage>(grab) : QImage();
    }
    QRgb pixel(QPoint at) const
    {
        const QImage image = grab(QRect(at, QSize(1, 1)));
        return image.isNull() ? 0 : image.pixel(0, 0);
    }
};

// A PNG file whose last chunk, IEND, is written.
bool completePng(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 20)
        return false;
    if (file.read(8) != QByteArray("\x89PNG\r\n\x1a\n", 8))
        return false;
    file.seek(file.size() - 12);
    return file.read(12) == QByteArray("\0\0\0\0IEND\xae\x42\x60\x82", 12);
}

// The complete PNGs of the history folder that `known` does not hold.
QStringList newShots(const QString& folder, const QSet<QString>& known)
{
    QStringList found;
    for (const QString& name : QDir(folder).entryList({QStringLiteral("*.png")}, QDir::Files))
        if (!known.contains(name) && completePng(QDir(folder).filePath(name)))
            found << name;
    return found;
}

QSet<QString> shotsIn(const QString& folder)
{
    const QStringList names = QDir(folder).entryList({QStringLiteral("*.png")}, QDir::Files);
    return QSet<QString>(names.begin(), names.end());
}

void BM_XdotoolKeyAlone(benchmark::State& state)
{
    for (auto _ : state)
        if (!sendKeys(QStringLiteral("shift")))
            state.SkipWithError("xdotool failed");
}
BENCHMARK(BM_XdotoolKeyAlone)->Unit(benchmark::kMillisecond)->UseRealTime();

#if VORLIX_BENCH_DESKTOP_WIDTH > 1920

// Ctrl+Shift+2 (the area hot key) until the overlay's veil darkens a white window, then
// Escape until the screen is as before.
void BM_HotkeyUntilOverlayPainted(benchmark::State& state)
{
    Home home("afterCapture=quickPreview\n");
    Running vorlix(home);
    if (!vorlix.icon) {
        state.SkipWithError("the tray icon never showed");
        return;
    }
    QImage white(200, 200, QImage::Format_RGB32);
    white.fill(Qt::white);
    FixtureWindow window(white, QPoint(0, 0), QStringLiteral("white"));
    window.showAndWait();
    movePointer(2560, 1440);
    const ScreenProbe probe;
    // The white window's middle, wherever the window manager put it.
    const QPoint spot = window.geometry().center();
    processEventsFor(std::chrono::milliseconds(300));
    const QRgb unveiled = probe.pixel(spot);
    const WindowWatch watch;
    for (auto _ : state) {
        const std::set<std::uint32_t> before = watch.shownWindowsOf(vorlix.process.pid());
        QElapsedTimer clock;
        clock.start();
        const bool mapped = sendKeys(QStringLiteral("ctrl+shift+2")) &&
                            waitUntil([&] { return watch.shownWindowsOf(vorlix.process.pid()) != before; }, generous);
        if (!mapped) {
            state.SkipWithError("the overlay's window was never mapped");
            return;
        }
        state.counters["mappedMs"] = msSince(clock);
        if (!waitUntil([&] { return probe.pixel(spot) != unveiled; }, generous)) {
            state.SkipWithError("the overlay's window was mapped but its veil never reached the screen");
            sendKeys(QStringLiteral("Escape"));
            return;
        }
        state.SetIterationTime(msSince(clock) / 1000);
        sendKeys(QStringLiteral("Escape"));
        if (!waitUntil([&] { return probe.pixel(spot) == unveiled; }, generous)) {
            state.SkipWithError("Escape did not close the overlay");
            return;
        }
        processEventsFor(std::chrono::milliseconds(300));
    }
}
BENCHMARK(BM_HotkeyUntilOverlayPainted)->Unit(benchmark::kMillisecond)->UseManualTime();

// Whether `shown` differs from `under` darkened by the veil alone, beyond rounding.
bool differsFromVeiled(const QImage& shown, const QImage& under)
{
    if (shown.size() != under.size())
        return false;
    const auto apart = [](int shownChannel, int underChannel) {
        return std::abs(shownChannel - underChannel * 3 / 4) > 3;
    };
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            const QRgb a = shown.pixel(x, y);
            const QRgb b = under.pixel(x, y);
            if (apart(qRed(a), qRed(b)) || apart(qGreen(a), qGreen(b)) || apart(qBlue(a), qBlue(b)))
                return true;
        }
    }
    return false;
}

// The first Ctrl+Shift+2 after the program has idled in the tray for 5 s, as a person meets
// it: a new program each time, so nothing is warm but what it prepared itself. The time is
// until the veil shows. Then the pointer moves by a pixel: "loupeMs" is until the loupe the
// program paints under it shows, which its first frame had to precede.
void BM_FirstHotkeyAfterStartUntilOverlayPainted(benchmark::State& state)
{
    QImage white(200, 200, QImage::Format_RGB32);
    white.fill(Qt::white);
    FixtureWindow window(white, QPoint(0, 0), QStringLiteral("white"));
    window.showAndWait();
    const QPoint pointer(2560, 1440);
    movePointer(pointer.x(), pointer.y());
    const ScreenProbe probe;
    const QPoint spot = window.geometry().center();
    const QRect byPointer(pointer, QSize(140, 140));
    for (auto _ : state) {
        state.PauseTiming();
        Home home("afterCapture=quickPreview\n");
        Running vorlix(home);
        if (!vorlix.icon) {
            state.SkipWithError("the tray icon never showed");
            return;
        }
        processEventsFor(std::chrono::milliseconds(3500));
        const QRgb unveiled = probe.pixel(spot);
        const QImage under = probe.grab(byPointer);
        state.ResumeTiming();
        QElapsedTimer clock;
        clock.start();
        if (!sendKeys(QStringLiteral("ctrl+shift+2")) ||
            !waitUntil([&] { return probe.pixel(spot) != unveiled; }, generous)) {
            state.SkipWithError("the overlay's veil never reached the screen");
            return;
        }
        state.SetIterationTime(msSince(clock) / 1000);
        movePointer(pointer.x() + 1, pointer.y());
        if (!waitUntil([&] { return differsFromVeiled(probe.grab(byPointer), under); }, generous)) {
            state.SkipWithError("the loupe never showed");
            return;
        }
        state.counters["loupeMs"] = msSince(clock);
        sendKeys(QStringLiteral("Escape"));
        waitUntil([&] { return probe.pixel(spot) == unveiled; }, generous);
        movePointer(pointer.x(), pointer.y());
    }
}
BENCHMARK(BM_FirstHotkeyAfterStartUntilOverlayPainted)->Iterations(3)->Unit(benchmark::kMillisecond)->UseManualTime();

// Ctrl+Shift+1 (full screen) with the quick preview after a capture: until the shot's
// PNG is complete in the history folder.
void BM_FullScreenHotkeyUntilHistoryPng(benchmark::State& state)
{
    Home home("afterCapture=quickPreview\n");
    Running vorlix(home);
    if (!vorlix.icon) {
        state.SkipWithError("the tray icon never showed");
        return;
    }
    for (auto _ : state) {
        const QSet<QString> known = shotsIn(home.historyFolder());
        QElapsedTimer clock;
        clock.start();
        if (!sendKeys(QStringLiteral("ctrl+shift+1")) ||
            !waitUntil([&] { return !newShots(home.historyFolder(), known).isEmpty(); }, generous)) {
            state.SkipWithError("no shot in the history folder");
            return;
        }
        state.SetIterationTime(msSince(clock) / 1000);
        processEventsFor(std::chrono::milliseconds(500));
    }
}
BENCHMARK(BM_FullScreenHotkeyUntilHistoryPng)->Unit(benchmark::kMillisecond)->UseManualTime();

// The argument's number of shots (5,000 for the goal, none to compare) in the history
// folder, as the program writes them; from pressing the right button on the tray icon
// until the menu's window shows and is painted. The counter "mappedMs" is the
// time until it is mapped.
void BM_TrayMenuWithShotsFirstPaint(benchmark::State& state)
{
    Home home("afterCapture=quickPreview\nhistoryRetentionDays=3650\n");
    {
        QImage picture(16, 10, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
        const HistoryStore store(home.historyFolder(), QStringLiteral("Vorlix"));
        const QDateTime now = QDateTime::currentDateTimeUtc();
        for (int i = 0; i < state.range(0); ++i) {
            HistoryEntry entry;
            entry.id = QUuid::createUuid();
            entry.date = now.addSecs(-60 * (i + 1));
            entry.captureKind = i % 2 ? CaptureKind::area : CaptureKind::fullScreen;
            entry.pixelWidth = 16;
            entry.pixelHeight = 10;
            entry.sourceAppName = QStringLiteral("Terminale");
            entry.sourceWindowTitle = QStringLiteral("Finestra %1").arg(i);
            store.add(png, entry);
        }
    }
    QElapsedTimer startClock;
    startClock.start();
    Running vorlix(home);
    if (!vorlix.icon) {
        state.SkipWithError("the tray icon never showed");
        return;
    }
    const WindowWatch watch;
    const ScreenProbe probe;
    const QRect icon = watch.screenRect(*vorlix.icon);
    for (auto _ : state) {
        const std::set<std::uint32_t> before = watch.shownWindowsOf(vorlix.process.pid());
        movePointer(icon.center().x(), icon.center().y());
        const QImage screen =
            probe.grab(QRect(QPoint(0, 0), QSize(VORLIX_BENCH_DESKTOP_WIDTH, VORLIX_BENCH_DESKTOP_HEIGHT)));
        std::optional<std::uint32_t> menu;
        // The menu opens on the press. xdotool's click holds the button for 100 ms before it
        // lets go and returns, so it runs beside the watch instead of before it.
        QElapsedTimer clock;
        clock.start();
        QProcess clicking;
        clicking.setProcessEnvironment(home.processEnvironment());
        clicking.start(QStringLiteral("xdotool"), {QStringLiteral("click"), QStringLiteral("3")});
        const bool mapped = waitUntil(
            [&] {
                for (std::uint32_t window : watch.shownWindowsOf(vorlix.process.pid()))
                    if (!before.contains(window))
                        menu = window;
                return menu.has_value();
            },
            generous);
        const double mappedMs = msSince(clock);
        QRect rect = mapped ? watch.screenRect(*menu) : QRect();
        rect &= screen.rect();
        if (!mapped || rect.isEmpty() ||
            !waitUntil([&] { return probe.grab(rect).convertToFormat(screen.format()) != screen.copy(rect); },
                       generous)) {
            state.SkipWithError("the tray menu never showed");
            return;
        }
        state.SetIterationTime(msSince(clock) / 1000);
        state.counters["mappedMs"] = mappedMs;
        clicking.waitForFinished(5000);
        sendKeys(QStringLiteral("Escape"));
        waitUntil([&] { return !watch.shownWindowsOf(vorlix.process.pid()).contains(*menu); }, generous);
        processEventsFor(std::chrono::milliseconds(300));
    }
}
BENCHMARK(BM_TrayMenuWithShotsFirstPaint)->Arg(0)->Arg(5000)->Unit(benchmark::kMillisecond)->UseManualTime();

#endif

// "vorlix://capture/screen" handed over by a second start: from pressing Return on the
// confirmation ("Cattura" is its default button) until the PNG is complete in the history
// folder. The counter "untilConfirmationMs" is the time from the second start to the
// confirmation shown.
void BM_URLCaptureScreenUntilHistoryPng(benchmark::State& state)
{
    Home home("afterCapture=quickPreview\n");
    Running vorlix(home);
    if (!vorlix.icon) {
        state.SkipWithError("the tray icon never showed");
        return;
    }
    const WindowWatch watch;
    double confirmationTotal = 0;
    int confirmations = 0;
    for (auto _ : state) {
        // URL commands are admitted at most once a second.
        processEventsFor(std::chrono::milliseconds(1100));
        const QSet<QString> known = shotsIn(home.historyFolder());
        const std::set<std::uint32_t> before = watch.shownWindowsOf(vorlix.process.pid());
        QElapsedTimer toConfirmation;
        toConfirmation.start();
        QProcess second;
        second.setProcessEnvironment(home.processEnvironment());
        second.start(QStringLiteral(VORLIX_EXECUTABLE), {QStringLiteral("vorlix://capture/screen")});
        const bool confirmation = waitUntil(
            [&] {
                for (std::uint32_t window : watch.shownWindowsOf(vorlix.process.pid()))
                    if (!before.contains(window))
                        return true;
                return false;
            },
            generous);
        second.waitForFinished(5000);
        if (!confirmation) {
            state.SkipWithError("the confirmation never showed");
            return;
        }
        confirmationTotal += msSince(toConfirmation);
        ++confirmations;
        // Give the dialog the keyboard focus the window manager hands it.
        processEventsFor(std::chrono::milliseconds(300));
        QElapsedTimer clock;
        clock.start();
        if (!sendKeys(QStringLiteral("Return")) ||
            !waitUntil([&] { return !newShots(home.historyFolder(), known).isEmpty(); }, generous)) {
            state.SkipWithError("no shot in the history folder");
            return;
        }
        state.SetIterationTime(msSince(clock) / 1000);
        processEventsFor(std::chrono::milliseconds(300));
    }
    if (confirmations > 0)
        state.counters["untilConfirmationMs"] = confirmationTotal / confirmations;
}
BENCHMARK(BM_URLCaptureScreenUntilHistoryPng)->Unit(benchmark::kMillisecond)->UseManualTime();

} // namespace
