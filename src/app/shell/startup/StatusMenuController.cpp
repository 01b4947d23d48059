#include "app/shell/startup/StatusMenuController.h"

#include "app/support/Icons.h"

#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>

using namespace Qt::StringLiterals;

namespace vorlix {

StatusMenuController::StatusMenuController(Settings& settings, QObject* parent)
    : QObject(parent), m_content(settings), m_statusItem(std::make_unique<QSystemTrayIcon>())
{
    m_statusItem->setIcon(Icons::menuBarIcon());
    m_statusItem->setToolTip(Icons::menuBarIconDescription());
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

} // namespace vorlix
