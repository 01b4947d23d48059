#pragma once
// A button of the property column: a symbol over a short caption, 48 x 42 points, with a
// soft background while hovered or pressed. A click runs `onPress` when the button goes
// up inside it; a button given `dragData` also drags that PNG out on the first move with
// the button down (and stays ready to drag while there is nothing to give).

#include "app/support/ImageDrag.h"

#include <QByteArray>
#include <QIcon>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>
#include <utility>

namespace vorlix {

class ColumnButton final : public QWidget {
public:
    static constexpr QSize buttonSize{48, 42};

    // `symbol` names the picture ("pin", "xmark.circle" …): the desktop theme's icon of that
    // meaning, else one drawn here.
    ColumnButton(const char* symbol, const QString& title, const QString& toolTip, QWidget* parent = nullptr);

    std::function<void()> onPress;
    // PNG data and a file name, or nothing when there is nothing to drag yet.
    std::function<std::optional<std::pair<QByteArray, QString>>()> dragData;

    const QString& title() const { return m_title; }
    bool isPressed() const { return m_isPressed; }
    bool isHovered() const { return m_isHovered; }
    const ImageDrag::Gesture& gesture() const { return m_gesture; }

    // The picture of a symbol name, null when there is none.
    static QIcon symbolIcon(const char* symbol);

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QIcon m_icon;
    QString m_title;
    ImageDrag::Gesture m_gesture;
    bool m_isPressed = false;
    bool m_isHovered = false;
};

} // namespace vorlix
