#pragma once
// The editing widget of an in-place text session: a plain-text edit laid over the canvas
// where the text shows. It takes the keys, holds the caret and the selection, and keeps
// the typing's own undo history, apart from the document's.
//
// It paints no glyphs of its own: the canvas draws the text being typed through the
// renderer, under this widget, so that what is typed shows in exactly the size, lines and
// look it will have once committed. The widget's font is the style's at the view's
// magnification, so that its caret and selection fall on that text.
//
// Viewport pixels; the canvas places it (its geometry is the text box magnified).

#include "core/model/Style.h"

#include <QColor>
#include <QPlainTextEdit>

#include <optional>

namespace vorlix {

class TextSessionEditor : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit TextSessionEditor(QWidget* parent = nullptr);

    // Font, inner margin, alignment, wrapping and caret colour of `style` at
    // `magnification`; `wraps` for a box of fixed width (its lines break at the widget's
    // width less the margins).
    void applyStyle(const Style& style, double magnification, bool wraps);

    // The plain text, every line break a "\n".
    QString text() const { return toPlainText(); }

signals:
    // Return or Escape: the session is to end, keeping the text.
    void commitRequested();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_caretColor;
};

} // namespace vorlix
