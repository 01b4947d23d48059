#pragma once
// The one table between stored key numbers and the keys of a Linux keyboard.
//
// A stored key number names a key position, independent of the keyboard layout.
// Each maps to a Linux input (evdev) key code; the X server's keycode is that code
// plus 8. Keys that a PC keyboard has where the stored numbering has none are placed
// by position: Print (Stamp) is the F13 position, Scroll Lock F14, Pause F15, Insert
// the Help key and Num Lock the keypad's Clear key. Modifier keys follow the modifier
// mapping (command = Ctrl, option = Alt, control = Super).
//
// Key names are the layout-independent Italian names of the keys; for letters,
// digits and punctuation the US-position character stands in until the keymap of
// the running session supplies the real one.

#include "core/formats/KeyCombo.h"

#include <QString>
#include <Qt>

#include <cstdint>
#include <optional>
#include <span>

namespace vorlix {

struct LinuxKey {
    std::uint32_t keyCode; // stored key number
    int evdev;             // Linux input key code
    const char16_t* name;
};

// Every mapped key, one row per stored key number and per evdev code.
std::span<const LinuxKey> linuxKeyTable();

inline constexpr int x11KeycodeOffset = 8;

std::optional<int> evdevCode(std::uint32_t keyCode);
std::optional<int> x11Keycode(std::uint32_t keyCode);
std::optional<std::uint32_t> keyCodeFromEvdev(int evdev);
std::optional<std::uint32_t> keyCodeFromX11(int x11Keycode);

// The key's display name; "?" for a number outside the table.
QString keyName(std::uint32_t keyCode);

// X11 modifier masks (ShiftMask 1, ControlMask 4, Mod1Mask 8 for Alt, Mod4Mask 64
// for Super). Lock and NumLock (Mod2) are never part of a shortcut and are ignored.
inline constexpr unsigned x11ShiftMask = 1u << 0;
inline constexpr unsigned x11LockMask = 1u << 1;
inline constexpr unsigned x11ControlMask = 1u << 2;
inline constexpr unsigned x11AltMask = 1u << 3;     // Mod1
inline constexpr unsigned x11NumLockMask = 1u << 4; // Mod2
inline constexpr unsigned x11SuperMask = 1u << 6;   // Mod4

unsigned x11ModifierMask(KeyCombo::Modifiers modifiers);
KeyCombo::Modifiers modifiersFromX11Mask(unsigned mask);
// Qt's modifier flags of a key event: Ctrl, Alt, Meta (Super) and Shift.
KeyCombo::Modifiers modifiersFromQt(Qt::KeyboardModifiers modifiers);

} // namespace vorlix
