#include "app/editor/inspectors/SegmentedControl.h"

#include "app/support/SystemFont.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QToolButton>

namespace vorlix {

SegmentedControl::SegmentedControl(QWidget* parent) : QWidget(parent), m_group(new QButtonGroup(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_group->setExclusive(true);
    connect(m_group, &QButtonGroup::idClicked, this, &SegmentedControl::activated);
}

int SegmentedControl::addSegment(const QString& text, const QIcon& icon, const QString& toolTip)
{
    auto* button = new QToolButton(this);
    button->setCheckable(true);
    button->setAutoRaise(false);
    button->setFont(systemFont(11));
    button->setText(text);
    if (!icon.isNull()) {
        button->setIcon(icon);
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        if (m_iconSize.isValid())
            button->setIconSize(m_iconSize);
    }
    button->setToolTip(toolTip);
    if (m_segmentWidth > 0)
        button->setFixedWidth(m_segmentWidth);
    const int index = count();
    m_group->addButton(button, index);
    m_segments.push_back(button);
    layout()->addWidget(button);
    return index;
}

int SegmentedControl::selectedSegment() const { return m_group->checkedId(); }

void SegmentedControl::setSelectedSegment(int index)
{
    if (index >= 0 && index < count()) {
        m_segments[std::size_t(index)]->setChecked(true);
        return;
    }
    // An exclusive group keeps one checked; let go of it to show none.
    m_group->setExclusive(false);
    for (QToolButton* button : m_segments)
        button->setChecked(false);
    m_group->setExclusive(true);
}

void SegmentedControl::setSegmentWidth(int width)
{
    m_segmentWidth = width;
    for (QToolButton* button : m_segments)
        button->setFixedWidth(width);
}

void SegmentedControl::setIconSize(QSize size)
{
    m_iconSize = size;
    for (QToolButton* button : m_segments)
        button->setIconSize(size);
}

} // namespace vorlix
