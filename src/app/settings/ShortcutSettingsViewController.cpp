#include "app/settings/ShortcutSettingsViewController.h"

#include "app/settings/SettingsPage.h"

namespace vorlix {

QWidget* ShortcutSettingsViewController::loadView() { return new SettingsPage({}); }

} // namespace vorlix
