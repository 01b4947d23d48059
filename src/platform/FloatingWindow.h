#pragma once
// Window-manager hints for small floating windows that the toolkit does not offer: staying
// on every virtual desktop, and keeping the client area's proportions while the user
// resizes. Both are requests; a window manager that ignores them leaves the window as it
// is. Sessions other than X11 (Wayland, the offscreen platform) ignore both calls.

#include <QSize>

class QWindow;

namespace vorlix {

// Shows `window` on every virtual desktop (X11: _NET_WM_DESKTOP "all" and
// _NET_WM_STATE_STICKY). Works before the window is shown and while it is shown; call
// it again before showing a window that was hidden, since a window manager drops the
// hints of a withdrawn window.
void showOnAllDesktops(QWindow& window);

// Asks that the client area keep the proportions `ratio` (width : height) when the user
// resizes the window (X11: the aspect fields of WM_NORMAL_HINTS). The toolkit rewrites
// those hints whenever it moves or resizes the window itself, so call it again after that.
void keepAspectRatio(QWindow& window, QSize ratio);

} // namespace vorlix
