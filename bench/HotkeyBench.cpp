// Registering the application's hot keys on a real X server: the eight bindable actions
// unregistered and registered again, as applying the shortcut settings does. Runs on a
// private Xvfb desktop that it starts itself.

#include "core/formats/KeyCombo.h"
#include "platform/HotkeyCenter.h"

#include <benchmark/benchmark.h>

#include <array>

using namespace vorlix;

namespace {

constexpr KeyCombo::Modifiers ctrlShift = KeyCombo::Modifiers::command | KeyCombo::Modifiers::shift;
constexpr KeyCombo::Modifiers ctrlShiftSuper = ctrlShift | KeyCombo::Modifiers::control;

// The four default shortcuts and four more, one per action.
constexpr std::array<KeyCombo, 8> eightShortcuts{{
    {KeyCode::digit2, ctrlShift},
    {KeyCode::digit1, ctrlShift},
    {KeyCode::o, KeyCombo::Modifiers::command | KeyCombo::Modifiers::option | KeyCombo::Modifiers::control},
    {KeyCode::digit2, ctrlShiftSuper},
    {KeyCode::digit3, ctrlShiftSuper},
    {KeyCode::digit4, ctrlShiftSuper},
    {KeyCode::digit5, ctrlShiftSuper},
    {KeyCode::digit6, ctrlShiftSuper},
}};

void BM_RegisterEightHotkeysAgain(benchmark::State& state)
{
    HotkeyCenter center(HotkeyCenter::makePlatformGrabber());
    for (auto _ : state) {
        center.unregisterAll();
        for (const KeyCombo& combo : eightShortcuts)
            if (!center.registerCombo(combo, [] {}))
                state.SkipWithError("a registration failed");
    }
}
BENCHMARK(BM_RegisterEightHotkeysAgain)->Unit(benchmark::kMillisecond);

void BM_KeyCharacter(benchmark::State& state)
{
    HotkeyCenter center(HotkeyCenter::makePlatformGrabber());
    for (auto _ : state)
        benchmark::DoNotOptimize(center.keyCharacter({KeyCode::digit2, ctrlShift}));
}
BENCHMARK(BM_KeyCharacter)->Unit(benchmark::kMicrosecond);

} // namespace
