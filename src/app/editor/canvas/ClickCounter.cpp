#include "app/editor/canvas/ClickCounter.h"

#include <QGuiApplication>
#include <QLineF>
#include <QStyleHints>

namespace vorlix {

ClickCounter::ClickCounter()
    : ClickCounter(QGuiApplication::styleHints()->mouseDoubleClickInterval(),
                   QGuiApplication::styleHints()->mouseDoubleClickDistance())
{
}

int ClickCounter::press(QPointF position, quint64 timestampMs)
{
    const bool continues = m_count > 0 && timestampMs >= m_timestamp &&
                           timestampMs - m_timestamp <= quint64(m_interval) &&
                           QLineF(position, m_position).length() <= m_distance;
    m_count = continues ? m_count + 1 : 1;
    m_position = position;
    m_timestamp = timestampMs;
    return m_count;
}

} // namespace vorlix
