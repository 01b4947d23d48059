#include "platform/x11/X11HotkeyGrabber.h"
#include "platform/x11/X11Connection.h"

#include "core/formats/LinuxKeyMap.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QObject>
#include <QtDebug>

#include <xcb/xcb.h>
// The XKB protocol header names a field `explicit`.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>
#include <set>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

constexpr std::uint8_t badAccess = 10;
constexpr xcb_keysym_t numLockKeysym = 0xff7f;
// Key event state bits that are modifiers; the bits above are pointer buttons and the
// keyboard group.
constexpr std::uint16_t modifierBits = 0xff;

struct KeymapDeleter {
    void operator()(xkb_keymap* keymap) const { xkb_keymap_unref(keymap); }
};
struct ContextDeleter {
    void operator()(xkb_context* context) const { xkb_context_unref(context); }
};

class X11HotkeyGrabber final : public HotkeyGrabber, private QAbstractNativeEventFilter {
public:
    X11HotkeyGrabber(xcb_connection_t* connection, xcb_window_t root);
    ~X11HotkeyGrabber() override;

    std::vector<std::optional<HotkeyRegistrationError>> grab(std::span<const Grab> grabs) override;
    void ungrab(std::uint32_t id) override;
    QString keyCharacter(std::uint32_t keyCode) const override;

private:
    struct Held {
        KeyCombo combo;
        xcb_keycode_t keycode = 0;
        std::uint16_t modifiers = 0;
    };

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    // The grabs of one combination: each state of CapsLock and NumLock.
    std::vector<std::uint16_t> lockVariants() const;
    void sendUngrab(const Held& held) const;
    void readNumLockMask();
    void mappingChanged();
    void regrabAll();
    xkb_keymap* keymap() const;

    xcb_connection_t* m_connection;
    xcb_window_t m_root;
    std::uint8_t m_xkbFirstEvent = 0;
    std::int32_t m_keyboardDevice = -1;
    std::uint16_t m_numLockMask = 0;
    std::map<std::uint32_t, Held> m_held;
    // When each grabbed key was last released. The keyboard's auto-repeat sends a held key
    // as releases and presses that carry the same time; a combination fires once per press.
    std::map<xcb_keycode_t, xcb_timestamp_t> m_releasedAt;
    bool m_refreshQueued = false;
    std::unique_ptr<xkb_context, ContextDeleter> m_xkb;
    mutable std::unique_ptr<xkb_keymap, KeymapDeleter> m_keymap;
    QObject m_queue;
};

X11HotkeyGrabber::X11HotkeyGrabber(xcb_connection_t* connection, xcb_window_t root)
    : m_connection(connection), m_root(root), m_xkb(xkb_context_new(XKB_CONTEXT_NO_DEFAULT_INCLUDES))
{
    std::uint8_t firstEvent = 0;
    if (xkb_x11_setup_xkb_extension(m_connection, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                                    XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, &firstEvent, nullptr)) {
        m_xkbFirstEvent = firstEvent;
        m_keyboardDevice = xkb_x11_get_core_keyboard_device_id(m_connection);
    }
    readNumLockMask();
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11HotkeyGrabber::~X11HotkeyGrabber()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
    for (const auto& [id, held] : m_held)
        sendUngrab(held);
    xcb_flush(m_connection);
}

std::vector<std::uint16_t> X11HotkeyGrabber::lockVariants() const
{
    std::vector<std::uint16_t> variants{0, XCB_MOD_MASK_LOCK};
    if (m_numLockMask != 0 && m_numLockMask != XCB_MOD_MASK_LOCK) {
        variants.push_back(m_numLockMask);
        variants.push_back(m_numLockMask | XCB_MOD_MASK_LOCK);
    }
    return variants;
}

std::vector<std::optional<HotkeyRegistrationError>> X11HotkeyGrabber::grab(std::span<const Grab> grabs)
{
    std::vector<std::optional<HotkeyRegistrationError>> results(grabs.size());
    const std::vector<std::uint16_t> variants = lockVariants();
    struct Pending {
        Held held;
        std::vector<xcb_void_cookie_t> cookies;
    };
    std::vector<Pending> pending(grabs.size());

    // Every grab request first, then the answers: checking the first one makes the
    // server answer all of them in one round trip.
    for (std::size_t i = 0; i < grabs.size(); ++i) {
        const std::optional<int> keycode = x11Keycode(grabs[i].combo.keyCode);
        if (!keycode || *keycode > 255) {
            results[i] = HotkeyRegistrationError::failed(0);
            continue;
        }
        Pending& p = pending[i];
        p.held = {grabs[i].combo, static_cast<xcb_keycode_t>(*keycode),
                  static_cast<std::uint16_t>(x11ModifierMask(grabs[i].combo.modifiers))};
        for (const std::uint16_t lock : variants)
            p.cookies.push_back(xcb_grab_key_checked(m_connection, 0, m_root, p.held.modifiers | lock, p.held.keycode,
                                                     XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }

    bool ungrabbed = false;
    for (std::size_t i = 0; i < grabs.size(); ++i) {
        Pending& p = pending[i];
        if (p.cookies.empty())
            continue;
        std::optional<std::uint8_t> errorCode;
        std::vector<std::uint16_t> granted;
        for (std::size_t v = 0; v < p.cookies.size(); ++v) {
            if (xcb_generic_error_t* error = xcb_request_check(m_connection, p.cookies[v])) {
                if (!errorCode)
                    errorCode = error->error_code;
                std::free(error);
            } else {
                granted.push_back(variants[v]);
            }
        }
        if (!errorCode) {
            m_held[grabs[i].id] = p.held;
            continue;
        }
        for (const std::uint16_t lock : granted)
            xcb_ungrab_key(m_connection, p.held.keycode, m_root, p.held.modifiers | lock);
        ungrabbed = ungrabbed || !granted.empty();
        results[i] = *errorCode == badAccess ? HotkeyRegistrationError::alreadyTaken()
                                             : HotkeyRegistrationError::failed(*errorCode);
    }
    if (ungrabbed)
        xcb_flush(m_connection);
    return results;
}

void X11HotkeyGrabber::sendUngrab(const Held& held) const
{
    for (const std::uint16_t lock : lockVariants())
        xcb_ungrab_key(m_connection, held.keycode, m_root, held.modifiers | lock);
}

void X11HotkeyGrabber::ungrab(std::uint32_t id)
{
    const auto found = m_held.find(id);
    if (found == m_held.end())
        return;
    sendUngrab(found->second);
    m_held.erase(found);
    xcb_flush(m_connection);
}

void X11HotkeyGrabber::readNumLockMask()
{
    // Both questions go out before either answer is read: one round trip.
    const xcb_get_modifier_mapping_cookie_t modifierCookie = xcb_get_modifier_mapping(m_connection);
    const xcb_setup_t* setup = xcb_get_setup(m_connection);
    const std::uint8_t firstKeycode = setup->min_keycode;
    const std::uint8_t keycodeCount = setup->max_keycode - setup->min_keycode + 1;
    const xcb_get_keyboard_mapping_cookie_t keyboardCookie =
        xcb_get_keyboard_mapping(m_connection, firstKeycode, keycodeCount);

    xcb_get_modifier_mapping_reply_t* modifiers = xcb_get_modifier_mapping_reply(m_connection, modifierCookie, nullptr);
    xcb_get_keyboard_mapping_reply_t* keyboard = xcb_get_keyboard_mapping_reply(m_connection, keyboardCookie, nullptr);
    m_numLockMask = 0;
    if (modifiers && keyboard) {
        std::set<xcb_keycode_t> numLockKeys;
        const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(keyboard);
        const int perKeycode = keyboard->keysyms_per_keycode;
        const int total = xcb_get_keyboard_mapping_keysyms_length(keyboard);
        for (int i = 0; i < total; ++i)
            if (keysyms[i] == numLockKeysym)
                numLockKeys.insert(static_cast<xcb_keycode_t>(firstKeycode + i / perKeycode));
        const xcb_keycode_t* keycodes = xcb_get_modifier_mapping_keycodes(modifiers);
        const int perModifier = modifiers->keycodes_per_modifier;
        for (int modifier = 0; modifier < 8; ++modifier)
            for (int k = 0; k < perModifier; ++k)
                if (numLockKeys.contains(keycodes[modifier * perModifier + k]))
                    m_numLockMask |= static_cast<std::uint16_t>(1u << modifier);
    }
    std::free(modifiers);
    std::free(keyboard);
}

void X11HotkeyGrabber::regrabAll()
{
    // The grabs as they were made, before NumLock may have moved to another modifier.
    std::set<xcb_keycode_t> keys;
    for (const auto& [id, held] : m_held)
        keys.insert(held.keycode);
    for (const xcb_keycode_t key : keys)
        xcb_ungrab_key(m_connection, key, m_root, XCB_MOD_MASK_ANY);
    readNumLockMask();

    std::vector<Grab> grabs;
    std::map<std::uint32_t, Held> before;
    before.swap(m_held);
    for (const auto& [id, held] : before)
        grabs.push_back({id, held.combo});
    const std::vector<std::optional<HotkeyRegistrationError>> results = grab(grabs);
    for (std::size_t i = 0; i < results.size(); ++i)
        if (results[i])
            qWarning("Hot key %u could not be grabbed again after a keyboard change", grabs[i].id);
    keyboardChanged();
}

void X11HotkeyGrabber::mappingChanged()
{
    m_keymap.reset();
    if (m_refreshQueued)
        return;
    // A layout change arrives as several notifications: grab again once, after them.
    m_refreshQueued = true;
    QMetaObject::invokeMethod(
        &m_queue,
        [this] {
            m_refreshQueued = false;
            regrabAll();
        },
        Qt::QueuedConnection);
}

bool X11HotkeyGrabber::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & 0x7f;
    switch (type) {
    case XCB_KEY_PRESS:
    case XCB_KEY_RELEASE: {
        const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(event);
        if (key->event != m_root)
            return false;
        const std::uint16_t lockBits = XCB_MOD_MASK_LOCK | m_numLockMask;
        const std::uint16_t state = key->state & modifierBits & ~lockBits;
        const auto grabbed = [&](const auto& entry) { return entry.second.keycode == key->detail; };
        if (std::ranges::none_of(m_held, grabbed))
            return false;
        if (type == XCB_KEY_RELEASE) {
            m_releasedAt[key->detail] = key->time;
            return true;
        }
        const auto released = m_releasedAt.find(key->detail);
        const bool repeat = released != m_releasedAt.end() && released->second == key->time;
        if (!repeat)
            for (const auto& [id, held] : m_held)
                if (held.keycode == key->detail && held.modifiers == state)
                    pressed(id);
        return true;
    }
    case XCB_MAPPING_NOTIFY: {
        const auto* mapping = reinterpret_cast<const xcb_mapping_notify_event_t*>(event);
        if (mapping->request != XCB_MAPPING_POINTER)
            mappingChanged();
        return false;
    }
    default:
        break;
    }
    if (m_xkbFirstEvent != 0 && type == m_xkbFirstEvent) {
        // Every XKB event shares the header of this one, with its kind in `xkbType`.
        const auto* xkbEvent = reinterpret_cast<const xcb_xkb_new_keyboard_notify_event_t*>(event);
        if (xkbEvent->xkbType == XCB_XKB_NEW_KEYBOARD_NOTIFY || xkbEvent->xkbType == XCB_XKB_MAP_NOTIFY)
            mappingChanged();
    }
    return false;
}

xkb_keymap* X11HotkeyGrabber::keymap() const
{
    if (!m_keymap && m_xkb && m_keyboardDevice >= 0)
        m_keymap.reset(
            xkb_x11_keymap_new_from_device(m_xkb.get(), m_connection, m_keyboardDevice, XKB_KEYMAP_COMPILE_NO_FLAGS));
    return m_keymap.get();
}

QString X11HotkeyGrabber::keyCharacter(std::uint32_t keyCode) const
{
    const std::optional<int> keycode = x11Keycode(keyCode);
    xkb_keymap* map = keymap();
    if (!keycode || !map)
        return u"?"_s;
    // The layout in use now: it may change without a new keymap.
    xkb_layout_index_t layout = 0;
    const xcb_xkb_get_state_cookie_t cookie =
        xcb_xkb_get_state(m_connection, static_cast<xcb_xkb_device_spec_t>(m_keyboardDevice));
    if (xcb_xkb_get_state_reply_t* state = xcb_xkb_get_state_reply(m_connection, cookie, nullptr)) {
        layout = state->group;
        std::free(state);
    }
    const xkb_layout_index_t layouts = xkb_keymap_num_layouts_for_key(map, static_cast<xkb_keycode_t>(*keycode));
    if (layouts == 0)
        return u"?"_s;
    if (layout >= layouts)
        layout = 0;
    const xkb_keysym_t* syms = nullptr;
    const int count = xkb_keymap_key_get_syms_by_level(map, static_cast<xkb_keycode_t>(*keycode), layout, 0, &syms);
    if (count < 1)
        return u"?"_s;
    std::array<char, 16> utf8{};
    if (xkb_keysym_to_utf8(syms[0], utf8.data(), utf8.size()) <= 1)
        return u"?"_s;
    const QString text = QString::fromUtf8(utf8.data());
    // Escape, Tab, Return and the like give control characters, which show nothing.
    if (text.isEmpty() || !text.front().isPrint())
        return u"?"_s;
    return text;
}

} // namespace

std::unique_ptr<HotkeyGrabber> makeX11HotkeyGrabber()
{
    xcb_connection_t* connection = qtX11Connection();
    if (!connection)
        return nullptr;
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(setup);
    if (screens.rem == 0)
        return nullptr;
    return std::make_unique<X11HotkeyGrabber>(connection, screens.data->root);
}

} // namespace vorlix
