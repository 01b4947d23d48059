#include "app/shell/startup/StatusMenuController.h"

#include "app/support/Icons.h"

#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>

using namespace Qt::StringLiterals;

namespace vorlix {

StatusMenuController::StatusMenuController(QObject* parent)
    : QObject(parent), m_menu(std::make_unique<QMenu>()), m_statusItem(std::make_unique<QSystemTrayIcon>())
{
    m_statusItem->setIcon(Icons::menuBarIcon());
    m_statusItem->setToolTip(Icons::menuBarIconDescription());
    connect(m_menu.get(), &QMenu::aboutToShow, this, &StatusMenuController::rebuild);
    m_statusItem->setContextMenu(m_menu.get());
    rebuild();
    m_statusItem->show();
}

StatusMenuController::~StatusMenuController()
{
    // The icon goes first: it still refers to the menu.
    m_statusItem.reset();
}

void StatusMenuController::rebuild()
{
    m_menu->clear();
    QAction* quit = m_menu->addAction(u"Esci"_s);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

} // namespace vorlix
