#include "app/capture/SelectionWindows.h"

#include "app/capture/SelectionView.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

namespace vorlix {

namespace {

// Windows kept beyond those of the screens in use (a monitor unplugged, a live overlay).
constexpr std::size_t maximumIdle = 6;

} // namespace

SelectionWindows::SelectionWindows(Settings& settings) : m_settings(settings)
{
    m_preparation.setInterval(20);
    QObject::connect(&m_preparation, &QTimer::timeout, [this] { givePreparedBack(); });
}

SelectionWindows::~SelectionWindows()
{
    // A window may be giving itself back from inside its own event handler.
    for (const std::vector<QPointer<SelectionView>>* views : {&m_idle, &m_preparing})
        for (const QPointer<SelectionView>& view : *views)
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

void SelectionWindows::prepare(const std::vector<ScreenInfo>& screens)
{
    for (const ScreenInfo& screen : screens) {
        SelectionViewState state;
        state.scale = screen.devicePixelRatio;
        state.frozen = QImage(screen.geometry.size() * screen.devicePixelRatio, QImage::Format_RGB32);
        state.frozen.fill(Qt::black);
        // Beyond the left edge of every screen, where nobody sees it.
        QRect away = screen.geometry;
        away.moveLeft(-away.width() - 64);
        SelectionView* view = take(away, std::move(state));
        view->show();
        m_preparing.emplace_back(view);
    }
    m_preparationClock.start();
    m_preparation.start();
}

void SelectionWindows::givePreparedBack()
{
    // Each window goes back once it has painted; the event loop runs on meanwhile.
    const bool late = m_preparationClock.elapsed() > 3000;
    for (QPointer<SelectionView>& view : m_preparing) {
        if (view && (view->paintCount() > 0 || late)) {
            giveBack(view);
            view = nullptr;
        }
    }
    std::erase_if(m_preparing, [](const QPointer<SelectionView>& view) { return !view; });
    if (m_preparing.empty())
        m_preparation.stop();
}

} // namespace vorlix
