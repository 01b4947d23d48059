#pragma once
// Screens, windows and pictures of an X11 session, over the xcb connection of the running
// QGuiApplication: monitors from RandR, the window list from the window manager's
// stacking order (the plain window tree when none runs), screen pictures through MIT-SHM
// (a plain GetImage when the server offers no shared memory) and window pictures from
// the Composite extension.

#include "platform/ScreenSource.h"

#include <memory>

namespace vorlix {

// The source of the running application's X11 connection; nullptr when the application
// does not run on the xcb platform. Without `sharedMemory` it grabs as it does when the
// server offers no MIT-SHM (a server on another machine).
std::unique_ptr<ScreenSource> makeX11ScreenSource(bool sharedMemory = true);

} // namespace vorlix
