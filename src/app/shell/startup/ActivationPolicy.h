#pragma once
// Whether the application presents itself as a regular application (its windows in the
// task bar) or as a tray-only one. It starts as a tray-only ("accessory") application,
// turns regular before an editor or the settings window is shown, and returns to
// accessory once none of those windows is shown or minimised any more.
//
// A plain value: each operation changes the mode and says what the platform has to do.

#include <optional>

namespace vorlix {

struct ActivationPolicy {
    enum class Mode { regular, accessory };

    // What a change asks of the platform.
    struct Effects {
        std::optional<Mode> newMode; // the mode to apply, when it changed
        bool activate = false;       // bring the application's windows to the front

        bool operator==(const Effects&) const = default;
    };

    Mode mode = Mode::accessory;

    // Called before an editor or the settings window (or an open panel on their behalf)
    // is shown: regular, and in front.
    Effects showAsRegularApp();
    // The decision after the windows changed: `anyCountingWindowShown` when an editor or
    // settings window is visible or minimised.
    Effects windowsChanged(bool anyCountingWindowShown);

    bool operator==(const ActivationPolicy&) const = default;
};

} // namespace vorlix
