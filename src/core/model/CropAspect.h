#pragma once
// The proportions offered by the crop bar, and fitting a crop rectangle to one.

#include "core/model/Json.h"

#include <QString>

#include <optional>

namespace vorlix {

enum class CropAspect { free, original, square, fourThree, threeTwo, sixteenNine, nineSixteen };

template <>
struct EnumTexts<CropAspect> {
    static constexpr const char* typeName = "CropAspect";
    static constexpr std::array table{std::pair{CropAspect::free, std::string_view("free")},
                                      std::pair{CropAspect::original, std::string_view("original")},
                                      std::pair{CropAspect::square, std::string_view("square")},
                                      std::pair{CropAspect::fourThree, std::string_view("fourThree")},
                                      std::pair{CropAspect::threeTwo, std::string_view("threeTwo")},
                                      std::pair{CropAspect::sixteenNine, std::string_view("sixteenNine")},
                                      std::pair{CropAspect::nineSixteen, std::string_view("nineSixteen")}};
};

QString title(CropAspect aspect);
// Width / height, or nothing for a free proportion (and for the original one when
// the original has no height).
std::optional<double> ratio(CropAspect aspect, Size original);
// The largest rectangle of the aspect centred in `rect`, shrunk to fit `bounds` and
// moved inside them.
Rect fit(CropAspect aspect, const Rect& rect, Size original, const Rect& bounds);

} // namespace vorlix
