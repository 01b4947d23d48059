#pragma once
// A file-name template field with a live example under it ("Esempio: Scatto 2026-…").
// Every edit is stored at once: the text without surrounding spaces and tabs, or the
// fallback template when nothing else is left. The field keeps what the user typed.

#include "core/formats/FilenameTemplate.h"

#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;

namespace vorlix {

class TemplateEditor : public QWidget {
    Q_OBJECT

public:
    static constexpr int fieldWidth = 220;
    // The application the example's name comes from.
    static const QString exampleAppName;

    TemplateEditor(FilenameTemplate fallback, std::function<FilenameTemplate()> get,
                   std::function<void(const FilenameTemplate&)> set, QWidget* parent = nullptr);

    // Shows the stored template and its example.
    void reload();
    // The template that the field's text stands for.
    FilenameTemplate shownTemplate() const;
    void updateExample();

    QLineEdit* field() const { return m_field; }
    // The example's full text (the label may shorten it in the middle).
    const QString& exampleText() const { return m_exampleText; }

private:
    void textEdited();

    QLineEdit* m_field;
    QLabel* m_example;
    QString m_exampleText;
    FilenameTemplate m_fallback;
    std::function<FilenameTemplate()> m_get;
    std::function<void(const FilenameTemplate&)> m_set;
};

} // namespace vorlix
