#include "app/capture/SelectionWindows.h"

#include "app/capture/SelectionView.h"

#include <algorithm>

namespace vorlix {

namespace {

// Windows kept beyond those of the screens in use (a monitor unplugged, a live overlay).
constexpr std::size_t maximumIdle = 6;

} // namespace

SelectionWindows::SelectionWindows(Settings& settings) : m_settings(settings) {}

SelectionWindows::~SelectionWindows()
{
    // A window may be giving itself back from inside its own event handler.
    for (const QPointer<SelectionView>& view : m_idle)
        if (view)
            view->deleteLater();
}

SelectionView* SelectionWindows::take(const QRect& geometry, SelectionViewState state)
{
    const bool opaque = !state.frozen.isNull();
    const auto fits = [&](const QPointer<SelectionView>& view) {
        return view && view->size() == geometry.size() && view->isOpaque() == opaque;
    };
    if (const auto kept = std::find_if(m_idle.begin(), m_idle.end(), fits); kept != m_idle.end()) {
        SelectionView* view = kept->data();
        m_idle.erase(kept);
        view->restart(geometry, std::move(state));
        return view;
    }
    return new SelectionView(geometry, std::move(state), m_settings);
}

void SelectionWindows::giveBack(SelectionView* view)
{
    if (!view)
        return;
    view->disconnectCallbacks();
    view->hide();
    // Lets go of the frozen picture, whose memory the next grab reuses.
    view->releasePicture();
    m_idle.erase(std::remove_if(m_idle.begin(), m_idle.end(), [](const QPointer<SelectionView>& v) { return !v; }),
                 m_idle.end());
    m_idle.emplace(m_idle.begin(), view);
    while (m_idle.size() > maximumIdle) {
        m_idle.back()->deleteLater();
        m_idle.pop_back();
    }
}

} // namespace vorlix
