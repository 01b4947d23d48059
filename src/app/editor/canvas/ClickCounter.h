#pragma once
// Counts the clicks of a multiple click: a press that follows the previous one within
// the double-click interval and distance continues the series, any other press starts
// a new one. Positions in viewport pixels, times in milliseconds of the events' clock.

#include <QPointF>

namespace vorlix {

class ClickCounter {
public:
    // The interval and distance of the style hints.
    ClickCounter();
    ClickCounter(int intervalMs, double distance) : m_interval(intervalMs), m_distance(distance) {}

    // The number of this press in its series: 1 for a single click, 2 for a double click...
    int press(QPointF position, quint64 timestampMs);

private:
    int m_interval;
    double m_distance;
    int m_count = 0;
    QPointF m_position;
    quint64 m_timestamp = 0;
};

} // namespace vorlix
