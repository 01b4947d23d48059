#include "platform/PointerGrab.h"
#include "platform/x11/X11Connection.h"

#include <xcb/xcb.h>

namespace vorlix {

namespace {

class X11PointerGrab final : public PointerGrab {
public:
    explicit X11PointerGrab(xcb_connection_t* connection) : m_connection(connection) {}
    ~X11PointerGrab() override
    {
        xcb_ungrab_pointer(m_connection, XCB_CURRENT_TIME);
        xcb_flush(m_connection);
    }

private:
    xcb_connection_t* m_connection;
};

} // namespace

std::unique_ptr<PointerGrab> grabPointer(QWindow* window)
{
    xcb_connection_t* connection = qtX11Connection();
    if (!connection || !window)
        return nullptr;
    const std::uint16_t events = XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
                                 XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_ENTER_WINDOW |
                                 XCB_EVENT_MASK_LEAVE_WINDOW;
    // owner_events: over our own windows the pointer behaves as without the grab, so each
    // overlay window keeps seeing the pointer on its own screen.
    const xcb_grab_pointer_cookie_t cookie =
        xcb_grab_pointer(connection, 1, xcb_window_t(window->winId()), events, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC,
                         XCB_NONE, XCB_NONE, XCB_CURRENT_TIME);
    xcb_grab_pointer_reply_t* reply = xcb_grab_pointer_reply(connection, cookie, nullptr);
    const bool grabbed = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
    free(reply);
    if (!grabbed)
        return nullptr;
    return std::make_unique<X11PointerGrab>(connection);
}

void warpPointer(QWindow* window, QPoint devicePixel)
{
    xcb_connection_t* connection = qtX11Connection();
    if (!connection || !window)
        return;
    xcb_warp_pointer(connection, XCB_NONE, xcb_window_t(window->winId()), 0, 0, 0, 0, std::int16_t(devicePixel.x()),
                     std::int16_t(devicePixel.y()));
    xcb_flush(connection);
}

} // namespace vorlix
