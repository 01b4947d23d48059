#pragma once
// The global shortcuts bound to capture actions, with the defaults and the test
// that refuses a combination before it is bound: invalid (no Ctrl, Alt or Super),
// owned by the desktop, or already bound to another action.
//
// Stored as {"bindings": {"<action>": {"keyCode": k, "modifiers": m}, ...}}; an action
// without an entry has no shortcut, and a key that is no action fails the decoding.

#include "core/formats/KeyCombo.h"

#include "core/model/Json.h"

#include <QString>

#include <map>
#include <optional>
#include <variant>
#include <vector>

namespace vorlix {

enum class HotkeyAction {
    captureArea,
    captureFullScreen,
    recognizeText,
    captureAllInOne,
    captureWindow,
    captureActiveWindow,
    captureScrolling,
    captureFixedArea,
};

template <>
struct EnumTexts<HotkeyAction> {
    static constexpr const char* typeName = "HotkeyAction";
    static constexpr std::array table{
        std::pair{HotkeyAction::captureArea, std::string_view("captureArea")},
        std::pair{HotkeyAction::captureFullScreen, std::string_view("captureFullScreen")},
        std::pair{HotkeyAction::recognizeText, std::string_view("recognizeText")},
        std::pair{HotkeyAction::captureAllInOne, std::string_view("captureAllInOne")},
        std::pair{HotkeyAction::captureWindow, std::string_view("captureWindow")},
        std::pair{HotkeyAction::captureActiveWindow, std::string_view("captureActiveWindow")},
        std::pair{HotkeyAction::captureScrolling, std::string_view("captureScrolling")},
        std::pair{HotkeyAction::captureFixedArea, std::string_view("captureFixedArea")},
    };
};

// The name shown in the shortcut settings ("Cattura area", ...).
QString displayName(HotkeyAction action);

struct HotkeyConfiguration {
    // A combination the desktop itself uses, with its Italian name.
    struct SystemShortcut {
        KeyCombo combo;
        QString name;
    };

    struct Conflict {
        struct OtherAction {
            HotkeyAction action;
            bool operator==(const OtherAction&) const = default;
        };
        struct System {
            QString name;
            bool operator==(const System&) const = default;
        };
        struct Invalid {
            bool operator==(const Invalid&) const = default;
        };

        std::variant<OtherAction, System, Invalid> value;

        bool operator==(const Conflict&) const = default;

        static Conflict otherAction(HotkeyAction action) { return {OtherAction{action}}; }
        static Conflict system(QString name) { return {System{std::move(name)}}; }
        static Conflict invalid() { return {Invalid{}}; }
    };

    std::map<HotkeyAction, KeyCombo> bindings;

    bool operator==(const HotkeyConfiguration&) const = default;

    // Area Ctrl+Maiusc+2, full screen Ctrl+Maiusc+1, text Ctrl+Alt+Super+O, all in one
    // Ctrl+Super+Maiusc+2; the other actions have none.
    static const HotkeyConfiguration& defaults();
    // The desktop's own shortcuts, in the order they are tested.
    static const std::vector<SystemShortcut>& systemShortcuts();

    // Why `combo` cannot be bound to `action`, or nothing when it can. Tested in this
    // order: invalid, then the desktop's shortcuts (exact key and modifiers), then the
    // other actions' bindings. The action's own current binding is no conflict.
    std::optional<Conflict> conflict(const KeyCombo& combo, HotkeyAction action) const;
};

template <>
struct JsonCoding<HotkeyConfiguration> {
    static HotkeyConfiguration decode(const JsonValue& v);
    static Json encode(const HotkeyConfiguration& configuration);
};

} // namespace vorlix
