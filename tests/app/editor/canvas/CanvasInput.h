#pragma once
// Pointer and key events sent to a canvas as a person's arrive: at canvas points, each in
// an event-loop cycle of its own (undo steps recorded in one cycle are grouped), on a
// clock that makes presses close together a double click and presses a second apart
// single clicks. A fixture derives from it and names its canvas.

#include "app/editor/canvas/CanvasView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <chrono>

namespace vorlix::test {

class CanvasInput {
public:
    virtual ~CanvasInput() = default;

    // `advance` is the time since the previous event, in ms.
    void send(QEvent::Type type, Point at, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = {},
              quint64 advance = 1000)
    {
        sendAtViewport(type, inputView().toViewport(at), buttons, modifiers, advance);
    }
    // A left-button event at a viewport position, which may lie outside the viewport.
    void sendAtViewport(QEvent::Type type, QPointF position, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                        quint64 advance)
    {
        time += advance;
        CanvasView& view = inputView();
        QMouseEvent event(type, position, view.viewport()->mapToGlobal(position),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, modifiers);
        event.setTimestamp(time);
        QApplication::sendEvent(view.viewport(), &event);
        QCoreApplication::processEvents();
    }
    void send(QEvent::Type type, Point at, quint64 advance = 1000)
    {
        send(type, at, type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {}, advance);
    }

    void press(Point at, Qt::KeyboardModifiers modifiers = {}, quint64 advance = 1000)
    {
        send(QEvent::MouseButtonPress, at, Qt::LeftButton, modifiers, advance);
    }
    void press(Point at, std::chrono::milliseconds advance) { press(at, {}, quint64(advance.count())); }
    void moveTo(Point at, Qt::KeyboardModifiers modifiers = {})
    {
        send(QEvent::MouseMove, at, Qt::LeftButton, modifiers, 16);
    }
    void moveToViewport(QPointF position) { sendAtViewport(QEvent::MouseMove, position, Qt::LeftButton, {}, 16); }
    void release(Point at) { send(QEvent::MouseButtonRelease, at, Qt::NoButton, {}, 16); }
    // A move with no button held.
    void hover(Point at) { send(QEvent::MouseMove, at, Qt::NoButton, {}, 16); }
    // A press, a few moves on the way and a release at the end.
    void drag(Point from, Point to, Qt::KeyboardModifiers modifiers = {})
    {
        press(from, modifiers);
        for (int step = 1; step <= 4; ++step)
            moveTo(from + (to - from) * (step / 4.0), modifiers);
        release(to);
    }
    void click(Point at, Qt::KeyboardModifiers modifiers = {}, quint64 advance = 1000)
    {
        press(at, modifiers, advance);
        release(at);
    }
    void click(Point at, std::chrono::milliseconds advance) { click(at, {}, quint64(advance.count())); }
    void key(int key, Qt::KeyboardModifiers modifiers = {})
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(&inputView(), &event);
    }

    quint64 time = 0;

protected:
    virtual CanvasView& inputView() = 0;
};

} // namespace vorlix::test
