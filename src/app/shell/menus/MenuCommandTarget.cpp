#include "app/shell/menus/MenuCommandTarget.h"

#include "app/shell/commands/CommandCenter.h"

#include <QAction>
#include <QPointer>
#include <QTimer>

namespace vorlix {

namespace {

// The command an item carries, kept on the item as a property.
struct CarriedCommand {
    AppCommand command;
};

constexpr const char* commandProperty = "vorlixCommand";

} // namespace

} // namespace vorlix

Q_DECLARE_METATYPE(vorlix::CarriedCommand)

namespace vorlix {

MenuCommandTarget::MenuCommandTarget()
{
    perform = [](const AppCommand& command) { CommandCenter::shared().perform(command); };
}

MenuCommandTarget& MenuCommandTarget::shared()
{
    static MenuCommandTarget* target = new MenuCommandTarget; // lives for the whole run
    return *target;
}

QString MenuCommandTarget::titleWithHotkey(const QString& title, const std::optional<KeyCombo>& hotkey)
{
    if (!hotkey)
        return title;
    return title + u'\t' + hotkey->displayText();
}

QAction* MenuCommandTarget::item(const QString& title, const AppCommand& command, const std::optional<KeyCombo>& hotkey,
                                 QObject* parent)
{
    auto* action = new QAction(titleWithHotkey(title, hotkey), parent);
    action->setProperty(commandProperty, QVariant::fromValue(CarriedCommand{command}));
    QObject::connect(action, &QAction::triggered, &shared(), [command] { shared().run(command); });
    return action;
}

std::optional<AppCommand> MenuCommandTarget::command(const QAction& item)
{
    const QVariant carried = item.property(commandProperty);
    if (!carried.canConvert<CarriedCommand>())
        return std::nullopt;
    return carried.value<CarriedCommand>().command;
}

void MenuCommandTarget::run(const AppCommand& command)
{
    // The menu closes first: a capture must not freeze the screen with the menu on it.
    QTimer::singleShot(0, this, [this, command] {
        if (perform)
            perform(command);
    });
}

} // namespace vorlix
