#pragma once
// A global keyboard shortcut as stored: a key position and modifier keys.
//
// `keyCode` is the persisted, layout-independent key number (the numbering of the
// stored settings, see LinuxKeyMap.h for the Linux keys behind it). The modifiers are
// an option set over an integer whose known bits are the application's own (command 1,
// shift 2, option 4, control 8), shown the Linux way: command is Ctrl, option is Alt,
// control is Super, shift is "Maiusc". Other bits, written by a later version, are kept
// as read and written back; validity and the shown names read only the known bits.

#include "core/model/Json.h"

#include <QString>

#include <cstdint>

namespace vorlix {

struct KeyCombo {
    struct Modifiers {
        static const Modifiers command;
        static const Modifiers shift;
        static const Modifiers option;
        static const Modifiers control;

        std::int64_t rawValue = 0;

        constexpr bool contains(Modifiers m) const { return (rawValue & m.rawValue) == m.rawValue; }
        constexpr bool isEmpty() const { return rawValue == 0; }
        constexpr Modifiers operator|(Modifiers m) const { return {rawValue | m.rawValue}; }
        bool operator==(const Modifiers&) const = default;
    };

    std::uint32_t keyCode = 0;
    Modifiers modifiers;

    bool operator==(const KeyCombo&) const = default;

    // At least one of command, option or control: shift alone is no global shortcut.
    bool isValidGlobalShortcut() const;
    // The modifiers present as their key names in the order Ctrl, Alt, Super, Maiusc,
    // joined with "+" ("Ctrl+Maiusc"); empty without modifiers.
    QString modifierSymbols() const;
    // The whole combination as shown: "Ctrl+Maiusc+2".
    QString displayText() const;
};

inline constexpr KeyCombo::Modifiers KeyCombo::Modifiers::command{1};
inline constexpr KeyCombo::Modifiers KeyCombo::Modifiers::shift{2};
inline constexpr KeyCombo::Modifiers KeyCombo::Modifiers::option{4};
inline constexpr KeyCombo::Modifiers KeyCombo::Modifiers::control{8};

// Key numbers used by the default shortcuts and the system shortcut table.
namespace KeyCode {
inline constexpr std::uint32_t digit1 = 18;
inline constexpr std::uint32_t digit2 = 19;
inline constexpr std::uint32_t digit3 = 20;
inline constexpr std::uint32_t digit4 = 21;
inline constexpr std::uint32_t digit5 = 23; // not in order: 5 is 23 and 6 is 22
inline constexpr std::uint32_t digit6 = 22;
inline constexpr std::uint32_t space = 49;
inline constexpr std::uint32_t tab = 48;
inline constexpr std::uint32_t escape = 53;
inline constexpr std::uint32_t q = 12;
inline constexpr std::uint32_t o = 31;
inline constexpr std::uint32_t l = 37;
inline constexpr std::uint32_t t = 17;
inline constexpr std::uint32_t f2 = 120;
inline constexpr std::uint32_t f4 = 118;
inline constexpr std::uint32_t forwardDelete = 117; // "Canc"
inline constexpr std::uint32_t print = 105;         // "Stamp", where the extended keyboard has F13
inline constexpr std::uint32_t leftArrow = 123;
inline constexpr std::uint32_t rightArrow = 124;
inline constexpr std::uint32_t downArrow = 125;
inline constexpr std::uint32_t upArrow = 126;
inline constexpr std::uint32_t leftSuper = 59; // the key of the control modifier
} // namespace KeyCode

// "keyCode" (an unsigned 32-bit integer) and "modifiers" (the raw bits, any 64-bit
// integer), both required.
template <>
struct JsonCoding<KeyCombo> {
    static KeyCombo decode(const JsonValue& v);
    static Json encode(const KeyCombo& combo);
};

} // namespace vorlix
