#pragma once
// The overlay windows, kept from one capture to the next: one per screen rectangle, and
// apart for frozen (opaque) and live (see-through) overlays. On a 5K screen a window's
// pixel buffer is 59 MB of fresh memory the system hands over page by page on the first
// paint, which costs several times what painting does; a window kept hidden keeps its
// buffer, so every overlay after the first shows at the speed of painting. The first one
// is not prepared ahead: a program idle in the tray holds no screen-sized buffer, and the
// display server veils the screen the moment the window maps (see SelectionView).
//
// Main thread only. Windows are handed out by `take` and come back through `giveBack`.

#include "app/capture/SelectionViewState.h"

#include <QPointer>
#include <QRect>

#include <vector>

namespace vorlix {

class SelectionView;
class Settings;

class SelectionWindows {
public:
    explicit SelectionWindows(Settings& settings);
    ~SelectionWindows();
    SelectionWindows(const SelectionWindows&) = delete;
    SelectionWindows& operator=(const SelectionWindows&) = delete;

    // A hidden window over `geometry` (global logical pixels) showing `state`.
    SelectionView* take(const QRect& geometry, SelectionViewState state);
    // Hides the window and keeps it for the next overlay; its callbacks are forgotten.
    void giveBack(SelectionView* view);

private:
    Settings& m_settings;
    std::vector<QPointer<SelectionView>> m_idle;
};

} // namespace vorlix
