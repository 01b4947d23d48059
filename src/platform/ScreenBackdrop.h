#pragma once
// The first frame of a full-screen overlay drawn by the X server itself: the screen's
// pixels under a window that is about to be shown, darkened by a veil, become the window's
// background. The server paints it the moment the window maps, before the program has
// drawn anything or even allocated the pixel buffer of a screen-sized window; the
// program's own first frame then paints over it.
//
// Without an X11 display (the offscreen platform) both do nothing.

#include <QWindow>

namespace vorlix {

// Makes the pixels of the screen under `window` (its native window is created, not yet
// shown), darkened by black of `veilOpacity` (0…1), its background. False when that
// cannot be done: no X11 display, or a window whose depth differs from the screen's.
bool showScreenBackdrop(QWindow* window, double veilOpacity);

// Gives the window an empty background again, which frees the copied pixels.
void clearScreenBackdrop(QWindow* window);

} // namespace vorlix
