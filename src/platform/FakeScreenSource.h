#pragma once
// The screen source of a session without a display (tests on the offscreen platform):
// the screens, windows and pictures are those the test gives. A screen's picture is in
// device pixels; a grab cuts the asked rectangle out of it.

#include "platform/ScreenSource.h"

#include <map>

namespace vorlix {

class FakeScreenSource final : public ScreenSource {
public:
    std::vector<ScreenInfo> screens() const override { return m_screens; }
    std::vector<WindowInfo> windowsFrontToBack(const std::set<std::uint32_t>& excluded = {}) const override;
    std::optional<WindowInfo> activeWindow() const override;
    ScreenGrab grab(const ScreenInfo& screen, const QRectF& points) override;
    std::optional<QImage> grabWindow(std::uint32_t window) override;
    // Makes a known window the active one; every request is recorded.
    void activateWindow(std::uint32_t window) override;

    // `picture` is the screen's content, geometry.size() × devicePixelRatio pixels.
    void addScreen(const ScreenInfo& screen, const QImage& picture);
    // Windows are added front to back; `picture` is what grabWindow returns.
    void addWindow(const WindowInfo& window, const QImage& picture = {});
    void removeWindow(std::uint32_t window);
    void removeScreen(std::uint32_t screen);
    // While set, grabs of the screen fail (grabFailed), as a refused grab of the server does.
    void setGrabFails(std::uint32_t screen, bool fails);
    void setActiveWindow(std::optional<std::uint32_t> window) { m_active = window; }
    int grabCount() const { return m_grabCount; }
    const std::vector<std::uint32_t>& activationRequests() const { return m_activationRequests; }

private:
    std::vector<ScreenInfo> m_screens;
    std::map<std::uint32_t, QImage> m_screenPictures;
    std::set<std::uint32_t> m_failingScreens;
    std::vector<WindowInfo> m_windows;
    std::map<std::uint32_t, QImage> m_windowPictures;
    std::optional<std::uint32_t> m_active;
    int m_grabCount = 0;
    std::vector<std::uint32_t> m_activationRequests;
};

} // namespace vorlix
