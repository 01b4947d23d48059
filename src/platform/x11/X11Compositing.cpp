#include "platform/Compositing.h"
#include "platform/x11/X11Connection.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <string>

namespace vorlix {

bool isCompositingManagerRunning()
{
    xcb_connection_t* connection = qtX11Connection();
    if (!connection)
        return true;
    // The default screen's manager: every monitor of a RandR desktop belongs to screen 0.
    const std::string name = "_NET_WM_CM_S0";
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, std::uint16_t(name.size()), name.c_str()), nullptr);
    if (!atom)
        return false;
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
    const bool running = owner && owner->owner != XCB_NONE;
    std::free(atom);
    std::free(owner);
    return running;
}

} // namespace vorlix
