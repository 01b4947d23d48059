#include "platform/FakeScreenSource.h"

#include <algorithm>

namespace vorlix {

std::vector<WindowInfo> FakeScreenSource::windowsFrontToBack(const std::set<std::uint32_t>& excluded) const
{
    std::vector<WindowInfo> shown;
    for (const WindowInfo& window : m_windows)
        if (!window.ours && !excluded.contains(window.id))
            shown.push_back(window);
    return shown;
}

std::optional<WindowInfo> FakeScreenSource::activeWindow() const
{
    for (const WindowInfo& window : m_windows)
        if (m_active == window.id)
            return window;
    return std::nullopt;
}

ScreenGrab FakeScreenSource::grab(const ScreenInfo& screen, const QRectF& points)
{
    ++m_grabCount;
    const auto known = std::find(m_screens.begin(), m_screens.end(), screen);
    if (known == m_screens.end())
        return ScreenGrabError::displayNotFound();
    if (m_failingScreens.contains(screen.id))
        return ScreenGrabError::grabFailed();
    const QRect pixels = pixelRect(points, screen.devicePixelRatio);
    QImage picture = m_screenPictures.at(screen.id).copy(pixels);
    picture.setDevicePixelRatio(screen.devicePixelRatio);
    return picture;
}

std::optional<QImage> FakeScreenSource::grabWindow(std::uint32_t window)
{
    ++m_grabCount;
    const auto picture = m_windowPictures.find(window);
    if (picture == m_windowPictures.end())
        return std::nullopt;
    return picture->second;
}

void FakeScreenSource::activateWindow(std::uint32_t window)
{
    m_activationRequests.push_back(window);
    if (std::any_of(m_windows.begin(), m_windows.end(),
                    [window](const WindowInfo& shown) { return shown.id == window; }))
        m_active = window;
}

void FakeScreenSource::addScreen(const ScreenInfo& screen, const QImage& picture)
{
    m_screens.push_back(screen);
    m_screenPictures[screen.id] = picture;
}

void FakeScreenSource::addWindow(const WindowInfo& window, const QImage& picture)
{
    m_windows.push_back(window);
    m_windowPictures[window.id] = picture;
}

void FakeScreenSource::removeScreen(std::uint32_t screen)
{
    std::erase_if(m_screens, [screen](const ScreenInfo& shown) { return shown.id == screen; });
    m_screenPictures.erase(screen);
}

void FakeScreenSource::setGrabFails(std::uint32_t screen, bool fails)
{
    if (fails)
        m_failingScreens.insert(screen);
    else
        m_failingScreens.erase(screen);
}

void FakeScreenSource::removeWindow(std::uint32_t window)
{
    std::erase_if(m_windows, [window](const WindowInfo& shown) { return shown.id == window; });
    m_windowPictures.erase(window);
}

} // namespace vorlix
