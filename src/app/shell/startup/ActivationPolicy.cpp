#include "app/shell/startup/ActivationPolicy.h"

namespace vorlix {

ActivationPolicy::Effects ActivationPolicy::showAsRegularApp()
{
    // There is no dock to hand the activation over to first: the application simply
    // activates itself, whether it was regular already or not.
    if (mode == Mode::regular)
        return {.newMode = std::nullopt, .activate = true};
    mode = Mode::regular;
    return {.newMode = Mode::regular, .activate = true};
}

ActivationPolicy::Effects ActivationPolicy::windowsChanged(bool anyCountingWindowShown)
{
    if (anyCountingWindowShown)
        return mode == Mode::regular ? Effects{} : showAsRegularApp();
    if (mode == Mode::accessory)
        return {};
    mode = Mode::accessory;
    return {.newMode = Mode::accessory, .activate = false};
}

} // namespace vorlix
