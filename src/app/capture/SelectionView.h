#pragma once
// One overlay window of the selection overlay: a borderless top-level window over one
// screen (override-redirect on X11, so it also covers panels and docks) that shows the
// screen's frozen picture and turns mouse and keys on that screen into a selection. It
// reports the user's decisions through five callbacks and leaves what follows to the
// overlay.
//
// Positions are in the view's points, origin at the screen's top-left corner, y downwards
// (see SelectionViewState). Main thread only.

#include "app/capture/SelectionViewState.h"

#include <QWidget>

#include <functional>

namespace vorlix {

class Settings;

class SelectionView final : public QWidget {
public:
    // `geometry` is the screen's rectangle in global logical pixels; `state` holds the
    // frozen picture, scale, mode and candidate windows, its points all empty.
    SelectionView(const QRect& geometry, SelectionViewState state, Settings& settings);

    std::function<void(QRectF)> onFinish;
    std::function<void(std::uint32_t window, bool adding)> onWindow;
    std::function<void()> onConfirm;
    std::function<void()> onFullScreen;
    std::function<void()> onCancel;
    // A left press, before it is handled: the overlay gives this view the keyboard.
    std::function<void()> onPress;

    // Forgets every callback, so that nothing reaches an overlay that has let go of the view.
    void disconnectCallbacks();

    // Shows `state` over `geometry` from now on, as a new window would; for a kept window.
    void restart(const QRect& geometry, SelectionViewState state);

    // Shows the window on top of every other. A frozen one is veiled by the display server
    // at once, before its own first frame is painted.
    void showOverScreen();

    // Lets go of the frozen picture of a hidden window.
    void releasePicture() { m_state.frozen = QImage(); }

    const SelectionViewState& state() const { return m_state; }
    // Whether the window paints every pixel (a frozen picture) rather than letting the
    // live screen show through.
    bool isOpaque() const { return m_opaque; }
    int paintCount() const { return m_paintCount; }
    void setChosen(std::set<std::uint32_t> chosen);
    // The pointer's place before it first moves, so a fixed frame shows under it at once.
    void setMouse(QPointF point);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The event's place, kept inside the view and rounded to whole points; the place the
    // arrow keys made while the mouse stays within a point of it.
    QPointF resolved(const QMouseEvent* event);
    void movePointer(double dx, double dy);
    void finishRelease(bool shift);
    void reset();
    void confirm();
    // Repaints what differs between `before` and the state now.
    void changed(const SelectionViewState& before);

    SelectionViewState m_state;
    Settings& m_settings;
    bool m_opaque = false;
    int m_paintCount = 0;
};

} // namespace vorlix
