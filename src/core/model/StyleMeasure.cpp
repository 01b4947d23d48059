#include "core/model/StyleMeasure.h"

#include "core/model/Geometry.h"

#include <algorithm>
#include <cmath>

namespace vorlix {

using namespace Qt::StringLiterals;

StyleMeasure StyleMeasure::primary(const std::set<AnnotationKind>& kinds)
{
    const auto only = [&](AnnotationKind k) { return kinds.size() == 1 && *kinds.begin() == k; };

    if (std::all_of(kinds.begin(), kinds.end(), isSizedByFont))
        return {u"Dimensione"_s, &Style::fontSize, 1, 8, 120, Format::wholeNumber};
    if (only(AnnotationKind::pixelate) || only(AnnotationKind::blur))
        return {u"Intensità"_s, &Style::filterIntensity, 1, 2, 40, Format::wholeNumber};
    if (only(AnnotationKind::spotlight))
        return {u"Oscurità"_s, &Style::filterIntensity, 0.05, 0.2, 0.9, Format::percentage};
    if (only(AnnotationKind::lens))
        return {u"Ingrandimento"_s, &Style::filterIntensity, 0.25, 1.5, 10, Format::magnification};
    return {u"Spessore"_s, &Style::lineWidth, 1, 1, 48, Format::wholeNumber};
}

double StyleMeasure::value(double value, double movedBy) const
{
    const double moved = value + movedBy * step;
    if (moved < lowerBound)
        return lowerBound;
    if (moved > upperBound)
        return upperBound;
    return moved;
}

QString StyleMeasure::formatted(double value) const
{
    switch (format) {
    case Format::wholeNumber:
        return QString::number(roundedInt64(value));
    case Format::percentage:
        return QString::number(roundedInt64(value * 100)) + u'%';
    case Format::magnification:
        return QString::asprintf("%.1f", value).replace(u'.', u',') + u'×';
    }
    return {};
}

} // namespace vorlix
