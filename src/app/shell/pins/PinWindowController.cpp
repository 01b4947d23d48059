#include "app/shell/pins/PinWindowController.h"

#include "app/support/Beeper.h"
#include "app/support/Pasteboard.h"
#include "app/support/SystemFont.h"
#include "core/imaging/ImageCoding.h"
#include "platform/FloatingWindow.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolButton>
#include <QWindow>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

constexpr Qt::WindowFlags floatingFlags = Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus;
constexpr std::array opacityPercents{100, 80, 60, 40, 20};

// The size closest to `size` with the proportions of `aspect`, following the side the
// user changed more since `previous`. Off by a pixel counts as kept: sizes are whole
// pixels.
QSize keepingAspect(QSize size, QSize previous, QSizeF aspect)
{
    if (size.isEmpty() || aspect.isEmpty())
        return size;
    const double ratio = aspect.width() / aspect.height();
    const double heightForWidth = size.width() / ratio;
    const double widthForHeight = size.height() * ratio;
    if (std::abs(size.height() - heightForWidth) <= 1.0 || std::abs(size.width() - widthForHeight) <= 1.0)
        return size;
    const bool heightChangedMore =
        !previous.isEmpty() && std::abs(size.height() - previous.height()) / double(previous.height()) >
                                   std::abs(size.width() - previous.width()) / double(previous.width());
    if (heightChangedMore)
        return {std::max(1, int(std::lround(widthForHeight))), size.height()};
    return {size.width(), std::max(1, int(std::lround(heightForWidth)))};
}

void showFloating(QWidget& window)
{
    window.winId();
    showOnAllDesktops(*window.windowHandle());
    window.show();
}

// The image, scaled to fill the view; the window keeps the view's proportions.
class PinImageView : public QWidget {
public:
    PinImageView(const QImage& image, std::function<void(QPoint)> showMenu)
        : m_image(image), m_showMenu(std::move(showMenu))
    {
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(rect()), m_image);
    }

    void contextMenuEvent(QContextMenuEvent* event) override { m_showMenu(event->globalPos()); }

private:
    const QImage& m_image;
    std::function<void(QPoint)> m_showMenu;
};

// A label that gives way first: it shrinks to nothing and elides its text in the middle.
class ElidedLabel : public QWidget {
public:
    explicit ElidedLabel(const QString& text) : m_text(text)
    {
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }

    QSize sizeHint() const override { return fontMetrics().size(Qt::TextSingleLine, m_text); }
    QSize minimumSizeHint() const override { return {0, fontMetrics().height()}; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter,
                         fontMetrics().elidedText(m_text, Qt::ElideMiddle, width()));
    }

private:
    QString m_text;
};

QToolButton* barButton(const QString& themeIcon, const QString& name, const QString& toolTip,
                       std::function<void()> action)
{
    auto* button = new QToolButton;
    const QIcon icon = QIcon::fromTheme(themeIcon);
    if (icon.isNull())
        button->setText(name);
    else
        button->setIcon(icon);
    button->setAccessibleName(name);
    button->setToolTip(toolTip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    QObject::connect(button, &QToolButton::clicked, button, std::move(action));
    return button;
}

} // namespace

class PinWindow : public QWidget {
public:
    PinWindow(PinWindowController& controller, QSize aspect)
        : QWidget(nullptr, floatingFlags), m_controller(controller), m_aspect(aspect)
    {
        setAttribute(Qt::WA_ShowWithoutActivating);
    }

    void applyAspectHint()
    {
        if (QWindow* handle = windowHandle())
            keepAspectRatio(*handle, m_aspect);
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        QWidget::closeEvent(event);
        if (event->isAccepted())
            m_controller.windowWillClose();
    }

    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        const QSize kept = keepingAspect(event->size(), event->oldSize(), QSizeF(m_aspect));
        if (kept != event->size()) {
            resize(kept);
            applyAspectHint();
        }
    }

private:
    PinWindowController& m_controller;
    QSize m_aspect;
};

class PinLockBar : public QWidget {
public:
    explicit PinLockBar(std::function<void(QPoint)> moved)
        : QWidget(nullptr, floatingFlags | Qt::FramelessWindowHint), m_moved(std::move(moved))
    {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAutoFillBackground(true);
    }

protected:
    // The bar is moved by its background; the pin follows it.
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && windowHandle())
            windowHandle()->startSystemMove();
    }

    void moveEvent(QMoveEvent* event) override
    {
        QWidget::moveEvent(event);
        m_moved(pos());
    }

private:
    std::function<void(QPoint)> m_moved;
};

PinWindowController::PinWindowController(const QImage& image, double pixelsPerPoint, const QString& title)
    : m_image(image),
      m_title(title),
      m_pixelsPerPoint(std::isfinite(pixelsPerPoint) && pixelsPerPoint > 0 ? pixelsPerPoint : 1.0)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(QPoint(), fallbackArea);
    QRect placed(QPoint(), openingSize(m_image.size(), m_pixelsPerPoint, area.size()));
    placed.moveCenter(area.center());

    m_window = std::make_unique<PinWindow>(*this, m_image.size());
    // "[*]" in a title would be taken for the modification mark; doubled it shows as written.
    m_window->setWindowTitle(QString(title).replace(u"[*]"_s, u"[*][*]"_s));
    m_window->setGeometry(placed);
    auto* layout = new QHBoxLayout(m_window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new PinImageView(m_image, [this](QPoint at) { m_menu->popup(at); }));
    m_menu = makeMenu();
}

PinWindowController::~PinWindowController()
{
    if (m_lockBar)
        delete m_lockBar.data();
}

std::vector<std::unique_ptr<PinWindowController>>& PinWindowController::open()
{
    static std::vector<std::unique_ptr<PinWindowController>> pins;
    return pins;
}

PinWindowController& PinWindowController::pin(const QImage& image, double pixelsPerPoint, const QString& title)
{
    PinWindowController& made =
        *open().emplace_back(std::make_unique<PinWindowController>(image, pixelsPerPoint, title));
    made.show();
    return made;
}

void PinWindowController::show()
{
    showFloating(*m_window);
    m_window->applyAspectHint();
}

void PinWindowController::unlockAll()
{
    for (const std::unique_ptr<PinWindowController>& pin : open())
        pin->unlock();
}

void PinWindowController::closeAll()
{
    // Pins leave the list as they close.
    std::vector<QPointer<PinWindowController>> pins;
    for (const std::unique_ptr<PinWindowController>& pin : open())
        pins.emplace_back(pin.get());
    for (const QPointer<PinWindowController>& pin : pins)
        if (pin)
            pin->closeWindow();
}

QSize PinWindowController::openingSize(QSize pixels, double pixelsPerPoint, QSize area)
{
    const double width = pixels.width() / pixelsPerPoint;
    const double height = pixels.height() / pixelsPerPoint;
    if (width <= 0 || height <= 0)
        return {1, 1};
    const double scale =
        std::min({1.0, largestAreaFraction * area.width() / width, largestAreaFraction * area.height() / height});
    return {std::max(1, int(std::lround(width * scale))), std::max(1, int(std::lround(height * scale)))};
}

QWidget* PinWindowController::window() const { return m_window.get(); }

QWidget* PinWindowController::lockBar() const { return m_lockBar.data(); }

QMenu* PinWindowController::menu() const { return m_menu.get(); }

bool PinWindowController::isTransparentToClicks() const
{
    return m_window->windowFlags().testFlag(Qt::WindowTransparentForInput);
}

void PinWindowController::setOpacity(int percent) { m_window->setWindowOpacity(percent / 100.0); }

void PinWindowController::lockClicked()
{
    if (isTransparentToClicks())
        return;
    setTransparentToClicks(true);
    if (m_window->windowOpacity() == 1.0)
        m_window->setWindowOpacity(transparentOpacity);
    showLockBar();
}

void PinWindowController::unlock()
{
    if (!isTransparentToClicks())
        return;
    setTransparentToClicks(false);
    m_window->setWindowOpacity(1.0);
    hideLockBar();
}

void PinWindowController::copyImage()
{
    const std::optional<QByteArray> png = ImageCoding::encode(m_image, ImageType::png, m_pixelsPerPoint, 0.9);
    if (!png) {
        Beeper::beep();
        return;
    }
    Pasteboard::copyPNG(*png, std::nullopt, u"Immagine copiata"_s, nullptr);
}

void PinWindowController::closeWindow() { m_window->close(); }

void PinWindowController::windowWillClose()
{
    hideLockBar();
    auto& pins = open();
    const auto mine = std::find_if(pins.begin(), pins.end(), [this](const auto& pin) { return pin.get() == this; });
    if (mine == pins.end())
        return;
    mine->release();
    pins.erase(mine);
    // Still inside this pin's close event.
    deleteLater();
}

// The window keeps its place and stays mapped; only its input changes.
void PinWindowController::setTransparentToClicks(bool transparent)
{
    Qt::WindowFlags flags = m_window->windowFlags();
    flags.setFlag(Qt::WindowTransparentForInput, transparent);
    m_window->overrideWindowFlags(flags);
    if (QWindow* handle = m_window->windowHandle())
        handle->setFlags(flags);
}

void PinWindowController::showLockBar()
{
    const QRect frame = m_window->frameGeometry();
    const int height = std::max(frame.height() - m_window->geometry().height(), smallestLockBarHeight);
    QPointer<PinWindowController> self = this;
    auto* bar = new PinLockBar([self](QPoint topLeft) {
        if (self)
            self->m_window->move(topLeft);
    });
    bar->setGeometry(frame.x(), frame.y(), frame.width(), height);

    auto* row = new QHBoxLayout(bar);
    row->setSpacing(8);
    row->setContentsMargins(8, 0, 8, 0);
    row->addWidget(barButton(u"window-close"_s, u"Chiudi"_s, u"Chiudi il leggio"_s, [self] {
        if (self)
            self->closeWindow();
    }));
    row->addWidget(
        barButton(u"object-unlocked"_s, u"Sblocca"_s, u"Sblocca: l'immagine torna a ricevere i clic"_s, [self] {
            if (self)
                self->unlock();
        }));
    auto* label = new ElidedLabel(m_title + u" · trasparente ai clic"_s);
    label->setFont(systemFont(11, QFont::Medium));
    row->addWidget(label, 1);

    showFloating(*bar);
    bar->raise();
    m_lockBar = bar;
}

void PinWindowController::hideLockBar()
{
    if (!m_lockBar)
        return;
    m_lockBar->hide();
    // The bar's own button may be what asked.
    m_lockBar->deleteLater();
    m_lockBar = nullptr;
}

std::unique_ptr<QMenu> PinWindowController::makeMenu()
{
    auto menu = std::make_unique<QMenu>();
    menu->setToolTipsVisible(true);
    QMenu* opacity = menu->addMenu(u"Opacità"_s);
    for (const int percent : opacityPercents)
        opacity->addAction(u"%1%"_s.arg(percent), this, [this, percent] { setOpacity(percent); });
    QAction* lock = menu->addAction(u"Trasparente ai clic"_s, this, [this] { lockClicked(); });
    lock->setToolTip(u"L'immagine resta visibile ma i clic passano alle finestre sotto. La barra in alto resta "
                     u"attiva: da lì si sposta, si sblocca e si chiude."_s);
    menu->addSeparator();
    menu->addAction(u"Copia immagine"_s, this, [this] { copyImage(); });
    menu->addAction(u"Chiudi"_s, this, [this] { closeWindow(); });
    return menu;
}

} // namespace vorlix
