#include "platform/FakeHotkeyGrabber.h"

#include "core/formats/LinuxKeyMap.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace vorlix {

std::vector<std::optional<HotkeyRegistrationError>> FakeHotkeyGrabber::grab(std::span<const Grab> grabs)
{
    std::vector<std::optional<HotkeyRegistrationError>> results;
    results.reserve(grabs.size());
    for (const Grab& g : grabs) {
        if (!x11Keycode(g.combo.keyCode)) {
            results.push_back(HotkeyRegistrationError::failed(0));
        } else if (std::ranges::find(m_heldElsewhere, g.combo) != m_heldElsewhere.end()) {
            results.push_back(HotkeyRegistrationError::alreadyTaken());
        } else {
            m_grabs[g.id] = g.combo;
            results.push_back(std::nullopt);
        }
    }
    return results;
}

void FakeHotkeyGrabber::ungrab(std::uint32_t id) { m_grabs.erase(id); }

QString FakeHotkeyGrabber::keyCharacter(std::uint32_t keyCode) const
{
    if (!x11Keycode(keyCode))
        return u"?"_s;
    // The table names printing keys by their US character and other keys by a word.
    const QString name = keyName(keyCode);
    return name.size() == 1 ? name.toLower() : u"?"_s;
}

bool FakeHotkeyGrabber::press(const KeyCombo& combo) const
{
    for (const auto& [id, grabbed] : m_grabs) {
        if (grabbed == combo) {
            pressed(id);
            return true;
        }
    }
    return false;
}

} // namespace vorlix
