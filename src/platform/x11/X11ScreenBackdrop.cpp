#include "platform/ScreenBackdrop.h"

#include <QGuiApplication>

#include <xcb/render.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace vorlix {

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, FreeReply>;

xcb_connection_t* x11Connection()
{
    auto* app = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return app ? app->connection() : nullptr;
}

xcb_screen_t* screenOf(xcb_connection_t* connection, xcb_window_t root)
{
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(connection)); it.rem; xcb_screen_next(&it)) {
        if (it.data->root == root)
            return it.data;
    }
    return nullptr;
}

// The picture format of the screen's own visual.
xcb_render_pictformat_t formatOf(xcb_connection_t* connection, xcb_visualid_t visual)
{
    ReplyPtr<xcb_render_query_pict_formats_reply_t> formats(
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

void darken(xcb_connection_t* connection, xcb_pixmap_t pixmap, xcb_render_pictformat_t format, std::uint16_t width,
            std::uint16_t height, double opacity)
{
    const xcb_render_picture_t picture = xcb_generate_id(connection);
    xcb_render_create_picture(connection, picture, pixmap, format, 0, nullptr);
    // Render colours are premultiplied: black of any opacity has zero channels.
    const auto alpha = static_cast<std::uint16_t>(std::clamp(opacity, 0.0, 1.0) * 0xffff + 0.5);
    const xcb_render_color_t veil{0, 0, 0, alpha};
    const xcb_rectangle_t everything{0, 0, width, height};
    xcb_render_fill_rectangles(connection, XCB_RENDER_PICT_OP_OVER, picture, veil, 1, &everything);
    xcb_render_free_picture(connection, picture);
}

} // namespace

bool showScreenBackdrop(QWindow* window, double veilOpacity)
{
    xcb_connection_t* connection = x11Connection();
    if (!connection || !window)
        return false;
    const auto target = xcb_window_t(window->winId());
    ReplyPtr<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, target), nullptr));
    if (!geometry)
        return false;
    xcb_screen_t* screen = screenOf(connection, geometry->root);
    if (!screen || geometry->depth != screen->root_depth || geometry->width == 0 || geometry->height == 0)
        return false;
    const xcb_render_pictformat_t format = formatOf(connection, screen->root_visual);
    if (format == XCB_NONE)
        return false;
    // Where the window lies on the root window, whatever window manager frame holds it.
    ReplyPtr<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, target, screen->root, 0, 0), nullptr));
    if (!origin)
        return false;

    const xcb_pixmap_t pixmap = xcb_generate_id(connection);
    xcb_create_pixmap(connection, screen->root_depth, pixmap, screen->root, geometry->width, geometry->height);
    const xcb_gcontext_t context = xcb_generate_id(connection);
    const std::uint32_t includeChildren = XCB_SUBWINDOW_MODE_INCLUDE_INFERIORS;
    xcb_create_gc(connection, context, pixmap, XCB_GC_SUBWINDOW_MODE, &includeChildren);
    xcb_copy_area(connection, screen->root, pixmap, context, origin->dst_x, origin->dst_y, 0, 0, geometry->width,
                  geometry->height);
    xcb_free_gc(connection, context);
    darken(connection, pixmap, format, geometry->width, geometry->height, veilOpacity);
    xcb_change_window_attributes(connection, target, XCB_CW_BACK_PIXMAP, &pixmap);
    // The window holds the pixmap as long as it is its background.
    xcb_free_pixmap(connection, pixmap);
    xcb_flush(connection);
    return true;
}

void clearScreenBackdrop(QWindow* window)
{
    xcb_connection_t* connection = x11Connection();
    if (!connection || !window || !window->handle())
        return;
    const std::uint32_t none = XCB_BACK_PIXMAP_NONE;
    xcb_change_window_attributes(connection, xcb_window_t(window->winId()), XCB_CW_BACK_PIXMAP, &none);
    xcb_flush(connection);
}

} // namespace vorlix
