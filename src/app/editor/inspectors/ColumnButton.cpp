#include "app/editor/inspectors/ColumnButton.h"

#include "app/support/Icon.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <array>
#include <string_view>

namespace vorlix {
namespace {

constexpr int iconSide = 17;

// Pictures the interface draws itself, on a 24-unit grid, for symbols the desktop theme
// may lack and no interface icon shows.
QPainterPath drawnSymbol(std::string_view symbol)
{
    QPainterPath path;
    if (symbol == "checkmark.circle" || symbol == "xmark.circle")
        path.addEllipse(QPointF(12, 12), 9, 9);
    if (symbol == "checkmark.circle") {
        path.moveTo(8, 12.5);
        path.lineTo(11, 15.5);
        path.lineTo(16.5, 9);
    } else if (symbol == "xmark.circle") {
        path.moveTo(9, 9);
        path.lineTo(15, 15);
        path.moveTo(15, 9);
        path.lineTo(9, 15);
    } else if (symbol == "slider.horizontal.3") {
        for (const auto& [y, knob] : {std::pair{6.0, 15.0}, std::pair{12.0, 8.0}, std::pair{18.0, 13.0}}) {
            path.moveTo(3, y);
            path.lineTo(21, y);
            path.addEllipse(QPointF(knob, y), 2, 2);
        }
    } else if (symbol == "square.and.arrow.down") {
        path.moveTo(8, 9);
        path.lineTo(5, 9);
        path.lineTo(5, 21);
        path.lineTo(19, 21);
        path.lineTo(19, 9);
        path.lineTo(16, 9);
        path.moveTo(12, 3);
        path.lineTo(12, 15);
        path.moveTo(8.5, 11.5);
        path.lineTo(12, 15);
        path.lineTo(15.5, 11.5);
    }
    return path;
}

QIcon drawnIcon(const QPainterPath& path)
{
    QPixmap pixmap(QSize(iconSide, iconSide) * 2);
    pixmap.setDevicePixelRatio(2);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(iconSide / 24.0, iconSide / 24.0);
    painter.setPen(QPen(Qt::black, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(path);
    return QIcon(pixmap);
}

struct SymbolRow {
    std::string_view symbol;
    const char* themeName;
    const Icon& (*drawn)();
};

const std::array<SymbolRow, 8> symbolRows{{
    {"slider.horizontal.3", "configure", nullptr},
    {"checkmark.circle", "dialog-ok-apply", nullptr},
    {"xmark.circle", "dialog-cancel", nullptr},
    {"pin", "window-pin", &Icon::pin},
    {"plus.rectangle.on.rectangle", "insert-image", &Icon::addImage},
    {"doc.on.doc", "edit-copy", &Icon::copy},
    {"hand.draw", "transform-browse", &Icon::drag},
    {"square.and.arrow.down", "document-save", nullptr},
}};

} // namespace

QIcon ColumnButton::symbolIcon(const char* symbol)
{
    for (const SymbolRow& row : symbolRows) {
        if (row.symbol != symbol)
            continue;
        const QIcon themed = QIcon::fromTheme(QString::fromLatin1(row.themeName));
        if (!themed.isNull())
            return themed;
        if (row.drawn)
            return row.drawn().templateImage(QSize(iconSide, iconSide));
        return drawnIcon(drawnSymbol(row.symbol));
    }
    return {};
}

ColumnButton::ColumnButton(const char* symbol, const QString& title, const QString& toolTip, QWidget* parent)
    : QWidget(parent), m_icon(symbolIcon(symbol)), m_title(title)
{
    setFixedSize(buttonSize);
    setToolTip(toolTip);
    setAccessibleName(title);
    setAttribute(Qt::WA_Hover);
}

void ColumnButton::enterEvent(QEnterEvent*)
{
    m_isHovered = true;
    update();
}

void ColumnButton::leaveEvent(QEvent*)
{
    m_isHovered = false;
    update();
}

void ColumnButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_isPressed = true;
    update();
    m_gesture.press(event->position().toPoint());
}

void ColumnButton::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton) || !dragData || !m_gesture.down)
        return;
    m_isPressed = false;
    update();
    const std::optional<std::pair<QByteArray, QString>> data = dragData();
    if (!data)
        return;
    const std::optional<QPoint> start = m_gesture.takeDragStart();
    ImageDrag::begin(this, *start, data->first, data->second);
}

void ColumnButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_isPressed = false;
    update();
    m_gesture.release();
    if (rect().contains(event->position().toPoint()) && onPress)
        onPress();
}

void ColumnButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool enabled = isEnabled();
    if (enabled && (m_isPressed || m_isHovered)) {
        QPainterPath background;
        background.addRoundedRect(QRectF(rect()), 7, 7);
        painter.fillPath(background, QColor::fromRgbF(0.5f, 0.5f, 0.5f, m_isPressed ? 0.18f : 0.1f));
    }

    QColor tint = palette().color(QPalette::WindowText);
    tint.setAlphaF(enabled ? 1.0f : 0.3f);
    if (!m_icon.isNull()) {
        const qreal ratio = devicePixelRatioF();
        QPixmap picture = m_icon.pixmap(QSize(iconSide, iconSide), ratio);
        {
            QPainter tinting(&picture);
            tinting.setCompositionMode(QPainter::CompositionMode_SourceAtop);
            tinting.fillRect(QRectF(QPointF(0, 0), QSizeF(picture.size()) / ratio), tint);
        }
        const QSizeF side = QSizeF(picture.size()) / picture.devicePixelRatio();
        painter.drawPixmap(QPointF((width() - side.width()) / 2, (20 - side.height()) / 2 + 4), picture);
    }

    QFont font = this->font();
    font.setPointSizeF(9.5);
    painter.setFont(font);
    QColor text = palette().color(QPalette::WindowText);
    text.setAlphaF(enabled ? 0.85f : 0.3f);
    painter.setPen(text);
    painter.drawText(QRectF(0, 27, width(), height() - 27), Qt::AlignHCenter | Qt::AlignTop, m_title);
}

} // namespace vorlix
