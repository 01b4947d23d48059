#include "app/support/TextResultView.h"
#include "app/support/SystemFont.h"

#include "app/support/CopyNotice.h"

#include <QApplication>
#include <QBoxLayout>
#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

constexpr int margin = 12;
constexpr int textBoxHeight = 140;
constexpr int emptyTextBoxHeight = 40;

} // namespace

TextResultView::TextResultView(const TextRecognition::Result& result, QWidget* parent)
    : QWidget(parent), m_text(result.combined())
{
    const bool empty = result.isEmpty();

    m_header = new QLabel(empty ? u"Nessun testo trovato"_s : u"Testo copiato negli appunti"_s);
    m_header->setTextFormat(Qt::PlainText);
    m_header->setFont(systemFont(12, QFont::DemiBold));

    m_textBox = new QPlainTextEdit;
    m_textBox->setReadOnly(true);
    m_textBox->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_textBox->setFont(systemFont(12));
    m_textBox->document()->setDocumentMargin(6);
    m_textBox->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_textBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_textBox->setFrameShape(QFrame::StyledPanel);
    m_textBox->viewport()->setAutoFillBackground(false);
    m_textBox->setPlainText(empty ? u"Prova con un'area più grande o un testo più nitido."_s : m_text);
    m_textBox->setFixedSize(fixedWidth - 2 * margin, empty ? emptyTextBoxHeight : textBoxHeight);

    m_copyButton = new QPushButton(u"Copia di nuovo"_s);
    m_copyButton->setEnabled(!empty);
    m_copyButton->setAutoDefault(false);
    connect(m_copyButton, &QPushButton::clicked, this, &TextResultView::copyAgain);
    m_closeButton = new QPushButton(u"Chiudi"_s);
    m_closeButton->setAutoDefault(false);
    connect(m_closeButton, &QPushButton::clicked, this, &TextResultView::closePressed);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &TextResultView::closePressed);
    escape->setContext(Qt::WidgetWithChildrenShortcut);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(6);
    buttons->addStretch(1);
    buttons->addWidget(m_copyButton);
    buttons->addWidget(m_closeButton);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(margin, margin, margin, margin);
    column->setSpacing(8);
    column->addWidget(m_header, 0, Qt::AlignLeft);
    column->addWidget(m_textBox, 0, Qt::AlignLeft);
    column->addLayout(buttons);
    // The text box's fixed width plus the margins makes the view's width; the buttons'
    // stretch fills the row.
    column->setSizeConstraint(QLayout::SetFixedSize);
}

void TextResultView::copyAgain()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(m_text);
    CopyNotice::show(u"Testo copiato"_s, window());
}

void TextResultView::closePressed()
{
    if (m_onClose)
        m_onClose();
}

} // namespace vorlix
