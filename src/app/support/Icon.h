#pragma once
// An interface icon: a list of drawing elements on a 24 × 24 grid (y pointing down),
// drawn in order in any colour and at any size. Strokes are 1.2 grid units wide with
// round caps and joins.
//
// The icons of the interface are static members, each made from its path data once per
// process, on first use, and shared read-only from then on (any thread may ask).

#include "core/model/Tool.h"

#include <QColor>
#include <QIcon>
#include <QPainterPath>
#include <QRectF>
#include <QSize>

#include <optional>
#include <span>
#include <variant>
#include <vector>

class QPainter;

namespace vorlix {

struct Icon {
    // Stroked with the icon colour at its alpha × opacity; dash lengths in grid units,
    // from phase 0.
    struct Stroke {
        QPainterPath path;
        std::optional<std::vector<qreal>> dash;
        qreal opacity = 1;
        bool operator==(const Stroke&) const = default;
    };
    // Filled with the icon colour.
    struct Fill {
        QPainterPath path;
        bool operator==(const Fill&) const = default;
    };
    // Filled with a fixed colour, whatever the icon colour.
    struct FillColor {
        QPainterPath path;
        QColor color;
        bool operator==(const FillColor&) const = default;
    };
    // Filled and outlined with the icon colour; the outline `width` wide with round joins.
    struct FillAndStroke {
        QPainterPath path;
        qreal width = 1;
        bool operator==(const FillAndStroke&) const = default;
    };
    // Filled with the icon colour at its alpha × opacity.
    struct FillTinted {
        QPainterPath path;
        qreal opacity = 1;
        bool operator==(const FillTinted&) const = default;
    };
    using Element = std::variant<Stroke, Fill, FillColor, FillAndStroke, FillTinted>;

    std::vector<Element> elements;

    bool operator==(const Icon&) const = default;

    static constexpr qreal gridSize = 24;
    static constexpr qreal strokeWidth = 1.2;

    // Draws the grid scaled by rect.width() / 24 from the rectangle's top-left corner (the
    // rectangle is meant to be square). Does nothing on an inactive painter; leaves the
    // painter's state as it found it.
    void draw(QPainter& painter, const QRectF& rect, const QColor& color) const;

    // The icon drawn in black into the whole of `size`, as a mask icon (menus and buttons
    // tint it). Drawn again for each size and device pixel ratio asked, so it stays sharp.
    QIcon templateImage(QSize size) const;

    static const Icon& arrow();
    static const Icon& line();
    static const Icon& rectangle();
    static const Icon& ellipse();
    static const Icon& text();
    static const Icon& callout();
    static const Icon& stamp();
    static const Icon& more();
    static const Icon& cursor();
    static const Icon& copy();
    static const Icon& share();
    static const Icon& export_(); // `export` is a C++ keyword
    static const Icon& headFilled();
    static const Icon& headOpen();
    static const Icon& headOutline();
    static const Icon& arrowSingle();
    static const Icon& arrowDouble();
    static const Icon& lineEndsPlain();
    static const Icon& lineEndsDots();
    static const Icon& strokeSolid();
    static const Icon& strokeDashed();
    static const Icon& pencil();
    static const Icon& highlighter();
    static const Icon& number();
    static const Icon& pixelate();
    static const Icon& spotlight();
    static const Icon& lens();
    static const Icon& colorPicker();
    static const Icon& drag();
    static const Icon& cutStrip();
    static const Icon& crop();
    static const Icon& cutOut();
    static const Icon& ocr();
    static const Icon& addImage();
    static const Icon& pin();
    static const Icon& ruler();
    static const Icon& hand();
    static const Icon& layoutVertical();
    static const Icon& layoutHorizontal();
    static const Icon& layoutGrid();

    // The icon of an editor tool: the hand for `select`, else the icon of the same name.
    static const Icon& forTool(Tool tool);

    // Every icon above with its name, in the order above.
    struct Named {
        const char* name;
        const Icon& (*icon)();
    };
    static std::span<const Named> all();
};

} // namespace vorlix
