#include "app/settings/TemplateEditor.h"

#include "app/settings/SettingsRow.h"

#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace vorlix {

const QString TemplateEditor::exampleAppName = u"Firefox"_s;

namespace {

// Spaces and tabs at either end go; line breaks stay.
QString trimmedOfSpacesAndTabs(const QString& text)
{
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && blank(text[begin]))
        ++begin;
    while (end > begin && blank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

TemplateEditor::TemplateEditor(FilenameTemplate fallback, std::function<FilenameTemplate()> get,
                               std::function<void(const FilenameTemplate&)> set, QWidget* parent)
    : QWidget(parent),
      m_field(new QLineEdit),
      m_example(settingsLabel({}, 11)),
      m_fallback(std::move(fallback)),
      m_get(std::move(get)),
      m_set(std::move(set))
{
    QPalette grey = m_example->palette();
    grey.setColor(QPalette::WindowText, secondaryLabelColor(*m_example));
    m_example->setPalette(grey);
    m_example->setMaximumWidth(fieldWidth);
    m_field->setPlaceholderText(m_fallback.pattern);
    m_field->setFixedWidth(fieldWidth);
    connect(m_field, &QLineEdit::textEdited, this, &TemplateEditor::textEdited);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    layout->addWidget(m_field, 0, Qt::AlignRight);
    layout->addWidget(m_example, 0, Qt::AlignRight);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

void TemplateEditor::reload()
{
    m_field->setText(m_get().pattern);
    updateExample();
}

FilenameTemplate TemplateEditor::shownTemplate() const
{
    const QString text = trimmedOfSpacesAndTabs(m_field->text());
    return text.isEmpty() ? m_fallback : FilenameTemplate{text};
}

void TemplateEditor::textEdited()
{
    m_set(shownTemplate());
    updateExample();
}

void TemplateEditor::updateExample()
{
    m_exampleText = u"Esempio: "_s + shownTemplate().render(QDateTime::currentDateTime(), exampleAppName);
    m_example->setText(m_example->fontMetrics().elidedText(m_exampleText, Qt::ElideMiddle, fieldWidth));
    m_example->setToolTip(m_exampleText);
}

} // namespace vorlix
