#pragma once
// A horizontal slider over real values: QSlider counts whole ticks, so the value is kept
// in hundredths. Small, continuous (it reports while dragged). `isDragged()` is true while
// the user holds its knob.

#include <QSlider>

namespace vorlix {

class ValueSlider : public QSlider {
    Q_OBJECT

public:
    static constexpr double ticksPerUnit = 100;

    ValueSlider(double minimum, double maximum, QWidget* parent = nullptr);

    double value() const { return QSlider::value() / ticksPerUnit; }
    // Puts the value in without telling anyone.
    void setValueQuietly(double value);
    double minimumValue() const { return minimum() / ticksPerUnit; }
    double maximumValue() const { return maximum() / ticksPerUnit; }
    bool isDragged() const { return isSliderDown(); }
};

} // namespace vorlix
