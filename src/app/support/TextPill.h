#pragma once
// A short label on a rounded background, drawn in place by whoever paints (ruler marks,
// badges on the canvas). Coordinates are those of the painter; callers position the pill
// themselves.
//
// `size` is the text's size in `font` plus twice `padding` in each direction; `make`
// measures it. A missing `radius` means half the pill's height: fully rounded ends.

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QSizeF>
#include <QString>

#include <optional>

class QPainter;

namespace vorlix {

struct TextPill {
    QSizeF size;
    QString text;
    QFont font;
    QColor textColor;
    QSizeF padding;
    QColor fill;
    std::optional<double> radius;

    bool operator==(const TextPill&) const = default;

    // A pill whose size fits `text` in `font` with `padding` around it.
    static TextPill make(const QString& text, const QFont& font, const QColor& textColor, QSizeF padding,
                         const QColor& fill, std::optional<double> radius = std::nullopt);

    double cornerRadius() const { return radius.value_or(size.height() / 2); }

    // Fills the rounded rectangle of `size` at `origin`, then draws the text at
    // `origin` + `padding`. Leaves the painter's state as it found it.
    void draw(QPainter& painter, QPointF origin) const;
};

} // namespace vorlix
