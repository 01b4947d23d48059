// Global hot keys against a real X server: the keys are pressed through the XTEST
// extension (xdotool), as a user would press them, and a second X client plays the
// other program that holds a combination.

#include "core/formats/LinuxKeyMap.h"
#include "platform/FakeHotkeyGrabber.h"
#include "platform/HotkeyCenter.h"
#include "support/desktop/Desktop.h"
#include "support/desktop/DesktopTools.h"

#include <QCoreApplication>
#include <QThread>

#include <xcb/xcb.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

using namespace vorlix;
using namespace vorlix::test;

namespace {

constexpr KeyCombo::Modifiers ctrlShift = KeyCombo::Modifiers::command | KeyCombo::Modifiers::shift;

// Another X client on the test's desktop.
class OtherClient {
public:
    OtherClient() : m_connection(xcb_connect(processDesktop().displayName().toUtf8().constData(), nullptr))
    {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    }
    ~OtherClient() { xcb_disconnect(m_connection); }

    // Grabs the key as a hot-key program would; false when the server refuses.
    bool grab(const KeyCombo& combo, std::uint16_t extraModifiers = 0)
    {
        const xcb_void_cookie_t cookie = xcb_grab_key_checked(
            m_connection, 0, m_root, static_cast<std::uint16_t>(x11ModifierMask(combo.modifiers) | extraModifiers),
            static_cast<xcb_keycode_t>(*x11Keycode(combo.keyCode)), XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        xcb_generic_error_t* error = xcb_request_check(m_connection, cookie);
        std::free(error);
        return error == nullptr;
    }

    // The modifier and lock state of the keyboard now.
    std::uint16_t modifierState()
    {
        xcb_query_pointer_reply_t* reply =
            xcb_query_pointer_reply(m_connection, xcb_query_pointer(m_connection, m_root), nullptr);
        const std::uint16_t mask = reply ? reply->mask : 0;
        std::free(reply);
        return mask;
    }

private:
    xcb_connection_t* m_connection;
    xcb_window_t m_root;
};

class X11Hotkeys : public testing::Test {
protected:
    void SetUp() override
    {
        std::unique_ptr<HotkeyGrabber> grabber = HotkeyCenter::makePlatformGrabber();
        ASSERT_EQ(dynamic_cast<FakeHotkeyGrabber*>(grabber.get()), nullptr) << "not the X11 grabber";
        m_center = std::make_unique<HotkeyCenter>(std::move(grabber));
    }

    void TearDown() override
    {
        m_center.reset();
        setLocks(false, false);
        runTool(QStringLiteral("setxkbmap"), {QStringLiteral("us")});
        runTool(QStringLiteral("xset"), {QStringLiteral("r"), QStringLiteral("rate")});
    }

    // Turns CapsLock and NumLock on or off, pressing them as a user does.
    void setLocks(bool caps, bool num)
    {
        OtherClient probe;
        const std::uint16_t state = probe.modifierState();
        if (((state & XCB_MOD_MASK_LOCK) != 0) != caps)
            sendKeys(QStringLiteral("Caps_Lock"));
        const bool numOn = (state & numLockMask) != 0;
        if (numOn != num)
            sendKeys(QStringLiteral("Num_Lock"));
        waitUntil([&] {
            const std::uint16_t now = probe.modifierState();
            return ((now & XCB_MOD_MASK_LOCK) != 0) == caps && ((now & numLockMask) != 0) == num;
        });
    }

    // Presses `keys` and waits until `count` reaches `expected`; then a little longer, to
    // see that it goes no further.
    static void pressAndExpect(const QString& keys, const int& count, int expected)
    {
        ASSERT_TRUE(sendKeys(keys));
        EXPECT_TRUE(waitUntil([&] { return count >= expected; }, 3s)) << keys.toStdString();
        processEventsFor(60ms);
        EXPECT_EQ(count, expected) << keys.toStdString();
    }

    std::unique_ptr<HotkeyCenter> m_center;
    std::uint16_t numLockMask = XCB_MOD_MASK_2;
};

} // namespace

TEST_F(X11Hotkeys, ACombinationFiresOncePerPressOnTheMainThreadWhateverTheLocks)
{
    int count = 0;
    bool onMainThread = true;
    ASSERT_TRUE(m_center->registerCombo({KeyCode::digit2, ctrlShift}, [&] {
        ++count;
        onMainThread = onMainThread && QThread::currentThread() == QCoreApplication::instance()->thread();
    }));

    struct Case {
        bool caps;
        bool num;
    };
    const Case cases[] = {{false, false}, {true, false}, {false, true}, {true, true}};
    int expected = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "caps " << c.caps << " num " << c.num);
        setLocks(c.caps, c.num);
        pressAndExpect(QStringLiteral("ctrl+shift+2"), count, ++expected);
    }
    // Other modifiers, or none, are other combinations.
    setLocks(false, false);
    pressAndExpect(QStringLiteral("ctrl+2"), count, expected);
    pressAndExpect(QStringLiteral("ctrl+shift+alt+2"), count, expected);
    EXPECT_TRUE(onMainThread);
}

TEST_F(X11Hotkeys, ACombinationAnotherProgramHoldsIsTakenAndLeavesNoGrabBehind)
{
    const KeyCombo ctrlShift3{KeyCode::digit3, ctrlShift};
    auto other = std::make_unique<OtherClient>();
    ASSERT_TRUE(other->grab(ctrlShift3));

    EXPECT_EQ(m_center->registerCombo({KeyCode::digit2, ctrlShift}, [] {}).id, 1u);
    const HotkeyCenter::Registration taken = m_center->registerCombo(ctrlShift3, [] {});
    EXPECT_EQ(taken.id, 2u);
    EXPECT_EQ(taken.error, HotkeyRegistrationError::alreadyTaken());
    const HotkeyCenter::Registration noKey = m_center->registerCombo({0xFFFF, ctrlShift}, [] {});
    EXPECT_EQ(noKey.id, 3u);
    EXPECT_EQ(noKey.error, HotkeyRegistrationError::failed(0));
    const HotkeyCenter::Registration next = m_center->registerCombo({KeyCode::digit4, ctrlShift}, [] {});
    EXPECT_TRUE(next);
    EXPECT_EQ(next.id, 4u);

    // The CapsLock variants that were granted before the refusal were let go again.
    other.reset();
    OtherClient third;
    EXPECT_TRUE(third.grab(ctrlShift3, XCB_MOD_MASK_LOCK));
    EXPECT_TRUE(third.grab(ctrlShift3, XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2));
    // And what this program holds, another cannot grab.
    EXPECT_FALSE(third.grab({KeyCode::digit4, ctrlShift}, XCB_MOD_MASK_2));
}

TEST_F(X11Hotkeys, AfterUnregisteringTheKeyDoesNothingAndIsFreeForOthers)
{
    int area = 0;
    int full = 0;
    const std::uint32_t areaID = m_center->registerCombo({KeyCode::digit2, ctrlShift}, [&] { ++area; }).id;
    m_center->registerCombo({KeyCode::digit1, ctrlShift}, [&] { ++full; });
    pressAndExpect(QStringLiteral("ctrl+shift+2"), area, 1);

    m_center->unregister(areaID);
    pressAndExpect(QStringLiteral("ctrl+shift+2"), area, 1);
    pressAndExpect(QStringLiteral("ctrl+shift+1"), full, 1);
    EXPECT_TRUE(OtherClient().grab({KeyCode::digit2, ctrlShift}));

    m_center->unregisterAll();
    pressAndExpect(QStringLiteral("ctrl+shift+1"), full, 1);
    EXPECT_EQ(m_center->registerCombo({KeyCode::digit1, ctrlShift}, [] {}).id, 3u);
}

TEST_F(X11Hotkeys, AModifierMappingChangeGrabsAgainForTheNewNumLock)
{
    int count = 0;
    int changes = 0;
    const KeyCombo combo{KeyCode::digit2, ctrlShift};
    ASSERT_TRUE(m_center->registerCombo(combo, [&] { ++count; }));
    m_center->setKeyboardChangeHandler([&] { ++changes; });

    // NumLock moves from Mod2 to Mod3: only grabs made again cover the new state.
    ASSERT_EQ(runTool(QStringLiteral("xmodmap"), {QStringLiteral("-e"), QStringLiteral("clear mod2"),
                                                  QStringLiteral("-e"), QStringLiteral("add mod3 = Num_Lock")})
                  .exitCode,
              0);
    ASSERT_TRUE(waitUntil([&] { return changes > 0; }, 3s));
    numLockMask = XCB_MOD_MASK_3;
    setLocks(false, true);
    OtherClient other;
    ASSERT_NE(other.modifierState() & XCB_MOD_MASK_3, 0);
    pressAndExpect(QStringLiteral("ctrl+shift+2"), count, 1);
    EXPECT_FALSE(other.grab(combo, XCB_MOD_MASK_3));

    setLocks(false, false);
    runTool(QStringLiteral("xmodmap"), {QStringLiteral("-e"), QStringLiteral("clear mod3"), QStringLiteral("-e"),
                                        QStringLiteral("add mod2 = Num_Lock")});
    numLockMask = XCB_MOD_MASK_2;
}

TEST_F(X11Hotkeys, KeyCharactersFollowTheLayoutAndKeysStillFireAfterAChange)
{
    struct Case {
        std::uint32_t keyCode;
        const char* us;
        const char* de;
    };
    const Case cases[] = {
        {0x06, "z", "y"},
        {0x10, "y", "z"},
        {KeyCode::digit2, "2", "2"},
        {0x1B, "-", "ß"},
        {KeyCode::escape, "?", "?"},
        {KeyCode::tab, "?", "?"},
        {0xFFFF, "?", "?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keyCode);
        EXPECT_EQ(m_center->keyCharacter({c.keyCode, ctrlShift}), QString::fromUtf8(c.us));
    }

    int count = 0;
    int changes = 0;
    ASSERT_TRUE(m_center->registerCombo({KeyCode::digit2, ctrlShift}, [&] { ++count; }));
    m_center->setKeyboardChangeHandler([&] { ++changes; });
    ASSERT_EQ(runTool(QStringLiteral("setxkbmap"), {QStringLiteral("de")}).exitCode, 0);
    ASSERT_TRUE(waitUntil([&] { return changes > 0; }, 3s));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keyCode);
        EXPECT_EQ(m_center->keyCharacter({c.keyCode, ctrlShift}), QString::fromUtf8(c.de));
    }
    setLocks(false, true);
    pressAndExpect(QStringLiteral("ctrl+shift+2"), count, 1);
}

TEST_F(X11Hotkeys, AKeyHeldDownFiresOnceThroughItsRepeats)
{
    int count = 0;
    ASSERT_TRUE(m_center->registerCombo({KeyCode::digit2, ctrlShift}, [&] { ++count; }));
    // Repeats start after 20 ms and come every 10 ms.
    ASSERT_EQ(runTool(QStringLiteral("xset"),
                      {QStringLiteral("r"), QStringLiteral("rate"), QStringLiteral("20"), QStringLiteral("100")})
                  .exitCode,
              0);
    ASSERT_EQ(runTool(QStringLiteral("xdotool"), {QStringLiteral("keydown"), QStringLiteral("ctrl+shift+2")}).exitCode,
              0);
    processEventsFor(200ms);
    ASSERT_EQ(runTool(QStringLiteral("xdotool"), {QStringLiteral("keyup"), QStringLiteral("2")}).exitCode, 0);
    processEventsFor(50ms);
    EXPECT_EQ(count, 1);
    pressAndExpect(QStringLiteral("ctrl+shift+2"), count, 2);
    runTool(QStringLiteral("xdotool"), {QStringLiteral("keyup"), QStringLiteral("ctrl+shift")});
}
