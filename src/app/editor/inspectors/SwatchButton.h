#pragma once
// A round colour dot of 22 × 22 points that acts as a button: a click calls `onPress`, a
// double click calls `onEdit` (or `onPress` when there is no `onEdit`). A swatch that can be
// edited offers "Cambia colore…" and "Ripristina colori predefiniti" in its context menu.
// A selected swatch wears a ring. A fully transparent colour is drawn as "no colour": a
// white disc crossed by a red diagonal.

#include "core/model/Color.h"

#include <QIcon>
#include <QWidget>

#include <functional>

class QMenu;

namespace vorlix {

class Settings;

class SwatchButton final : public QWidget {
    Q_OBJECT

public:
    static constexpr int side = 22;

    // `settings` receives the standard palette when the user resets it; by default the
    // application's.
    explicit SwatchButton(const RGBAColor& color, Settings* settings = nullptr, QWidget* parent = nullptr);

    const RGBAColor& color() const { return m_color; }
    std::function<void()> onPress;
    std::function<void()> onEdit;
    bool isSelected() const { return m_isSelected; }
    void setSelected(bool selected);

    // The context menu, none for a swatch that cannot be edited. The caller owns it.
    QMenu* makeMenu();
    void editColor();
    // Stores the standard palette, which every palette view hears of.
    void resetPalette();

    // The dot of a colour inscribed in `rect`.
    static void drawDot(QPainter& painter, const RGBAColor& color, const QRectF& rect);
    // The dot as an icon, drawn at whatever size it is shown, inset by 1 point.
    static QIcon image(const RGBAColor& color);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    const RGBAColor m_color;
    Settings* m_settings;
    bool m_isSelected = false;
};

} // namespace vorlix
