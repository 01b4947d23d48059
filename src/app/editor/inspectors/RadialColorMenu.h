#pragma once
// The ring of palette colours that a right click on the canvas opens under the pointer:
// the colour under the pointer grows, a click on a colour chooses it, and anything else
// (a click beside the dots, a right click, Escape, a click outside the ring) closes the
// ring without a choice. One ring is shown at a time: a new one replaces the old, whose
// caller never hears of it again.
//
// The ring is a popup window, so it takes the pointer and the keys while it is shown.
// Without a compositing manager it is cut round by a window mask.

#include "core/model/Color.h"

#include <QPointer>
#include <QWidget>

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

namespace vorlix {

class Settings;

// Where the dots sit in the ring's window, in points with y downwards.
struct RadialRing {
    static constexpr double size = 170;
    static constexpr double discInset = 8;
    static constexpr double radius = 58;
    static constexpr double dotRadius = 12;
    static constexpr double hoveredDotRadius = 15;
    static constexpr double hitRadius = 15;
    // How far the mark of the current colour lies outside its dot.
    static constexpr double currentMarkGap = 3;

    // Colour 0 straight above the centre, the others following clockwise at equal steps.
    static QPointF dotCenter(std::size_t index, std::size_t count);
    // The first colour whose dot centre lies within the hit radius of `point`; the hit
    // area does not grow with hovering.
    static std::optional<std::size_t> index(QPointF point, std::size_t count);
};

class RadialColorView final : public QWidget {
public:
    RadialColorView(std::vector<RGBAColor> colors, std::optional<RGBAColor> current);

    // A colour was clicked.
    std::function<void(RGBAColor)> onChoose;
    // Closed without a choice, by the user or by hiding it.
    std::function<void()> onCancel;

    const std::vector<RGBAColor>& colors() const { return m_colors; }
    std::optional<std::size_t> hovered() const { return m_hovered; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    const std::vector<RGBAColor> m_colors;
    const std::optional<RGBAColor> m_current;
    std::optional<std::size_t> m_hovered;
};

class RadialColorMenu final {
public:
    // Reads the palette from `settings` each time a ring opens.
    explicit RadialColorMenu(Settings& settings);
    ~RadialColorMenu();
    RadialColorMenu(const RadialColorMenu&) = delete;
    RadialColorMenu& operator=(const RadialColorMenu&) = delete;

    // Over the application's settings, made on first use.
    static RadialColorMenu& shared();

    // Shows the ring centred on a global position with `current` marked; `onChoose` gets
    // the colour clicked, before the ring closes.
    void show(QPoint globalPosition, std::optional<RGBAColor> current, std::function<void(RGBAColor)> onChoose);
    // The ring shown now, if any.
    RadialColorView* ring() const { return m_ring; }

private:
    // Closes `ring` when it is still the one shown.
    void dismiss(RadialColorView* ring);

    Settings& m_settings;
    QPointer<RadialColorView> m_ring;
};

} // namespace vorlix
