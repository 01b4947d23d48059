#include "app/editor/canvas/CanvasOverlays.h"

#include "core/document/DocumentAnnotations.h"
#include "core/model/PanelGeometry.h"
#include "core/shapes/CanvasShape.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace vorlix::CanvasOverlays {

namespace {

constexpr double handleRadius = 4.5;
constexpr double handleRim = 1.5;

QColor withAlpha(QColor color, double alpha)
{
    color.setAlphaF(float(alpha));
    return color;
}

QPen dashedPen(const QColor& color, double width, double dash, double gap)
{
    QPen pen(color, width);
    pen.setCapStyle(Qt::FlatCap);
    // Qt measures dashes in pen widths.
    pen.setDashPattern({dash / width, gap / width});
    pen.setDashOffset(0);
    return pen;
}

void drawDot(QPainter& painter, Point centre, const QColor& fill, double magnification, const Colors& colors)
{
    const double r = handleRadius / magnification;
    painter.setPen(QPen(colors.accent, handleRim / magnification));
    painter.setBrush(fill);
    painter.drawEllipse(QPointF(centre.x, centre.y), r, r);
}

} // namespace

Colors Colors::from(const QPalette& palette)
{
    return {palette.color(QPalette::WindowText), palette.color(QPalette::Highlight), QColor(0xFF, 0x2D, 0x55)};
}

void fillCheckerboard(QPainter& painter, const Rect& rect, const Rect& visible, double magnification,
                      const Colors& colors)
{
    const Rect area = rect.intersection(visible);
    if (area.isNull() || !(magnification > 0))
        return;
    // One texel a cell: the light cells are those whose column and row add up to an even
    // number, counted from rect's top-left corner, and tiling keeps that phase anywhere.
    // A texture fill costs one pass however many cells a 5K canvas has.
    QImage tile(2, 2, QImage::Format_ARGB32_Premultiplied);
    tile.fill(Qt::transparent);
    const QColor light = withAlpha(colors.label, 0.08);
    tile.setPixelColor(0, 0, light);
    tile.setPixelColor(1, 1, light);
    QBrush cells(tile);
    const double cell = 8 / magnification;
    cells.setTransform(QTransform::fromTranslate(rect.minX(), rect.minY()).scale(cell, cell));

    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false); // sharp cell edges
    painter.fillRect(area.toQt(), withAlpha(colors.label, 0.05));
    painter.fillRect(area.toQt(), cells);
    painter.restore();
}

void drawWorkArea(QPainter& painter, const DocumentModel& shown, const Rect& bounds, const Rect& dirty,
                  double magnification, const Colors& colors)
{
    const Rect visible = bounds.intersection(dirty);
    if (visible.isNull())
        return;
    if (std::holds_alternative<TransparentBackground>(shown.background))
        fillCheckerboard(painter, bounds, visible, magnification, colors);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(dashedPen(withAlpha(colors.label, 0.35), 1 / magnification, 4 / magnification, 3 / magnification));
    const double grow = 0.5 / magnification;
    painter.drawRect(bounds.insetBy(-grow, -grow).toQt());
    painter.restore();
}

void drawSelection(QPainter& painter, const DocumentModel& model, const std::set<QUuid>& selection,
                   bool textSessionRuns, double magnification, const Colors& colors)
{
    if (textSessionRuns && selection.size() < 2)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    for (const QUuid& id : selection) {
        const std::optional<CanvasShape> shape = canvasShape(model, id);
        if (!shape)
            continue;
        const std::vector<HandlePosition> handles = shape->handles();
        if (selection.size() == 1 && !handles.empty()) {
            if (isRectangular(shape->kind)) {
                painter.setBrush(Qt::NoBrush);
                painter.setPen(QPen(withAlpha(colors.accent, 0.8), 1 / magnification));
                painter.drawRect(shape->rect().toQt());
            }
            for (const auto& [handle, point] : handles)
                drawDot(painter, point, handle.kind == HandleKind::bend ? colors.accent : QColor(Qt::white),
                        magnification, colors);
        } else {
            const double grow = 2 / magnification;
            painter.setBrush(Qt::NoBrush);
            painter.setPen(dashedPen(colors.accent, 1 / magnification, 4 / magnification, 3 / magnification));
            painter.drawRect(shape->bounds().insetBy(-grow, -grow).toQt());
        }
    }
    painter.restore();
}

void drawPanelSelection(QPainter& painter, const DocumentModel& model, const std::vector<Guide>& guides,
                        const std::optional<QUuid>& selectedPanel, double magnification, const Colors& colors)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (!guides.empty()) {
        QPainterPath path;
        for (const Guide& guide : guides) {
            path.moveTo(guide.from.x, guide.from.y);
            path.lineTo(guide.to.x, guide.to.y);
        }
        painter.strokePath(path, QPen(colors.guide, 1 / magnification));
    }
    if (selectedPanel) {
        for (const Panel& panel : model.panels) {
            if (panel.id != *selectedPanel)
                continue;
            const Rect shown = frame(panel);
            const double grow = 1 / magnification;
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(colors.accent, 2 / magnification));
            painter.drawRect(shown.insetBy(-grow, -grow).toQt());
            for (const Point corner : {Point{shown.minX(), shown.minY()}, Point{shown.maxX(), shown.minY()},
                                       Point{shown.maxX(), shown.maxY()}, Point{shown.minX(), shown.maxY()}})
                drawDot(painter, corner, Qt::white, magnification, colors);
            break;
        }
    }
    painter.restore();
}

void drawRegion(QPainter& painter, const Rect& rect, bool veiled, double magnification, const Colors& colors)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(dashedPen(colors.accent, 1.5 / magnification, 5 / magnification, 3 / magnification));
    painter.drawRect(rect.toQt());
    if (veiled)
        painter.fillRect(rect.toQt(), withAlpha(colors.accent, 0.08));
    painter.restore();
}

void drawMarquee(QPainter& painter, const drag::Marquee& marquee, double magnification, const Colors& colors)
{
    const QRectF rect = Rect::corner(marquee.start, marquee.current).toQt();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect, withAlpha(colors.accent, 0.12));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(colors.accent, 1 / magnification));
    painter.drawRect(rect);
    painter.restore();
}

void drawCalloutPreview(QPainter& painter, const drag::PlacingCallout& callout, double magnification,
                        const Colors& colors)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(dashedPen(colors.accent, 1.5 / magnification, 4 / magnification, 3 / magnification));
    painter.drawLine(callout.tip.toQt(), callout.current.toQt());
    painter.restore();
}

Rect stripBand(const Rect& frame, Point start, Point current)
{
    const double dx = std::abs(current.x - start.x);
    const double dy = std::abs(current.y - start.y);
    const Rect band = dx <= dy ? Rect(frame.minX(), std::min(start.y, current.y), frame.width(), dy)
                               : Rect(std::min(start.x, current.x), frame.minY(), dx, frame.height());
    return band.intersection(frame);
}

void drawStripPreview(QPainter& painter, const DocumentModel& model, const drag::CuttingStrip& strip,
                      double magnification)
{
    const std::optional<std::size_t> index = panelIndex(model, strip.panelID);
    if (!index)
        return;
    const Rect shown = stripBand(frame(model.panels[*index]), strip.start, strip.current);
    if (shown.isNull())
        return;
    const QColor stripColor = QColor::fromRgbF(0.94f, 0.42f, 0.38f);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(shown.toQt(), withAlpha(stripColor, 0.3));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(dashedPen(stripColor, 1.5 / magnification, 5 / magnification, 3 / magnification));
    painter.drawRect(shown.toQt());
    painter.restore();
}

} // namespace vorlix::CanvasOverlays
