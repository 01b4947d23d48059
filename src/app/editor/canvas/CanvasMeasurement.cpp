// The ruler tool's marks: the measuring rectangle with its diagonal and a badge in image
// pixels, points and centimetres; the automatic ruler between the colour edges around the
// pointer; and pinning either into the document as labelled lines.
//
// Canvas points, y downwards; line widths and badge offsets are screen points divided by
// the magnification.

#include "app/editor/canvas/CanvasOverlays.h"
#include "app/editor/canvas/CanvasView.h"
#include "app/editor/canvas/MeasurementLabels.h"
#include "app/support/Beeper.h"
#include "app/support/TextPill.h"
#include "core/document/DocumentAnnotations.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

constexpr double badgeFontSize = 11; // screen points
constexpr double badgeGap = 8;
constexpr double rulerTick = 4;

// Badges are drawn in screen points, so their font is sized in pixels of the viewport.
QFont badgeFont()
{
    QFont font;
    font.setPixelSize(int(badgeFontSize));
    font.setWeight(QFont::DemiBold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

} // namespace

void CanvasView::drawBadge(QPainter& painter, const QString& text, Point at, std::optional<Point> beside) const
{
    const double m = magnification();
    const TextPill pill =
        TextPill::make(text, badgeFont(), Qt::white, QSizeF(5, 2.5), QColor(0, 0, 0, int(0.75 * 255 + 0.5)), 4);
    const double width = pill.size.width() / m;
    const double height = pill.size.height() / m;
    Point origin = at;
    if (beside) {
        const double gap = badgeGap / m;
        const Rect visible = visibleRect();
        origin = {beside->x + gap, beside->y + gap};
        if (origin.x + width > visible.maxX())
            origin.x = beside->x - width - gap;
        if (origin.y + height > visible.maxY())
            origin.y = beside->y - height - gap;
    }
    const QPointF device = painter.transform().map(QPointF(origin.x, origin.y));
    painter.save();
    painter.resetTransform();
    pill.draw(painter, device);
    painter.restore();
}

void CanvasView::drawMeasurement(QPainter& painter) const
{
    if (!m_state.measurement)
        return;
    const Measurement& measurement = *m_state.measurement;
    const double m = magnification();
    const QColor accent = CanvasOverlays::Colors::from(palette()).accent;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    QPen dashed(accent, 1 / m);
    dashed.setCapStyle(Qt::FlatCap);
    dashed.setDashPattern({5.0, 3.0}); // in pen widths, which are one screen point
    painter.setPen(dashed);
    painter.drawRect(Rect::corner(measurement.start, measurement.end).toQt());
    painter.setPen(QPen(accent, 1 / m));
    painter.drawLine(QPointF(measurement.start.x, measurement.start.y), QPointF(measurement.end.x, measurement.end.y));
    painter.restore();
    drawBadge(painter, measurementBadgeText(measurement, pixelsPerPoint(measurement.start)), {}, measurement.end);
}

void CanvasView::drawAutoRuler(QPainter& painter) const
{
    if (m_state.tool != Tool::ruler || m_state.measurement || !m_state.autoRuler)
        return;
    const Point p = m_state.autoRuler->point;
    const Rect& e = m_state.autoRuler->edges;
    const double m = magnification();
    const double tick = rulerTick / m;
    QPainterPath path;
    const auto segment = [&path](double x0, double y0, double x1, double y1) {
        path.moveTo(x0, y0);
        path.lineTo(x1, y1);
    };
    segment(e.minX(), p.y, e.maxX(), p.y);
    segment(p.x, e.minY(), p.x, e.maxY());
    segment(e.minX(), p.y - tick, e.minX(), p.y + tick);
    segment(e.maxX(), p.y - tick, e.maxX(), p.y + tick);
    segment(p.x - tick, e.minY(), p.x + tick, e.minY());
    segment(p.x - tick, e.maxY(), p.x + tick, e.maxY());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(CanvasOverlays::Colors::from(palette()).accent, 1 / m));
    painter.drawPath(path);
    painter.restore();

    const double ppp = pixelsPerPoint(p);
    drawBadge(painter, QString::number(roundedCount(ppp * e.width())) + u" px"_s,
              {(p.x + e.minX()) / 2 - 18 / m, p.y + 6 / m}, std::nullopt);
    drawBadge(painter, QString::number(roundedCount(ppp * e.height())) + u" px"_s,
              {p.x + 6 / m, (p.y + e.minY()) / 2 - 8 / m}, std::nullopt);
}

std::vector<Segment> CanvasView::measureSegments() const
{
    if (m_state.tool != Tool::ruler)
        return {};
    const double ppp = m_state.measurement ? pixelsPerPoint(m_state.measurement->start) : 1;
    return vorlix::measureSegments(m_state.measurement, m_state.autoRuler, ppp);
}

void CanvasView::pinMeasure()
{
    const std::vector<Segment> segments = measureSegments();
    if (segments.empty()) {
        Beeper::beep();
        return;
    }
    Style lineStyle = style(AnnotationKind::line);
    lineStyle.lineWidth = 2;
    lineStyle.dashed = false;
    lineStyle.chalk = false;
    lineStyle.showsMeasure = true;
    std::set<QUuid> ids;
    endContinuousChange();
    m_editor.perform(u"Fissa la misura"_s, [&](DocumentModel& doc) {
        ids.clear();
        for (const auto& [from, to] : segments) {
            const QUuid id = QUuid::createUuid();
            insert(doc, CanvasShape{AnnotationKind::line, {from, to}, {}, lineStyle}, id);
            ids.insert(id);
        }
    });
    setMeasurement(std::nullopt);
    setSelection(std::move(ids));
    updateFrameForCanvas();
}

} // namespace vorlix
