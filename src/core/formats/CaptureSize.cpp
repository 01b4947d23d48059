#include "core/formats/CaptureSize.h"

#include <algorithm>
#include <cmath>
#include <tuple>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

constexpr auto captureSizeFields = std::tuple{
    required("width", &CaptureSize::width),
    required("height", &CaptureSize::height),
    required("ratioOnly", &CaptureSize::ratioOnly),
};

} // namespace

const std::vector<CaptureSize>& CaptureSize::defaults()
{
    static const std::vector<CaptureSize> sizes{
        {1920, 1080, false}, {1080, 1080, false}, {800, 600, false}, {16, 9, true}, {4, 3, true},
    };
    return sizes;
}

QString CaptureSize::title() const
{
    if (ratioOnly)
        return QString::number(width) + u" : "_s + QString::number(height);
    return QString::number(width) + u" × "_s + QString::number(height) + u" px"_s;
}

bool CaptureSize::isValid() const
{
    if (ratioOnly)
        return width >= 1 && height >= 1 && std::max(width, height) <= maximumRatioTerm;
    return width >= minimumSide && height >= minimumSide;
}

bool CaptureSize::fits(std::int64_t pixelWidth, std::int64_t pixelHeight) const
{
    return ratioOnly || (width <= pixelWidth && height <= pixelHeight);
}

std::optional<Rect> CaptureSize::frame(Point point, double pixelsPerPoint, Size screenSize) const
{
    const double s = pixelsPerPoint;
    if (ratioOnly || width < minimumSide || height < minimumSide || !std::isfinite(s) || s <= 0)
        return std::nullopt;
    const long long screenWidth = roundedInt64(screenSize.width * s);
    const long long screenHeight = roundedInt64(screenSize.height * s);
    if (width > screenWidth || height > screenHeight)
        return std::nullopt;
    const long long x = std::min(screenWidth - width, std::max(roundedInt64(point.x * s) - width / 2, 0LL));
    const long long y = std::min(screenHeight - height, std::max(roundedInt64(point.y * s) - height / 2, 0LL));
    return Rect(double(x) / s, double(y) / s, double(width) / s, double(height) / s);
}

Rect CaptureSize::ratioRect(Point start, Point end, const Rect& bounds) const
{
    if (width < 1 || height < 1)
        return Rect(start, Size{0, 0});
    const double r = double(width) / double(height);
    const double dx = std::abs(end.x - start.x);
    const double dy = std::abs(end.y - start.y);
    double h = std::max(dy, dx / r);
    double w = dy < dx / r ? dx : dy * r;

    const bool right = start.x <= end.x;
    const bool down = start.y <= end.y;
    const double roomX = right ? bounds.maxX() - start.x : start.x - bounds.minX();
    if (roomX < w) {
        w = std::max(roomX, 0.0);
        h = w / r;
    }
    const double roomY = down ? bounds.maxY() - start.y : start.y - bounds.minY();
    if (roomY < h) {
        h = std::max(roomY, 0.0);
        w = h * r;
    }
    return Rect(right ? start.x : start.x - w, down ? start.y : start.y - h, w, h);
}

CaptureSize JsonCoding<CaptureSize>::decode(const JsonValue& v)
{
    return decodeRecord<CaptureSize>(v, captureSizeFields);
}
Json JsonCoding<CaptureSize>::encode(const CaptureSize& size) { return encodeRecord(size, captureSizeFields); }

} // namespace vorlix
