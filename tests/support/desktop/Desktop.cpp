#include "support/desktop/Desktop.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <thread>

namespace vorlix::test {

namespace {

constexpr auto serverTimeout = std::chrono::seconds(10);
constexpr auto clientTimeout = std::chrono::seconds(10);

Desktop* theProcessDesktop = nullptr;

struct ConnectionCloser {
    void operator()(xcb_connection_t* c) const { xcb_disconnect(c); }
};

} // namespace

Desktop::Desktop(const DesktopOptions& options) : m_size(options.size)
{
    int pipe[2];
    if (pipe2(pipe, O_CLOEXEC) != 0)
        throw std::runtime_error("no pipe for the X server's display number");
    const std::string screen = std::to_string(m_size.width()) + "x" + std::to_string(m_size.height()) + "x24";
    try {
        m_server = ChildProcess("Xvfb", {"-displayfd", "3", "-noreset", "-nolisten", "tcp", "-screen", "0", screen},
                                {.environment = {}, .passAsFd3 = pipe[1]});
    } catch (...) {
        close(pipe[0]);
        close(pipe[1]);
        throw;
    }
    close(pipe[1]);

    // The server writes its display number once it accepts connections.
    std::string number;
    const auto deadline = std::chrono::steady_clock::now() + serverTimeout;
    while (number.find('\n') == std::string::npos) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd fd{pipe[0], POLLIN, 0};
        if (left.count() <= 0 || poll(&fd, 1, static_cast<int>(left.count())) <= 0)
            break;
        char buffer[16];
        const ssize_t n = read(pipe[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        number.append(buffer, static_cast<std::size_t>(n));
    }
    close(pipe[0]);
    if (number.find('\n') == std::string::npos) {
        m_server.stop();
        throw std::runtime_error("Xvfb did not start");
    }
    m_display = std::stoi(number);

    if (options.windowManager)
        startWindowManager();
    if (options.tray)
        startTray();
    if (options.compositor)
        startCompositor();
    if (options.wallpaper)
        paintWallpaper();
}

Desktop::~Desktop() { stop(); }

QString Desktop::displayName() const { return QStringLiteral(":%1").arg(m_display); }

std::vector<std::string> Desktop::clientEnvironment() const { return {"DISPLAY=:" + std::to_string(m_display)}; }

ChildProcess Desktop::startClient(const std::string& program, const std::vector<std::string>& arguments,
                                  const std::string& selection)
{
    ChildProcess client(program, arguments, {.environment = clientEnvironment(), .passAsFd3 = -1});
    if (!waitForSelectionOwner(selection, clientTimeout))
        throw std::runtime_error(program + " did not take " + selection);
    return client;
}

void Desktop::startWindowManager()
{
    m_clients.push_back(startClient("openbox", {"--sm-disable"}, "WM_S0"));
    if (!waitForManagedWindow(clientTimeout))
        throw std::runtime_error("openbox owns its selection but does not manage windows");
}

void Desktop::startTray()
{
    m_clients.push_back(startClient(
        "trayer", {"--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "120", "--height", "24"},
        "_NET_SYSTEM_TRAY_S0"));
}

void Desktop::startCompositor() { m_clients.push_back(startClient("xcompmgr", {}, "_NET_WM_CM_S0")); }

void Desktop::paintWallpaper()
{
    const std::string display = ":" + std::to_string(m_display);
    std::unique_ptr<xcb_connection_t, ConnectionCloser> connection(xcb_connect(display.c_str(), nullptr));
    if (xcb_connection_has_error(connection.get()))
        throw std::runtime_error("no connection to paint the wallpaper");
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection.get())).data->root;
    const std::uint32_t slateBlue = 0x3a6ea5;
    xcb_change_window_attributes(connection.get(), root, XCB_CW_BACK_PIXEL, &slateBlue);
    xcb_clear_area(connection.get(), 0, root, 0, 0, 0, 0);
    std::free(xcb_get_input_focus_reply(connection.get(), xcb_get_input_focus(connection.get()), nullptr));
}

void Desktop::stop()
{
    while (!m_clients.empty()) {
        m_clients.back().stop();
        m_clients.pop_back();
    }
    m_server.stop();
}

std::vector<pid_t> Desktop::processIds() const
{
    std::vector<pid_t> ids;
    if (m_server.pid() > 0)
        ids.push_back(m_server.pid());
    for (const ChildProcess& client : m_clients)
        ids.push_back(client.pid());
    return ids;
}

bool Desktop::waitForSelectionOwner(const std::string& selection, std::chrono::milliseconds timeout) const
{
    const std::string display = ":" + std::to_string(m_display);
    std::unique_ptr<xcb_connection_t, ConnectionCloser> connection(xcb_connect(display.c_str(), nullptr));
    if (xcb_connection_has_error(connection.get()))
        return false;
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection.get(),
        xcb_intern_atom(connection.get(), 0, static_cast<std::uint16_t>(selection.size()), selection.c_str()), nullptr);
    if (!atom)
        return false;
    const xcb_atom_t selectionAtom = atom->atom;
    std::free(atom);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
            connection.get(), xcb_get_selection_owner(connection.get(), selectionAtom), nullptr);
        const bool owned = owner && owner->owner != XCB_NONE;
        std::free(owner);
        if (owned)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

bool Desktop::waitForManagedWindow(std::chrono::milliseconds timeout) const
{
    // Openbox owns its selection before it reads requests, and a window mapped in that
    // moment may stay unmapped for good: a probe window is mapped again until the manager
    // has taken it into a frame of its own.
    const std::string display = ":" + std::to_string(m_display);
    std::unique_ptr<xcb_connection_t, ConnectionCloser> connection(xcb_connect(display.c_str(), nullptr));
    xcb_connection_t* c = connection.get();
    if (xcb_connection_has_error(c))
        return false;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_window_t probe = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, probe, root, 0, 0, 10, 10, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    bool managed = false;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!managed && std::chrono::steady_clock::now() < deadline) {
        xcb_map_window(c, probe);
        xcb_flush(c);
        for (int i = 0; i < 20 && !managed; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, probe), nullptr);
            managed = tree && tree->parent != root;
            std::free(tree);
        }
    }
    xcb_destroy_window(c, probe);
    xcb_flush(c);
    return managed;
}

Desktop& processDesktop()
{
    if (!theProcessDesktop)
        throw std::logic_error("this test program has no desktop: declare it with vorlix_add_desktop_test");
    return *theProcessDesktop;
}

void setProcessDesktop(Desktop* desktop) { theProcessDesktop = desktop; }

} // namespace vorlix::test
