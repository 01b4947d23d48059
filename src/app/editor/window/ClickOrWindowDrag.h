#pragma once
// How a control in the window's top bar tells a click from a window drag: a press fires
// when it is released inside the control; once the pointer has moved more than 3 points
// from where it went down, the press becomes a move of the window and never fires.
// Positions are in window coordinates (logical pixels).

#include <QPointF>

#include <optional>

class QWidget;

namespace vorlix {

struct ClickOrWindowDrag {
    static constexpr double dragDistance = 3;

    std::optional<QPointF> down; // where an undecided press went down

    bool operator==(const ClickOrWindowDrag&) const = default;

    void press(QPointF windowPos) { down = windowPos; }
    // True when this move turns the press into a window drag; the press is forgotten then.
    bool moveStartsWindowDrag(QPointF windowPos);
    // True when the release fires the control: an undecided press released inside it.
    bool releaseFires(bool inside);

    // Hands the move of `control`'s window to the window manager.
    static void startWindowDrag(QWidget* control);
};

} // namespace vorlix
