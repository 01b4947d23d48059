#include "core/render/StrokeCoverage.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vorlix {

StrokeCoverage::StrokeCoverage(QRect area, double radius)
    : m_area(area.isValid() ? area : QRect()),
      m_radius(std::max(radius, 0.0)),
      m_stride(m_area.width() + 1),
      m_edges(static_cast<std::size_t>(m_stride) * static_cast<std::size_t>(std::max(m_area.height(), 0)), 0),
      m_runs(static_cast<std::size_t>(std::max(m_area.height(), 0))),
      m_rowsPerCheck(
          std::max<long long>(m_area.height(), static_cast<long long>(m_area.width()) * m_area.height() / 16))
{
}

void StrokeCoverage::addSegment(QPointF a, QPointF b)
{
    if (m_rowsSinceCheck >= m_rowsPerCheck)
        findCoveredRuns();
    if (m_area.isEmpty() || m_fullRowCount == m_area.height() || !std::isfinite(a.x()) || !std::isfinite(a.y()) ||
        !std::isfinite(b.x()) || !std::isfinite(b.y()))
        return;
    const double r = m_radius;
    // Rows whose centre lies within the capsule's vertical reach, relative to the area.
    const double top = std::min(a.y(), b.y()) - r - m_area.y() - 0.5;
    const double bottom = std::max(a.y(), b.y()) + r - m_area.y() - 0.5;
    int firstRow = std::max(0, static_cast<int>(std::ceil(std::max(top, -1.0))));
    int lastRow = std::min(m_area.height() - 1, static_cast<int>(std::floor(std::min(bottom, 1e9))));
    // The columns whose centres the capsule may reach; rows whose covered run holds
    // them all are left alone.
    const double left = std::ceil(std::min(a.x(), b.x()) - r - m_area.x() - 0.5);
    const double right = std::floor(std::max(a.x(), b.x()) + r - m_area.x() - 0.5);
    if (right < 0 || left > m_area.width() - 1)
        return;
    const int firstColumn = static_cast<int>(std::max(left, 0.0));
    const int lastColumn = static_cast<int>(std::min(right, double(m_area.width() - 1)));
    const auto isCovered = [&](int row) {
        const Run& run = m_runs[static_cast<std::size_t>(row)];
        return run.first <= firstColumn && lastColumn <= run.last;
    };
    while (firstRow <= lastRow && isCovered(firstRow))
        ++firstRow;
    while (firstRow <= lastRow && isCovered(lastRow))
        --lastRow;
    if (firstRow > lastRow)
        return;

    // The body between the caps, as the x range of two slabs, each bounded by lines
    // x = offset + slope * y: within r across the segment, and between its ends along
    // it. A horizontal segment's rows all cross it across (they are within r of it); a
    // vertical one's rows cross it along only between its ends.
    constexpr double infinity = std::numeric_limits<double>::infinity();
    struct Slab {
        double slope = 0, low = -infinity, high = infinity;
    };
    Slab across;
    Slab along;
    double bodyTop = -infinity;
    double bodyBottom = infinity;
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    double length = std::sqrt(dx * dx + dy * dy);
    if (!std::isfinite(length))
        length = std::hypot(dx, dy);
    const bool hasBody = length > 0;
    if (hasBody) {
        const double ux = dx / length;
        const double uy = dy / length;
        if (uy != 0) {
            across.slope = ux / uy;
            const double half = r / std::abs(uy);
            across.low = a.x() - across.slope * a.y() - half;
            across.high = a.x() - across.slope * a.y() + half;
        }
        if (ux != 0) {
            along.slope = -uy / ux;
            const double base = a.x() - along.slope * a.y();
            along.low = std::min(base, base + length / ux);
            along.high = std::max(base, base + length / ux);
        } else {
            bodyTop = std::min(a.y(), b.y());
            bodyBottom = std::max(a.y(), b.y());
        }
    }
    const int width = m_area.width();
    const auto mark = [&](int row, double low, double high) {
        // Pixels whose centres x + 0.5 lie in [low, high].
        const double first = std::ceil(low - m_area.x() - 0.5);
        const double last = std::floor(high - m_area.x() - 0.5);
        if (last < 0 || first > width - 1 || first > last)
            return;
        const int from = static_cast<int>(std::max(first, 0.0));
        const int to = static_cast<int>(std::min(last, double(width - 1)));
        const Run& run = m_runs[static_cast<std::size_t>(row)];
        if (run.first <= from && to <= run.last)
            return;
        ++m_rowsSinceCheck;
        int* edges = m_edges.data() + static_cast<std::ptrdiff_t>(row) * m_stride;
        ++edges[from];
        --edges[to + 1];
    };
    // Rows farther than r from both ends, between them, meet the body alone: the bulk of
    // the rows of a long segment, done without the caps' tests.
    const double y0 = m_area.y() + 0.5;
    int bodyFirst = lastRow + 1;
    int bodyLast = lastRow;
    if (hasBody && across.low > -infinity && along.low > -infinity) {
        bodyFirst = std::max(firstRow, static_cast<int>(std::floor(std::min(a.y(), b.y()) + r - y0)) + 1);
        bodyLast = std::min(lastRow, static_cast<int>(std::ceil(std::max(a.y(), b.y()) - r - y0)) - 1);
        if (bodyFirst > bodyLast)
            bodyFirst = lastRow + 1;
    }
    for (int row = bodyFirst; row <= bodyLast; ++row) {
        const double y = y0 + row;
        mark(row, std::max(across.low + across.slope * y, along.low + along.slope * y),
             std::min(across.high + across.slope * y, along.high + along.slope * y));
    }
    const double r2 = r * r;
    for (int row = firstRow; row <= lastRow; ++row) {
        if (row == bodyFirst) {
            row = bodyLast;
            continue;
        }
        if (isCovered(row))
            continue;
        const double y = y0 + row;
        double low = infinity;
        double high = -infinity;
        if (hasBody && y >= bodyTop && y <= bodyBottom) {
            low = std::max(across.low + across.slope * y, along.low + along.slope * y);
            high = std::min(across.high + across.slope * y, along.high + along.slope * y);
        }
        // The round caps.
        for (const QPointF& end : {a, b}) {
            const double h = y - end.y();
            if (h * h <= r2) {
                const double half = std::sqrt(r2 - h * h);
                if (low <= high) {
                    low = std::min(low, end.x() - half);
                    high = std::max(high, end.x() + half);
                } else {
                    low = end.x() - half;
                    high = end.x() + half;
                }
            }
        }
        if (low <= high)
            mark(row, low, high);
    }
}

void StrokeCoverage::addPolyline(const std::vector<QPointF>& points)
{
    if (points.size() == 1)
        addSegment(points[0], points[0]);
    for (std::size_t i = 1; i < points.size(); ++i)
        addSegment(points[i - 1], points[i]);
}

void StrokeCoverage::findCoveredRuns()
{
    m_rowsSinceCheck = 0;
    const int width = m_area.width();
    for (int row = 0; row < m_area.height(); ++row) {
        Run& longest = m_runs[static_cast<std::size_t>(row)];
        if (longest.first == 0 && longest.last == width - 1)
            continue;
        const int* edges = m_edges.data() + static_cast<std::ptrdiff_t>(row) * m_stride;
        int sum = 0;
        int start = 0;
        for (int x = 0; x < width; ++x) {
            sum += edges[x];
            if (sum <= 0) {
                start = x + 1;
            } else if (x - start > longest.last - longest.first) {
                longest = {start, x};
            }
        }
        m_fullRowCount += longest.first == 0 && longest.last == width - 1;
    }
}

QImage StrokeCoverage::image(const QColor& color) const
{
    if (m_area.isEmpty())
        return {};
    QImage result(m_area.size(), QImage::Format_ARGB32_Premultiplied);
    if (result.isNull())
        return {};
    const QRgb ink = qPremultiply(color.rgba());
    for (int row = 0; row < m_area.height(); ++row) {
        const int* edges = m_edges.data() + static_cast<std::ptrdiff_t>(row) * m_stride;
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(row));
        int sum = 0;
        for (int x = 0; x < m_area.width(); ++x) {
            sum += edges[x];
            line[x] = sum > 0 ? ink : 0;
        }
    }
    return result;
}

} // namespace vorlix
