#pragma once
// What text recognition found, for the user to check, select, copy again or close: a
// header, the text in a read-only box and the buttons "Copia di nuovo" and "Chiudi"
// (also Escape). The recognised text has already been copied by the command that shows
// this; the text comes from the picture and is shown as plain text, never as markup.
//
// The view is 380 pixels wide and as high as its content; both stay fixed after creation.

#include "core/analysis/TextRecognition.h"

#include <QString>
#include <QWidget>

#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vorlix {

class TextResultView : public QWidget {
    Q_OBJECT

public:
    static constexpr int fixedWidth = 380;

    explicit TextResultView(const TextRecognition::Result& result, QWidget* parent = nullptr);

    // Called by "Chiudi" and Escape; whoever shows the view decides what closing means.
    void setOnClose(std::function<void()> onClose) { m_onClose = std::move(onClose); }
    // The combined text of the result, empty when nothing was found.
    const QString& text() const { return m_text; }

    // Puts the text on the clipboard again, as plain text alone, and says so.
    void copyAgain();
    void closePressed();

    QLabel* header() const { return m_header; }
    QPlainTextEdit* textBox() const { return m_textBox; }
    QPushButton* copyButton() const { return m_copyButton; }
    QPushButton* closeButton() const { return m_closeButton; }

private:
    std::function<void()> m_onClose;
    QString m_text;
    QLabel* m_header = nullptr;
    QPlainTextEdit* m_textBox = nullptr;
    QPushButton* m_copyButton = nullptr;
    QPushButton* m_closeButton = nullptr;
};

} // namespace vorlix
