#include "app/shell/panels/CaptureSizeForm.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

constexpr int rowSpacing = 8;

QPalette secondaryText(QPalette palette)
{
    palette.setColor(QPalette::WindowText, palette.color(QPalette::PlaceholderText));
    return palette;
}

std::int64_t numberIn(const QLineEdit& field)
{
    bool ok = false;
    const int value = field.text().trimmed().toInt(&ok);
    return ok ? value : 0;
}

} // namespace

CaptureSizeForm::CaptureSizeForm(const CaptureSize& size, bool favorite, bool forCapture, QWidget* parent)
    : QWidget(parent),
      m_forCapture(forCapture),
      m_width(new QLineEdit),
      m_height(new QLineEdit),
      m_note(new QLabel),
      m_ratio(new QCheckBox(u"Solo proporzioni"_s))
{
    m_note->setWordWrap(true);
    m_note->setMaximumWidth(noteWidth);
    m_note->setTextFormat(Qt::PlainText);
    QFont small = m_note->font();
    small.setPixelSize(11);
    m_note->setFont(small);
    m_note->setPalette(secondaryText(m_note->palette()));

    const auto clamp = [](std::int64_t value) {
        return QString::number(std::clamp<std::int64_t>(value, 0, maximumValue));
    };
    m_width->setText(clamp(size.width));
    m_height->setText(clamp(size.height));
    m_ratio->setChecked(size.ratioOnly);
    connect(m_ratio, &QCheckBox::toggled, this, &CaptureSizeForm::ratioChanged);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(rowSpacing);
    layout->addWidget(row(u"Larghezza"_s, m_width));
    layout->addWidget(row(u"Altezza"_s, m_height));
    layout->addWidget(row(QString(), m_ratio));
    if (m_forCapture) {
        m_favorite = new QCheckBox(u"Aggiungi alle misure preferite"_s);
        m_favorite->setChecked(favorite);
        layout->addWidget(row(QString(), m_favorite));
    }
    layout->addWidget(row(QString(), m_note));
    setFixedWidth(formWidth);
    ratioChanged();
}

QWidget* CaptureSizeForm::row(const QString& label, QWidget* view)
{
    auto* container = new QWidget;
    auto* layout = new QHBoxLayout(container);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(rowSpacing);
    auto* title = new QLabel(label);
    title->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    title->setFixedWidth(labelWidth);
    layout->addWidget(title);
    layout->addWidget(view);
    if (auto* field = qobject_cast<QLineEdit*>(view)) {
        field->setAlignment(Qt::AlignRight);
        field->setValidator(new QIntValidator(0, maximumValue, field));
        field->setFixedWidth(fieldWidth);
        auto* unit = new QLabel(u"px"_s);
        unit->setPalette(secondaryText(unit->palette()));
        layout->addWidget(unit);
        m_units << unit;
    }
    layout->addStretch(1);
    return container;
}

void CaptureSizeForm::ratioChanged()
{
    for (QLabel* unit : std::as_const(m_units))
        unit->setHidden(m_ratio->isChecked());
}

CaptureSize CaptureSizeForm::enteredSize() const
{
    return {.width = numberIn(*m_width), .height = numberIn(*m_height), .ratioOnly = m_ratio->isChecked()};
}

bool CaptureSizeForm::favoriteRequested() const { return m_favorite && m_favorite->isChecked(); }

void CaptureSizeForm::showProblem(const std::optional<QString>& problem)
{
    QPalette palette = secondaryText(this->palette());
    if (problem)
        palette.setColor(QPalette::WindowText, QColor(Qt::red));
    m_note->setPalette(palette);
    m_note->setText(problem.value_or(u"Pixel dell'immagine finale."_s));
}

} // namespace vorlix
