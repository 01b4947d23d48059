#pragma once
// The controls of the panel and document rows, which edit the document rather than a
// style: a slider of whole numbers and a checkbox, each calling its closure on a change.

#include "app/editor/inspectors/ValueSlider.h"

#include <QCheckBox>
#include <QPointer>

#include <functional>

class QLabel;

namespace vorlix {

class ClosureSlider final : public ValueSlider {
    Q_OBJECT

public:
    // `onChange` gets the value rounded to a whole number and whether the knob is still
    // held (the change goes on).
    using OnChange = std::function<void(double value, bool continuous)>;
    ClosureSlider(double minimum, double maximum, OnChange onChange, QWidget* parent = nullptr);

    // Shows a value of the model: the knob stays where the user holds it, the label
    // follows in any case.
    void showValue(double value);
    void setValueLabel(QLabel* label) { m_valueLabel = label; }
    QLabel* valueLabel() const { return m_valueLabel; }

private:
    void changed();

    QPointer<QLabel> m_valueLabel;
    const OnChange m_onChange;
};

class ClosureCheckbox final : public QCheckBox {
    Q_OBJECT

public:
    using OnChange = std::function<void(bool checked)>;
    explicit ClosureCheckbox(const QString& title, OnChange onChange = {}, QWidget* parent = nullptr);

private:
    OnChange m_onChange;
};

} // namespace vorlix
