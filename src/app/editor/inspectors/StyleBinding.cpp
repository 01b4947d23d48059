#include "app/editor/inspectors/StyleBinding.h"

#include "app/editor/inspectors/SegmentedControl.h"
#include "app/editor/inspectors/ValueSlider.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>

#include <cmath>

namespace vorlix {

StyleBinding::StyleBinding(CanvasView* canvas, QString actionName)
    : m_canvas(canvas), m_actionName(std::move(actionName))
{
}

void StyleBinding::update(const CanvasView::StyleContext&) {}

void StyleBinding::write(bool continuous, const std::function<void(Style&)>& change) const
{
    if (CanvasView* canvas = m_canvas)
        canvas->changeStyle(m_actionName, continuous, change);
}

QString wholeNumberText(double value) { return QString::number(std::llround(value)); }

SliderBinding::SliderBinding(CanvasView* canvas, QString actionName, ValueSlider* slider, QLabel* label,
                             double Style::*field, double step, Format format)
    : StyleBinding(canvas, std::move(actionName)),
      m_slider(slider),
      m_label(label),
      m_field(field),
      m_step(step),
      m_format(std::move(format))
{
    slider->setSingleStep(std::max(1, int(std::lround(step * ValueSlider::ticksPerUnit))));
    connect(slider, &QSlider::valueChanged, this, &SliderBinding::changed);
    // The release ends the drag's undo step.
    connect(slider, &QSlider::sliderReleased, this, &SliderBinding::changed);
}

void SliderBinding::changed()
{
    const double value = m_step * std::round(m_slider->value() / m_step);
    m_label->setText(m_format(value));
    double Style::*field = m_field;
    write(m_slider->isDragged(), [field, value](Style& style) { style.*field = value; });
}

void SliderBinding::update(const CanvasView::StyleContext& context)
{
    const double value = context.style.*m_field;
    if (!m_slider->isDragged())
        m_slider->setValueQuietly(value);
    m_label->setText(m_format(value));
}

ToggleBinding::ToggleBinding(CanvasView* canvas, QString actionName, QAbstractButton* button, bool Style::*field)
    : StyleBinding(canvas, std::move(actionName)), m_button(button), m_field(field)
{
    connect(button, &QAbstractButton::clicked, this, &ToggleBinding::changed);
}

void ToggleBinding::changed()
{
    const bool on = m_button->isChecked();
    bool Style::*field = m_field;
    write(false, [field, on](Style& style) { style.*field = on; });
}

void ToggleBinding::update(const CanvasView::StyleContext& context)
{
    const QSignalBlocker blocker(m_button);
    m_button->setChecked(context.style.*m_field);
}

ChoiceBinding::ChoiceBinding(CanvasView* canvas, QString actionName, SegmentedControl* control, IndexAccess access)
    : StyleBinding(canvas, std::move(actionName)), m_control(control), m_access(std::move(access))
{
    connect(control, &SegmentedControl::activated, this, &ChoiceBinding::changed);
}

void ChoiceBinding::changed()
{
    const int index = std::max(m_control->selectedSegment(), 0);
    write(false, [set = m_access.set, index](Style& style) { set(style, index); });
}

void ChoiceBinding::update(const CanvasView::StyleContext& context)
{
    m_control->setSelectedSegment(m_access.get(context.style));
}

PopupBinding::PopupBinding(CanvasView* canvas, QString actionName, QComboBox* popup, IndexAccess access)
    : StyleBinding(canvas, std::move(actionName)), m_popup(popup), m_access(std::move(access))
{
    connect(popup, &QComboBox::activated, this, &PopupBinding::changed);
}

void PopupBinding::changed()
{
    const int index = std::max(m_popup->currentIndex(), 0);
    write(false, [set = m_access.set, index](Style& style) { set(style, index); });
}

void PopupBinding::update(const CanvasView::StyleContext& context)
{
    const QSignalBlocker blocker(m_popup);
    m_popup->setCurrentIndex(m_access.get(context.style));
}

} // namespace vorlix
