#include "core/formats/HotkeyConfiguration.h"
#include "core/formats/LinuxKeyMap.h"

#include <gtest/gtest.h>

#include <set>

using namespace vorlix;
using namespace Qt::StringLiterals;

namespace {

using M = KeyCombo::Modifiers;
using Conflict = HotkeyConfiguration::Conflict;

} // namespace

TEST(HotkeyConfiguration, ConflictsAreTestedInvalidThenSystemThenOtherActions)
{
    const HotkeyConfiguration& defaults = HotkeyConfiguration::defaults();
    struct Case {
        KeyCombo combo;
        HotkeyAction action;
        std::optional<Conflict> expected;
    };
    const Case cases[] = {
        {{KeyCode::digit1, M::shift}, HotkeyAction::captureWindow, Conflict::invalid()},
        {{KeyCode::digit1, M{}}, HotkeyAction::captureWindow, Conflict::invalid()},
        {{KeyCode::print, M{}}, HotkeyAction::captureWindow, Conflict::invalid()},
        {{KeyCode::print, M::option},
         HotkeyAction::captureWindow,
         Conflict::system(u"Schermata di una finestra del sistema"_s)},
        {{KeyCode::tab, M::option}, HotkeyAction::captureArea, Conflict::system(u"Passaggio tra le finestre"_s)},
        {{KeyCode::l, M::control}, HotkeyAction::captureArea, Conflict::system(u"Blocco dello schermo"_s)},
        {{KeyCode::upArrow, M::command | M::option},
         HotkeyAction::captureArea,
         Conflict::system(u"Cambio dell'area di lavoro"_s)},
        // An extra modifier makes another combination.
        {{KeyCode::tab, M::option | M::shift}, HotkeyAction::captureWindow, std::nullopt},
        {{KeyCode::digit2, M::command | M::shift},
         HotkeyAction::captureWindow,
         Conflict::otherAction(HotkeyAction::captureArea)},
        {{KeyCode::digit2, M::command | M::shift}, HotkeyAction::captureArea, std::nullopt},
        {{KeyCode::digit2, M::command | M::shift | M::control},
         HotkeyAction::captureArea,
         Conflict::otherAction(HotkeyAction::captureAllInOne)},
        {{KeyCode::digit3, M::command | M::shift}, HotkeyAction::captureWindow, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.combo.displayText().toStdString());
        EXPECT_EQ(defaults.conflict(c.combo, c.action), c.expected);
    }
}

TEST(HotkeyConfiguration, SystemTableUsesTheModifierMapping)
{
    // Super is the control bit, Alt the option bit, Ctrl the command bit.
    std::set<QString> shown;
    for (const auto& shortcut : HotkeyConfiguration::systemShortcuts())
        shown.insert(shortcut.combo.displayText());
    for (const char16_t* text : {u"Stamp", u"Alt+Stamp", u"Maiusc+Stamp", u"Alt+Tab", u"Alt+F4", u"Alt+F2",
                                 u"Super+Super", u"Super+L", u"Ctrl+Alt+T", u"Ctrl+Alt+L", u"Ctrl+Alt+Canc",
                                 u"Ctrl+Alt+Sinistra", u"Ctrl+Alt+Destra", u"Ctrl+Alt+Su", u"Ctrl+Alt+Giù"}) {
        EXPECT_TRUE(shown.contains(QString::fromUtf16(text))) << QString::fromUtf16(text).toStdString();
    }
    EXPECT_EQ(shown.size(), HotkeyConfiguration::systemShortcuts().size());
}

TEST(HotkeyConfiguration, DefaultsAndNames)
{
    const auto& bindings = HotkeyConfiguration::defaults().bindings;
    ASSERT_EQ(bindings.size(), 4u);
    EXPECT_EQ(bindings.at(HotkeyAction::captureArea).displayText(), u"Ctrl+Maiusc+2"_s);
    EXPECT_EQ(bindings.at(HotkeyAction::captureFullScreen).displayText(), u"Ctrl+Maiusc+1"_s);
    EXPECT_EQ(bindings.at(HotkeyAction::recognizeText).displayText(), u"Ctrl+Alt+Super+O"_s);
    EXPECT_EQ(bindings.at(HotkeyAction::captureAllInOne).displayText(), u"Ctrl+Super+Maiusc+2"_s);
    EXPECT_EQ(bindings.at(HotkeyAction::recognizeText).modifiers.rawValue, 13);

    EXPECT_EQ(KeyCombo({KeyCode::digit1, M{}}).modifierSymbols(), QString());
    EXPECT_EQ(KeyCombo({KeyCode::digit1, M::command}).modifierSymbols(), u"Ctrl"_s);
    EXPECT_EQ(KeyCombo({999, M::command}).displayText(), u"Ctrl+?"_s);

    const auto actions = allCases<HotkeyAction>();
    ASSERT_EQ(actions.size(), 8u);
    EXPECT_EQ(enumText(actions[2]), "recognizeText");
    EXPECT_EQ(displayName(HotkeyAction::recognizeText), u"Riconosci testo/QR"_s);
    EXPECT_EQ(displayName(HotkeyAction::captureFixedArea), u"Cattura area di misura fissa"_s);
}

TEST(HotkeyConfiguration, JsonIsAnObjectKeyedByActionNames)
{
    const Json encoded = encodeJson(HotkeyConfiguration::defaults());
    EXPECT_EQ(encoded, Json::parse(R"({"bindings": {
        "captureArea": {"keyCode": 19, "modifiers": 3},
        "captureFullScreen": {"keyCode": 18, "modifiers": 3},
        "recognizeText": {"keyCode": 31, "modifiers": 13},
        "captureAllInOne": {"keyCode": 19, "modifiers": 11}}})"));
    EXPECT_EQ(decodeJson<HotkeyConfiguration>(JsonValue(encoded)), HotkeyConfiguration::defaults());
    const Json empty = Json::parse(R"({"bindings": {}})");
    EXPECT_TRUE(decodeJson<HotkeyConfiguration>(JsonValue(empty)).bindings.empty());

    struct Case {
        const char* json;
        const char* path;
    };
    const Case bad[] = {
        {R"({})", ""},
        {R"({"bindings": {"captureEverything": {"keyCode": 1, "modifiers": 1}}})", "bindings.captureEverything"},
        {R"({"bindings": {"captureArea": {"keyCode": 19}}})", "bindings.captureArea"},
        {R"({"bindings": {"captureArea": {"keyCode": -1, "modifiers": 1}}})", "bindings.captureArea.keyCode"},
        {R"({"bindings": {"captureArea": {"keyCode": 19, "modifiers": 1.5}}})", "bindings.captureArea.modifiers"},
        {R"({"bindings": [["captureArea", {"keyCode": 19, "modifiers": 3}]]})", "bindings"},
    };
    for (const Case& c : bad) {
        SCOPED_TRACE(c.json);
        const Json json = Json::parse(c.json);
        try {
            decodeJson<HotkeyConfiguration>(JsonValue(json));
            ADD_FAILURE() << "decoded";
        } catch (const DecodeError& e) {
            EXPECT_EQ(e.codingPath(), c.path);
        }
    }
}

// Bits a later version may add are kept and written back; only the known ones decide.
TEST(KeyCombo, UnknownModifierBitsAreKeptAndIgnoredByTheRules)
{
    const Json json = Json::parse(R"({"keyCode": 19, "modifiers": 1048595})"); // 1 << 20 | shift | command
    const KeyCombo combo = decodeJson<KeyCombo>(JsonValue(json));
    EXPECT_EQ(combo.modifiers.rawValue, 1048595);
    EXPECT_EQ(encodeJson(combo), json);
    EXPECT_TRUE(combo.isValidGlobalShortcut());
    EXPECT_EQ(combo.modifierSymbols(), u"Ctrl+Maiusc"_s);

    const KeyCombo unknownOnly{19, {16 | KeyCombo::Modifiers::shift.rawValue}};
    EXPECT_FALSE(unknownOnly.isValidGlobalShortcut());
    EXPECT_EQ(unknownOnly.modifierSymbols(), u"Maiusc"_s);
    EXPECT_EQ(HotkeyConfiguration{}.conflict(unknownOnly, HotkeyAction::captureArea),
              HotkeyConfiguration::Conflict::invalid());
}

TEST(LinuxKeyMap, MapsEveryStoredKeyToOneLinuxKeyAndBack)
{
    std::set<std::uint32_t> keyCodes;
    std::set<int> evdevCodes;
    for (const LinuxKey& key : linuxKeyTable()) {
        EXPECT_TRUE(keyCodes.insert(key.keyCode).second) << "stored key " << key.keyCode << " twice";
        EXPECT_TRUE(evdevCodes.insert(key.evdev).second) << "evdev code " << key.evdev << " twice";
        EXPECT_EQ(keyCodeFromEvdev(key.evdev), key.keyCode);
        EXPECT_FALSE(QString::fromUtf16(key.name).isEmpty());
    }
    struct Case {
        std::uint32_t keyCode;
        int x11;
    };
    // X keycodes of a standard PC keyboard.
    const Case cases[] = {
        {KeyCode::digit1, 10},
        {KeyCode::digit2, 11},
        {KeyCode::digit5, 14},
        {KeyCode::digit6, 15},
        {0x1D, 19},
        {KeyCode::q, 24},
        {KeyCode::o, 32},
        {KeyCode::space, 65},
        {KeyCode::tab, 23},
        {KeyCode::escape, 9},
        {0x24, 36},
        {0x4C, 104},
        {0x33, 22},
        {0x75, 119},
        {0x7B, 113},
        {0x7C, 114},
        {0x7D, 116},
        {0x7E, 111},
        {KeyCode::print, 107},
        {0x0A, 94},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keyCode);
        EXPECT_EQ(x11Keycode(c.keyCode), c.x11);
        EXPECT_EQ(keyCodeFromX11(c.x11), c.keyCode);
    }
    EXPECT_EQ(x11Keycode(0x3F), std::nullopt); // the fn key never reaches the system
    EXPECT_EQ(keyCodeFromX11(8 + 183), std::nullopt);
}

TEST(LinuxKeyMap, ModifiersFollowTheDesktopConvention)
{
    const M all = M::command | M::option | M::control | M::shift;
    EXPECT_EQ(x11ModifierMask(M::command), x11ControlMask);
    EXPECT_EQ(x11ModifierMask(M::option), x11AltMask);
    EXPECT_EQ(x11ModifierMask(M::control), x11SuperMask);
    EXPECT_EQ(x11ModifierMask(M::shift), x11ShiftMask);
    EXPECT_EQ(modifiersFromX11Mask(x11ModifierMask(all) | x11LockMask | x11NumLockMask), all);
    EXPECT_EQ(modifiersFromQt(Qt::ControlModifier | Qt::MetaModifier | Qt::KeypadModifier), M::command | M::control);
    EXPECT_EQ(modifiersFromQt(Qt::AltModifier | Qt::ShiftModifier), M::option | M::shift);
}
