#pragma once
// The menu bar of the editor windows (and the settings window): one function builds it
// for each window, so every window offers the same items. Items that act on a document
// act on the editor the bar belongs to; in a window without an editor they are disabled.
// Key equivalents are window shortcuts, shown the Linux way ("Ctrl+Maiusc+S").
//
// What the bar reaches outside the editor goes through `hooks()`, which the application
// fills; the editor's own commands are run and validated by the editor.

#include "core/formats/HistoryEntry.h"

#include <QDateTime>
#include <QImage>
#include <QKeySequence>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class QMainWindow;
class QMenu;
class QMenuBar;

namespace vorlix {

class EditorWindow;

namespace MainMenu {

struct Hooks {
    // Recent projects, newest first; opening one; emptying the list.
    std::function<QStringList()> recentProjects;
    std::function<void(const QString& path)> openProject;
    std::function<void()> clearRecentProjects;
    // The newest history entries (at most `limit`), newest first, and an entry's thumbnail.
    std::function<std::vector<HistoryEntry>(int limit)> recentEntries;
    std::function<QImage(const HistoryEntry&, int maxPixelSize)> thumbnail;
    // Adds a history shot's file to the editor's document.
    std::function<void(EditorWindow&, const QString& path)> addRecentShot;
    // "Apri…": images and projects.
    std::function<void()> openFile;
    std::function<void()> showAbout;
    // Appends the update item, which keeps itself current.
    std::function<void(QMenu&)> addUpdateItem;
    // Whether the toolbar shows the tools' names, for the check mark of its item.
    std::function<bool()> toolbarShowsLabels;
    std::function<void()> quit;
};

inline constexpr int recentShotCount = 12;
inline constexpr int recentProjectLimit = 10;

// The application's hooks; the defaults reach the command centre and the settings.
Hooks& hooks();

// A new menu bar for `window`; `editor` is the editor it acts on, or null.
QMenuBar* build(QMainWindow& window, EditorWindow* editor);

// A shortcut as the menus show it: "Ctrl+Alt+Super+Maiusc+key".
QString shortcutText(const QKeySequence& key);

// Fills the two recent submenus again, as when they are about to open.
void fillRecentProjects(QMenu& menu);
void fillRecentShots(QMenu& menu, EditorWindow* editor);
// The same for any taker of a shot's file; without one the items are disabled.
void fillRecentShots(QMenu& menu, std::function<void(const QString& path)> addShot);

// Remembers an opened or saved project at the top of the recent projects.
void noteRecentProject(const QString& path);

// The About window's build line: "build 42 - 09/12/2026 ore 14:05", or "build 42".
QString buildLine(const QString& buildNumber, const std::optional<QDateTime>& date, const QLocale& locale);
void showAbout();

} // namespace MainMenu
} // namespace vorlix
