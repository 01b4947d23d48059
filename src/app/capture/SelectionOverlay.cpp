#include "app/capture/SelectionOverlay.h"

#include "app/capture/SelectionView.h"
#include "app/capture/SelectionWindows.h"
#include "app/support/Settings.h"
#include "platform/PointerGrab.h"

#include <QCursor>
#include <QPointer>

#include <QCoro/QCoroSignal>

#include <algorithm>

namespace vorlix {

namespace {

// Tells the awaiting task that the overlay has its answer.
class Completion : public QObject {
    Q_OBJECT
signals:
    void finished();
};

// One SelectionView per screen, shown as top-level windows of their own.
class WindowedSelectionOverlay final : public SelectionOverlay {
public:
    WindowedSelectionOverlay(SelectionOverlaySetup setup, Settings& settings, SelectionWindows* windows)
        : m_setup(std::move(setup)),
          m_ownWindows(windows ? nullptr : std::make_unique<SelectionWindows>(settings)),
          m_windows(windows ? *windows : *m_ownWindows)
    {
    }

    ~WindowedSelectionOverlay() override { close(); }

    QCoro::Task<std::optional<SelectionResult>> run() override;
    void close() override;

private:
    void show();
    SelectionView* makeView(const ScreenInfo& screen);
    void makeKey(SelectionView* view);
    void finish(std::optional<SelectionResult> result);
    void choose(std::uint32_t window, bool adding);
    std::vector<std::uint32_t> windowNumbers() const;

    SelectionOverlaySetup m_setup;
    std::unique_ptr<SelectionWindows> m_ownWindows;
    SelectionWindows& m_windows;
    std::vector<QPointer<SelectionView>> m_views;
    std::vector<std::uint32_t> m_chosenWindows;
    std::unique_ptr<PointerGrab> m_pointerGrab;
    QPointer<SelectionView> m_keyboardHolder;
    bool m_waiting = false;
    std::optional<SelectionResult> m_result;
    Completion m_completion;
};

QCoro::Task<std::optional<SelectionResult>> WindowedSelectionOverlay::run()
{
    // Without a screen no window could ever answer: end as cancelled instead of waiting.
    if (m_setup.screens.empty())
        co_return std::nullopt;
    m_waiting = true;
    show();
    if (m_waiting)
        co_await qCoro(&m_completion, &Completion::finished);
    co_return m_result;
}

void WindowedSelectionOverlay::show()
{
    for (const ScreenInfo& screen : m_setup.screens)
        m_views.emplace_back(makeView(screen));
    for (const QPointer<SelectionView>& view : m_views)
        view->showOverScreen();

    const QPoint pointer = QCursor::pos();
    const auto under = std::find_if(m_views.begin(), m_views.end(), [&](const QPointer<SelectionView>& view) {
        return view->geometry().contains(pointer);
    });
    SelectionView* key = under != m_views.end() ? under->data() : m_views.front().data();
    makeKey(key);
    m_pointerGrab = grabPointer(key->windowHandle());
    if (m_setup.mode.kind == SelectionMode::Kind::fixed)
        key->setMouse(QPointF(pointer - key->geometry().topLeft()));
}

SelectionView* WindowedSelectionOverlay::makeView(const ScreenInfo& screen)
{
    SelectionViewState state;
    if (const auto frozen = m_setup.frozen.find(screen.id); frozen != m_setup.frozen.end())
        state.frozen = frozen->second;
    state.scale = screen.devicePixelRatio;
    state.mode = m_setup.mode;
    for (const WindowInfo& window : m_setup.screenWindows)
        state.windows.push_back({.id = window.id, .rect = QRectF(window.frame.translated(-screen.geometry.topLeft()))});

    SelectionView* view = m_windows.take(screen.geometry, std::move(state));
    // The callbacks reach the overlay only until close() disconnects them.
    view->onFinish = [this, screen](QRectF rect) {
        finish(AreaChosen{Selection{.screen = screen,
                                    .rect = {rect.x(), rect.y(), rect.width(), rect.height()},
                                    .overlayWindowNumbers = windowNumbers()}});
    };
    view->onWindow = [this](std::uint32_t window, bool adding) { choose(window, adding); };
    view->onConfirm = [this] {
        if (!m_chosenWindows.empty())
            finish(WindowsChosen{m_chosenWindows});
    };
    view->onFullScreen = [this, screen] { finish(FullScreenChosen{screen}); };
    view->onCancel = [this] { finish(std::nullopt); };
    view->onPress = [this, view] {
        if (m_waiting && view != m_keyboardHolder)
            makeKey(view);
    };
    return view;
}

void WindowedSelectionOverlay::makeKey(SelectionView* view)
{
    if (m_keyboardHolder)
        m_keyboardHolder->releaseKeyboard();
    m_keyboardHolder = view;
    view->activateWindow();
    view->setFocus(Qt::ActiveWindowFocusReason);
    view->grabKeyboard();
}

void WindowedSelectionOverlay::finish(std::optional<SelectionResult> result)
{
    if (!m_waiting)
        return;
    m_waiting = false;
    m_pointerGrab.reset();
    if (m_keyboardHolder)
        m_keyboardHolder->releaseKeyboard();
    m_keyboardHolder = nullptr;
    if (!result || !std::holds_alternative<AreaChosen>(*result))
        close();
    m_result = std::move(result);
    emit m_completion.finished();
}

void WindowedSelectionOverlay::choose(std::uint32_t window, bool adding)
{
    if (!adding) {
        m_chosenWindows = {window};
        finish(WindowsChosen{m_chosenWindows});
        return;
    }
    if (const auto it = std::find(m_chosenWindows.begin(), m_chosenWindows.end(), window); it != m_chosenWindows.end())
        m_chosenWindows.erase(it);
    else
        m_chosenWindows.push_back(window);
    const std::set<std::uint32_t> chosen(m_chosenWindows.begin(), m_chosenWindows.end());
    for (const QPointer<SelectionView>& view : m_views)
        if (view)
            view->setChosen(chosen);
}

std::vector<std::uint32_t> WindowedSelectionOverlay::windowNumbers() const
{
    std::vector<std::uint32_t> numbers;
    for (const QPointer<SelectionView>& view : m_views)
        if (view)
            numbers.push_back(std::uint32_t(view->winId()));
    return numbers;
}

void WindowedSelectionOverlay::close()
{
    m_pointerGrab.reset();
    if (m_keyboardHolder)
        m_keyboardHolder->releaseKeyboard();
    m_keyboardHolder = nullptr;
    for (const QPointer<SelectionView>& view : m_views) {
        if (!view)
            continue;
        m_windows.giveBack(view);
    }
    m_views.clear();
    if (m_waiting) {
        m_waiting = false;
        emit m_completion.finished();
    }
}

} // namespace

std::unique_ptr<SelectionOverlay> makeSelectionOverlay(SelectionOverlaySetup setup)
{
    return makeSelectionOverlay(std::move(setup), Settings::shared());
}

std::unique_ptr<SelectionOverlay> makeSelectionOverlay(SelectionOverlaySetup setup, Settings& settings,
                                                       SelectionWindows* windows)
{
    return std::make_unique<WindowedSelectionOverlay>(std::move(setup), settings, windows);
}

} // namespace vorlix

#include "SelectionOverlay.moc"
