#pragma once
// The login item: an XDG autostart entry that starts this program when the user logs in,
// in $XDG_CONFIG_HOME/autostart (by default ~/.config/autostart).

#include <QString>

#include <optional>

namespace vorlix::LaunchAtLogin {

// The autostart entry's path.
QString entryPath();
// Whether the entry exists, is not hidden and starts this program.
bool isEnabled();
// Removes the entry when enabled, else writes it; the Italian error when that fails.
std::optional<QString> toggle();
// The entry's text for the program at `executable`.
QString entryText(const QString& name, const QString& executable);

} // namespace vorlix::LaunchAtLogin
