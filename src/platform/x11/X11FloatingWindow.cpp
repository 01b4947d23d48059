#include "platform/FloatingWindow.h"
#include "platform/x11/X11Connection.h"

#include <QWindow>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

namespace vorlix {

namespace {

xcb_atom_t atom(xcb_connection_t* c, std::string_view name)
{
    const Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::uint16_t(name.size()), name.data()), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

xcb_window_t rootOf(xcb_connection_t* c, xcb_window_t window)
{
    const Reply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
    return geometry ? geometry->root : xcb_window_t(XCB_WINDOW_NONE);
}

// A message to the window manager about `window`, as EWMH asks for mapped windows.
void sendToWindowManager(xcb_connection_t* c, xcb_window_t window, xcb_atom_t type,
                         const std::array<std::uint32_t, 5>& data)
{
    const xcb_window_t root = rootOf(c, window);
    if (root == XCB_WINDOW_NONE)
        return;
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    std::memcpy(event.data.data32, data.data(), sizeof(std::uint32_t) * data.size());
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

constexpr std::uint32_t allDesktops = 0xFFFFFFFF;
constexpr std::uint32_t netWmStateAdd = 1;
constexpr std::uint32_t sourceApplication = 1;

// WM_NORMAL_HINTS: 18 CARD32 fields; the aspect flag and the min and max aspect fields.
constexpr std::size_t sizeHintsFields = 18;
constexpr std::uint32_t aspectFlag = 1u << 7;
constexpr std::size_t minAspectField = 11;
constexpr std::size_t maxAspectField = 13;

} // namespace

void showOnAllDesktops(QWindow& window)
{
    xcb_connection_t* c = qtX11Connection();
    if (!c)
        return;
    const auto id = xcb_window_t(window.winId());
    const xcb_atom_t desktop = atom(c, "_NET_WM_DESKTOP");
    const xcb_atom_t state = atom(c, "_NET_WM_STATE");
    const xcb_atom_t sticky = atom(c, "_NET_WM_STATE_STICKY");
    if (window.isVisible()) {
        sendToWindowManager(c, id, desktop, {allDesktops, sourceApplication, 0, 0, 0});
        sendToWindowManager(c, id, state, {netWmStateAdd, sticky, 0, sourceApplication, 0});
    } else {
        // Read when the window is mapped; the toolkit adds its own states to this list.
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, desktop, XCB_ATOM_CARDINAL, 32, 1, &allDesktops);
        xcb_change_property(c, XCB_PROP_MODE_APPEND, id, state, XCB_ATOM_ATOM, 32, 1, &sticky);
    }
    xcb_flush(c);
}

void keepAspectRatio(QWindow& window, QSize ratio)
{
    xcb_connection_t* c = qtX11Connection();
    if (!c || ratio.isEmpty())
        return;
    const auto id = xcb_window_t(window.winId());
    std::array<std::uint32_t, sizeHintsFields> hints{};
    const Reply<xcb_get_property_reply_t> current(xcb_get_property_reply(
        c, xcb_get_property(c, 0, id, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 0, sizeHintsFields), nullptr));
    if (current && current->format == 32) {
        const auto length = std::min<std::size_t>(sizeHintsFields, xcb_get_property_value_length(current.get()) / 4);
        std::memcpy(hints.data(), xcb_get_property_value(current.get()), length * 4);
    }
    hints[0] |= aspectFlag;
    hints[minAspectField] = hints[maxAspectField] = std::uint32_t(ratio.width());
    hints[minAspectField + 1] = hints[maxAspectField + 1] = std::uint32_t(ratio.height());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32,
                        std::uint32_t(hints.size()), hints.data());
    xcb_flush(c);
}

} // namespace vorlix
