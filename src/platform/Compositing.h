#pragma once
// Whether a compositing manager runs, so that a see-through window shows what lies under
// it. Without one (a bare X server, some light desktops) a translucent window shows black
// where it is transparent, so whatever must show the screen through a window, such as
// a live selection overlay, needs a frozen picture of the screen instead.

namespace vorlix {

// On X11: the screen's _NET_WM_CM_S<n> selection has an owner. Other sessions (Wayland,
// the offscreen platform) always composite or never show anything live: true there.
bool isCompositingManagerRunning();

} // namespace vorlix
