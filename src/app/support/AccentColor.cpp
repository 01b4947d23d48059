#include "app/support/AccentColor.h"

#include "core/model/Color.h"

namespace vorlix {

const QColor& vorlixAccent()
{
    static const QColor color = [] {
        const RGBAColor orange = AccentColors::orange();
        return QColor::fromRgbF(static_cast<float>(orange.red), static_cast<float>(orange.green),
                                static_cast<float>(orange.blue), static_cast<float>(orange.alpha));
    }();
    return color;
}

} // namespace vorlix
