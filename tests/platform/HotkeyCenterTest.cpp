#include "platform/HotkeyCenter.h"
#include "platform/FakeHotkeyGrabber.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

using namespace vorlix;

namespace {

constexpr KeyCombo ctrlShift2{KeyCode::digit2, KeyCombo::Modifiers::command | KeyCombo::Modifiers::shift};
constexpr KeyCombo ctrlShift1{KeyCode::digit1, KeyCombo::Modifiers::command | KeyCombo::Modifiers::shift};
constexpr KeyCombo ctrlAltSuperO{KeyCode::o, KeyCombo::Modifiers::command | KeyCombo::Modifiers::option |
                                                 KeyCombo::Modifiers::control};

struct FakeCenter {
    FakeHotkeyGrabber* grabber = new FakeHotkeyGrabber;
    HotkeyCenter center{std::unique_ptr<HotkeyGrabber>(grabber)};
};

} // namespace

TEST(HotkeyCenter, IdsCountOnThroughRefusalsAndUnregistering)
{
    FakeCenter f;
    f.grabber->holdElsewhere(ctrlShift1);

    const HotkeyCenter::Registration first = f.center.registerCombo(ctrlShift2, [] {});
    EXPECT_TRUE(first);
    EXPECT_EQ(first.id, 1u);

    struct Case {
        KeyCombo combo;
        std::uint32_t id;
        HotkeyRegistrationError error;
    };
    const Case refusals[] = {
        {ctrlShift2, 2, HotkeyRegistrationError::alreadyTaken()},                        // registered here already
        {ctrlShift1, 3, HotkeyRegistrationError::alreadyTaken()},                        // held by another program
        {{0xFFFF, KeyCombo::Modifiers::command}, 4, HotkeyRegistrationError::failed(0)}, // no such key
    };
    for (const Case& c : refusals) {
        SCOPED_TRACE(c.id);
        const HotkeyCenter::Registration r = f.center.registerCombo(c.combo, [] {});
        EXPECT_FALSE(r);
        EXPECT_EQ(r.id, c.id);
        EXPECT_EQ(r.error, c.error);
    }
    EXPECT_EQ(f.grabber->grabCount(), 1u);

    f.center.unregisterAll();
    EXPECT_EQ(f.grabber->grabCount(), 0u);
    const HotkeyCenter::Registration again = f.center.registerCombo(ctrlShift2, [] {});
    EXPECT_TRUE(again);
    EXPECT_EQ(again.id, 5u);
}

TEST(HotkeyCenter, HandlersRunOnALaterTurnAndNotOnceUnregistered)
{
    FakeCenter f;
    int area = 0;
    int text = 0;
    const std::uint32_t areaID = f.center.registerCombo(ctrlShift2, [&] { ++area; }).id;
    f.center.registerCombo(ctrlAltSuperO, [&] { ++text; });

    EXPECT_TRUE(f.grabber->press(ctrlShift2));
    EXPECT_EQ(area, 0); // not inside the event that reported the press
    QCoreApplication::processEvents();
    EXPECT_EQ(area, 1);
    EXPECT_EQ(text, 0);

    // Pressed, then unregistered before the queued handler runs: it does not run.
    EXPECT_TRUE(f.grabber->press(ctrlShift2));
    f.center.unregister(areaID);
    QCoreApplication::processEvents();
    EXPECT_EQ(area, 1);
    EXPECT_FALSE(f.grabber->press(ctrlShift2));

    EXPECT_TRUE(f.grabber->press(ctrlAltSuperO));
    QCoreApplication::processEvents();
    EXPECT_EQ(text, 1);
}

TEST(HotkeyCenter, AQueuedPressOutlivingTheCentreRunsNothing)
{
    int fired = 0;
    {
        FakeCenter f;
        f.center.registerCombo(ctrlShift2, [&] { ++fired; });
        f.grabber->press(ctrlShift2);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(fired, 0);
}

TEST(HotkeyCenter, WithoutADisplayTheFakeGrabberServesAndNamesKeysByUsPosition)
{
    HotkeyCenter& shared = HotkeyCenter::shared();
    EXPECT_NE(dynamic_cast<FakeHotkeyGrabber*>(&shared.grabber()), nullptr);
    EXPECT_EQ(&shared, &HotkeyCenter::shared());

    struct Case {
        std::uint32_t keyCode;
        const char* expected;
    };
    const Case cases[] = {{KeyCode::digit2, "2"}, {KeyCode::o, "o"}, {KeyCode::space, "?"}, {0xFFFF, "?"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keyCode);
        EXPECT_EQ(shared.keyCharacter({c.keyCode, KeyCombo::Modifiers::command}), QString::fromUtf8(c.expected));
    }
}
