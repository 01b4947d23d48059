#pragma once
// The status-bar (tray) icon: the resource ":/MenuBarIconTemplate" when the build
// carries one, else a drawing of four corner marks around a pen stroke. Either way an
// 18 × 18 mask icon, which the tray and menus tint.

#include <QIcon>
#include <QString>

namespace vorlix::Icons {

inline constexpr int menuBarIconSize = 18;

QIcon menuBarIcon();

// What the icon shows, for the accessible name and tool tip of whatever shows it: the
// application's name. It is not the QIcon's name, because a named icon reaches the
// desktop's status-notifier host as a theme icon name instead of as pixels.
QString menuBarIconDescription();

} // namespace vorlix::Icons
