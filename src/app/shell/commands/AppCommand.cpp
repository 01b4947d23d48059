#include "app/shell/commands/AppCommand.h"

namespace vorlix {

AppCommand commandFor(HotkeyAction action)
{
    using K = AppCommand::Kind;
    switch (action) {
    case HotkeyAction::captureArea:
        return K::captureArea;
    case HotkeyAction::captureFullScreen:
        return K::captureFullScreen;
    case HotkeyAction::recognizeText:
        return K::recognizeText;
    case HotkeyAction::captureAllInOne:
        return K::captureAllInOne;
    case HotkeyAction::captureWindow:
        return K::captureWindow;
    case HotkeyAction::captureActiveWindow:
        return K::captureActiveWindow;
    case HotkeyAction::captureScrolling:
        return K::captureScrolling;
    case HotkeyAction::captureFixedArea:
        return AppCommand::fixedArea(std::nullopt);
    }
    return K::captureArea;
}

} // namespace vorlix
