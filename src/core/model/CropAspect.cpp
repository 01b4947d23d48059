#include "core/model/CropAspect.h"

#include <algorithm>

namespace vorlix {

using namespace Qt::StringLiterals;

QString title(CropAspect aspect)
{
    switch (aspect) {
    case CropAspect::free:
        return u"Libere"_s;
    case CropAspect::original:
        return u"Originali"_s;
    case CropAspect::square:
        return u"1:1"_s;
    case CropAspect::fourThree:
        return u"4:3"_s;
    case CropAspect::threeTwo:
        return u"3:2"_s;
    case CropAspect::sixteenNine:
        return u"16:9"_s;
    case CropAspect::nineSixteen:
        return u"9:16"_s;
    }
    return {};
}

std::optional<double> ratio(CropAspect aspect, Size original)
{
    switch (aspect) {
    case CropAspect::free:
        return std::nullopt;
    case CropAspect::original:
        if (original.height <= 0)
            return std::nullopt;
        return original.width / original.height;
    case CropAspect::square:
        return 1.0;
    case CropAspect::fourThree:
        return 4.0 / 3.0;
    case CropAspect::threeTwo:
        return 1.5;
    case CropAspect::sixteenNine:
        return 16.0 / 9.0;
    case CropAspect::nineSixteen:
        return 0.5625;
    }
    return std::nullopt;
}

Rect fit(CropAspect aspect, const Rect& rect, Size original, const Rect& bounds)
{
    const auto r = ratio(aspect, original);
    if (!r || rect.size.width == 0 || rect.size.height == 0)
        return rect;
    Size size = *r < rect.size.width / rect.size.height ? Size{rect.size.height * *r, rect.size.height}
                                                        : Size{rect.size.width, rect.size.width / *r};
    const Point center = rect.center();
    Point origin{center.x - size.width / 2, center.y - size.height / 2};
    if (bounds.width() < size.width)
        size = {bounds.width(), bounds.width() / *r};
    if (bounds.height() < size.height)
        size = {*r * bounds.height(), bounds.height()};
    origin.x = std::min(std::max(origin.x, bounds.minX()), bounds.maxX() - size.width);
    origin.y = std::min(std::max(origin.y, bounds.minY()), bounds.maxY() - size.height);
    return Rect(origin, size);
}

} // namespace vorlix
