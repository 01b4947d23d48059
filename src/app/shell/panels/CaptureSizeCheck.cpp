#include "app/shell/panels/CaptureSizeCheck.h"

#include "core/model/Geometry.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace vorlix {

ScreenPixels ScreenPixels::of(double width, double height, double scale)
{
    return {roundedInt64(width * scale), roundedInt64(height * scale)};
}

CaptureSizeCheck CaptureSizeCheck::ofConnectedScreens()
{
    CaptureSizeCheck check;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect frame = screen->geometry();
        check.screens.push_back(ScreenPixels::of(frame.width(), frame.height(), screen->devicePixelRatio()));
    }
    return check;
}

bool CaptureSizeCheck::fitsSomeScreen(const CaptureSize& size) const
{
    return std::any_of(screens.begin(), screens.end(),
                       [&](const ScreenPixels& screen) { return size.fits(screen.width, screen.height); });
}

std::optional<QString> CaptureSizeCheck::problem(const CaptureSize& size) const
{
    if (size.ratioOnly) {
        if (size.width < 1 || size.height < 1 || std::max(size.width, size.height) > CaptureSize::maximumRatioTerm)
            return u"Scrivi due numeri da 1 a 1000."_s;
    } else if (size.width < CaptureSize::minimumSide || size.height < CaptureSize::minimumSide) {
        return u"Scrivi due numeri di almeno %1 pixel."_s.arg(CaptureSize::minimumSide);
    }
    if (!fitsSomeScreen(size))
        return size.title() + u" è più grande dello schermo."_s;
    return std::nullopt;
}

bool fitsSomeScreen(const CaptureSize& size) { return CaptureSizeCheck::ofConnectedScreens().fitsSomeScreen(size); }

} // namespace vorlix
