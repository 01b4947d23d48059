#include "app/editor/inspectors/ValueSlider.h"

#include <QSignalBlocker>

#include <cmath>

namespace vorlix {

namespace {
int ticks(double value) { return int(std::lround(value * ValueSlider::ticksPerUnit)); }
} // namespace

ValueSlider::ValueSlider(double minimum, double maximum, QWidget* parent) : QSlider(Qt::Horizontal, parent)
{
    setRange(ticks(minimum), ticks(maximum));
    setSingleStep(int(ticksPerUnit));
    setPageStep(int(ticksPerUnit) * 10);
    setTracking(true);
    setAttribute(Qt::WA_MacSmallSize);
}

void ValueSlider::setValueQuietly(double value)
{
    const QSignalBlocker blocker(this);
    setValue(ticks(value));
}

} // namespace vorlix
