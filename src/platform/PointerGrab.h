#pragma once
// The pointer held by one of our windows while a full-screen overlay runs, so that every
// click lands on the overlay even where another program's window would take it; and the
// pointer moved to an exact device pixel of one of our windows (the overlay's arrow keys
// move it one pixel at a time, half a point on a screen of scale 2).
//
// On X11 the grab reports events over our own windows to those windows, as without a
// grab, and everything else to the grabbing window. Without an X11 display (the offscreen
// platform) both do nothing.

#include <QPoint>
#include <QWindow>

#include <memory>

namespace vorlix {

class PointerGrab {
public:
    virtual ~PointerGrab() = default; // gives the pointer back
};

// Grabs the pointer for `window`, which must be shown; nullptr when the display refuses
// (another program holds a grab) or there is no X11 display.
std::unique_ptr<PointerGrab> grabPointer(QWindow* window);

// Moves the pointer to `devicePixel`, a pixel of `window` counted from its top-left corner.
void warpPointer(QWindow* window, QPoint devicePixel);

} // namespace vorlix
