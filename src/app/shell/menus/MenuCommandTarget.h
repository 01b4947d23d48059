#pragma once
// Menu items that run an AppCommand. Every such item of the tray menu (and later the
// main menu) is made here; a chosen item hands its command to the command centre on the
// next turn of the event loop, after the menu has closed.

#include "app/shell/commands/AppCommand.h"
#include "core/formats/KeyCombo.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QAction;

namespace vorlix {

class MenuCommandTarget : public QObject {
public:
    static MenuCommandTarget& shared();

    // Runs a chosen command; by default the shared command centre's perform.
    std::function<void(const AppCommand&)> perform;

    // An item titled `title` that runs `command`. A given hot key is shown after the
    // title ("Cattura area\tCtrl+Maiusc+2"): only shown, the global hot keys are
    // registered elsewhere. The item belongs to `parent`.
    static QAction* item(const QString& title, const AppCommand& command, const std::optional<KeyCombo>& hotkey,
                         QObject* parent);
    // The command an item made by `item` carries; nothing for other items.
    static std::optional<AppCommand> command(const QAction& item);
    // The title an item shows for `title` with the hot key.
    static QString titleWithHotkey(const QString& title, const std::optional<KeyCombo>& hotkey);

private:
    MenuCommandTarget();
    void run(const AppCommand& command);
};

} // namespace vorlix
