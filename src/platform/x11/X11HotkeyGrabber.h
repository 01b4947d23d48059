#pragma once
// Global hot keys on an X11 session, over the xcb connection of the running
// QGuiApplication: passive key grabs on the root window, one per NumLock and CapsLock
// state, taken again whenever the keyboard mapping changes; key characters from the
// server's keymap through xkbcommon.

#include "platform/HotkeyGrabber.h"

#include <memory>

namespace vorlix {

// The grabber of the running application's X11 connection; nullptr when the application
// does not run on the xcb platform.
std::unique_ptr<HotkeyGrabber> makeX11HotkeyGrabber();

} // namespace vorlix
