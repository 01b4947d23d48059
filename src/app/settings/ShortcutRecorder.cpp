#include "app/settings/ShortcutRecorder.h"

#include "app/support/SystemFont.h"
#include "core/formats/LinuxKeyMap.h"
#include "platform/HotkeyCenter.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QToolButton>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

// Keys that only modify others: pressed alone they make no combination, and the
// recording goes on.
bool isModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
        return true;
    default:
        return false;
    }
}

const QString recordingPrompt = u"Premi la combinazione…"_s;

QColor withAlpha(QColor color, qreal alpha)
{
    color.setAlphaF(color.alphaF() * alpha);
    return color;
}

} // namespace

QString shortcutText(const KeyCombo& combo, const HotkeyCenter& hotkeys)
{
    QString key = hotkeys.keyCharacter(combo).toUpper();
    if (key == u"?"_s || key.trimmed().isEmpty())
        key = keyName(combo.keyCode);
    const QString modifiers = combo.modifierSymbols();
    return modifiers.isEmpty() ? key : modifiers + u'+' + key;
}

ShortcutRecorder::ShortcutRecorder(HotkeyCenter& hotkeys, std::function<void()> registerAgain, QWidget* parent)
    : QWidget(parent),
      m_hotkeys(hotkeys),
      m_registerAgain(std::move(registerAgain)),
      m_label(new QLabel(this)),
      m_clearButton(new QToolButton(this))
{
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_Hover);

    m_label->setFont(systemFont(11));
    m_label->setTextFormat(Qt::PlainText);

    m_clearButton->setAutoRaise(true);
    m_clearButton->setFocusPolicy(Qt::NoFocus);
    m_clearButton->setCursor(Qt::ArrowCursor);
    m_clearButton->setIconSize({14, 14});
    const QIcon icon = QIcon::fromTheme(u"edit-clear"_s);
    if (icon.isNull())
        m_clearButton->setText(u"✕"_s);
    else
        m_clearButton->setIcon(icon);
    m_clearButton->setAccessibleName(u"Disattiva"_s);
    m_clearButton->setToolTip(u"Disattiva"_s);
    connect(m_clearButton, &QToolButton::clicked, this, &ShortcutRecorder::clear);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(9, 0, 4, 0);
    layout->setSpacing(0);
    layout->addWidget(m_label, 1, Qt::AlignVCenter);
    layout->addWidget(m_clearButton, 0, Qt::AlignVCenter);

    // The modifiers' names are longer than symbols would be: the field is made wide enough
    // for all four of them and the prompt.
    const QFontMetrics metrics(m_label->font());
    const int longestText =
        std::max(metrics.horizontalAdvance(recordingPrompt), metrics.horizontalAdvance(u"Ctrl+Alt+Super+Maiusc+W"_s));
    const int width = layout->contentsMargins().left() + longestText + m_clearButton->sizeHint().width() +
                      layout->contentsMargins().right() + 4;
    setFixedSize(std::max(minimumFieldWidth, width), fieldHeight);

    updateTitle();
}

ShortcutRecorder::~ShortcutRecorder()
{
    // Gone while listening (its window torn down): the hot keys must not stay off.
    if (m_isRecording && m_registerAgain)
        m_registerAgain();
}

void ShortcutRecorder::setCombo(const std::optional<KeyCombo>& combo)
{
    m_combo = combo;
    updateTitle();
}

void ShortcutRecorder::clear()
{
    if (m_isRecording)
        cancelRecording();
    else if (onClear)
        onClear();
}

bool ShortcutRecorder::event(QEvent* event)
{
    if (m_isRecording) {
        switch (event->type()) {
        case QEvent::ShortcutOverride:
            // Combinations of the window's menus and shortcuts reach the field instead.
            event->accept();
            return true;
        case QEvent::KeyPress:
            // Before the base class takes Tab and Maiusc+Tab for moving the focus.
            keyPressEvent(static_cast<QKeyEvent*>(event));
            return true;
        default:
            break;
        }
    }
    return QWidget::event(event);
}

void ShortcutRecorder::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    setFocus(Qt::MouseFocusReason);
    if (!m_isRecording)
        startRecording();
}

void ShortcutRecorder::keyPressEvent(QKeyEvent* event)
{
    if (!m_isRecording) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (isModifierKey(event->key()))
        return;
    const std::optional<std::uint32_t> keyCode = keyCodeFromX11(static_cast<int>(event->nativeScanCode()));
    if (keyCode == KeyCode::escape || (!keyCode && event->key() == Qt::Key_Escape)) {
        cancelRecording();
        return;
    }
    // A key the table does not know cannot be registered: keep listening.
    if (!keyCode)
        return;
    const KeyCombo recorded{*keyCode, modifiersFromQt(event->modifiers())};
    stopRecording();
    if (onRecord)
        onRecord(recorded);
}

void ShortcutRecorder::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    if (m_isRecording)
        cancelRecording();
}

void ShortcutRecorder::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (m_isRecording)
        cancelRecording();
}

void ShortcutRecorder::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setBrush(palette().color(QPalette::Base));
    if (m_isRecording)
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    else
        painter.setPen(QPen(palette().color(QPalette::Mid), 1));
    painter.drawRoundedRect(frame, 6, 6);
}

void ShortcutRecorder::startRecording()
{
    m_hotkeys.unregisterAll();
    m_isRecording = true;
    updateTitle();
    update();
}

void ShortcutRecorder::stopRecording()
{
    m_isRecording = false;
    updateTitle();
    update();
}

void ShortcutRecorder::cancelRecording()
{
    stopRecording();
    if (m_registerAgain)
        m_registerAgain();
}

void ShortcutRecorder::updateTitle()
{
    const QColor text = palette().color(QPalette::WindowText);
    QColor color;
    if (m_isRecording) {
        m_label->setText(recordingPrompt);
        color = withAlpha(text, 0.55);
    } else if (m_combo) {
        m_label->setText(shortcutText(*m_combo, m_hotkeys));
        color = text;
    } else {
        m_label->setText(u"Nessuna"_s);
        color = withAlpha(text, 0.3);
    }
    QPalette labelPalette = m_label->palette();
    labelPalette.setColor(QPalette::WindowText, color);
    m_label->setPalette(labelPalette);
    m_clearButton->setHidden(!m_isRecording && !m_combo);
    setAccessibleName(m_label->text());
}

} // namespace vorlix
