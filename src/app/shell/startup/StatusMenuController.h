#pragma once
// The application's icon in the system tray and the menu that drops down from it. The
// icon is the application's only permanent presence on screen: the tray icon with the
// application's name as tool tip. The menu is built again each time it is about to
// open, so that what it shows is always current.

#include "app/shell/menus/StatusMenu.h"

#include <QObject>

#include <memory>

class QMenu;
class QSystemTrayIcon;

namespace vorlix {

class Settings;

class StatusMenuController : public QObject {
    Q_OBJECT

public:
    explicit StatusMenuController(Settings& settings, QObject* parent = nullptr);
    ~StatusMenuController() override;

    // Empties the menu and fills it again.
    void rebuild();

    QSystemTrayIcon& statusItem() { return *m_statusItem; }
    QMenu& menu() { return m_content.menu(); }
    StatusMenu& content() { return m_content; }

private:
    StatusMenu m_content;
    std::unique_ptr<QSystemTrayIcon> m_statusItem;
};

} // namespace vorlix
