#include "platform/ScreenVeil.h"
#include "platform/x11/X11Connection.h"

#include <xcb/render.h>

#include <algorithm>

namespace vorlix {

namespace {

// The picture format of `visual`; none when the server has no Render format for it.
xcb_render_pictformat_t formatOf(xcb_connection_t* connection, xcb_visualid_t visual)
{
    Reply<xcb_render_query_pict_formats_reply_t> formats(
        xcb_render_query_pict_formats_reply(connection, xcb_render_query_pict_formats(connection), nullptr));
    if (!formats)
        return XCB_NONE;
    for (auto screens = xcb_render_query_pict_formats_screens_iterator(formats.get()); screens.rem;
         xcb_render_pictscreen_next(&screens)) {
        for (auto depths = xcb_render_pictscreen_depths_iterator(screens.data); depths.rem;
             xcb_render_pictdepth_next(&depths)) {
            for (auto visuals = xcb_render_pictdepth_visuals_iterator(depths.data); visuals.rem;
                 xcb_render_pictvisual_next(&visuals)) {
                if (visuals.data->visual == visual)
                    return visuals.data->format;
            }
        }
    }
    return XCB_NONE;
}

} // namespace

bool veilScreenUnder(QWindow* window, double opacity)
{
    xcb_connection_t* connection = qtX11Connection();
    if (!connection || !window || !window->handle() || !window->isVisible())
        return false;
    // Qt's own connection: the requests follow the window's map and precede its first frame.
    const auto target = xcb_window_t(window->winId());
    Reply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, target), nullptr));
    if (!attributes)
        return false;
    Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, target), nullptr));
    if (!geometry || geometry->depth != 24)
        return false;
    const xcb_render_pictformat_t format = formatOf(connection, attributes->visual);
    if (format == XCB_NONE)
        return false;

    const xcb_render_picture_t picture = xcb_generate_id(connection);
    xcb_render_create_picture(connection, picture, target, format, 0, nullptr);
    // Render colours are premultiplied: black of any opacity has zero channels.
    const auto alpha = static_cast<std::uint16_t>(std::clamp(opacity, 0.0, 1.0) * 0xffff + 0.5);
    const xcb_render_color_t veil{0, 0, 0, alpha};
    const xcb_rectangle_t everything{0, 0, geometry->width, geometry->height};
    xcb_render_fill_rectangles(connection, XCB_RENDER_PICT_OP_OVER, picture, veil, 1, &everything);
    xcb_render_free_picture(connection, picture);
    xcb_flush(connection);
    return true;
}

} // namespace vorlix
