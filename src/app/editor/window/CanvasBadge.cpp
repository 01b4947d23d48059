#include "app/editor/window/CanvasBadge.h"
#include "app/support/SystemFont.h"

#include <QApplication>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>

#include <cmath>

namespace vorlix {

CanvasBadge::CanvasBadge(const QFont& font, const QColor& textColor, const QColor& background, QMargins insets,
                         QWidget* parent)
    : QWidget(parent),
      m_label(new QLabel(this)),
      m_background(background),
      m_opacity(new QGraphicsOpacityEffect(this)),
      m_fade(new QPropertyAnimation(m_opacity, "opacity", this))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_label->setFont(font);
    QPalette palette = m_label->palette();
    palette.setColor(QPalette::WindowText, textColor);
    m_label->setPalette(palette);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(insets);
    layout->addWidget(m_label);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_opacity->setOpacity(1);
    setGraphicsEffect(m_opacity);
    m_fade->setDuration(200);
}

QString CanvasBadge::text() const { return m_label->text(); }

void CanvasBadge::setText(const QString& text) { m_label->setText(text); }

void CanvasBadge::setHovered(bool hovered)
{
    if (m_hovered == hovered)
        return;
    m_hovered = hovered;
    m_fade->stop();
    m_fade->setStartValue(m_opacity->opacity());
    m_fade->setEndValue(targetOpacity());
    m_fade->start();
}

double CanvasBadge::targetOpacity() const { return m_hovered ? hoveredOpacity : 1.0; }

void CanvasBadge::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()), 6, 6);
    painter.fillPath(path, m_background);
}

SizeBadge::SizeBadge(QWidget* parent)
    : CanvasBadge(systemFont(11, QFont::Medium), Qt::white, QColor(0, 0, 0, 128), QMargins(8, 3, 8, 3), parent)
{
    setAccessibleName(QStringLiteral("Dimensioni dell'immagine esportata, in pixel"));
}

QString SizeBadge::text(QSizeF pixels)
{
    return QString::number(std::llround(pixels.width())) + QStringLiteral(" × ") +
           QString::number(std::llround(pixels.height())) + QStringLiteral(" px");
}

void SizeBadge::showSize(QSizeF pixels) { setText(text(pixels)); }

UnsavedBadge::UnsavedBadge(QWidget* parent)
    : CanvasBadge(systemFont(13, QFont::Bold), Qt::black, QColor::fromRgbF(1, 0.23, 0.19, 0.9), QMargins(10, 4, 10, 4),
                  parent)
{
    setAccessibleName(QStringLiteral("Progetto non salvato"));
    setText(QStringLiteral("NON SALVATO"));
    setHidden(true);
}

void UnsavedBadge::showEdited(bool edited) { setHidden(!edited); }

} // namespace vorlix
