#include "app/settings/SettingsSection.h"

#include "app/settings/SettingsRow.h"
#include "app/support/SystemFont.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace vorlix {

namespace {

constexpr int separatorInset = 14;
const char* const separatorProperty = "vorlixSeparator";

QColor withAlpha(QColor color, double alpha)
{
    color.setAlphaF(float(alpha));
    return color;
}

bool isDark(const QPalette& palette) { return palette.color(QPalette::Window).lightness() < 128; }

// A rule inset on the left only.
QWidget* separator(SettingsSection::Separator kind)
{
    auto* holder = new QWidget;
    holder->setProperty(separatorProperty, int(kind));
    auto* layout = new QHBoxLayout(holder);
    layout->setContentsMargins(separatorInset, 0, 0, 0);
    layout->setSpacing(0);
    switch (kind) {
    case SettingsSection::Separator::dashed:
        layout->addWidget(new DashedLine);
        break;
    case SettingsSection::Separator::solid: {
        auto* line = new QFrame;
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Plain);
        line->setFixedHeight(1);
        QPalette palette = line->palette();
        palette.setColor(QPalette::WindowText, withAlpha(palette.color(QPalette::WindowText), 0.12));
        line->setPalette(palette);
        layout->addWidget(line);
        break;
    }
    }
    holder->setFixedHeight(1);
    return holder;
}

} // namespace

SettingsCard::Look SettingsCard::look() const
{
    const QColor separatorColor = palette().color(QPalette::Mid);
    if (isDark(palette()))
        return {withAlpha(Qt::white, 0.05), withAlpha(separatorColor, 0.6)};
    return {withAlpha(Qt::white, 0.75), withAlpha(separatorColor, 0.35)};
}

void SettingsCard::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
    const Look colors = look();
    painter.fillPath(path, colors.fill);
    painter.setPen(QPen(colors.stroke, 1));
    painter.drawPath(path);
}

DashedLine::DashedLine(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(1);
}

void DashedLine::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRectF bounds = contentsRect();
    QPen pen(withAlpha(secondaryLabelColor(*this), 0.6), 1);
    pen.setDashPattern({5, 4});
    pen.setDashOffset(0);
    painter.setPen(pen);
    const double y = bounds.center().y();
    painter.drawLine(QPointF(bounds.left(), y), QPointF(bounds.right() + 1, y));
}

SettingsSection::SettingsSection(const QString& title, const std::vector<QWidget*>& rows,
                                 const std::set<int>& dashedAbove, const std::optional<QString>& footer,
                                 QWidget* parent)
    : QWidget(parent), m_card(new SettingsCard)
{
    auto* inner = new QVBoxLayout(m_card);
    inner->setContentsMargins(0, 0, 0, 0);
    inner->setSpacing(0);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0)
            inner->addWidget(separator(dashedAbove.contains(int(i)) ? Separator::dashed : Separator::solid));
        inner->addWidget(rows[i]);
    }

    QLabel* heading = settingsLabel(title, 13);
    heading->setFont(systemFont(13, QFont::DemiBold));
    heading->setContentsMargins(4, 0, 0, 0);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(heading);
    layout->addSpacing(8);
    layout->addWidget(m_card);
    if (footer) {
        QLabel* note = settingsLabel(*footer, 11, true);
        note->setMaximumWidth(500);
        QPalette palette = note->palette();
        palette.setColor(QPalette::WindowText, secondaryLabelColor(*note));
        note->setPalette(palette);
        layout->addSpacing(6);
        layout->addWidget(note);
    }
}

std::vector<QWidget*> SettingsSection::cardItems() const
{
    std::vector<QWidget*> items;
    const QLayout* inner = m_card->layout();
    for (int i = 0; i < inner->count(); ++i)
        if (QWidget* widget = inner->itemAt(i)->widget())
            items.push_back(widget);
    return items;
}

std::optional<SettingsSection::Separator> SettingsSection::separatorKind(const QWidget* item)
{
    const QVariant kind = item->property(separatorProperty);
    if (!kind.isValid())
        return std::nullopt;
    return Separator(kind.toInt());
}

} // namespace vorlix
