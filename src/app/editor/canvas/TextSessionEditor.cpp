#include "app/editor/canvas/TextSessionEditor.h"

#include "core/shapes/QtConversions.h"
#include "core/shapes/TextLayout.h"

#include <QKeyEvent>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>

namespace vorlix {

TextSessionEditor::TextSessionEditor(QWidget* parent) : QPlainTextEdit(parent)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    setBackgroundVisible(false);
    setUndoRedoEnabled(true);
    // The canvas draws the glyphs; the widget shows only the caret and the selection.
    QPalette colors = palette();
    colors.setColor(QPalette::Base, Qt::transparent);
    colors.setColor(QPalette::Text, Qt::transparent);
    colors.setColor(QPalette::HighlightedText, Qt::transparent);
    QColor highlight = colors.color(QPalette::Highlight);
    highlight.setAlphaF(0.35f);
    colors.setColor(QPalette::Highlight, highlight);
    setPalette(colors);
    viewport()->setPalette(colors);
    // Its own caret is painted over the canvas's text, in the text's colour.
    setCursorWidth(0);
}

void TextSessionEditor::applyStyle(const Style& style, double magnification, bool wraps)
{
    QFont font = TextLayout::font(style);
    const double pixels = font.pointSizeF() * magnification;
    // A point size is converted with the device's dots per inch; pixels are wanted.
    font.setPointSizeF(pixels * 72.0 / std::max(logicalDpiY(), 1));
    if (font != this->font())
        setFont(font);

    QTextDocument* doc = document();
    const double margin = TextLayout::padding(style) * magnification;
    if (doc->documentMargin() != margin)
        doc->setDocumentMargin(margin);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // A box that grows with its text never breaks a line: its lines are laid out on the
    // widget's width (for the alignment) and may pass it.
    QTextOption option(TextLayout::alignment(style.textAlignment));
    option.setWrapMode(wraps ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    if (doc->defaultTextOption().alignment() != option.alignment() ||
        doc->defaultTextOption().wrapMode() != option.wrapMode()) {
        doc->setDefaultTextOption(option);
        // Blocks already laid out keep their old option until they are laid out again.
        doc->markContentsDirty(0, doc->characterCount());
    }
    m_caretColor = toQColor(style.strokeColor);
    if (!m_caretColor.isValid())
        m_caretColor = palette().color(QPalette::WindowText);
    m_caretColor.setAlpha(255);
    viewport()->update();
}

bool TextSessionEditor::event(QEvent* event)
{
    // Return and Escape end the session even where the window binds them to a command.
    if (event->type() == QEvent::ShortcutOverride) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
            event->accept();
            return true;
        }
    }
    return QPlainTextEdit::event(event);
}

void TextSessionEditor::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (event->modifiers() & (Qt::ShiftModifier | Qt::AltModifier))
            insertPlainText(QStringLiteral("\n"));
        else
            emit commitRequested();
        event->accept();
        return;
    case Qt::Key_Escape:
        emit commitRequested();
        event->accept();
        return;
    default:
        QPlainTextEdit::keyPressEvent(event);
    }
}

void TextSessionEditor::paintEvent(QPaintEvent* event)
{
    QPlainTextEdit::paintEvent(event);
    if (!hasFocus() || textCursor().hasSelection())
        return;
    const QRect caret = cursorRect();
    QPainter painter(viewport());
    painter.fillRect(QRect(caret.left(), caret.top(), 1, caret.height()), m_caretColor);
}

} // namespace vorlix
