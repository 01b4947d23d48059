#pragma once
// Every user command of the shell, whatever its source (menus, hot keys, URLs), as one
// value; the command centre gives it its effect. Not persisted.

#include "core/formats/CaptureSize.h"
#include "core/formats/HotkeyConfiguration.h"
#include "core/model/Json.h"

#include <QUuid>

#include <optional>

namespace vorlix {

struct AppCommand {
    enum class Kind {
        captureFixedArea, // `size`; none: the last size used
        openHistoryEntry, // `entryID`
        openFromClipboard,
        captureArea,
        captureFullScreen,
        captureRepeatArea,
        captureCustomFixedArea,
        captureDelayed,
        recognizeText,
        captureAllInOne,
        captureWindow,
        captureActiveWindow,
        captureScrolling,
        unlockPinnedWindows,
        closePinnedWindows,
        reopenLastShot,
        openImageFile,
        openProject,
        openSettings,
        toggleLaunchAtLogin,
        toggleToolbarLabels,
        showHistoryFolder,
    };

    Kind kind = Kind::captureArea;
    std::optional<CaptureSize> size; // captureFixedArea only
    QUuid entryID;                   // openHistoryEntry only

    AppCommand() = default;
    AppCommand(Kind k) : kind(k) {} // NOLINT: a command without payload reads as its kind

    static AppCommand fixedArea(std::optional<CaptureSize> size)
    {
        AppCommand command(Kind::captureFixedArea);
        command.size = size;
        return command;
    }
    static AppCommand historyEntry(const QUuid& id)
    {
        AppCommand command(Kind::openHistoryEntry);
        command.entryID = id;
        return command;
    }

    bool operator==(const AppCommand&) const = default;
};

template <>
struct EnumTexts<AppCommand::Kind> {
    using K = AppCommand::Kind;
    static constexpr const char* typeName = "AppCommand";
    static constexpr std::array table{
        std::pair{K::captureFixedArea, std::string_view("captureFixedArea")},
        std::pair{K::openHistoryEntry, std::string_view("openHistoryEntry")},
        std::pair{K::openFromClipboard, std::string_view("openFromClipboard")},
        std::pair{K::captureArea, std::string_view("captureArea")},
        std::pair{K::captureFullScreen, std::string_view("captureFullScreen")},
        std::pair{K::captureRepeatArea, std::string_view("captureRepeatArea")},
        std::pair{K::captureCustomFixedArea, std::string_view("captureCustomFixedArea")},
        std::pair{K::captureDelayed, std::string_view("captureDelayed")},
        std::pair{K::recognizeText, std::string_view("recognizeText")},
        std::pair{K::captureAllInOne, std::string_view("captureAllInOne")},
        std::pair{K::captureWindow, std::string_view("captureWindow")},
        std::pair{K::captureActiveWindow, std::string_view("captureActiveWindow")},
        std::pair{K::captureScrolling, std::string_view("captureScrolling")},
        std::pair{K::unlockPinnedWindows, std::string_view("unlockPinnedWindows")},
        std::pair{K::closePinnedWindows, std::string_view("closePinnedWindows")},
        std::pair{K::reopenLastShot, std::string_view("reopenLastShot")},
        std::pair{K::openImageFile, std::string_view("openImageFile")},
        std::pair{K::openProject, std::string_view("openProject")},
        std::pair{K::openSettings, std::string_view("openSettings")},
        std::pair{K::toggleLaunchAtLogin, std::string_view("toggleLaunchAtLogin")},
        std::pair{K::toggleToolbarLabels, std::string_view("toggleToolbarLabels")},
        std::pair{K::showHistoryFolder, std::string_view("showHistoryFolder")},
    };
};

// The command a global hot key runs: the one of the same name; the fixed-area key
// captures the last size used.
AppCommand commandFor(HotkeyAction action);

} // namespace vorlix
