#pragma once
// Global hot keys: key combinations that run a handler while the program is in the
// background, whatever window has the keyboard.
//
// Each registration gets an id, counted from 1 and never reused within the centre's
// life, also when the registration fails. Handlers run on the main thread, from a
// later turn of the event loop than the press; a handler unregistered in between does
// not run. All calls are made on the main thread.

#include "platform/HotkeyGrabber.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace vorlix {

class HotkeyCenter {
public:
    using Handler = std::function<void()>;

    // The outcome of one registration: its id, and the error when it failed.
    struct Registration {
        std::uint32_t id = 0;
        std::optional<HotkeyRegistrationError> error;

        explicit operator bool() const { return !error; }
    };

    // The centre of the running application, made on first use with the grabber of its
    // platform (X11 on xcb, the fake one elsewhere); gone with the application.
    static HotkeyCenter& shared();
    // The grabber the platform offers; the fake one when it offers none.
    static std::unique_ptr<HotkeyGrabber> makePlatformGrabber();

    explicit HotkeyCenter(std::unique_ptr<HotkeyGrabber> grabber);
    ~HotkeyCenter();
    HotkeyCenter(const HotkeyCenter&) = delete;
    HotkeyCenter& operator=(const HotkeyCenter&) = delete;

    // Registers `combo`; a combination already registered here, or held by another
    // program, is `alreadyTaken`.
    Registration registerCombo(const KeyCombo& combo, Handler handler);
    void unregister(std::uint32_t id);
    // Unregisters everything; ids go on counting.
    void unregisterAll();

    // The character of the combination's key in the current keyboard layout, without
    // modifiers, for showing a shortcut; "?" when the key gives none.
    QString keyCharacter(const KeyCombo& combo) const;
    // Called on the main thread when the keyboard layout or mapping changed (the grabs
    // already follow it): shown shortcuts may have other key characters now.
    void setKeyboardChangeHandler(Handler handler) { m_grabber->setKeyboardChangeHandler(std::move(handler)); }

    std::uint32_t nextID() const { return m_nextID; }
    std::size_t registrationCount() const { return m_handlers.size(); }
    HotkeyGrabber& grabber() { return *m_grabber; }

private:
    struct Entry {
        KeyCombo combo;
        Handler handler;
    };

    void firePressed(std::uint32_t id);

    std::unique_ptr<HotkeyGrabber> m_grabber;
    std::map<std::uint32_t, Entry> m_handlers;
    std::uint32_t m_nextID = 1;
    // Owns the queued handler calls, so none runs after the centre is gone.
    QObject m_queue;
};

} // namespace vorlix
