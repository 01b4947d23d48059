#include "app/editor/inspectors/ClosureControls.h"

#include "app/support/SystemFont.h"

#include <QLabel>

#include <cmath>

namespace vorlix {

ClosureSlider::ClosureSlider(double minimum, double maximum, OnChange onChange, QWidget* parent)
    : ValueSlider(minimum, maximum, parent), m_onChange(std::move(onChange))
{
    setFixedWidth(80);
    connect(this, &QSlider::valueChanged, this, &ClosureSlider::changed);
    // The release ends the drag's undo step.
    connect(this, &QSlider::sliderReleased, this, &ClosureSlider::changed);
}

void ClosureSlider::changed()
{
    const double rounded = std::round(value());
    if (m_valueLabel)
        m_valueLabel->setText(QString::number(std::llround(rounded)));
    if (m_onChange)
        m_onChange(rounded, isDragged());
}

void ClosureSlider::showValue(double value)
{
    if (!isDragged())
        setValueQuietly(value);
    if (m_valueLabel)
        m_valueLabel->setText(QString::number(std::llround(value)));
}

ClosureCheckbox::ClosureCheckbox(const QString& title, OnChange onChange, QWidget* parent)
    : QCheckBox(title, parent), m_onChange(std::move(onChange))
{
    setAttribute(Qt::WA_MacSmallSize);
    setFont(systemFont(11));
    connect(this, &QAbstractButton::clicked, this, [this](bool checked) {
        if (m_onChange)
            m_onChange(checked);
    });
}

} // namespace vorlix
