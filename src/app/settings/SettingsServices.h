#pragma once
// What the settings pages use of the rest of the application (the command centre, the
// update checker, the fixed-size form, the desktop), filled in by the application at
// start and replaced by tests. A missing entry is skipped.

#include "core/formats/CaptureSize.h"
#include "core/formats/HotkeyConfiguration.h"
#include "core/formats/UpdateInfo.h"

#include <QString>

#include <functional>
#include <optional>
#include <set>

class QWidget;

namespace vorlix {

class HistoryStore;
class HotkeyCenter;

struct SettingsServices {
    // Before the settings window is shown.
    std::function<void()> showAsRegularApp;
    // The set of history shots, or a setting the tray menu shows, may have changed.
    std::function<void()> historyChanged;

    // ---- Shots and folders
    std::function<HistoryStore&()> history;
    // A new history folder, or back to the default one with nothing; false when it
    // cannot be kept.
    std::function<bool(const std::optional<QString>&)> setHistoryFolder;
    std::function<void()> showHistoryFolder;
    // Asks, on `window`, where to create the projects folder; the completion gets the
    // folder, or nothing when cancelled or failed.
    std::function<void(QWidget* window, std::function<void(std::optional<QString>)>)> createProjectsFolder;
    // Opens a folder in the desktop's file manager.
    std::function<void(const QString&)> openFolder;

    // ---- Updates
    // Posted after every check, and by the page when checking is turned on or off.
    QString updateStatusDidChange;
    std::function<void()> checkForUpdates;
    std::function<UpdateStatus()> updateStatus;

    // ---- Favourite capture sizes
    // The form for a new favourite started at `size`, on `window`; the completion gets
    // the confirmed size.
    std::function<void(const CaptureSize& size, QWidget* window, std::function<void(const CaptureSize&)>)>
        askNewCaptureSize;

    // ---- Global hot keys
    // Registers every stored hot key again; the actions whose key could not be registered.
    std::function<std::set<HotkeyAction>()> applyHotkeys;
    // The centre the hot keys are registered with; the application's shared one when unset.
    std::function<HotkeyCenter&()> hotkeys;
};

} // namespace vorlix
