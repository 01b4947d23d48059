#include "app/settings/SettingsRow.h"
#include "app/settings/ShortcutRecorder.h"
#include "app/settings/ShortcutSettingsViewController.h"

#include "SettingsFixture.h"
#include "core/formats/LinuxKeyMap.h"
#include "platform/FakeHotkeyGrabber.h"
#include "platform/HotkeyCenter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;
using namespace Qt::StringLiterals;

namespace {

using M = KeyCombo::Modifiers;
using A = HotkeyAction;

const KeyCombo area = HotkeyConfiguration::defaults().bindings.at(A::captureArea);
constexpr KeyCombo ctrlAltK{0x28, M::command | M::option};

// A key of the keyboard as the X11 platform reports it: the Qt key and the keycode of its
// position.
struct Key {
    int qtKey;
    Qt::KeyboardModifiers modifiers;
    int evdev;
};

// The "Scorciatoie" page of a settings window over settings in memory. Hot keys are
// registered from the stored configuration, as the program does, on a fake desktop.
struct ShortcutPage : SettingsFixture {
    FakeHotkeyGrabber* grabber = new FakeHotkeyGrabber;
    HotkeyCenter hotkeys{std::unique_ptr<HotkeyGrabber>(grabber)};
    int applications = 0;
    std::optional<SettingsWindowController> controller;
    ShortcutSettingsViewController* page = nullptr;

    ShortcutPage()
    {
        services.hotkeys = [this]() -> HotkeyCenter& { return hotkeys; };
        services.applyHotkeys = [this] { return applyHotkeys(); };
        applyHotkeys();
        applications = 0;
        controller.emplace(settings, services);
        for (const SettingsWindowController::Tab& tab : controller->tabs())
            if (auto* shortcuts = dynamic_cast<ShortcutSettingsViewController*>(tab.page))
                page = shortcuts;
        page->viewWillAppear();
    }

    std::set<HotkeyAction> applyHotkeys()
    {
        ++applications;
        hotkeys.unregisterAll();
        std::set<HotkeyAction> failed;
        for (const auto& [action, combo] : settings.get(setting::hotkeys).bindings)
            if (!hotkeys.registerCombo(combo, [] {}))
                failed.insert(action);
        return failed;
    }

    HotkeyConfiguration stored() const { return settings.get(setting::hotkeys); }
    ShortcutRecorder& recorder(A action) const { return *page->recorder(action); }
    QLabel& warning(A action) const { return *page->row(action)->warning(); }
    QString shown(A action) const { return recorder(action).label().text(); }

    void record(A action, const Key& key)
    {
        QTest::mouseClick(&recorder(action), Qt::LeftButton, {}, QPoint(20, 12));
        ASSERT_TRUE(recorder(action).isRecording());
        QKeyEvent event(QEvent::KeyPress, key.qtKey, key.modifiers, static_cast<quint32>(key.evdev + x11KeycodeOffset),
                        0, 0, {});
        QApplication::sendEvent(&recorder(action), &event);
    }

    bool registered(const KeyCombo& combo) const { return grabber->press(combo); }
};

} // namespace

TEST(ShortcutSettings, ARefusedCombinationSaysWhyInItsRowAndLeavesEveryBindingAsItWas)
{
    struct Case {
        const char* name;
        Key key;
        const char16_t* warning;
    };
    const Case cases[] = {
        {"another action's",
         {Qt::Key_At, Qt::ControlModifier | Qt::ShiftModifier, 3},
         u"Ctrl+Maiusc+2 è già usata per “Cattura area”."},
        {"shift only", {Qt::Key_A, Qt::ShiftModifier, 30}, u"Usa almeno uno tra Ctrl, Alt e Super."},
        {"no modifier", {Qt::Key_F5, Qt::NoModifier, 63}, u"Usa almeno uno tra Ctrl, Alt e Super."},
        {"the desktop's",
         {Qt::Key_Tab, Qt::AltModifier, 15},
         u"Alt+Tab è usata dal sistema (Passaggio tra le finestre)."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShortcutPage p;
        p.record(A::captureFullScreen, c.key);

        EXPECT_EQ(p.warning(A::captureFullScreen).text(), QString::fromUtf16(c.warning));
        EXPECT_FALSE(p.warning(A::captureFullScreen).isHidden());
        EXPECT_EQ(p.stored(), HotkeyConfiguration::defaults());
        EXPECT_EQ(p.shown(A::captureFullScreen), u"Ctrl+Maiusc+1"_s);
        EXPECT_EQ(p.shown(A::captureArea), u"Ctrl+Maiusc+2"_s);
        // The field had taken every hot key away.
        EXPECT_TRUE(p.registered(area));
        EXPECT_TRUE(p.warning(A::captureArea).isHidden());
    }
}

TEST(ShortcutSettings, AnAcceptedCombinationIsStoredRegisteredAndClearsTheRowsWarning)
{
    ShortcutPage p;
    p.record(A::captureWindow, {Qt::Key_At, Qt::ControlModifier | Qt::ShiftModifier, 3});
    ASSERT_FALSE(p.warning(A::captureWindow).isHidden());

    p.record(A::captureWindow, {Qt::Key_K, Qt::ControlModifier | Qt::AltModifier, 37});
    EXPECT_TRUE(p.warning(A::captureWindow).isHidden());
    EXPECT_TRUE(p.warning(A::captureWindow).text().isEmpty());
    EXPECT_EQ(p.stored().bindings.at(A::captureWindow), ctrlAltK);
    EXPECT_EQ(p.shown(A::captureWindow), u"Ctrl+Alt+K"_s);
    EXPECT_TRUE(p.registered(ctrlAltK));
    EXPECT_TRUE(p.registered(area));

    // Its own combination again is no conflict.
    p.record(A::captureWindow, {Qt::Key_K, Qt::ControlModifier | Qt::AltModifier, 37});
    EXPECT_TRUE(p.warning(A::captureWindow).isHidden());
    EXPECT_EQ(p.stored().bindings.at(A::captureWindow), ctrlAltK);
}

TEST(ShortcutSettings, ACombinationAnotherProgramHoldsIsStoredAndFlaggedAsTaken)
{
    ShortcutPage p;
    p.grabber->holdElsewhere(ctrlAltK);
    p.record(A::captureScrolling, {Qt::Key_K, Qt::ControlModifier | Qt::AltModifier, 37});

    EXPECT_EQ(p.warning(A::captureScrolling).text(), u"Ctrl+Alt+K è già usata da un'altra app."_s);
    EXPECT_FALSE(p.warning(A::captureScrolling).isHidden());
    EXPECT_EQ(p.stored().bindings.at(A::captureScrolling), ctrlAltK);
    EXPECT_EQ(p.shown(A::captureScrolling), u"Ctrl+Alt+K"_s);
    EXPECT_TRUE(p.registered(area)) << "the other hot keys stay registered";
}

TEST(ShortcutSettings, TheClearButtonTakesTheBindingAwayAndRestoringBringsBackTheDefaults)
{
    ShortcutPage p;
    p.recorder(A::captureArea).clearButton().click();
    EXPECT_FALSE(p.stored().bindings.contains(A::captureArea));
    EXPECT_EQ(p.shown(A::captureArea), u"Nessuna"_s);
    EXPECT_FALSE(p.registered(area));

    p.record(A::captureFullScreen, {Qt::Key_A, Qt::ShiftModifier, 30});
    p.grabber->holdElsewhere(ctrlAltK);
    p.record(A::captureWindow, {Qt::Key_K, Qt::ControlModifier | Qt::AltModifier, 37});
    ASSERT_FALSE(p.warning(A::captureFullScreen).isHidden());
    ASSERT_FALSE(p.warning(A::captureWindow).isHidden());

    p.page->restoreButton()->click();
    EXPECT_EQ(p.stored(), HotkeyConfiguration::defaults());
    EXPECT_TRUE(p.registered(area));
    const std::pair<A, const char16_t*> rows[] = {
        {A::captureArea, u"Ctrl+Maiusc+2"},      {A::captureFullScreen, u"Ctrl+Maiusc+1"},
        {A::recognizeText, u"Ctrl+Alt+Super+O"}, {A::captureAllInOne, u"Ctrl+Super+Maiusc+2"},
        {A::captureWindow, u"Nessuna"},          {A::captureActiveWindow, u"Nessuna"},
        {A::captureScrolling, u"Nessuna"},       {A::captureFixedArea, u"Nessuna"},
    };
    for (const auto& [action, shown] : rows) {
        EXPECT_EQ(p.shown(action), QString::fromUtf16(shown));
        EXPECT_TRUE(p.warning(action).isHidden());
    }
}

TEST(ShortcutSettings, LeavingThePageOrClosingTheWindowWhileRecordingBringsTheHotKeysBack)
{
    const std::pair<const char*, std::function<void(ShortcutPage&)>> endings[] = {
        {"page switched", [](ShortcutPage& p) { p.controller->selectTab(0); }},
        {"window closed", [](ShortcutPage& p) { p.controller->window().close(); }},
    };
    for (const auto& [name, end] : endings) {
        SCOPED_TRACE(name);
        ShortcutPage p;
        p.controller->show();
        p.controller->selectTab(2);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&p.controller->window()));
        QTest::mouseClick(&p.recorder(A::captureArea), Qt::LeftButton, {}, QPoint(20, 12));
        ASSERT_TRUE(p.recorder(A::captureArea).isRecording());
        ASSERT_FALSE(p.registered(area));

        end(p);
        EXPECT_FALSE(p.recorder(A::captureArea).isRecording());
        EXPECT_TRUE(p.registered(area));
        EXPECT_EQ(p.stored(), HotkeyConfiguration::defaults());
    }
}
