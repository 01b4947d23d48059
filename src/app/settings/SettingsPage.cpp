#include "app/settings/SettingsPage.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace vorlix {

SettingsPage::SettingsPage(const std::vector<QWidget*>& sections, QWidget* trailing, QWidget* parent)
    : QWidget(parent), m_scroll(new QScrollArea(this)), m_content(new Content)
{
    auto* stack = new QVBoxLayout(m_content);
    stack->setContentsMargins(24, 20, 24, 22);
    stack->setSpacing(22);
    for (QWidget* section : sections)
        stack->addWidget(section);
    if (trailing) {
        auto* holder = new QWidget;
        auto* line = new QHBoxLayout(holder);
        line->setContentsMargins(0, 0, 0, 0);
        line->addStretch(1);
        line->addWidget(trailing);
        if (!sections.empty())
            stack->addSpacing(12 - stack->spacing());
        stack->addWidget(holder);
    }
    stack->addStretch(1);
    m_content->setFixedWidth(pageWidth);

    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scroll->setWidgetResizable(false);
    m_scroll->setWidget(m_content);
    m_scroll->viewport()->setAutoFillBackground(false);
    m_content->setAutoFillBackground(false);

    auto* fill = new QVBoxLayout(this);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(m_scroll);
    setFixedWidth(pageWidth);
    m_content->installEventFilter(this);
    fitContent();
}

int SettingsPage::contentHeight() const
{
    QLayout* stack = m_content->layout();
    return stack->hasHeightForWidth() ? stack->totalHeightForWidth(pageWidth) : stack->totalSizeHint().height();
}

QSize SettingsPage::sizeHint() const { return {pageWidth, contentHeight()}; }

void SettingsPage::fitContent()
{
    m_content->resize(pageWidth, std::max(contentHeight(), m_scroll->viewport()->height()));
}

void SettingsPage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitContent();
}

// Content that grows or shrinks (a line of tags more or less) keeps its full height.
bool SettingsPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_content && event->type() == QEvent::LayoutRequest)
        QMetaObject::invokeMethod(this, &SettingsPage::fitContent, Qt::QueuedConnection);
    return QWidget::eventFilter(watched, event);
}

QSize SettingsPage::minimumSizeHint() const { return {pageWidth, 0}; }

} // namespace vorlix
