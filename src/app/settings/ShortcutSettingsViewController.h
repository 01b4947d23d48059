#pragma once
// The "Scorciatoie" page: one row per global hot-key action, each with a field that
// records its combination. A recorded combination that is invalid, one of the desktop's
// own or another action's is refused with the reason in red under the row's title;
// otherwise it is stored and every hot key is registered again. A combination another
// program holds stays stored and is flagged in red as taken.

#include "app/settings/SettingsTabController.h"

#include "core/formats/HotkeyConfiguration.h"

#include <map>
#include <optional>
#include <set>

class QPushButton;

namespace vorlix {

class HotkeyCenter;
class SettingsRow;
class ShortcutRecorder;

class ShortcutSettingsViewController : public SettingsTabController {
    Q_OBJECT

public:
    using SettingsTabController::SettingsTabController;

    void reload() override;
    // Binds `combo` to `action`, or with nothing takes the action's binding away.
    void assign(const std::optional<KeyCombo>& combo, HotkeyAction action);
    // Back to the default bindings, with no warning left.
    void restoreDefaults();

    // Why `combo`, shown as `comboText`, was refused.
    static QString message(const HotkeyConfiguration::Conflict& conflict, const QString& comboText);

    // Made with the view.
    ShortcutRecorder* recorder(HotkeyAction action) const;
    SettingsRow* row(HotkeyAction action) const;
    QPushButton* restoreButton() const { return m_restoreButton; }

protected:
    QWidget* loadView() override;

private:
    HotkeyCenter& hotkeys() const;
    std::set<HotkeyAction> applyHotkeys() const;
    void showWarning(HotkeyAction action, const QString& text) const;
    void hideWarning(HotkeyAction action) const;

    std::map<HotkeyAction, ShortcutRecorder*> m_recorders;
    std::map<HotkeyAction, SettingsRow*> m_rows;
    QPushButton* m_restoreButton = nullptr;
};

} // namespace vorlix
