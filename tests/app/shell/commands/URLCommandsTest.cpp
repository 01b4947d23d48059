// URL commands: the words, their "capture/" prefix, case, what plays no role, and the
// strict checks of URL text received from other programs.

#include "app/shell/commands/URLCommands.h"

#include <gtest/gtest.h>

using namespace vorlix;
using namespace std::chrono_literals;
using K = AppCommand::Kind;

namespace {

struct Case {
    const char* url;
    std::optional<AppCommand> command;
};

class URLCommandsWords : public testing::TestWithParam<Case> {};

TEST_P(URLCommandsWords, GiveTheirCommand)
{
    const Case& c = GetParam();
    EXPECT_EQ(URLCommands::command(QString::fromLatin1(c.url)), c.command) << c.url;
}

const std::optional<AppCommand> none;

INSTANTIATE_TEST_SUITE_P(
    Table, URLCommandsWords,
    testing::Values(Case{"vorlix://area", K::captureArea}, Case{"vorlix://capture/area", K::captureArea},
                    Case{"vorlix://Capture/Area/", K::captureArea}, Case{"vorlix://screen", K::captureFullScreen},
                    Case{"vorlix://capture/window", K::captureWindow},
                    Case{"vorlix://CAPTURE/ACTIVE-WINDOW", K::captureActiveWindow},
                    Case{"vorlix://all-in-one", K::captureAllInOne}, Case{"vorlix://scroll", K::captureScrolling},
                    Case{"vorlix://scroll-up", K::captureScrolling}, Case{"vorlix://delayed", K::captureDelayed},
                    Case{"vorlix://capture/repeat", K::captureRepeatArea},
                    Case{"vorlix://fixed", AppCommand::fixedArea(std::nullopt)},
                    Case{"vorlix://text", K::recognizeText}, Case{"vorlix://ocr", K::recognizeText},
                    Case{"vorlix://history", K::showHistoryFolder}, Case{"vorlix://settings", K::openSettings},
                    Case{"vorlix://area?x=1#top", K::captureArea}, Case{"vorlix://user@area:99/", K::captureArea},
                    // Only the capture words take the prefix; "capture" alone is no word.
                    Case{"vorlix://capture/text", none}, Case{"vorlix://capture/history", none},
                    Case{"vorlix://capture", none}, Case{"vorlix://capture/", none}, Case{"vorlix://active", none},
                    Case{"vorlix:/area", none}, Case{"vorlix://area/area", none},
                    // Other schemes and text that is no clean URL.
                    Case{"http://area", none}, Case{"file:///area", none}, Case{"vorlix://ar ea", none},
                    Case{"vorlix://area\n", none}, Case{"", none}));

TEST(URLCommands, RefuseOverlongAndNonAsciiText)
{
    EXPECT_FALSE(URLCommands::command(QStringLiteral("vorlix://area?") + QString(300, QLatin1Char('x'))));
    EXPECT_FALSE(URLCommands::command(QStringLiteral("vorlix://àrea")));
}

TEST(URLCommands, ConfirmOnlyCapturesTheUserDoesNotChoose)
{
    for (AppCommand command : {AppCommand(K::captureFullScreen), AppCommand(K::captureDelayed),
                               AppCommand(K::captureRepeatArea), AppCommand(K::captureActiveWindow)})
        EXPECT_TRUE(URLCommands::needsConfirmation(command)) << enumText(command.kind);
    for (AppCommand command : {AppCommand(K::captureArea), AppCommand(K::captureWindow), AppCommand(K::openSettings),
                               AppCommand::fixedArea(std::nullopt)})
        EXPECT_FALSE(URLCommands::needsConfirmation(command)) << enumText(command.kind);
}

TEST(URLCommands, GateAdmitsOnePerInterval)
{
    URLCommands::Gate gate;
    const auto start = URLCommands::Gate::Clock::time_point{} + 10s;
    EXPECT_TRUE(gate.admit(start));
    EXPECT_FALSE(gate.admit(start + 999ms));
    EXPECT_TRUE(gate.admit(start + 1000ms));
    EXPECT_FALSE(gate.admit(start + 1500ms));
}

TEST(AppCommand, HotkeyActionsRunTheCommandOfTheirName)
{
    for (HotkeyAction action : allCases<HotkeyAction>()) {
        const AppCommand command = commandFor(action);
        EXPECT_EQ(enumText(command.kind), enumText(action));
        EXPECT_FALSE(command.size);
    }
}

} // namespace
