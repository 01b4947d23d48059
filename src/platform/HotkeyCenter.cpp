#include "platform/HotkeyCenter.h"

#include "platform/FakeHotkeyGrabber.h"
#include "platform/x11/X11HotkeyGrabber.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <algorithm>

namespace vorlix {

namespace {

HotkeyCenter* sharedCenter = nullptr;

void dropSharedCenter()
{
    delete sharedCenter;
    sharedCenter = nullptr;
}

} // namespace

HotkeyCenter& HotkeyCenter::shared()
{
    if (!sharedCenter) {
        sharedCenter = new HotkeyCenter(makePlatformGrabber());
        // Post routines run while the platform's connection is still open, so the
        // grabs are released on it.
        qAddPostRoutine(dropSharedCenter);
    }
    return *sharedCenter;
}

std::unique_ptr<HotkeyGrabber> HotkeyCenter::makePlatformGrabber()
{
    if (std::unique_ptr<HotkeyGrabber> x11 = makeX11HotkeyGrabber())
        return x11;
    return std::make_unique<FakeHotkeyGrabber>();
}

HotkeyCenter::HotkeyCenter(std::unique_ptr<HotkeyGrabber> grabber) : m_grabber(std::move(grabber))
{
    m_grabber->setPressHandler([this](std::uint32_t id) { firePressed(id); });
}

HotkeyCenter::~HotkeyCenter()
{
    unregisterAll();
    m_grabber->setPressHandler({});
    m_grabber->setKeyboardChangeHandler({});
}

HotkeyCenter::Registration HotkeyCenter::registerCombo(const KeyCombo& combo, Handler handler)
{
    const std::uint32_t id = m_nextID++;
    const bool mine = std::ranges::any_of(m_handlers, [&](const auto& entry) { return entry.second.combo == combo; });
    if (mine)
        return {id, HotkeyRegistrationError::alreadyTaken()};
    const HotkeyGrabber::Grab grab{id, combo};
    if (std::optional<HotkeyRegistrationError> error = m_grabber->grab({&grab, 1}).front())
        return {id, error};
    m_handlers[id] = {combo, std::move(handler)};
    return {id, std::nullopt};
}

void HotkeyCenter::unregister(std::uint32_t id)
{
    if (m_handlers.erase(id) > 0)
        m_grabber->ungrab(id);
}

void HotkeyCenter::unregisterAll()
{
    for (const auto& [id, entry] : m_handlers)
        m_grabber->ungrab(id);
    m_handlers.clear();
}

QString HotkeyCenter::keyCharacter(const KeyCombo& combo) const { return m_grabber->keyCharacter(combo.keyCode); }

void HotkeyCenter::firePressed(std::uint32_t id)
{
    QMetaObject::invokeMethod(
        &m_queue,
        [this, id] {
            const auto found = m_handlers.find(id);
            if (found == m_handlers.end())
                return;
            // A copy: the handler may unregister itself.
            const Handler handler = found->second.handler;
            if (handler)
                handler();
        },
        Qt::QueuedConnection);
}

} // namespace vorlix
