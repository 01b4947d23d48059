#include "app/settings/ShortcutRecorder.h"

#include "core/formats/LinuxKeyMap.h"
#include "platform/FakeHotkeyGrabber.h"
#include "platform/HotkeyCenter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace vorlix;
using namespace Qt::StringLiterals;

namespace {

using M = KeyCombo::Modifiers;

constexpr KeyCombo areaCombo{KeyCode::digit2, M::command | M::shift};

// The X keycode of a key by its Linux input code.
quint32 scanCode(int evdev) { return static_cast<quint32>(evdev + x11KeycodeOffset); }

// A window with a page holding the recorder and another control that takes the focus;
// the hot keys are registered again as the program does, from one stored combination.
struct RecorderWindow {
    FakeHotkeyGrabber* grabber = new FakeHotkeyGrabber;
    HotkeyCenter hotkeys{std::unique_ptr<HotkeyGrabber>(grabber)};
    int registrations = 0;
    std::vector<KeyCombo> recorded;
    int clears = 0;

    QWidget window;
    QWidget* page = new QWidget(&window);
    ShortcutRecorder* recorder = new ShortcutRecorder(
        hotkeys, [this] { registerAgain(); }, page);
    QLineEdit* otherControl = new QLineEdit(page);

    RecorderWindow()
    {
        auto* layout = new QVBoxLayout(page);
        layout->addWidget(recorder);
        layout->addWidget(otherControl);
        (new QVBoxLayout(&window))->addWidget(page);
        recorder->onRecord = [this](const KeyCombo& combo) { recorded.push_back(combo); };
        recorder->onClear = [this] { ++clears; };
        registerAgain();
        registrations = 0;
    }

    void registerAgain()
    {
        ++registrations;
        hotkeys.unregisterAll();
        hotkeys.registerCombo(areaCombo, [] {});
    }

    bool hotkeysWork() const { return grabber->press(areaCombo); }

    bool showActive()
    {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }

    void startRecording() { QTest::mouseClick(recorder, Qt::LeftButton, {}, QPoint(20, 12)); }

    // Sends a key press as the X11 platform delivers it: the Qt key, the modifiers held
    // and the keycode of the key's position.
    void press(int key, Qt::KeyboardModifiers modifiers, quint32 nativeScanCode, const QString& text = {})
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, nativeScanCode, 0, 0, text);
        QApplication::sendEvent(recorder, &event);
    }
};

} // namespace

TEST(ShortcutRecorder, RecordsTheKeyByItsPositionWithTheModifiersHeld)
{
    struct Case {
        const char* name;
        int key;
        Qt::KeyboardModifiers modifiers;
        int evdev;
        KeyCombo expected;
    };
    const Case cases[] = {
        {"Ctrl+Maiusc+2", Qt::Key_At, Qt::ControlModifier | Qt::ShiftModifier, 3, areaCombo},
        // A German layout gives Z on the key of Y: the position is what is kept.
        {"Alt+position of Y", Qt::Key_Z, Qt::AltModifier, 21, {0x10, M::option}},
        {"Ctrl+Alt+Super+O",
         Qt::Key_O,
         Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier,
         24,
         {KeyCode::o, M::command | M::option | M::control}},
        {"F5 without modifiers", Qt::Key_F5, Qt::NoModifier, 63, {0x60, M{}}},
        // Tab and Maiusc+Tab are recorded too, not used to move the focus.
        {"Maiusc+Tab", Qt::Key_Backtab, Qt::ShiftModifier, 15, {KeyCode::tab, M::shift}},
        // Keypad state is no modifier of the combination.
        {"Ctrl+keypad 1", Qt::Key_1, Qt::ControlModifier | Qt::KeypadModifier, 79, {0x53, M::command}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecorderWindow w;
        w.startRecording();
        ASSERT_TRUE(w.recorder->isRecording());
        EXPECT_FALSE(w.hotkeysWork()) << "every hot key is off while the field listens";

        w.press(c.key, c.modifiers, scanCode(c.evdev));
        EXPECT_FALSE(w.recorder->isRecording());
        ASSERT_EQ(w.recorded.size(), 1u);
        EXPECT_EQ(w.recorded.front(), c.expected);
        // Registering again is the receiver's part after a recorded key.
        EXPECT_EQ(w.registrations, 0);
    }
}

TEST(ShortcutRecorder, ModifierKeysAloneAndUnknownKeysKeepItListening)
{
    RecorderWindow w;
    w.startRecording();
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        int evdev;
    };
    const Case presses[] = {
        {Qt::Key_Shift, Qt::ShiftModifier, 42},
        {Qt::Key_Control, Qt::ControlModifier, 29},
        {Qt::Key_Alt, Qt::AltModifier, 56},
        {Qt::Key_Super_L, Qt::MetaModifier, 125},
        {Qt::Key_AltGr, Qt::GroupSwitchModifier, 100},
        {Qt::Key_A, Qt::ControlModifier, 0x2ff}, // a key position outside the table
    };
    for (const Case& c : presses)
        w.press(c.key, c.modifiers, scanCode(c.evdev));
    EXPECT_TRUE(w.recorder->isRecording());
    EXPECT_TRUE(w.recorded.empty());
    EXPECT_FALSE(w.hotkeysWork());

    w.press(Qt::Key_A, Qt::ControlModifier, scanCode(30));
    ASSERT_EQ(w.recorded.size(), 1u);
    EXPECT_EQ(w.recorded.front(), (KeyCombo{0x00, M::command}));
}

TEST(ShortcutRecorder, EscapeAndTheClearButtonCancelAndBringTheHotKeysBack)
{
    const std::pair<const char*, std::function<void(RecorderWindow&)>> cancels[] = {
        {"Escape", [](RecorderWindow& w) { w.press(Qt::Key_Escape, Qt::NoModifier, scanCode(1)); }},
        {"Escape with a modifier", [](RecorderWindow& w) { w.press(Qt::Key_Escape, Qt::ShiftModifier, scanCode(1)); }},
        {"Escape without a keycode", [](RecorderWindow& w) { w.press(Qt::Key_Escape, Qt::NoModifier, 0); }},
        {"clear button", [](RecorderWindow& w) { w.recorder->clearButton().click(); }},
    };
    for (const auto& [name, cancel] : cancels) {
        SCOPED_TRACE(name);
        RecorderWindow w;
        w.recorder->setCombo(areaCombo);
        w.startRecording();
        cancel(w);
        EXPECT_FALSE(w.recorder->isRecording());
        EXPECT_TRUE(w.recorded.empty());
        EXPECT_EQ(w.clears, 0);
        EXPECT_EQ(w.recorder->combo(), areaCombo);
        EXPECT_EQ(w.registrations, 1);
        EXPECT_TRUE(w.hotkeysWork());
    }
}

TEST(ShortcutRecorder, EveryOtherWayOutOfRecordingBringsTheHotKeysBack)
{
    const std::pair<const char*, std::function<void(RecorderWindow&)>> endings[] = {
        {"another control clicked", [](RecorderWindow& w) { w.otherControl->setFocus(Qt::MouseFocusReason); }},
        {"window closed", [](RecorderWindow& w) { w.window.close(); }},
        {"page switched", [](RecorderWindow& w) { w.page->hide(); }},
        {"application deactivated", [](RecorderWindow&) { QApplication::setActiveWindow(nullptr); }},
        {"field destroyed", [](RecorderWindow& w) { delete w.recorder; }},
    };
    for (const auto& [name, end] : endings) {
        SCOPED_TRACE(name);
        RecorderWindow w;
        ASSERT_TRUE(w.showActive());
        w.startRecording();
        ASSERT_TRUE(w.recorder->hasFocus());
        ASSERT_TRUE(w.recorder->isRecording());
        ASSERT_FALSE(w.hotkeysWork());

        end(w);
        EXPECT_EQ(w.registrations, 1);
        EXPECT_TRUE(w.hotkeysWork());
        EXPECT_TRUE(w.recorded.empty());
    }
}

TEST(ShortcutRecorder, WhileRecordingItTakesTheKeysOfShortcutsAndMenus)
{
    RecorderWindow w;
    const auto overrideAccepted = [&w] {
        QKeyEvent event(QEvent::ShortcutOverride, Qt::Key_Q, Qt::ControlModifier, scanCode(16), 0, 0, {});
        event.ignore();
        QApplication::sendEvent(w.recorder, &event);
        return event.isAccepted();
    };
    EXPECT_FALSE(overrideAccepted());
    w.startRecording();
    EXPECT_TRUE(overrideAccepted());
}

TEST(ShortcutRecorder, ShowsItsStateAndOffersClearingOnlyWithSomethingToClear)
{
    RecorderWindow w;
    ASSERT_TRUE(w.showActive());
    QLabel& label = w.recorder->label();
    QToolButton& clear = w.recorder->clearButton();

    EXPECT_EQ(label.text(), u"Nessuna"_s);
    EXPECT_FALSE(clear.isVisible());

    w.recorder->setCombo(areaCombo);
    EXPECT_EQ(label.text(), u"Ctrl+Maiusc+2"_s);
    EXPECT_EQ(w.recorder->accessibleName(), u"Ctrl+Maiusc+2"_s);
    EXPECT_TRUE(clear.isVisible());
    clear.click();
    EXPECT_EQ(w.clears, 1) << "idle, the button takes the combination away";

    w.recorder->setCombo(std::nullopt);
    w.startRecording();
    EXPECT_EQ(label.text(), u"Premi la combinazione…"_s);
    EXPECT_TRUE(clear.isVisible());
}

TEST(ShortcutRecorder, CombinationTextsUseTheKeyCharacterOrElseTheKeyName)
{
    FakeHotkeyGrabber* grabber = new FakeHotkeyGrabber;
    const HotkeyCenter hotkeys{std::unique_ptr<HotkeyGrabber>(grabber)};
    struct Case {
        KeyCombo combo;
        const char16_t* expected;
    };
    const Case cases[] = {
        {{KeyCode::o, M::command | M::option | M::control}, u"Ctrl+Alt+Super+O"},
        {{KeyCode::digit2, M::command | M::shift | M::control}, u"Ctrl+Super+Maiusc+2"},
        {{0x60, M::option}, u"Alt+F5"},
        {{KeyCode::space, M::command}, u"Ctrl+Spazio"},
        {{KeyCode::print, M{}}, u"Stamp"},
        {{0x2ff, M::command}, u"Ctrl+?"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(shortcutText(c.combo, hotkeys), QString::fromUtf16(c.expected));
}
