#pragma once
// A button of the editor's top bar: an icon on a 24-point square with an optional label
// under it, a grey rounded background when hovered, pressed or active, and a short accent
// bar under an active one. Only its hit rectangle (icon and label, grown by 4 × 3) takes
// the pointer; presses in the gaps between buttons go on to the bar. A press fires on
// release inside, or moves the window once dragged (ClickOrWindowDrag).
//
// `DragButton` drags the annotated image out of the program instead of firing.
// Coordinates are the button's own, in logical pixels.

#include "app/editor/window/ClickOrWindowDrag.h"
#include "app/support/Icon.h"

#include <QByteArray>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>
#include <utility>

namespace vorlix {

class ToolButton : public QWidget {
public:
    ToolButton(const Icon& icon, const QString& title, const QString& toolTip, QWidget* parent = nullptr);

    std::function<void()> onPress;

    const QString& title() const { return m_title; }
    bool isActive() const { return m_active; }
    void setActive(bool active);
    bool showsLabel() const { return m_showsLabel; }
    // Resizes the button: 40 × 36 without label, at least 42 × 48 with one.
    void setShowsLabel(bool shows);
    bool isHovered() const { return m_hovered; }
    bool isPressed() const { return m_pressed; }

    QRectF hitRect() const;

    // The labels' font: the system font at 9.5 points.
    static QFont labelFont();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

    void setPressed(bool pressed);
    void updateHover(QPointF pos);

    ClickOrWindowDrag m_press;

private:
    double labelWidth() const;

    const Icon& m_icon;
    QString m_title;
    bool m_active = false;
    bool m_showsLabel = true;
    bool m_hovered = false;
    bool m_pressed = false;
};

class DragButton : public ToolButton {
public:
    using ToolButton::ToolButton;

    // The PNG data and the file name of the image to drag; nothing when there is none.
    std::function<std::optional<std::pair<QByteArray, QString>>()> dragData;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::optional<QPoint> m_dragDown;
};

} // namespace vorlix
