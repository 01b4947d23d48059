#pragma once
// Sharing the annotated picture the desktop way: a small menu that opens the picture,
// written as a temporary PNG file, with the default application for PNG files, or
// attaches it to a new e-mail through xdg-email where that program is installed.

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

class QMenu;
class QWidget;

namespace vorlix::ShareMenu {

inline constexpr const char* openTitle = "Apri con l'applicazione predefinita";
inline constexpr const char* emailTitle = "Invia per e-mail…";

// The picture to share and the name its file gets; nothing when there is none.
using Picture = std::function<std::optional<std::pair<QByteArray, QString>>()>;

// The menu's entries, with "Invia per e-mail…" only when `emailProgram` (the path of
// xdg-email) is not empty. The picture is made and written only when an entry is chosen;
// when it cannot be, the entry beeps.
QMenu* build(Picture picture, const QString& emailProgram, QWidget* parent);

// Pops the menu up below `anchor`, with xdg-email looked up on the search path.
void popUp(QWidget* anchor, Picture picture);

} // namespace vorlix::ShareMenu
