#pragma once
// StrokeCoverage: the device pixels inked by a wide round-capped stroke, found row by
// row without the path stroker. Each segment with its round caps is a capsule, which
// meets a pixel row in one interval; the intervals of every segment are counted into
// the rows and the pixels whose centres fall in any of them are covered. The work is
// one short computation per segment and row it crosses plus one per pixel, whatever
// the overlaps, so a stroke that criss-crosses a view ten thousand times costs little
// more than one that crosses it once: whenever the intervals added since the last
// search number a sixteenth of the pixels (at least one a row), the longest covered run
// of pixels of each row is found, and later segments skip the rows where their reach
// lies within it. Edges are aliased (a pixel is in or out).

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRect>

#include <vector>

namespace vorlix {

class StrokeCoverage {
public:
    // Coverage of the device pixels in `area`, for capsules of radius `radius`.
    StrokeCoverage(QRect area, double radius);

    // Adds the segment from `a` to `b` (device pixels) with its round caps.
    void addSegment(QPointF a, QPointF b);
    // Adds the segments between consecutive points.
    void addPolyline(const std::vector<QPointF>& points);

    // `area`'s pixels: `color` where covered, transparent elsewhere (premultiplied).
    QImage image(const QColor& color) const;

private:
    struct Run {
        int first = 0, last = -1; // columns, both covered
    };
    void findCoveredRuns();

    QRect m_area;
    double m_radius;
    int m_stride;
    std::vector<int> m_edges; // per row: +1 where an interval starts, -1 one past its end
    std::vector<Run> m_runs;  // per row: its longest covered run at the last search
    int m_fullRowCount = 0;
    long long m_rowsPerCheck;
    long long m_rowsSinceCheck = 0;
};

} // namespace vorlix
