#include "app/editor/canvas/MeasurementLabels.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

constexpr double pointsPerInch = 72;
constexpr double centimetresPerInch = 2.54;
constexpr double pinnedLineOffset = 8; // canvas points beside the rectangle

QString count(double value) { return QString::number(roundedCount(value)); }

QString centimetres(double points)
{
    return QString::asprintf("%.1f", points / pointsPerInch * centimetresPerInch).replace(u'.', u',');
}

} // namespace

std::int64_t roundedCount(double value) { return std::llround(value); }

QString measurementBadgeText(const Measurement& measurement, double ppp)
{
    const double width = std::abs(measurement.end.x - measurement.start.x);
    const double height = std::abs(measurement.end.y - measurement.start.y);
    const double diagonal = measurement.start.distance(measurement.end);
    return count(ppp * width) + u" \u00D7 "_s + count(ppp * height) + u" px   \u2197 "_s + count(ppp * diagonal) +
           u" px\n"_s + count(width) + u" \u00D7 "_s + count(height) + u" pt   "_s + centimetres(width) +
           u" \u00D7 "_s + centimetres(height) + u" cm\n"_s + u"Invio: fissa la misura sull'immagine"_s;
}

std::vector<Segment> measureSegments(const std::optional<Measurement>& measurement,
                                     const std::optional<AutoRuler>& autoRuler, double pixelsPerPointAtStart)
{
    if (!measurement) {
        if (!autoRuler)
            return {};
        const Point p = autoRuler->point;
        const Rect& e = autoRuler->edges;
        return {{{e.minX(), p.y}, {e.maxX(), p.y}}, {{p.x, e.minY()}, {p.x, e.maxY()}}};
    }
    const Rect r = Rect::corner(measurement->start, measurement->end).standardized();
    const double minimum = 0.75 / pixelsPerPointAtStart;
    const bool tall = r.height() >= minimum;
    const bool wide = r.width() >= minimum;
    if (tall && wide)
        return {{{r.minX(), r.minY() - pinnedLineOffset}, {r.maxX(), r.minY() - pinnedLineOffset}},
                {{r.maxX() + pinnedLineOffset, r.minY()}, {r.maxX() + pinnedLineOffset, r.maxY()}}};
    if (tall)
        return {{{r.midX(), r.minY()}, {r.midX(), r.maxY()}}};
    if (wide)
        return {{{r.minX(), r.midY()}, {r.maxX(), r.midY()}}};
    return {};
}

} // namespace vorlix
