#include "app/capture/ScrollCaptureControl.h"

#include "app/support/AccentColor.h"
#include "core/formats/KeyCombo.h"
#include "platform/HotkeyCenter.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

constexpr Qt::WindowFlags floatingFlags = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                                          Qt::WindowDoesNotAcceptFocus | Qt::X11BypassWindowManagerHint;
constexpr int panelCornerRadius = 10;

// The dashed frame. The window is a ring (its mask), so that the frame shows the same
// with or without a compositing manager, and it takes no input at all.
class BorderView final : public QWidget {
public:
    BorderView() : QWidget(nullptr, floatingFlags | Qt::WindowTransparentForInput)
    {
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void resizeEvent(QResizeEvent*) override
    {
        const int w = ScrollCaptureControl::borderWidth;
        setMask(QRegion(rect()).subtracted(QRegion(rect().adjusted(w, w, -w, -w))));
    }

    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white); // under the gaps between dashes
        const double half = ScrollCaptureControl::borderWidth / 2.0;
        QPen pen(vorlixAccent(), ScrollCaptureControl::borderWidth);
        pen.setDashPattern({3, 2}); // 6 and 4 points at a width of 2
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        painter.drawRect(QRectF(rect()).adjusted(half, half, -half, -half));
    }
};

// The panel's dark rounded plate.
class PanelView final : public QWidget {
public:
    PanelView() : QWidget(nullptr, floatingFlags)
    {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setFixedSize(ScrollCaptureControl::panelSize);
        QPainterPath outline;
        outline.addRoundedRect(QRectF(rect()), panelCornerRadius, panelCornerRadius);
        setMask(QRegion(outline.toFillPolygon().toPolygon()));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(40, 40, 40));
        painter.drawRoundedRect(QRectF(rect()), panelCornerRadius, panelCornerRadius);
    }
};

QPushButton* panelButton(const QString& title)
{
    auto* button = new QPushButton(title);
    // A click must not take the keyboard from the scrolled program.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QRect availableArea(const ScreenInfo& screen)
{
    for (const QScreen* shown : QGuiApplication::screens())
        if (shown->geometry() == screen.geometry)
            return shown->availableGeometry();
    return screen.geometry;
}

} // namespace

ScrollCaptureControl::ScrollCaptureControl(const Rect& area, const ScreenInfo& screen)
    : m_frameWindow(std::make_unique<BorderView>()), m_panel(std::make_unique<PanelView>())
{
    const QRect global = globalArea(area, screen);
    m_frameWindow->setGeometry(global.adjusted(-borderWidth, -borderWidth, borderWidth, borderWidth));

    m_label = new QLabel(u"Scorri la pagina, in basso o in alto…"_s);
    m_label->setTextFormat(Qt::PlainText);
    QFont font = m_label->font();
    font.setPixelSize(12);
    m_label->setFont(font);
    QPalette light = m_label->palette();
    light.setColor(QPalette::WindowText, Qt::white);
    m_label->setPalette(light);

    QPushButton* cancelButton = panelButton(u"Annulla"_s);
    QPushButton* finishButton = panelButton(u"Fatto"_s);
    connect(cancelButton, &QPushButton::clicked, this, &ScrollCaptureControl::cancel);
    connect(finishButton, &QPushButton::clicked, this, &ScrollCaptureControl::finish);

    auto* row = new QHBoxLayout(m_panel.get());
    row->setContentsMargins(12, 8, 8, 8);
    row->addWidget(m_label);
    row->addStretch(1);
    row->addWidget(cancelButton);
    row->addWidget(finishButton);

    const QPoint corner = scrollPanelPosition(global, panelSize, panelGap, availableArea(screen));
    m_panel->move(corner);
    m_panelCoversArea = QRect(corner, panelSize).intersects(m_frameWindow->geometry());
}

ScrollCaptureControl::~ScrollCaptureControl() { hide(); }

void ScrollCaptureControl::show()
{
    m_frameWindow->show();
    m_panel->show();
    raise();
    if (!m_escape) {
        const HotkeyCenter::Registration escape =
            HotkeyCenter::shared().registerCombo(KeyCombo{KeyCode::escape, {}}, [this] { cancel(); });
        if (escape)
            m_escape = escape.id;
    }
}

void ScrollCaptureControl::hide()
{
    if (m_escape) {
        HotkeyCenter::shared().unregister(*m_escape);
        m_escape.reset();
    }
    m_panel->hide();
    m_frameWindow->hide();
}

void ScrollCaptureControl::raise()
{
    m_frameWindow->raise();
    m_panel->raise();
}

void ScrollCaptureControl::update(int rows, double pixelsPerPoint)
{
    m_label->setText(scrollCountText(rows, pixelsPerPoint));
}

QString ScrollCaptureControl::countText() const { return m_label->text(); }

void ScrollCaptureControl::finish() { setFinished(false); }

void ScrollCaptureControl::cancel() { setFinished(true); }

void ScrollCaptureControl::setFinished(bool cancelled)
{
    const bool first = !m_isFinished;
    m_isFinished = true;
    m_isCancelled = m_isCancelled || cancelled;
    if (first)
        emit finished();
}

QPoint scrollPanelPosition(const QRect& area, QSize panel, int gap, const QRect& available)
{
    const int availableRight = available.x() + available.width();
    const int availableBottom = available.y() + available.height();
    const auto within = [&](int x, int y) {
        return QPoint(std::clamp(x, available.x(), std::max(available.x(), availableRight - panel.width())),
                      std::clamp(y, available.y(), std::max(available.y(), availableBottom - panel.height())));
    };
    // QRect's right() and bottom() are one short of the edge.
    const int areaRight = area.x() + area.width();
    const int areaBottom = area.y() + area.height();
    const int centred = area.x() + (area.width() - panel.width()) / 2;
    const int below = areaBottom + gap;
    if (below + panel.height() <= availableBottom)
        return within(centred, below);
    const int above = area.y() - gap - panel.height();
    if (above >= available.y())
        return within(centred, above);
    // An area of (almost) the screen's whole height: beside it, level with its bottom edge.
    const int level = areaBottom - panel.height();
    if (areaRight + gap + panel.width() <= availableRight)
        return within(areaRight + gap, level);
    if (area.x() - gap - panel.width() >= available.x())
        return within(area.x() - gap - panel.width(), level);
    return within(centred, above);
}

QString scrollCountText(int rows, double pixelsPerPoint)
{
    double points = pixelsPerPoint > 0 ? std::floor(rows / pixelsPerPoint) : 0;
    if (!std::isfinite(points))
        points = 0;
    points = std::clamp(points, 0.0, double(std::numeric_limits<int>::max()));
    return u"Raccolti "_s + QString::number(static_cast<int>(points)) + u" punti in altezza · scorri, poi Fatto"_s;
}

QRect globalArea(const Rect& area, const ScreenInfo& screen)
{
    const int left = static_cast<int>(std::floor(area.minX()));
    const int top = static_cast<int>(std::floor(area.minY()));
    const int right = static_cast<int>(std::ceil(area.maxX()));
    const int bottom = static_cast<int>(std::ceil(area.maxY()));
    return QRect(screen.geometry.x() + left, screen.geometry.y() + top, right - left, bottom - top);
}

} // namespace vorlix
