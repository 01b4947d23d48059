#pragma once
// The overlay windows, kept from one capture to the next: one per screen rectangle, and
// apart for frozen (opaque) and live (see-through) overlays. On a 5K screen a window's
// pixel buffer is 59 MB of fresh memory the system hands over page by page on the first
// paint, which costs several times what painting does; a window kept hidden keeps its
// buffer, so every overlay after the first shows at the speed of painting. `prepare`
// pays that first price ahead, off the screen, when the application starts.
//
// Main thread only. Windows are handed out by `take` and come back through `giveBack`.

#include "app/capture/SelectionViewState.h"
#include "platform/ScreenSource.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QRect>
#include <QTimer>

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

    // Makes and paints a frozen overlay window for each screen once, off the screen, so
    // that the first overlay shows as fast as the later ones.
    void prepare(const std::vector<ScreenInfo>& screens);

    bool isPreparing() const { return !m_preparing.empty(); }

private:
    void givePreparedBack();

    Settings& m_settings;
    std::vector<QPointer<SelectionView>> m_idle;
    std::vector<QPointer<SelectionView>> m_preparing;
    QTimer m_preparation;
    QElapsedTimer m_preparationClock;
};

} // namespace vorlix
