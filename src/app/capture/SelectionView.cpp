#include "app/capture/SelectionView.h"

#include "app/capture/SelectionPainter.h"
#include "app/support/Beeper.h"
#include "app/support/Settings.h"
#include "platform/PointerGrab.h"
#include "platform/ScreenVeil.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <cstdio>

#include <algorithm>
#include <cmath>

namespace vorlix {

namespace {

// A press smaller than this (in points) on either side is a click, not an area.
constexpr double minimumDrag = 3;

} // namespace

SelectionView::SelectionView(const QRect& geometry, SelectionViewState state, Settings& settings)
    : QWidget(nullptr,
              Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint | Qt::WindowStaysOnTopHint),
      m_settings(settings),
      m_opaque(!state.frozen.isNull())
{
    // With a frozen picture every pixel is painted; without one the live screen shows
    // through (a compositing manager draws what lies under the veil).
    setAttribute(m_opaque ? Qt::WA_OpaquePaintEvent : Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::CrossCursor);
    restart(geometry, std::move(state));
}

void SelectionView::restart(const QRect& geometry, SelectionViewState state)
{
    m_state = std::move(state);
    m_state.size = QSizeF(geometry.size());
    m_state.showsLoupe = m_settings.get(setting::showsLoupe);
    if (!m_state.frozen.isNull())
        m_state.frozen.setDevicePixelRatio(m_state.scale);
    setGeometry(geometry);
    update();
}

void SelectionView::disconnectCallbacks()
{
    onFinish = nullptr;
    onWindow = nullptr;
    onConfirm = nullptr;
    onFullScreen = nullptr;
    onCancel = nullptr;
    onPress = nullptr;
}

void SelectionView::setChosen(std::set<std::uint32_t> chosen)
{
    const SelectionViewState before = m_state;
    m_state.chosen = std::move(chosen);
    changed(before);
}

void SelectionView::setMouse(QPointF point)
{
    const SelectionViewState before = m_state;
    m_state.mouse = point;
    changed(before);
}

void SelectionView::showOverScreen()
{
    show();
    // A kept window keeps its place in the stack, below every window made after it:
    // mapping it again does not bring it up.
    raise();
    if (m_opaque)
        veilScreenUnder(windowHandle(), veilOpacity);
}

void SelectionView::paintEvent(QPaintEvent* event)
{
    ++m_paintCount;
    QPainter painter(this);
    paintSelection(painter, m_state, event->region());
}

QPointF SelectionView::resolved(const QMouseEvent* event)
{
    const QPointF position = event->position();
    const double x = std::round(std::min(std::max(position.x(), 0.0), m_state.size.width()));
    const double y = std::round(std::min(std::max(position.y(), 0.0), m_state.size.height()));
    const QPointF point(x, y);
    if (m_state.keyboardPoint && std::abs(point.x() - m_state.keyboardPoint->x()) < 1 &&
        std::abs(point.y() - m_state.keyboardPoint->y()) < 1)
        return *m_state.keyboardPoint;
    m_state.keyboardPoint.reset();
    return point;
}

void SelectionView::mouseMoveEvent(QMouseEvent* event)
{
    const SelectionViewState before = m_state;
    const QPointF point = resolved(event);
    if (!(event->buttons() & Qt::LeftButton)) {
        m_state.mouse = point;
    } else if (m_state.mode.kind != SelectionMode::Kind::window) {
        m_state.current = point;
        m_state.mouse = point;
    }
    changed(before);
}

void SelectionView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        if (onCancel)
            onCancel();
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    if (onPress)
        onPress();
    const SelectionViewState before = m_state;
    const QPointF point = resolved(event);
    m_state.start = point;
    m_state.current = point;
    m_state.mouse = point;
    changed(before);
}

void SelectionView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPointF point = resolved(event);
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    if (m_state.mode.isExactFixed()) {
        const SelectionViewState before = m_state;
        m_state.mouse = point;
        changed(before);
        if (const std::optional<QRectF> frame = m_state.selection(); frame && onFinish)
            onFinish(*frame);
        else if (!frame)
            Beeper::beep();
        return;
    }
    m_state.current = point;
    finishRelease(shift);
}

void SelectionView::finishRelease(bool shift)
{
    if (m_state.mode.kind != SelectionMode::Kind::window) {
        const std::optional<QRectF> selection = m_state.selection();
        if (selection && selection->width() >= minimumDrag && selection->height() >= minimumDrag) {
            if (onFinish)
                onFinish(*selection);
            return;
        }
    }
    // A click: the window under it, in the modes that pick windows.
    if (const std::optional<CandidateWindow> window = m_state.windowAt(*m_state.current)) {
        if (onWindow)
            onWindow(window->id, shift);
        return;
    }
    reset();
}

void SelectionView::reset()
{
    const SelectionViewState before = m_state;
    m_state.start.reset();
    m_state.current.reset();
    changed(before);
}

void SelectionView::leaveEvent(QEvent*)
{
    const SelectionViewState before = m_state;
    m_state.mouse.reset();
    m_state.keyboardPoint.reset();
    changed(before);
}

void SelectionView::confirm()
{
    if (!m_state.mode.isExactFixed()) {
        if (onConfirm)
            onConfirm();
        return;
    }
    if (const std::optional<QRectF> frame = m_state.selection(); frame && onFinish)
        onFinish(*frame);
    else if (!frame)
        Beeper::beep();
}

void SelectionView::keyPressEvent(QKeyEvent* event)
{
    const bool picksWindows = m_state.mode.kind == SelectionMode::Kind::window;
    const double step = event->modifiers().testFlag(Qt::ShiftModifier) ? 10 : 1;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return confirm();
    case Qt::Key_Escape:
        if (onCancel)
            onCancel();
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (picksWindows)
            break;
        return movePointer(event->key() == Qt::Key_Left    ? -step
                           : event->key() == Qt::Key_Right ? step
                                                           : 0,
                           event->key() == Qt::Key_Up     ? -step
                           : event->key() == Qt::Key_Down ? step
                                                          : 0);
    case Qt::Key_F:
        if (m_state.mode.kind == SelectionMode::Kind::allInOne) {
            if (onFullScreen)
                onFullScreen();
            return;
        }
        break;
    case Qt::Key_L:
        if (!picksWindows && !m_state.frozen.isNull()) {
            const SelectionViewState before = m_state;
            m_state.showsLoupe = !m_settings.get(setting::showsLoupe);
            m_settings.set(setting::showsLoupe, m_state.showsLoupe);
            changed(before);
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void SelectionView::movePointer(double dx, double dy)
{
    if (!m_state.mouse)
        return;
    const SelectionViewState before = m_state;
    const double pixel = 1 / m_state.scale;
    const double x = std::min(m_state.size.width() - pixel, std::max(0.0, m_state.mouse->x() + dx * pixel));
    const double y = std::min(m_state.size.height() - pixel, std::max(0.0, m_state.mouse->y() + dy * pixel));
    m_state.keyboardPoint = QPointF(x, y);
    m_state.mouse = m_state.keyboardPoint;
    if (m_state.start)
        m_state.current = m_state.keyboardPoint;
    warpPointer(windowHandle(), QPoint(int(std::lround(x * m_state.scale)), int(std::lround(y * m_state.scale))));
    changed(before);
}

void SelectionView::changed(const SelectionViewState& before)
{
    const QRegion region = changedRegion(before, m_state);
    if (!region.isEmpty())
        update(region);
}

} // namespace vorlix
