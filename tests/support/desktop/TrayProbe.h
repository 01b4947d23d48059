#pragma once
// The system tray of the desktop on $DISPLAY, seen from outside: whether it holds a
// program's icon, and where. A tray embeds an icon by taking its window into one of its
// own, so an icon shows once a window of the program sits, mapped and viewable, inside
// another client's window.

#include <QRect>

#include <sys/types.h>

#include <cstdint>
#include <optional>

struct xcb_connection_t;

namespace vorlix::test {

class TrayProbe {
public:
    // Connects to $DISPLAY; throws std::runtime_error when it cannot.
    TrayProbe();
    ~TrayProbe();
    TrayProbe(const TrayProbe&) = delete;
    TrayProbe& operator=(const TrayProbe&) = delete;

    // The id of a window of process `pid` that the tray has embedded and shows.
    std::optional<std::uint32_t> embeddedIconOf(pid_t pid) const;
    // The window's rectangle in screen coordinates.
    std::optional<QRect> screenRect(std::uint32_t window) const;

private:
    xcb_connection_t* m_connection = nullptr;
    std::uint32_t m_root = 0;
    std::uint32_t m_pidAtom = 0;
};

} // namespace vorlix::test
