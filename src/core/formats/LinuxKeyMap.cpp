#include "core/formats/LinuxKeyMap.h"

namespace vorlix {

namespace {

// One row of the keyboard per line.
// clang-format off
constexpr LinuxKey table[] = {
    // Letters
    {0x00, 30, u"A"}, {0x0B, 48, u"B"}, {0x08, 46, u"C"}, {0x02, 32, u"D"}, {0x0E, 18, u"E"},
    {0x03, 33, u"F"}, {0x05, 34, u"G"}, {0x04, 35, u"H"}, {0x22, 23, u"I"}, {0x26, 36, u"J"},
    {0x28, 37, u"K"}, {0x25, 38, u"L"}, {0x2E, 50, u"M"}, {0x2D, 49, u"N"}, {0x1F, 24, u"O"},
    {0x23, 25, u"P"}, {0x0C, 16, u"Q"}, {0x0F, 19, u"R"}, {0x01, 31, u"S"}, {0x11, 20, u"T"},
    {0x20, 22, u"U"}, {0x09, 47, u"V"}, {0x0D, 17, u"W"}, {0x07, 45, u"X"}, {0x10, 21, u"Y"},
    {0x06, 44, u"Z"},
    // Digit row
    {0x12, 2, u"1"}, {0x13, 3, u"2"}, {0x14, 4, u"3"}, {0x15, 5, u"4"}, {0x17, 6, u"5"},
    {0x16, 7, u"6"}, {0x1A, 8, u"7"}, {0x1C, 9, u"8"}, {0x19, 10, u"9"}, {0x1D, 11, u"0"},
    // Punctuation
    {0x1B, 12, u"-"}, {0x18, 13, u"="}, {0x21, 26, u"["}, {0x1E, 27, u"]"}, {0x2A, 43, u"\\"},
    {0x29, 39, u";"}, {0x27, 40, u"'"}, {0x32, 41, u"`"}, {0x2B, 51, u","}, {0x2F, 52, u"."},
    {0x2C, 53, u"/"}, {0x0A, 86, u"<"},
    // Editing and navigation
    {0x24, 28, u"Invio"}, {0x30, 15, u"Tab"}, {0x31, 57, u"Spazio"}, {0x33, 14, u"Backspace"},
    {0x35, 1, u"Esc"}, {0x75, 111, u"Canc"}, {0x72, 110, u"Ins"}, {0x73, 102, u"Inizio"},
    {0x77, 107, u"Fine"}, {0x74, 104, u"PagSu"}, {0x79, 109, u"PagGiù"}, {0x7B, 105, u"Sinistra"},
    {0x7C, 106, u"Destra"}, {0x7D, 108, u"Giù"}, {0x7E, 103, u"Su"},
    // Function keys; Print, Scroll Lock and Pause sit where F13 to F15 are
    {0x7A, 59, u"F1"}, {0x78, 60, u"F2"}, {0x63, 61, u"F3"}, {0x76, 62, u"F4"}, {0x60, 63, u"F5"},
    {0x61, 64, u"F6"}, {0x62, 65, u"F7"}, {0x64, 66, u"F8"}, {0x65, 67, u"F9"}, {0x6D, 68, u"F10"},
    {0x67, 87, u"F11"}, {0x6F, 88, u"F12"}, {0x69, 99, u"Stamp"}, {0x6B, 70, u"BlocScorr"},
    {0x71, 119, u"Pausa"}, {0x6A, 186, u"F16"}, {0x40, 187, u"F17"}, {0x4F, 188, u"F18"},
    {0x50, 189, u"F19"}, {0x5A, 190, u"F20"},
    // Keypad
    {0x52, 82, u"Num 0"}, {0x53, 79, u"Num 1"}, {0x54, 80, u"Num 2"}, {0x55, 81, u"Num 3"},
    {0x56, 75, u"Num 4"}, {0x57, 76, u"Num 5"}, {0x58, 77, u"Num 6"}, {0x59, 71, u"Num 7"},
    {0x5B, 72, u"Num 8"}, {0x5C, 73, u"Num 9"}, {0x41, 83, u"Num ."}, {0x43, 55, u"Num *"},
    {0x45, 78, u"Num +"}, {0x4E, 74, u"Num -"}, {0x4B, 98, u"Num /"}, {0x51, 117, u"Num ="},
    {0x4C, 96, u"Num Invio"}, {0x47, 69, u"BlocNum"},
    // Modifier keys
    {0x37, 29, u"Ctrl"}, {0x36, 97, u"Ctrl destro"}, {0x3A, 56, u"Alt"}, {0x3D, 100, u"AltGr"},
    {0x3B, 125, u"Super"}, {0x3E, 126, u"Super destro"}, {0x38, 42, u"Maiusc"},
    {0x3C, 54, u"Maiusc destro"}, {0x39, 58, u"BlocMaiusc"},
    // Media and Japanese keys
    {0x48, 115, u"Volume su"}, {0x49, 114, u"Volume giù"}, {0x4A, 113, u"Muto"}, {0x5D, 124, u"¥"},
    {0x5E, 89, u"_"}, {0x5F, 121, u"Num ,"}, {0x66, 94, u"Muhenkan"}, {0x68, 92, u"Henkan"},
};
// clang-format on

const LinuxKey* findByKeyCode(std::uint32_t keyCode)
{
    for (const LinuxKey& key : table)
        if (key.keyCode == keyCode)
            return &key;
    return nullptr;
}

} // namespace

std::span<const LinuxKey> linuxKeyTable() { return table; }

std::optional<int> evdevCode(std::uint32_t keyCode)
{
    if (const LinuxKey* key = findByKeyCode(keyCode))
        return key->evdev;
    return std::nullopt;
}

std::optional<int> x11Keycode(std::uint32_t keyCode)
{
    if (const std::optional<int> evdev = evdevCode(keyCode))
        return *evdev + x11KeycodeOffset;
    return std::nullopt;
}

std::optional<std::uint32_t> keyCodeFromEvdev(int evdev)
{
    for (const LinuxKey& key : table)
        if (key.evdev == evdev)
            return key.keyCode;
    return std::nullopt;
}

std::optional<std::uint32_t> keyCodeFromX11(int x11Keycode) { return keyCodeFromEvdev(x11Keycode - x11KeycodeOffset); }

QString keyName(std::uint32_t keyCode)
{
    if (const LinuxKey* key = findByKeyCode(keyCode))
        return QString::fromUtf16(key->name);
    return QStringLiteral("?");
}

unsigned x11ModifierMask(KeyCombo::Modifiers modifiers)
{
    using M = KeyCombo::Modifiers;
    unsigned mask = 0;
    if (modifiers.contains(M::command))
        mask |= x11ControlMask;
    if (modifiers.contains(M::option))
        mask |= x11AltMask;
    if (modifiers.contains(M::control))
        mask |= x11SuperMask;
    if (modifiers.contains(M::shift))
        mask |= x11ShiftMask;
    return mask;
}

KeyCombo::Modifiers modifiersFromX11Mask(unsigned mask)
{
    using M = KeyCombo::Modifiers;
    M out;
    if (mask & x11ControlMask)
        out = out | M::command;
    if (mask & x11AltMask)
        out = out | M::option;
    if (mask & x11SuperMask)
        out = out | M::control;
    if (mask & x11ShiftMask)
        out = out | M::shift;
    return out;
}

KeyCombo::Modifiers modifiersFromQt(Qt::KeyboardModifiers modifiers)
{
    using M = KeyCombo::Modifiers;
    M out;
    if (modifiers & Qt::ControlModifier)
        out = out | M::command;
    if (modifiers & Qt::AltModifier)
        out = out | M::option;
    if (modifiers & Qt::MetaModifier)
        out = out | M::control;
    if (modifiers & Qt::ShiftModifier)
        out = out | M::shift;
    return out;
}

} // namespace vorlix
