#pragma once
// The interface font at another point size, and weight when one is given: labels,
// badges, indicators and rulers all start from the application's own font.

#include <QApplication>
#include <QFont>

#include <optional>

namespace vorlix {

inline QFont systemFont(double pointSize, std::optional<QFont::Weight> weight = std::nullopt)
{
    QFont font = QApplication::font();
    font.setPointSizeF(pointSize);
    if (weight)
        font.setWeight(*weight);
    return font;
}

} // namespace vorlix
