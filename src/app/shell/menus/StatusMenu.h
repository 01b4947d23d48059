#pragma once
// The menu of the tray icon, built afresh each time it is about to open, so hot keys,
// history, pinned images, the clipboard, the login item and the fixed sizes are always
// current: every capture, opening images and projects, the five newest shots with
// thumbnails, the pinned-image commands, the login item, the settings, the update item
// and Esci.
//
// What the menu reads from outside is reached through `sources`, which default to the
// running application's; tests replace them.

#include "core/formats/CaptureSize.h"
#include "core/formats/HistoryEntry.h"
#include "core/formats/KeyCombo.h"

#include <QDateTime>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace vorlix {

class Settings;

class StatusMenu {
public:
    static constexpr int recentShotCount = 5;
    static constexpr int thumbnailPixelSize = 160;
    static constexpr QSize thumbnailSize{54, 34};

    struct Sources {
        // The newest history entries (at most `limit`), newest first.
        std::function<std::vector<HistoryEntry>(int limit)> recentEntries;
        // An entry's thumbnail whose longer side is at most the size; null when unreadable.
        std::function<QImage(const HistoryEntry&, int maxPixelSize)> thumbnail;
        std::function<bool()> hasLastArea;
        std::function<bool()> hasPinnedImages;
        std::function<bool()> clipboardHasImage;
        std::function<bool()> launchesAtLogin;
        std::function<bool(const CaptureSize&)> fitsSomeScreen;
        std::function<QDateTime()> now;
        // Appends the update item, which keeps itself current.
        std::function<void(QMenu&)> addUpdateItem;
    };

    explicit StatusMenu(Settings& settings);
    StatusMenu(const StatusMenu&) = delete;
    StatusMenu& operator=(const StatusMenu&) = delete;

    Sources sources;

    // The menu; rebuilt each time it is about to show.
    QMenu& menu() { return m_menu; }
    // Empties the menu and fills it again.
    void rebuild();

    // The submenu of fixed capture sizes, with the hot key of the fixed-area capture.
    void fillFixedSizeMenu(QMenu& menu, const std::optional<KeyCombo>& hotkey) const;

    // "Oggi, 14:05", "Ieri, 09:30", or "7 dic, 18:00", by the calendar of `now`.
    static QString title(const HistoryEntry& entry, const QDateTime& now);
    // The thumbnail centred in 54 × 34 points, keeping its proportions, with a thin frame.
    static QIcon thumbnail(const QImage& image);

private:
    void addRecentShots(const std::vector<HistoryEntry>& entries, bool historyEnabled);

    Settings& m_settings;
    QMenu m_menu;
};

} // namespace vorlix
