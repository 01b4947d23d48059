#include "core/shapes/QtConversions.h"

#include <algorithm>

namespace vorlix {

QColor toQColor(const RGBAColor& color)
{
    const auto unit = [](double v) { return static_cast<float>(v > 0 ? std::min(v, 1.0) : 0.0); };
    return QColor::fromRgbF(unit(color.red), unit(color.green), unit(color.blue), unit(color.alpha));
}

} // namespace vorlix
