#pragma once
// The hot-key grabber of a session without a display (tests on the offscreen platform):
// grabs always hold unless the combination was marked as held by another program, and
// `press` stands in for the user pressing a grabbed combination. Key characters are those
// of a US layout.

#include "platform/HotkeyGrabber.h"

#include <map>
#include <vector>

namespace vorlix {

class FakeHotkeyGrabber final : public HotkeyGrabber {
public:
    std::vector<std::optional<HotkeyRegistrationError>> grab(std::span<const Grab> grabs) override;
    void ungrab(std::uint32_t id) override;
    QString keyCharacter(std::uint32_t keyCode) const override;

    // Another program holds `combo`: grabbing it is refused as taken.
    void holdElsewhere(const KeyCombo& combo) { m_heldElsewhere.push_back(combo); }
    // Reports a press of `combo` when it is grabbed; false when nothing grabs it.
    bool press(const KeyCombo& combo) const;
    std::size_t grabCount() const { return m_grabs.size(); }

private:
    std::map<std::uint32_t, KeyCombo> m_grabs;
    std::vector<KeyCombo> m_heldElsewhere;
};

} // namespace vorlix
