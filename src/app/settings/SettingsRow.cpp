#include "app/settings/SettingsRow.h"

#include "app/support/SystemFont.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace vorlix {

QColor secondaryLabelColor(const QWidget& widget)
{
    QColor color = widget.palette().color(QPalette::WindowText);
    color.setAlphaF(0.55f);
    return color;
}

QLabel* settingsLabel(const QString& text, double pointSize, bool wraps)
{
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setFont(systemFont(pointSize));
    label->setWordWrap(wraps);
    return label;
}

namespace {

void makeSecondary(QLabel& label)
{
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, secondaryLabelColor(label));
    label.setPalette(palette);
}

} // namespace

SettingsRow::SettingsRow(const QString& label, const std::optional<QString>& detail, QWidget* control, QWidget* parent)
    : QWidget(parent), m_warning(settingsLabel({}, 11, true)), m_control(control)
{
    QPalette red = m_warning->palette();
    red.setColor(QPalette::WindowText, QColor(0xff, 0x3b, 0x30));
    m_warning->setPalette(red);
    m_warning->setMaximumWidth(textWidth);
    m_warning->hide();

    auto* text = new QVBoxLayout;
    text->setSpacing(2);
    text->setContentsMargins(0, 0, 0, 0);
    text->addWidget(settingsLabel(label, 13));
    if (detail) {
        QLabel* explanation = settingsLabel(*detail, 11, true);
        explanation->setMaximumWidth(textWidth);
        makeSecondary(*explanation);
        text->addWidget(explanation);
    }
    text->addWidget(m_warning);

    // The text gives way to the control.
    control->setSizePolicy(QSizePolicy::Fixed, control->sizePolicy().verticalPolicy());
    auto* line = new QHBoxLayout(this);
    line->setContentsMargins(14, 9, 14, 9);
    line->setSpacing(16);
    line->addLayout(text, 1);
    line->addWidget(control, 0, Qt::AlignVCenter);
    setMinimumHeight(minimumHeight);
}

NumberStepper::NumberStepper(int minimum, int maximum, const QString& unit, QWidget* parent)
    : QWidget(parent),
      m_field(new QLineEdit),
      m_up(new QToolButton),
      m_down(new QToolButton),
      m_minimum(minimum),
      m_maximum(maximum),
      m_stepperValue(minimum)
{
    QFont digits = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    digits.setPointSizeF(11);
    m_field->setFont(digits);
    m_field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_field->setFixedWidth(44);
    // Whole numbers only; the range is applied by changed(), so that a number outside it
    // is brought into it rather than refused.
    m_field->setValidator(new QRegularExpressionValidator(QRegularExpression(u"-?[0-9]{0,9}"_s), m_field));
    // Leaving the field untouched changes nothing.
    connect(m_field, &QLineEdit::editingFinished, this, [this] {
        if (m_field->isModified())
            changed(m_field->text().toLongLong());
    });

    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton* arrow : {m_up, m_down}) {
        arrow->setFixedSize(16, 11);
        arrow->setAutoRepeat(true);
        arrow->setFocusPolicy(Qt::NoFocus);
    }
    connect(m_up, &QToolButton::clicked, this, [this] { step(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { step(-1); });
    auto* arrows = new QVBoxLayout;
    arrows->setSpacing(0);
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->addWidget(m_up);
    arrows->addWidget(m_down);

    QLabel* unitLabel = settingsLabel(unit, 11);
    makeSecondary(*unitLabel);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(m_field);
    layout->addLayout(arrows);
    layout->addWidget(unitLabel);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void NumberStepper::setValue(std::int64_t value)
{
    m_field->setText(QString::number(value));
    m_stepperValue = int(std::clamp<std::int64_t>(value, m_minimum, m_maximum));
}

QString NumberStepper::text() const { return m_field->text(); }

void NumberStepper::step(int by) { changed(std::int64_t(m_stepperValue) + by); }

void NumberStepper::changed(std::int64_t value)
{
    const int clamped = int(std::clamp<std::int64_t>(value, m_minimum, m_maximum));
    setValue(clamped);
    if (onChange)
        onChange(clamped);
}

} // namespace vorlix
