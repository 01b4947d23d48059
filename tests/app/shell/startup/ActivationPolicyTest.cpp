#include "app/shell/startup/ActivationPolicy.h"
#include "app/settings/SettingsWindowController.h"
#include "app/shell/startup/ActivationPolicyController.h"

#include "support/EventLoopWaits.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace vorlix;
using namespace vorlix::test;
using Mode = ActivationPolicy::Mode;
using Effects = ActivationPolicy::Effects;

TEST(ActivationPolicy, FollowsTheCountingWindowsAndActivatesWhenAskedToBeRegular)
{
    enum class Step { showAsRegular, windowsShown, noWindowShown };
    struct Case {
        const char* what;
        std::vector<Step> before;
        Step step;
        Effects expected;
        Mode after;
    };
    const Case cases[] = {
        {"starts accessory; showing makes it regular and active",
         {},
         Step::showAsRegular,
         {.newMode = Mode::regular, .activate = true},
         Mode::regular},
        {"already regular: only activates",
         {Step::showAsRegular},
         Step::showAsRegular,
         {.newMode = std::nullopt, .activate = true},
         Mode::regular},
        {"a counting window found while accessory",
         {},
         Step::windowsShown,
         {.newMode = Mode::regular, .activate = true},
         Mode::regular},
        {"a counting window while regular changes nothing",
         {Step::showAsRegular},
         Step::windowsShown,
         {},
         Mode::regular},
        {"the last counting window gone",
         {Step::showAsRegular},
         Step::noWindowShown,
         {.newMode = Mode::accessory, .activate = false},
         Mode::accessory},
        {"nothing shown while accessory changes nothing", {}, Step::noWindowShown, {}, Mode::accessory},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ActivationPolicy policy;
        const auto apply = [&](Step step) {
            switch (step) {
            case Step::showAsRegular:
                return policy.showAsRegularApp();
            case Step::windowsShown:
                return policy.windowsChanged(true);
            case Step::noWindowShown:
                return policy.windowsChanged(false);
            }
            return Effects{};
        };
        for (Step step : c.before)
            apply(step);
        EXPECT_EQ(apply(c.step), c.expected);
        EXPECT_EQ(policy.mode, c.after);
    }
}

namespace {

// Editor and settings windows count; the quick preview does not.
struct ActivationWithWindows : testing::Test {
    std::vector<Mode> applied;
    int activations = 0;
    ActivationPolicyController controller{{
        .counts = [](const QWidget* w) { return w->property("counts").toBool(); },
        .applyMode = [this](Mode mode) { applied.push_back(mode); },
        .activate = [this] { ++activations; },
    }};

    ActivationWithWindows() { controller.observe(); }

    static std::unique_ptr<QWidget> window(bool counts)
    {
        auto widget = std::make_unique<QWidget>();
        widget->setProperty("counts", counts);
        widget->resize(200, 100);
        return widget;
    }

    void settle() { processEventsFor(std::chrono::milliseconds(20)); }
};

} // namespace

TEST_F(ActivationWithWindows, RegularWhileAnEditorOrSettingsWindowIsOpenEvenMinimised)
{
    const auto preview = window(false);
    preview->show();
    settle();
    EXPECT_EQ(controller.mode(), Mode::accessory);
    EXPECT_TRUE(applied.empty());

    const auto editor = window(true);
    controller.showAsRegularApp();
    editor->show();
    settle();
    EXPECT_EQ(controller.mode(), Mode::regular);
    EXPECT_EQ(applied, std::vector{Mode::regular});
    EXPECT_EQ(activations, 1);

    editor->showMinimized();
    settle();
    EXPECT_EQ(controller.mode(), Mode::regular);

    const auto settingsWindow = window(true);
    settingsWindow->show();
    editor->close();
    settle();
    EXPECT_EQ(controller.mode(), Mode::regular);

    settingsWindow->close();
    settle();
    EXPECT_EQ(controller.mode(), Mode::accessory);
    EXPECT_EQ(applied, (std::vector{Mode::regular, Mode::accessory}));
    EXPECT_TRUE(preview->isVisible());
}

TEST_F(ActivationWithWindows, AWindowShownWithoutBeingAskedForStillMakesItRegular)
{
    const auto editor = window(true);
    editor->show();
    settle();
    EXPECT_EQ(controller.mode(), Mode::regular);
    EXPECT_EQ(activations, 1);
    editor->hide();
    settle();
    EXPECT_EQ(controller.mode(), Mode::accessory);
}

TEST(ActivationPolicyController, CountsTheSettingsWindowLikeAnEditorAndNoOtherWindow)
{
    std::vector<Mode> applied;
    ActivationPolicyController::Hooks hooks;
    hooks.applyMode = [&](Mode mode) { applied.push_back(mode); };
    hooks.activate = [] {};
    ActivationPolicyController controller{hooks};
    controller.observe();
    QWidget plain;
    plain.resize(200, 100);
    plain.show();
    processEventsFor(std::chrono::milliseconds(20));
    EXPECT_EQ(controller.mode(), Mode::accessory);

    SettingsWindow settings;
    settings.resize(200, 100);
    settings.show();
    processEventsFor(std::chrono::milliseconds(20));
    EXPECT_EQ(controller.mode(), Mode::regular);
    settings.close();
    processEventsFor(std::chrono::milliseconds(20));
    EXPECT_EQ(applied, (std::vector{Mode::regular, Mode::accessory}));
}
