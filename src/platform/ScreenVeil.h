#pragma once
// The veil of a full-screen overlay, drawn by the X server the moment the overlay's window
// maps. A window without a background of its own shows the screen that lay under it until
// its program paints; the server darkens that at once. The program's first frame, which
// may wait for a screen-sized pixel buffer, then paints the same veil over it.
//
// Without an X11 display (the offscreen platform) it does nothing.

#include <QWindow>

namespace vorlix {

// Darkens what `window` (just shown, and not yet painted) shows by black of `opacity`
// (0…1). False when that cannot be done: no X11 display, a window that is not shown, or
// one with a visual the server cannot draw translucent black on.
bool veilScreenUnder(QWindow* window, double opacity);

} // namespace vorlix
