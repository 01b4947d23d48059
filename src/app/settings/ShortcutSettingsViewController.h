#pragma once
// The "Scorciatoie" page: the global hot keys.

#include "app/settings/SettingsTabController.h"

namespace vorlix {

class ShortcutSettingsViewController : public SettingsTabController {
    Q_OBJECT

public:
    using SettingsTabController::SettingsTabController;

protected:
    QWidget* loadView() override;
};

} // namespace vorlix
