#pragma once
// A ruler along the top or the left edge of the canvas's visible area, in pixels of the
// exported image with zero at the image's top-left corner. It carries a light accent
// tint, the ticks of its scale, and, while the pointer is over the canvas, a line at the
// pointer with the pixel under it in a pill ("101 px"; on the vertical ruler the pill is
// turned a quarter anticlockwise).
//
// The window feeds it: the scale (zero, pixels per point, magnification, the visible
// canvas start on this axis) and the pointer's canvas coordinate on this axis. The ruler
// spans the visible canvas exactly: position 0 is the visible area's start.

#include "app/editor/window/PixelRulerScale.h"

#include <QWidget>

#include <optional>

namespace vorlix {

class PixelRuler : public QWidget {
public:
    static constexpr int thickness = 22;

    explicit PixelRuler(Qt::Orientation orientation, QWidget* parent = nullptr);

    Qt::Orientation orientation() const { return m_orientation; }
    const PixelRulerScale& scale() const { return m_scale; }
    void setScale(const PixelRulerScale& scale);
    // The pointer's canvas coordinate along this ruler; nothing while the pointer is not
    // over the visible canvas (the ruler then shows no mark).
    void setPointer(std::optional<double> canvasCoordinate);
    const std::optional<double>& pointer() const { return m_pointer; }
    // The pill's text, "101 px"; nothing without a pointer.
    std::optional<QString> markText() const;

    QSize sizeHint() const override;

    // The pill's font: the system font at 9 points, semibold.
    static QFont markFont();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double length() const;
    void drawTicks(QPainter& painter) const;
    void drawMark(QPainter& painter) const;

    Qt::Orientation m_orientation;
    PixelRulerScale m_scale;
    std::optional<double> m_pointer;
};

} // namespace vorlix
