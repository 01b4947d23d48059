#pragma once
// What a desktop session offers for global hot keys: grabbing key combinations so that
// their presses reach this program wherever the focus is, and naming keys in the
// current keyboard layout. HotkeyCenter keeps ids and handlers; a grabber keeps only
// the grabs and reports presses by id.

#include "core/formats/KeyCombo.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace vorlix {

// Why a combination could not be registered. `status` is the system's error code of a
// `failed` refusal (0 when the key has no code on this system).
struct HotkeyRegistrationError {
    enum class Kind { alreadyTaken, failed };

    Kind kind = Kind::failed;
    int status = 0;

    static HotkeyRegistrationError alreadyTaken() { return {Kind::alreadyTaken, 0}; }
    static HotkeyRegistrationError failed(int status) { return {Kind::failed, status}; }
    bool operator==(const HotkeyRegistrationError&) const = default;
};

class HotkeyGrabber {
public:
    struct Grab {
        std::uint32_t id = 0;
        KeyCombo combo;
    };
    using PressHandler = std::function<void(std::uint32_t id)>;

    virtual ~HotkeyGrabber() = default;

    // Grabs every combination as one batch; one result per grab, in order, nullopt for a
    // grab that holds. A refused grab leaves nothing of itself grabbed.
    virtual std::vector<std::optional<HotkeyRegistrationError>> grab(std::span<const Grab> grabs) = 0;
    virtual void ungrab(std::uint32_t id) = 0;
    // The character the key gives without modifiers in the current layout; "?" when it
    // gives none, or nothing printable.
    virtual QString keyCharacter(std::uint32_t keyCode) const = 0;

    // Called on the main thread, from the event loop, once per press of a grabbed
    // combination.
    void setPressHandler(PressHandler handler) { m_onPress = std::move(handler); }
    // Called on the main thread after the keyboard's mapping or layout changed and the
    // grabs were taken again.
    void setKeyboardChangeHandler(std::function<void()> handler) { m_onKeyboardChange = std::move(handler); }

protected:
    void pressed(std::uint32_t id) const
    {
        if (m_onPress)
            m_onPress(id);
    }
    void keyboardChanged() const
    {
        if (m_onKeyboardChange)
            m_onKeyboardChange();
    }

private:
    PressHandler m_onPress;
    std::function<void()> m_onKeyboardChange;
};

} // namespace vorlix
