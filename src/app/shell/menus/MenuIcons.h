#pragma once
// The icons of menu items, chosen by their titles: one table from titles to symbol
// names, and one from symbol names to the desktop's icon theme, with drawn icons where
// the theme has none (a bare X server has no theme at all).

#include <QIcon>
#include <QString>

#include <optional>
#include <string_view>

class QMenu;

namespace vorlix::MenuIcons {

// Gives every item of the menu and its submenus that has no icon yet the icon of its
// title, where there is one. Hot-key text after a tab is not part of the title.
void apply(QMenu& menu);

// The symbol name of a title: the row whose key equals the title, else the row with the
// longest key that begins the title (the earlier of equally long ones), else none.
std::optional<std::string_view> symbol(const QString& title);

// The icon of a symbol name: the theme's icon, else a drawn one, else a null icon.
QIcon icon(std::string_view symbol);

} // namespace vorlix::MenuIcons
