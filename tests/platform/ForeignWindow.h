#pragma once
// A window of another X client on the test's desktop, filled by the server with one colour,
// so that its pixels are known without a client painting them. It carries _NET_WM_PID only
// when given one.

#include "support/EventLoopWaits.h"
#include "support/desktop/Desktop.h"

#include <QColor>
#include <QRect>
#include <QString>

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace vorlix::test {

class ForeignClient {
public:
    ForeignClient() : m_connection(xcb_connect(processDesktop().displayName().toUtf8().constData(), nullptr))
    {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    }
    ~ForeignClient() { xcb_disconnect(m_connection); }
    ForeignClient(const ForeignClient&) = delete;
    ForeignClient& operator=(const ForeignClient&) = delete;

    // Maps a window of `rect` (root coordinates) painted `color`, and waits until it is shown
    // (and, with a window manager, framed).
    xcb_window_t show(const QRect& rect, QColor color, const QString& title, std::optional<std::uint32_t> pid = {},
                      bool framed = false)
    {
        const xcb_window_t window = xcb_generate_id(m_connection);
        const std::uint32_t values[] = {color.rgb() & 0xffffff, XCB_EVENT_MASK_STRUCTURE_NOTIFY};
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, m_root, std::int16_t(rect.x()),
                          std::int16_t(rect.y()), std::uint16_t(rect.width()), std::uint16_t(rect.height()), 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK,
                          values);
        const QByteArray name = title.toUtf8();
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                            std::uint32_t(name.size()), name.constData());
        if (pid)
            setCardinals(window, "_NET_WM_PID", {*pid});
        // Ask the window manager to keep the place given.
        const std::uint32_t hints[18] = {1u << 0 | 1u << 2, 0, 0, 0, 0};
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS,
                            XCB_ATOM_WM_SIZE_HINTS, 32, 18, hints);
        xcb_map_window(m_connection, window);
        sync();
        waitUntil([&] { return viewable(window) && (!framed || parent(window) != m_root); });
        processEventsFor(std::chrono::milliseconds(150)); // the manager places it, the compositor paints it
        return window;
    }

    void setCardinals(xcb_window_t window, const char* atomName, std::initializer_list<std::uint32_t> values)
    {
        xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, std::uint16_t(std::strlen(atomName)), atomName), nullptr);
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, atom->atom, XCB_ATOM_CARDINAL, 32,
                            std::uint32_t(values.size()), values.begin());
        std::free(atom);
        sync();
    }

    // Sets WM_CLASS to the instance and class names given.
    void setClass(xcb_window_t window, const QByteArray& instance, const QByteArray& className)
    {
        const QByteArray value = instance + '\0' + className + '\0';
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                            std::uint32_t(value.size()), value.constData());
        sync();
    }

    // Sets _NET_WM_WINDOW_TYPE, e.g. to "_NET_WM_WINDOW_TYPE_DOCK".
    void setWindowType(xcb_window_t window, const char* typeName)
    {
        const xcb_atom_t type = atom(typeName);
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32,
                            1, &type);
        sync();
    }

    // Maps a window the window manager leaves alone (override-redirect), exactly at `rect`
    // in device pixels and painted `color`, and waits until it is shown.
    xcb_window_t showUnmanaged(const QRect& rect, QColor color)
    {
        const xcb_window_t window = xcb_generate_id(m_connection);
        const std::uint32_t values[] = {color.rgb() & 0xffffff, 1};
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, m_root, std::int16_t(rect.x()),
                          std::int16_t(rect.y()), std::uint16_t(rect.width()), std::uint16_t(rect.height()), 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                          XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
        xcb_map_window(m_connection, window);
        sync();
        waitUntil([&] { return viewable(window); });
        processEventsFor(std::chrono::milliseconds(100)); // a compositing manager paints it
        return window;
    }

    void hide(xcb_window_t window)
    {
        xcb_unmap_window(m_connection, window);
        sync();
        processEventsFor(std::chrono::milliseconds(100));
    }

    // Whether this client can take the pointer and the keyboard now, that is, no other
    // client holds them; gives them back at once.
    bool canGrabInput()
    {
        xcb_grab_pointer_reply_t* pointer = xcb_grab_pointer_reply(
            m_connection,
            xcb_grab_pointer(m_connection, 0, m_root, XCB_EVENT_MASK_BUTTON_PRESS, XCB_GRAB_MODE_ASYNC,
                             XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE, XCB_CURRENT_TIME),
            nullptr);
        xcb_grab_keyboard_reply_t* keyboard = xcb_grab_keyboard_reply(
            m_connection,
            xcb_grab_keyboard(m_connection, 0, m_root, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
            nullptr);
        const bool grabbed = pointer && pointer->status == XCB_GRAB_STATUS_SUCCESS && keyboard &&
                             keyboard->status == XCB_GRAB_STATUS_SUCCESS;
        std::free(pointer);
        std::free(keyboard);
        xcb_ungrab_pointer(m_connection, XCB_CURRENT_TIME);
        xcb_ungrab_keyboard(m_connection, XCB_CURRENT_TIME);
        sync();
        return grabbed;
    }

    void destroy(xcb_window_t window)
    {
        xcb_destroy_window(m_connection, window);
        sync();
    }

private:
    xcb_atom_t atom(const char* name)
    {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, std::uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return result;
    }

    void sync() { std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr)); }

    bool viewable(xcb_window_t window)
    {
        xcb_get_window_attributes_reply_t* reply =
            xcb_get_window_attributes_reply(m_connection, xcb_get_window_attributes(m_connection, window), nullptr);
        const bool shown = reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(reply);
        return shown;
    }

    xcb_window_t parent(xcb_window_t window)
    {
        xcb_query_tree_reply_t* tree =
            xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), nullptr);
        const xcb_window_t result = tree ? tree->parent : xcb_window_t(XCB_WINDOW_NONE);
        std::free(tree);
        return result;
    }

    xcb_connection_t* m_connection;
    xcb_window_t m_root;
};

} // namespace vorlix::test
