#pragma once
// The one numeric style value that the scroll wheel and the property column's slider
// adjust for the kinds in play: its title, the field it writes, step, range and text.

#include "core/model/Style.h"

#include <QString>

#include <set>

namespace vorlix {

struct StyleMeasure {
    enum class Format { wholeNumber, percentage, magnification };

    QString title;
    double Style::*field = nullptr;
    double step = 1;
    double lowerBound = 0;
    double upperBound = 0;
    Format format = Format::wholeNumber;

    bool operator==(const StyleMeasure&) const = default;

    static StyleMeasure primary(const std::set<AnnotationKind>& kinds);

    // value + steps x step, limited to the range.
    double value(double value, double movedBy) const;
    QString formatted(double value) const;
};

} // namespace vorlix
