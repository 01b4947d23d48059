#include "app/shell/startup/StatusMenuController.h"

#include "app/shell/update/UpdateChecker.h"
#include "app/support/AppConfig.h"
#include "app/support/Icons.h"

#include <QApplication>
#include <QIconEngine>
#include <QMenu>
#include <QPainter>
#include <QSystemTrayIcon>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

// The icon with a red dot 7/22 of its size across, near its top right corner.
class BadgedIconEngine : public QIconEngine {
public:
    explicit BadgedIconEngine(QIcon icon) : m_icon(std::move(icon)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        m_icon.paint(painter, rect, Qt::AlignCenter, mode, state);
        const qreal unit = rect.width() / 22.0;
        const QRectF dot(rect.right() + 1 - 3 * unit - 7 * unit, rect.top() + 3 * unit, 7 * unit, 7 * unit);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(255, 59, 48));
        painter->drawEllipse(dot);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap image(size);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        paint(&painter, QRect(QPoint(), size), mode, state);
        return image;
    }

    QIconEngine* clone() const override { return new BadgedIconEngine(m_icon); }

private:
    QIcon m_icon;
};

} // namespace

StatusMenuController::StatusMenuController(Settings& settings, QObject* parent)
    : StatusMenuController(settings, UpdateChecker::shared(), parent)
{
}

StatusMenuController::StatusMenuController(Settings& settings, UpdateChecker& updates, QObject* parent)
    : QObject(parent), m_updates(updates), m_content(settings), m_statusItem(std::make_unique<QSystemTrayIcon>())
{
    m_content.sources.addUpdateItem = [&updates](QMenu& menu) { updates.menuItem(menu); };
    connect(&updates, &UpdateChecker::statusChanged, this, &StatusMenuController::refreshUpdateBadge);
    refreshUpdateBadge();
    m_statusItem->setContextMenu(&m_content.menu()); // rebuilt by the menu itself as it opens
    rebuild();
    m_statusItem->show();
}

StatusMenuController::~StatusMenuController()
{
    // The icon goes first: it still refers to the menu.
    m_statusItem.reset();
}

void StatusMenuController::rebuild() { m_content.rebuild(); }

void StatusMenuController::refreshUpdateBadge()
{
    m_badgeShown = m_updates.status().isUpdateAvailable();
    const QIcon icon = Icons::menuBarIcon();
    m_statusItem->setIcon(m_badgeShown ? QIcon(new BadgedIconEngine(icon)) : icon);
    m_statusItem->setToolTip(m_badgeShown ? AppConfig::name() + u": è disponibile una versione nuova"_s
                                          : Icons::menuBarIconDescription());
}

} // namespace vorlix
