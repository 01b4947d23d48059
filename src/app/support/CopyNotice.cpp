#include "app/support/CopyNotice.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPointer>
#include <QPropertyAnimation>
#include <QScreen>
#include <QTimer>

#include <cmath>

namespace vorlix::CopyNotice {

namespace {

constexpr QColor pillColor{0, 0, 0, 204}; // black at 0.8
constexpr int checkSize = 16;

// A white disc with a check mark cut out of it, so the pill shows through the mark.
class CheckMark : public QWidget {
public:
    explicit CheckMark(QWidget* parent) : QWidget(parent) { setFixedSize(checkSize, checkSize); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF disc = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        QPainterPath circle;
        circle.addEllipse(disc);
        const auto at = [&](double x, double y) {
            return QPointF(disc.left() + x * disc.width(), disc.top() + y * disc.height());
        };
        QPainterPath check(at(0.28, 0.52));
        check.lineTo(at(0.44, 0.68));
        check.lineTo(at(0.73, 0.35));
        QPainterPathStroker stroker;
        stroker.setWidth(disc.width() * 0.13);
        stroker.setCapStyle(Qt::RoundCap);
        stroker.setJoinStyle(Qt::RoundJoin);
        painter.fillPath(circle.subtracted(stroker.createStroke(check)), Qt::white);
    }
};

QRect anchorRect(QWidget* window)
{
    if (window)
        return window->window()->frameGeometry();
    if (const QScreen* screen = QGuiApplication::screenAt(QCursor::pos()))
        return screen->availableGeometry();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        return screen->availableGeometry();
    return {};
}

class Notice : public QWidget {
public:
    Notice(const QString& text, QWidget* window)
        : QWidget(window ? window->window() : nullptr, Qt::ToolTip | Qt::FramelessWindowHint |
                                                           Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus |
                                                           Qt::WindowTransparentForInput),
          m_window(window ? window->window() : nullptr)
    {
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        setAccessibleName(text);
        setWindowTitle(text);

        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(14, 8, 16, 8);
        layout->setSpacing(7);
        layout->addWidget(new CheckMark(this), 0, Qt::AlignVCenter);
        auto* label = new QLabel(text, this);
        QFont font = label->font();
        font.setPixelSize(13); // points of the interface are logical pixels
        font.setWeight(QFont::Medium);
        label->setFont(font);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Qt::white);
        label->setPalette(palette);
        layout->addWidget(label, 0, Qt::AlignVCenter);
        adjustSize();
        setFixedSize(size());

        m_holdTimer.setSingleShot(true);
        // A coarse timer may fire up to 5 % early: the notice must stay its whole time.
        m_holdTimer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_holdTimer, &QTimer::timeout, this, [this] { beginFadeOut(); });
        if (m_window)
            m_window->installEventFilter(this);
    }

    void present()
    {
        move(placement(size(), anchorRect(m_window)));
        setWindowOpacity(0);
        show();
        animateOpacity(1, fadeIn);
        m_holdTimer.start(hold);
    }

    void closeNow()
    {
        m_holdTimer.stop();
        if (m_window)
            m_window->removeEventFilter(this);
        hide();
        deleteLater();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(rect(), Qt::transparent);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        const double radius = height() / 2.0;
        QPainterPath pill;
        pill.addRoundedRect(QRectF(rect()), radius, radius);
        painter.fillPath(pill, pillColor);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_window && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
            move(placement(size(), anchorRect(m_window)));
        return false;
    }

private:
    void animateOpacity(double target, std::chrono::milliseconds duration)
    {
        if (m_fade)
            m_fade->stop();
        m_fade = new QPropertyAnimation(this, "windowOpacity", this);
        m_fade->setDuration(static_cast<int>(duration.count()));
        m_fade->setEndValue(target);
        m_fade->start(QAbstractAnimation::DeleteWhenStopped);
    }

    void beginFadeOut();

    QPointer<QWidget> m_window;
    QTimer m_holdTimer;
    QPointer<QPropertyAnimation> m_fade;
};

QPointer<Notice> shown;

void dismiss()
{
    if (Notice* notice = shown.data()) {
        shown = nullptr;
        notice->closeNow();
    }
}

void Notice::beginFadeOut()
{
    animateOpacity(0, fadeOut);
    QObject::connect(m_fade, &QAbstractAnimation::finished, this, [this] {
        // A newer notice may have taken the slot meanwhile; it stays.
        if (shown == this)
            shown = nullptr;
        closeNow();
    });
}

} // namespace

void show(const QString& text, QWidget* window)
{
    dismiss();
    auto* notice = new Notice(text, window);
    shown = notice;
    notice->present();
}

QPoint placement(QSize size, const QRect& anchor)
{
    const double midX = anchor.x() + anchor.width() / 2.0;
    const int bottom = anchor.y() + anchor.height();
    return {static_cast<int>(std::lround(midX - size.width() / 2.0)), bottom - bottomDistance - size.height()};
}

QWidget* current() { return shown.data(); }

} // namespace vorlix::CopyNotice
