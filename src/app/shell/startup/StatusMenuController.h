#pragma once
// The application's icon in the system tray and the menu that drops down from it. The
// icon is the application's only permanent presence on screen: the tray icon with the
// application's name as tool tip. The menu is built again each time it is about to
// open, so that what it shows is always current. While an update is available the icon
// carries a red dot and the tool tip says so.

#include "app/shell/menus/StatusMenu.h"

#include <QObject>

#include <memory>

class QMenu;
class QSystemTrayIcon;

namespace vorlix {

class Settings;
class UpdateChecker;

class StatusMenuController : public QObject {
    Q_OBJECT

public:
    explicit StatusMenuController(Settings& settings, QObject* parent = nullptr);
    // With the update status and item of `updates` instead of the shared checker's.
    StatusMenuController(Settings& settings, UpdateChecker& updates, QObject* parent = nullptr);
    ~StatusMenuController() override;

    // Empties the menu and fills it again.
    void rebuild();

    QSystemTrayIcon& statusItem() { return *m_statusItem; }
    QMenu& menu() { return m_content.menu(); }
    StatusMenu& content() { return m_content; }

    // Shows the red dot and its tool tip while an update is available, hides them else.
    void refreshUpdateBadge();
    bool updateBadgeShown() const { return m_badgeShown; }

private:
    UpdateChecker& m_updates;
    bool m_badgeShown = false;
    StatusMenu m_content;
    std::unique_ptr<QSystemTrayIcon> m_statusItem;
};

} // namespace vorlix
