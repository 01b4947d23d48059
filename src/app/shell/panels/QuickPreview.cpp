#include "app/shell/panels/QuickPreview.h"

#include "app/shell/panels/PreviewThumbnail.h"
#include "app/shell/panels/QuickPreviewLayout.h"
#include "app/support/Files.h"
#include "app/support/Settings.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <cmath>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

constexpr double panelCornerRadius = 12;
constexpr int controlFontPixels = 11;

// The dark, rounded ground of the panel. Without a compositing manager a translucent
// window shows black corners, so the corners are cut off by a mask instead.
class PreviewPanel : public QWidget {
public:
    explicit PreviewPanel(QSize size)
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
    {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setWindowTitle(u"Anteprima rapida"_s);
        setFixedSize(size);
        QPainterPath rounded;
        rounded.addRoundedRect(QRectF(rect()), panelCornerRadius, panelCornerRadius);
        setMask(QRegion(rounded.toFillPolygon().toPolygon()));

        QPalette hud = palette();
        hud.setColor(QPalette::Window, QColor(38, 38, 40));
        hud.setColor(QPalette::WindowText, QColor(235, 235, 235));
        hud.setColor(QPalette::PlaceholderText, QColor(170, 170, 175));
        setPalette(hud);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(palette().color(QPalette::Window));
        painter.drawRoundedRect(QRectF(rect()), panelCornerRadius, panelCornerRadius);
    }
};

QFont controlFont(QFont font)
{
    font.setPixelSize(controlFontPixels);
    return font;
}

QPushButton* smallButton(const QString& title)
{
    auto* button = new QPushButton(title);
    button->setFont(controlFont(button->font()));
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoDefault(false);
    return button;
}

QRect toQt(const Rect& r)
{
    return QRect(int(std::lround(r.origin.x)), int(std::lround(r.origin.y)), int(std::lround(r.size.width)),
                 int(std::lround(r.size.height)));
}

QSize toQt(const Size& s) { return QSize(int(std::lround(s.width)), int(std::lround(s.height))); }

} // namespace

QuickPreview::QuickPreview(Settings& settings, QObject* parent)
    : QObject(parent), m_settings(settings), m_date(QDateTime::currentDateTime())
{
    m_hideTimer.setSingleShot(true);
    m_hideTimer.setTimerType(Qt::CoarseTimer);
    connect(&m_hideTimer, &QTimer::timeout, this, &QuickPreview::close);
}

QuickPreview::~QuickPreview() = default;

QuickPreview& QuickPreview::shared()
{
    // Lives as long as the process: its windows must never be deleted after the application.
    static QuickPreview* const preview = new QuickPreview(Settings::shared());
    return *preview;
}

QWidget* QuickPreview::panel() const { return m_panel.get(); }

PreviewThumbnail* QuickPreview::thumbnail() const { return m_panel ? m_thumbnail.data() : nullptr; }

QString QuickPreview::fileName() const
{
    std::optional<QString> appName;
    if (m_shot && m_shot->sourceApp)
        appName = m_shot->sourceApp->name;
    return m_settings.get(setting::imageFilenameTemplate).render(m_date, appName);
}

void QuickPreview::show(const CapturedShot& shot, const QDateTime& date)
{
    close();
    m_shot = shot;
    m_date = date;

    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen && !QGuiApplication::screens().isEmpty())
        screen = QGuiApplication::screens().front();
    if (!screen)
        return;

    const QuickPreviewLayout layout =
        QuickPreviewLayout::forShot(shot.image.width(), shot.image.height(), shot.pixelsPerPoint);
    m_panel = makePanel();
    ++m_shown;

    const QRect available = screen->availableGeometry();
    const Point origin = layout.origin(Rect(available.x(), available.y(), available.width(), available.height()));
    m_panel->move(int(std::lround(origin.x)), int(std::lround(origin.y)));
    m_panel->show();
    m_panel->raise();
    scheduleHide();
}

std::unique_ptr<QWidget> QuickPreview::makePanel()
{
    const CapturedShot& shot = *m_shot;
    const QuickPreviewLayout layout =
        QuickPreviewLayout::forShot(shot.image.width(), shot.image.height(), shot.pixelsPerPoint);
    auto panel = std::make_unique<PreviewPanel>(toQt(layout.panel));

    QScreen* screen = QGuiApplication::primaryScreen();
    const double ratio = screen ? screen->devicePixelRatio() : 1.0;
    const QRect frame = toQt(layout.pictureFrame());
    QPixmap picture =
        QPixmap::fromImage(PreviewThumbnail::scaledPicture(shot.image, (QSizeF(frame.size()) * ratio).toSize()));
    picture.setDevicePixelRatio(ratio);
    auto* thumbnail = new PreviewThumbnail(picture, toQt(layout.thumbnail), QRectF(frame));
    QPointer<QuickPreview> self = this;
    thumbnail->onClick = [self] {
        if (self)
            self->edit();
    };
    thumbnail->dragData = [self]() -> std::optional<PreviewThumbnail::DragData> {
        if (!self || !self->m_shot)
            return std::nullopt;
        return PreviewThumbnail::DragData{self->m_shot->pngData, self->fileName()};
    };
    thumbnail->onDragEnd = [self] {
        if (self)
            QTimer::singleShot(0, self, &QuickPreview::deleteRetiredPanels);
    };
    m_thumbnail = thumbnail;

    auto* note = new QLabel(u"Copiato negli appunti"_s);
    note->setFont(controlFont(note->font()));
    QPalette secondary = note->palette();
    secondary.setColor(QPalette::WindowText, panel->palette().color(QPalette::PlaceholderText));
    note->setPalette(secondary);

    QPushButton* edit = smallButton(u"Modifica"_s);
    QPushButton* save = smallButton(u"Salva…"_s);
    QPushButton* close = smallButton(u"Chiudi"_s);
    connect(edit, &QPushButton::clicked, this, &QuickPreview::edit);
    connect(save, &QPushButton::clicked, this, &QuickPreview::save);
    connect(close, &QPushButton::clicked, this, &QuickPreview::close);

    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    row->addWidget(note);
    row->addStretch(1);
    row->addWidget(edit);
    row->addWidget(save);
    row->addWidget(close);

    const int margin = int(QuickPreviewLayout::margin);
    auto* column = new QVBoxLayout(panel.get());
    column->setContentsMargins(margin, margin, margin, margin);
    column->setSpacing(8);
    column->addWidget(thumbnail, 0, Qt::AlignHCenter);
    column->addLayout(row);

    panel->installEventFilter(this);
    return panel;
}

void QuickPreview::close()
{
    m_hideTimer.stop();
    if (!m_panel)
        return;
    m_panel->hide();
    retirePanel();
}

void QuickPreview::retirePanel()
{
    m_panel->removeEventFilter(this);
    m_retired.push_back(std::move(m_panel));
    QTimer::singleShot(0, this, &QuickPreview::deleteRetiredPanels);
}

void QuickPreview::deleteRetiredPanels()
{
    std::erase_if(m_retired, [](const std::unique_ptr<QWidget>& panel) {
        const auto* thumbnail = panel->findChild<PreviewThumbnail*>();
        return !thumbnail || !thumbnail->isDragging();
    });
}

void QuickPreview::scheduleHide() { m_hideTimer.start(m_hideDelay); }

bool QuickPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_panel.get()) {
        if (event->type() == QEvent::Enter)
            m_hideTimer.stop();
        else if (event->type() == QEvent::Leave && m_saving != m_shown)
            scheduleHide();
    }
    return QObject::eventFilter(watched, event);
}

void QuickPreview::edit()
{
    if (!m_shot)
        return;
    const CapturedShot shot = *m_shot;
    const QDateTime date = m_date;
    close();
    if (m_hooks.openInEditor)
        m_hooks.openInEditor(shot, date);
}

void QuickPreview::save()
{
    if (!m_shot)
        return;
    // The preview stays while the dialog is open, and closes when it is answered.
    m_hideTimer.stop();
    m_saving = m_shown;
    if (m_hooks.showAsRegularApp)
        m_hooks.showAsRegularApp();
    QPointer<QuickPreview> self = this;
    const std::uint64_t shown = m_shown;
    Files::savePNG(m_shot->pngData, fileName(), nullptr, [self, shown] {
        if (!self || self->m_shown != shown)
            return;
        self->m_saving = 0;
        self->close();
    });
}

} // namespace vorlix
