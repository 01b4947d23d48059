#include "support/desktop/TrayProbe.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

namespace vorlix::test {

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <class T>
using Reply = std::unique_ptr<T, FreeReply>;

} // namespace

TrayProbe::TrayProbe()
{
    m_connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(m_connection)) {
        xcb_disconnect(m_connection);
        throw std::runtime_error("no X server on $DISPLAY");
    }
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    const char* name = "_NET_WM_PID";
    const Reply<xcb_intern_atom_reply_t> atom(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
    m_pidAtom = atom ? atom->atom : static_cast<std::uint32_t>(XCB_ATOM_NONE);
}

TrayProbe::~TrayProbe() { xcb_disconnect(m_connection); }

std::optional<std::uint32_t> TrayProbe::embeddedIconOf(pid_t pid) const
{
    // Every window below the top-level ones, breadth first; the requests of one level go
    // out together.
    std::vector<xcb_window_t> level{m_root};
    bool topLevel = true;
    while (!level.empty()) {
        std::vector<xcb_query_tree_cookie_t> trees;
        for (xcb_window_t window : level)
            trees.push_back(xcb_query_tree(m_connection, window));
        std::vector<xcb_window_t> next;
        for (xcb_query_tree_cookie_t cookie : trees) {
            const Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(m_connection, cookie, nullptr));
            if (!tree)
                continue;
            const xcb_window_t* children = xcb_query_tree_children(tree.get());
            next.insert(next.end(), children, children + xcb_query_tree_children_length(tree.get()));
        }
        if (!topLevel) {
            std::vector<xcb_get_property_cookie_t> pids;
            std::vector<xcb_get_window_attributes_cookie_t> attributes;
            for (xcb_window_t window : next) {
                pids.push_back(xcb_get_property(m_connection, 0, window, m_pidAtom, XCB_ATOM_CARDINAL, 0, 1));
                attributes.push_back(xcb_get_window_attributes(m_connection, window));
            }
            std::optional<std::uint32_t> found;
            for (std::size_t i = 0; i < next.size(); ++i) {
                const Reply<xcb_get_property_reply_t> property(xcb_get_property_reply(m_connection, pids[i], nullptr));
                const Reply<xcb_get_window_attributes_reply_t> attribute(
                    xcb_get_window_attributes_reply(m_connection, attributes[i], nullptr));
                if (found || !property || !attribute || xcb_get_property_value_length(property.get()) != 4)
                    continue;
                const auto owner = *static_cast<const std::uint32_t*>(xcb_get_property_value(property.get()));
                if (owner == static_cast<std::uint32_t>(pid) && attribute->map_state == XCB_MAP_STATE_VIEWABLE)
                    found = next[i];
            }
            if (found)
                return found;
        }
        level = std::move(next);
        topLevel = false;
    }
    return std::nullopt;
}

std::optional<QRect> TrayProbe::screenRect(std::uint32_t window) const
{
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr));
    const Reply<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
        m_connection, xcb_translate_coordinates(m_connection, window, m_root, 0, 0), nullptr));
    if (!geometry || !origin)
        return std::nullopt;
    return QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
}

} // namespace vorlix::test
