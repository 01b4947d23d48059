#include "platform/ScreenSource.h"

#include "platform/FakeScreenSource.h"
#include "platform/x11/X11ScreenSource.h"

#include <QCoreApplication>

#include <cmath>

namespace vorlix {

QString ScreenGrabError::message() const
{
    switch (kind) {
    case Kind::displayNotFound:
        return QStringLiteral("Monitor non trovato.");
    case Kind::grabFailed:
        break;
    }
    return QStringLiteral("Impossibile catturare lo schermo.");
}

int pixelLength(double points, double scale) { return static_cast<int>(std::lround(points * scale)); }

QRect pixelRect(const QRectF& points, double scale)
{
    return QRect(pixelLength(points.x(), scale), pixelLength(points.y(), scale), pixelLength(points.width(), scale),
                 pixelLength(points.height(), scale));
}

const ScreenInfo* screenOf(const QRect& rect, const std::vector<ScreenInfo>& screens)
{
    const ScreenInfo* best = nullptr;
    qint64 bestArea = -1;
    for (const ScreenInfo& screen : screens) {
        const QRect common = screen.geometry.intersected(rect);
        const qint64 area = common.isEmpty() ? 0 : qint64(common.width()) * common.height();
        if (area > bestArea) {
            best = &screen;
            bestArea = area;
        }
    }
    return best;
}

std::unique_ptr<ScreenSource> makePlatformScreenSource()
{
    if (std::unique_ptr<ScreenSource> x11 = makeX11ScreenSource())
        return x11;
    return std::make_unique<FakeScreenSource>();
}

} // namespace vorlix
