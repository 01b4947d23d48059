// The copy notice on a real desktop with a window manager: while another program's window
// has the focus, the notice appears over it without taking the focus, and clicks on the
// notice reach that window.

#include "app/support/CopyNotice.h"
#include "support/desktop/Desktop.h"
#include "support/desktop/DesktopTools.h"

#include <QWidget>

#include <xcb/xcb.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

using namespace vorlix;
using namespace vorlix::test;
using namespace Qt::StringLiterals;

namespace {

// A plain window of another X client, covering the screen, that counts the clicks it gets.
class OtherProgramWindow {
public:
    explicit OtherProgramWindow(const QString& title)
        : m_connection(xcb_connect(processDesktop().displayName().toUtf8().constData(), nullptr))
    {
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        m_window = xcb_generate_id(m_connection);
        const std::uint32_t values[] = {screen->white_pixel, XCB_EVENT_MASK_BUTTON_PRESS};
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, screen->width_in_pixels,
                          screen->height_in_pixels, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
        const QByteArray name = title.toUtf8();
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                            static_cast<std::uint32_t>(name.size()), name.constData());
        // WM_HINTS: input hint set, so the window manager gives it the focus.
        const std::uint32_t hints[9] = {1, 1};
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32, 9,
                            hints);
        xcb_map_window(m_connection, m_window);
        xcb_flush(m_connection);
    }
    ~OtherProgramWindow() { xcb_disconnect(m_connection); }

    std::uint32_t id() const { return m_window; }

    // Reads the events that arrived; the number of button presses so far.
    int presses()
    {
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
            if ((event->response_type & 0x7f) == XCB_BUTTON_PRESS)
                ++m_presses;
            std::free(event);
        }
        return m_presses;
    }

private:
    xcb_connection_t* m_connection;
    xcb_window_t m_window;
    int m_presses = 0;
};

std::optional<std::uint32_t> activeWindow()
{
    const ToolResult result = runTool(u"xdotool"_s, {u"getactivewindow"_s});
    bool ok = false;
    const std::uint32_t id = QString::fromUtf8(result.output).trimmed().toUInt(&ok);
    if (result.exitCode != 0 || !ok)
        return std::nullopt;
    return id;
}

} // namespace

TEST(CopyNoticeOnX11, TheNoticeTakesNeitherTheFocusNorTheClicksOfTheWindowBelow)
{
    OtherProgramWindow other(u"Altro programma"_s);
    ASSERT_TRUE(waitForWindow(u"Altro programma"_s).has_value());
    ASSERT_TRUE(waitUntil([&] { return activeWindow() == other.id(); }))
        << "the window manager should focus the new window";

    CopyNotice::show(u"Immagine copiata"_s, nullptr);
    QWidget* notice = CopyNotice::current();
    ASSERT_NE(notice, nullptr);
    ASSERT_TRUE(waitForWindow(u"Immagine copiata"_s, 1s).has_value()) << "the notice is on screen";
    processEventsFor(150ms);
    EXPECT_EQ(activeWindow(), other.id());
    ASSERT_NE(CopyNotice::current(), nullptr);

    const QPoint centre = notice->geometry().center();
    ASSERT_TRUE(movePointer(centre.x(), centre.y()));
    ASSERT_TRUE(click());
    EXPECT_TRUE(waitUntil([&] { return other.presses() == 1; }, 2s)) << "the click went to the window below";
    EXPECT_EQ(CopyNotice::current(), notice) << "still shown while clicked through";
    EXPECT_EQ(activeWindow(), other.id());

    EXPECT_TRUE(waitUntil([] { return CopyNotice::current() == nullptr; }, 3s));
}
