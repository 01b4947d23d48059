#pragma once
// The short warning sound of a refused action ("beeps and changes nothing"). It goes
// through one replaceable hook so that tests can count beeps; the system beep is often
// silent on X11 anyway. Main thread only.

#include <functional>

namespace vorlix::Beeper {

// Plays the warning sound: the system beep, or the sound of the innermost Override.
void beep();

// While it lives, `beep()` calls `sound` instead; overrides nest and end in reverse order.
class Override {
public:
    explicit Override(std::function<void()> sound);
    ~Override();
    Override(const Override&) = delete;
    Override& operator=(const Override&) = delete;

private:
    std::function<void()> m_previous;
};

} // namespace vorlix::Beeper
