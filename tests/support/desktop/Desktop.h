#pragma once
// A private X11 desktop for a test: an Xvfb server on a display number of its own
// (depth 24, no reset when the last client leaves), and on request a window manager
// (openbox), a system tray (trayer) and a compositing manager (xcompmgr). Each extra
// counts as started once it owns its manager selection. Everything it started ends with
// it, and with the test program if that dies first.

#include "support/desktop/ChildProcess.h"

#include <QSize>
#include <QString>

#include <chrono>
#include <string>
#include <vector>

namespace vorlix::test {

struct DesktopOptions {
    QSize size{1280, 800};
    bool windowManager = false;
    bool tray = false;
    bool compositor = false;
    // The root painted in a plain colour once everything is up, so that every pixel of the
    // server's framebuffer has been written, as on a desktop in use. Otherwise the pages of
    // an idle Xvfb's framebuffer are only written by the first full-screen window, which then
    // pays for them.
    bool wallpaper = false;
};

class Desktop {
public:
    // Starts the server and the extras asked for; throws std::runtime_error when one
    // does not come up in time.
    explicit Desktop(const DesktopOptions& options = {});
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    int displayNumber() const { return m_display; }
    // ":<number>", the value of DISPLAY for this desktop.
    QString displayName() const;
    QSize size() const { return m_size; }

    void startWindowManager();
    void startTray();
    void startCompositor();
    void paintWallpaper();
    // Ends every process of the desktop, the server last.
    void stop();

    // The ids of the processes running for this desktop, the server first.
    std::vector<pid_t> processIds() const;

private:
    ChildProcess startClient(const std::string& program, const std::vector<std::string>& arguments,
                             const std::string& selection);
    // Waits until `selection` has an owner on this display.
    bool waitForSelectionOwner(const std::string& selection, std::chrono::milliseconds timeout) const;
    // Waits until the window manager takes a mapped window into its frame.
    bool waitForManagedWindow(std::chrono::milliseconds timeout) const;
    std::vector<std::string> clientEnvironment() const;

    int m_display = -1;
    QSize m_size;
    ChildProcess m_server;
    std::vector<ChildProcess> m_clients;
};

// The desktop the test program's main started and its QGuiApplication runs on.
Desktop& processDesktop();
void setProcessDesktop(Desktop* desktop);

} // namespace vorlix::test
