#pragma once
// Colours of the model: four sRGB components, nominally 0...1 and stored as given
// (nothing is clamped until a colour becomes text), the user's ten-slot palette with
// the migration from earlier standard palettes, and the application's accent colour.
// JSON form of a colour: "#RRGGBB", or "#RRGGBBAA" when the alpha byte is not FF.

#include "core/model/Json.h"

#include <QString>

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

namespace vorlix {

struct RGBAColor {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;

    bool operator==(const RGBAColor&) const = default;

    static RGBAColor black() { return {0, 0, 0, 1}; }
    static RGBAColor white() { return {1, 1, 1, 1}; }
    static RGBAColor clear() { return {0, 0, 0, 0}; }

    // Parses "#RRGGBB" / "#RRGGBBAA" (the "#" optional, either case, surrounding spaces
    // and tabs ignored); nothing when the text is not a colour.
    static std::optional<RGBAColor> fromHex(QStringView text);
    // Same, for texts known to be valid (tables of constants).
    static RGBAColor hex(const char* text);
    QString hexString() const;

    RGBAColor withAlpha(double newAlpha) const { return {red, green, blue, newAlpha}; }
    RGBAColor vivid(double minimumSaturation) const;
    double relativeLuminance() const;
    double contrastRatio(const RGBAColor& other) const;
    // 0.2126 r + 0.7152 g + 0.0722 b of the stored components, without linearising:
    // the lightness that decides contrasting text and marks.
    double luma() const { return 0.2126 * red + 0.7152 * green + 0.0722 * blue; }

    // CSS text forms.
    QString rgbString() const;
    struct Oklch {
        double l = 0;
        double c = 0;
        double h = 0;
    };
    Oklch oklch() const;
    QString oklchString() const;
};

struct RGBAColorHash {
    std::size_t operator()(const RGBAColor& c) const noexcept;
};

template <>
struct JsonCoding<RGBAColor> {
    static RGBAColor decode(const JsonValue& v);
    static Json encode(const RGBAColor& c) { return c.hexString().toStdString(); }
};

struct Palette {
    static constexpr std::size_t slotCount = 10;

    std::vector<RGBAColor> colors;

    bool operator==(const Palette&) const = default;

    RGBAColor& operator[](std::size_t slot) { return colors[slot]; }
    const RGBAColor& operator[](std::size_t slot) const { return colors[slot]; }

    static const Palette& standard();
    static RGBAColor red() { return standard()[0]; }
    static RGBAColor yellow() { return standard()[2]; }
    static RGBAColor black() { return standard()[7]; }
    static RGBAColor white() { return standard()[9]; }

    struct PreviousStandard {
        std::vector<RGBAColor> colors;
        std::array<std::size_t, slotCount> currentSlots;
    };
    static const std::vector<PreviousStandard>& previousStandards();

    // A colour of an earlier standard palette moved onto the current one; any other
    // colour is the user's own and stays.
    static RGBAColor migratedColor(const RGBAColor& color);
    // Requires exactly `slotCount` colours.
    Palette migratedToCurrentStandard() const;
};

template <>
struct JsonCoding<Palette> {
    static Palette decode(const JsonValue& v);
    static Json encode(const Palette& p);
};

namespace AccentColors {
RGBAColor orange();
}

} // namespace vorlix
