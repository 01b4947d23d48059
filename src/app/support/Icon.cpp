#include "app/support/Icon.h"

#include "app/support/DrawnIconEngine.h"
#include "app/support/SvgPath.h"

#include <QPainter>
#include <QPen>

#include <array>

namespace vorlix {

namespace {

// Builders for the tables below: path data on the 24 × 24 grid.
Icon::Element stroke(const char* data, std::optional<std::vector<qreal>> dash = std::nullopt, qreal opacity = 1)
{
    return Icon::Stroke{.path = SvgPath::parse(QString::fromLatin1(data)), .dash = std::move(dash), .opacity = opacity};
}

Icon::Element fill(const char* data) { return Icon::Fill{.path = SvgPath::parse(QString::fromLatin1(data))}; }

Icon::Element fillAndStroke(const char* data, qreal width)
{
    return Icon::FillAndStroke{.path = SvgPath::parse(QString::fromLatin1(data)), .width = width};
}

Icon::Element fillTinted(const char* data, qreal opacity)
{
    return Icon::FillTinted{.path = SvgPath::parse(QString::fromLatin1(data)), .opacity = opacity};
}

QPainterPath circle(qreal x, qreal y, qreal width, qreal height)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addEllipse(QRectF(x, y, width, height));
    return path;
}

Icon::Element fillCircle(qreal x, qreal y, qreal width, qreal height)
{
    return Icon::Fill{.path = circle(x, y, width, height)};
}

QColor withOpacity(QColor color, qreal opacity)
{
    color.setAlphaF(float(color.alphaF() * opacity));
    return color;
}

// QPen counts dash lengths in pen widths; an odd list is repeated once, so that dashes
// and gaps keep alternating.
QList<qreal> dashInPenWidths(const std::vector<qreal>& dash, qreal width)
{
    QList<qreal> pattern;
    for (int round = 0; round < (dash.size() % 2 == 0 ? 1 : 2); ++round)
        for (const qreal length : dash)
            pattern.append(length / width);
    return pattern;
}

void drawElement(QPainter& painter, const Icon::Element& element, const QColor& color)
{
    std::visit(
        [&](const auto& e) {
            using Kind = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<Kind, Icon::Stroke>) {
                QPen pen(withOpacity(color, e.opacity), Icon::strokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
                if (e.dash && !e.dash->empty())
                    pen.setDashPattern(dashInPenWidths(*e.dash, Icon::strokeWidth));
                painter.strokePath(e.path, pen);
            } else if constexpr (std::is_same_v<Kind, Icon::Fill>) {
                painter.fillPath(e.path, color);
            } else if constexpr (std::is_same_v<Kind, Icon::FillColor>) {
                painter.fillPath(e.path, e.color);
            } else if constexpr (std::is_same_v<Kind, Icon::FillAndStroke>) {
                painter.setPen(QPen(color, e.width, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
                painter.setBrush(color);
                painter.drawPath(e.path);
            } else {
                static_assert(std::is_same_v<Kind, Icon::FillTinted>);
                painter.fillPath(e.path, withOpacity(color, e.opacity));
            }
        },
        element);
}

Icon make(std::initializer_list<Icon::Element> elements) { return Icon{.elements = elements}; }

} // namespace

void Icon::draw(QPainter& painter, const QRectF& rect, const QColor& color) const
{
    if (!painter.isActive())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(rect.topLeft());
    const qreal scale = rect.width() / gridSize;
    painter.scale(scale, scale);
    for (const Element& element : elements)
        drawElement(painter, element, color);
    painter.restore();
}

QIcon Icon::templateImage(QSize size) const
{
    return DrawnIconEngine::maskIcon(
        size, [icon = *this](QPainter& painter, const QRectF& rect) { icon.draw(painter, rect, Qt::black); });
}

// Each icon is made on its first use (a function-local static: made once, safely, even
// when threads race to it) and kept for the process.
#define VORLIX_ICON(name, ...)                                                                                         \
    const Icon& Icon::name()                                                                                           \
    {                                                                                                                  \
        static const Icon icon = make({__VA_ARGS__});                                                                  \
        return icon;                                                                                                   \
    }

VORLIX_ICON(arrow, fillCircle(2.9, 17.9, 3.2, 3.2),
            fillAndStroke("M5.8 18.2L13.3 9.9L11.5 8.1L20 4L15.9 12.5L14.1 10.7Z", 1.0))
VORLIX_ICON(line, stroke("M5 19L19 5"))
VORLIX_ICON(rectangle, stroke("M4 6H20V18H4Z"))
VORLIX_ICON(ellipse, stroke("M4 12C4 8.69 7.58 6 12 6S20 8.69 20 12S16.42 18 12 18S4 15.31 4 12Z"))
VORLIX_ICON(text, stroke("M7 5H17M12 5V15.5"), stroke("M5 17V20H19V17"))
VORLIX_ICON(callout, stroke("M4 4.5H20V15H11L7 19V15H4Z"), stroke("M8 8.5H16M8 11.5H13"))
VORLIX_ICON(stamp, stroke("M10 11V5.5C10 4.67 10.9 4 12 4S14 4.67 14 5.5V11"), stroke("M5 11H19V15H5Z"),
            stroke("M6 18.5H18"))
VORLIX_ICON(more, stroke("M6 7L11 12L6 17M13 7L18 12L13 17"))
VORLIX_ICON(cursor, fillAndStroke("M9 9L19 13L14.5 14.5L13 19Z", 1.0),
            stroke("M5.8 8.6C6.1 7.3 7.3 6.1 8.6 5.8M3 8.6C3.4 5.8 5.8 3.4 8.6 3"))
VORLIX_ICON(copy, stroke("M9 8H19V20H9Z"), stroke("M9 16H5V4H15V8"))
VORLIX_ICON(share, fillCircle(15.8, 2.8, 4.4, 4.4), fillCircle(3.8, 9.8, 4.4, 4.4), fillCircle(15.8, 16.8, 4.4, 4.4),
            stroke("M6 12L18 5M6 12L18 19"))
VORLIX_ICON(export_, stroke("M12 15V3M8 7L12 3L16 7"), stroke("M9 10H5V21H19V10H15"))
VORLIX_ICON(headFilled, stroke("M3 12H9"), fillAndStroke("M9 6L20 12L9 18Z", 1.2))
VORLIX_ICON(headOpen, stroke("M3 12H19.5M10.5 4.5L19.5 12L10.5 19.5"))
VORLIX_ICON(headOutline, stroke("M3 12H9"), stroke("M9 6L20 12L9 18Z"))
VORLIX_ICON(arrowSingle, stroke("M4 12H19.5M14 6.5L19.5 12L14 17.5"))
VORLIX_ICON(arrowDouble, stroke("M4.5 12H19.5M10 6.5L4.5 12L10 17.5M14 6.5L19.5 12L14 17.5"))
VORLIX_ICON(lineEndsPlain, stroke("M4 12H20"))
VORLIX_ICON(lineEndsDots, stroke("M4 12H20"), fillCircle(1.8, 9.8, 4.4, 4.4), fillCircle(17.8, 9.8, 4.4, 4.4))
VORLIX_ICON(strokeSolid, stroke("M3 12H21"))
VORLIX_ICON(strokeDashed, stroke("M3 12H21", std::vector<qreal>{3, 3}))
VORLIX_ICON(pencil, stroke("M5 19L6 15L16 5L19 8L9 18Z"), stroke("M14 7L17 10M6 15L9 18"))
VORLIX_ICON(highlighter, fillTinted("M3 18.5H21V21.5H3Z", 0.4), stroke("M8.5 14.5L15.5 4L20 7L13 17.5Z"),
            stroke("M8.5 14.5L7 17L10 18.5L11.5 16.5"))
VORLIX_ICON(number, stroke("M3.5 12C3.5 7.31 7.31 3.5 12 3.5S20.5 7.31 20.5 12S16.69 20.5 12 20.5S3.5 16.69 3.5 12Z"),
            stroke("M10.6 10.2l1.9-1.4v7"))
VORLIX_ICON(pixelate, fillTinted("M4 4H9.33V9.33H4ZM14.67 9.33H20V14.67H14.67ZM9.33 14.67H14.67V20H9.33Z", 0.5),
            stroke("M4 4H20V20H4Z"), stroke("M9.33 4V20M14.67 4V20M4 9.33H20M4 14.67H20"))
// The dimmed frame runs clockwise and the lit circle against it, so the circle stays a
// hole under the non-zero rule.
VORLIX_ICON(spotlight,
            fillTinted("M3 5H21V19H3ZM7 12C7 14.76 9.24 17 12 17S17 14.76 17 12S14.76 7 12 7S7 9.24 7 12Z", 0.4),
            stroke("M7 12C7 14.76 9.24 17 12 17S17 14.76 17 12S14.76 7 12 7S7 9.24 7 12Z"))
VORLIX_ICON(lens,
            stroke("M4.5 10.5C4.5 7.19 7.19 4.5 10.5 4.5S16.5 7.19 16.5 10.5S13.81 16.5 10.5 16.5S4.5 13.81 4.5 10.5Z"),
            stroke("M14.8 14.8L20 20"), stroke("M8 10.5H13M10.5 8V13"))
VORLIX_ICON(colorPicker, fill("M14 6L16.5 3.5C17.3 2.7 18.6 2.7 19.4 3.5L20.5 4.6C21.3 5.4 21.3 6.7 20.5 7.5L18 10Z"),
            stroke("M12.5 7.5L16.5 11.5"), stroke("M13.5 8.5L6 16L5 19L8 18L15.5 10.5"))
VORLIX_ICON(drag, stroke("M4 4H14V14H4Z", std::vector<qreal>{2, 2}), stroke("M11 11L20 20M20 14V20H14"))
VORLIX_ICON(cutStrip, stroke("M3 5H21M3 19H21"), stroke("M3 12L6 9.5L9 14.5L12 9.5L15 14.5L18 9.5L21 12"))
VORLIX_ICON(crop, stroke("M7 3V17H21M3 7H17V21"))
VORLIX_ICON(cutOut, stroke("M12 3L14.6 8.6L20.6 9.2L16.1 13.2L17.4 19.2L12 16.1L6.6 19.2L7.9 13.2L3.4 9.2L9.4 8.6Z"))
VORLIX_ICON(ocr, stroke("M3 8V3H8M16 3H21V8M21 16V21H16M8 21H3V16"), stroke("M7 9H17M7 12H17M7 15H13"))
VORLIX_ICON(addImage, stroke("M12 5H4V19H18V12"), stroke("M4 16L8.5 11.5L13 16L15 14L18 17"), stroke("M18 3V9M15 6H21"))
VORLIX_ICON(pin, stroke("M9 4H15M10 4V10L7 13H17L14 10V4"), stroke("M12 13V20"))
VORLIX_ICON(ruler, stroke("M3 16L16 3L21 8L8 21Z"), stroke("M7 12L9 14M10 9L12.5 11.5M13 6L15 8"))
VORLIX_ICON(hand, stroke("M8 15V6.5C8 5.7 8.7 5 9.5 5S11 5.7 11 6.5V12M11 6.5V4.5C11 3.7 11.7 3 12.5 3S14 3.7 14 4.5V12"
                         "M14 6.5C14 5.7 14.7 5 15.5 5S17 5.7 17 6.5V14C17 18 15 21 11.5 21C9 21 7.6 20 6.3 18"
                         "L4.3 14.6C3.9 13.9 4.1 13.1 4.8 12.7S6.3 12.5 6.8 13.2L8 15"))
VORLIX_ICON(layoutVertical, stroke("M5 3H19V11H5ZM5 13H19V21H5Z"))
VORLIX_ICON(layoutHorizontal, stroke("M3 5H11V19H3ZM13 5H21V19H13Z"))
VORLIX_ICON(layoutGrid, stroke("M4 4H11V11H4ZM13 4H20V11H13ZM4 13H11V20H4ZM13 13H20V20H13Z"))

#undef VORLIX_ICON

const Icon& Icon::forTool(Tool tool)
{
    switch (tool) {
    case Tool::select:
        return hand();
    case Tool::arrow:
        return arrow();
    case Tool::line:
        return line();
    case Tool::rectangle:
        return rectangle();
    case Tool::ellipse:
        return ellipse();
    case Tool::pencil:
        return pencil();
    case Tool::highlighter:
        return highlighter();
    case Tool::number:
        return number();
    case Tool::text:
        return text();
    case Tool::callout:
        return callout();
    case Tool::stamp:
        return stamp();
    case Tool::cursor:
        return cursor();
    case Tool::pixelate:
        return pixelate();
    case Tool::spotlight:
        return spotlight();
    case Tool::lens:
        return lens();
    case Tool::colorPicker:
        return colorPicker();
    case Tool::ruler:
        return ruler();
    case Tool::crop:
        return crop();
    case Tool::cutStrip:
        return cutStrip();
    case Tool::cutOut:
        return cutOut();
    case Tool::ocr:
        return ocr();
    }
    return hand();
}

std::span<const Icon::Named> Icon::all()
{
    static constexpr std::array<Named, 40> icons = {{
        {"arrow", &Icon::arrow},
        {"line", &Icon::line},
        {"rectangle", &Icon::rectangle},
        {"ellipse", &Icon::ellipse},
        {"text", &Icon::text},
        {"callout", &Icon::callout},
        {"stamp", &Icon::stamp},
        {"more", &Icon::more},
        {"cursor", &Icon::cursor},
        {"copy", &Icon::copy},
        {"share", &Icon::share},
        {"export", &Icon::export_},
        {"headFilled", &Icon::headFilled},
        {"headOpen", &Icon::headOpen},
        {"headOutline", &Icon::headOutline},
        {"arrowSingle", &Icon::arrowSingle},
        {"arrowDouble", &Icon::arrowDouble},
        {"lineEndsPlain", &Icon::lineEndsPlain},
        {"lineEndsDots", &Icon::lineEndsDots},
        {"strokeSolid", &Icon::strokeSolid},
        {"strokeDashed", &Icon::strokeDashed},
        {"pencil", &Icon::pencil},
        {"highlighter", &Icon::highlighter},
        {"number", &Icon::number},
        {"pixelate", &Icon::pixelate},
        {"spotlight", &Icon::spotlight},
        {"lens", &Icon::lens},
        {"colorPicker", &Icon::colorPicker},
        {"drag", &Icon::drag},
        {"cutStrip", &Icon::cutStrip},
        {"crop", &Icon::crop},
        {"cutOut", &Icon::cutOut},
        {"ocr", &Icon::ocr},
        {"addImage", &Icon::addImage},
        {"pin", &Icon::pin},
        {"ruler", &Icon::ruler},
        {"hand", &Icon::hand},
        {"layoutVertical", &Icon::layoutVertical},
        {"layoutHorizontal", &Icon::layoutHorizontal},
        {"layoutGrid", &Icon::layoutGrid},
    }};
    return icons;
}

} // namespace vorlix
