#include "core/model/Color.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <functional>

namespace vorlix {

namespace {

bool isTrimmedSpace(QChar c) { return c == u'\t' || c.category() == QChar::Separator_Space; }

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

int componentByte(double component)
{
    const double clamped = component > 0 ? std::min(component, 1.0) : 0.0;
    return static_cast<int>(std::round(clamped * 255));
}

double linearised(double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }

// Fixed-point text with a point as decimal separator, whatever the locale.
QString fixed(double value, int decimals)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

} // namespace

std::optional<RGBAColor> RGBAColor::fromHex(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isTrimmedSpace(text[begin]))
        ++begin;
    while (end > begin && isTrimmedSpace(text[end - 1]))
        --end;
    QStringView digits = text.sliced(begin, end - begin);
    if (digits.startsWith(u'#'))
        digits = digits.sliced(1);
    if (digits.size() != 6 && digits.size() != 8)
        return std::nullopt;
    std::uint32_t value = 0;
    for (QChar c : digits) {
        const int v = hexValue(c);
        if (v < 0)
            return std::nullopt;
        value = value * 16 + static_cast<std::uint32_t>(v);
    }
    if (digits.size() == 6)
        value = value * 256 + 255;
    return RGBAColor{((value >> 24) & 0xFF) / 255.0, ((value >> 16) & 0xFF) / 255.0, ((value >> 8) & 0xFF) / 255.0,
                     (value & 0xFF) / 255.0};
}

RGBAColor RGBAColor::hex(const char* text) { return *fromHex(QString::fromLatin1(text)); }

QString RGBAColor::hexString() const
{
    const int a = componentByte(alpha);
    const char* format = a == 255 ? "#%02X%02X%02X" : "#%02X%02X%02X%02X";
    return QString::asprintf(format, componentByte(red), componentByte(green), componentByte(blue), a);
}

RGBAColor RGBAColor::vivid(double minimumSaturation) const
{
    const double maxComponent = std::max({red, green, blue});
    const double minComponent = std::min({red, green, blue});
    if (!(maxComponent > 0))
        return *this;
    const double saturation = (maxComponent - minComponent) / maxComponent;
    if (!(saturation > 0.08 && saturation < minimumSaturation))
        return *this;
    const double k = minimumSaturation / saturation;
    const auto raise = [&](double c) {
        const double v = maxComponent - (maxComponent - c) * k;
        if (v > 1)
            return 1.0;
        return v > 0 ? v : 0.0; // below 0, or not a number
    };
    return {raise(red), raise(green), raise(blue), alpha};
}

double RGBAColor::relativeLuminance() const
{
    return 0.2126 * linearised(red) + 0.7152 * linearised(green) + 0.0722 * linearised(blue);
}

double RGBAColor::contrastRatio(const RGBAColor& other) const
{
    const double l1 = relativeLuminance();
    const double l2 = other.relativeLuminance();
    return (std::max(l1, l2) + 0.05) / (std::min(l1, l2) + 0.05);
}

QString RGBAColor::rgbString() const
{
    return QStringLiteral("rgb(%1, %2, %3)").arg(componentByte(red)).arg(componentByte(green)).arg(componentByte(blue));
}

RGBAColor::Oklch RGBAColor::oklch() const
{
    const double r = linearised(red);
    const double g = linearised(green);
    const double b = linearised(blue);
    const double l = std::cbrt(0.4122214708 * r + 0.5363325363 * g + 0.0514459929 * b);
    const double m = std::cbrt(0.2119034982 * r + 0.6806995451 * g + 0.1073969566 * b);
    const double s = std::cbrt(0.0883024619 * r + 0.2817188376 * g + 0.6299787005 * b);
    const double labL = 0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s;
    const double labA = 1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s;
    const double labB = 0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s;
    const double chroma = std::sqrt(labA * labA + labB * labB);
    double hue = 0;
    if (chroma >= 0.0001) {
        hue = std::atan2(labB, labA) * 180 / M_PI;
        if (hue < 0)
            hue += 360;
    }
    return {labL, chroma, hue};
}

QString RGBAColor::oklchString() const
{
    const Oklch o = oklch();
    return QStringLiteral("oklch(%1 %2 %3)").arg(fixed(o.l, 3), fixed(o.c, 3), fixed(o.h, 1));
}

std::size_t RGBAColorHash::operator()(const RGBAColor& c) const noexcept
{
    std::size_t seed = 0;
    for (double component : {c.red, c.green, c.blue, c.alpha}) {
        const double normalised = component == 0 ? 0.0 : component; // -0 hashes as 0
        seed ^= std::hash<std::uint64_t>{}(std::bit_cast<std::uint64_t>(normalised)) + 0x9E3779B97F4A7C15ull +
                (seed << 6) + (seed >> 2);
    }
    return seed;
}

RGBAColor JsonCoding<RGBAColor>::decode(const JsonValue& v)
{
    const QString text = v.toString();
    if (auto color = RGBAColor::fromHex(text))
        return *color;
    v.fail(DecodeErrorKind::dataCorrupted, "Colore non valido: " + text.toStdString());
}

namespace {

std::vector<RGBAColor> colorsFromHex(std::initializer_list<const char*> texts)
{
    std::vector<RGBAColor> out;
    for (const char* t : texts)
        out.push_back(RGBAColor::hex(t));
    return out;
}

} // namespace

const Palette& Palette::standard()
{
    static const Palette palette{colorsFromHex({"#FF3838", "#FF9F43", "#FFF200", "#2ED573", "#1E90FF", "#A55EEA",
                                                "#FF4FA0", "#1A1D20", "#8B9099", "#FFFFFF"})};
    return palette;
}

const std::vector<Palette::PreviousStandard>& Palette::previousStandards()
{
    using Slots = std::array<std::size_t, slotCount>;
    constexpr Slots greyAndWhiteSwapped{0, 1, 2, 3, 4, 5, 6, 7, 9, 8};
    static const std::vector<PreviousStandard> standards{
        {colorsFromHex({"#E5484D", "#FF9F3F", "#F5C518", "#30A46C", "#3E63DD", "#8E4EC6", "#E93D82", "#1C1C1E",
                        "#FFFFFF", "#8E8E93"}),
         greyAndWhiteSwapped},
        {colorsFromHex({"#F28B82", "#FBB676", "#FDE68A", "#9BD8A9", "#8AB4F8", "#C3A6F2", "#F5A3C7", "#3C3C43",
                        "#FFFFFF", "#B0B0B8"}),
         greyAndWhiteSwapped},
        {colorsFromHex({"#EF6B62", "#F99D45", "#F7CF45", "#5FC283", "#5B98F0", "#A684EA", "#EE7CB1", "#3C3C43",
                        "#FFFFFF", "#9A9AA4"}),
         greyAndWhiteSwapped},
        {colorsFromHex({"#1A1D20", "#DCDDE1", "#FFFFFF", "#FF6B8B", "#FF85A2", "#FF9F43", "#FFF200", "#2ED573",
                        "#1E90FF", "#A55EEA"}),
         Slots{7, 8, 9, 0, 6, 1, 2, 3, 4, 5}},
    };
    return standards;
}

RGBAColor Palette::migratedColor(const RGBAColor& color)
{
    const Palette& current = standard();
    if (std::find(current.colors.begin(), current.colors.end(), color) != current.colors.end())
        return color;
    for (const PreviousStandard& previous : previousStandards()) {
        for (std::size_t slot = 0; slot < previous.colors.size(); ++slot)
            if (previous.colors[slot] == color)
                return current[previous.currentSlots[slot]];
    }
    return color;
}

Palette Palette::migratedToCurrentStandard() const
{
    for (const PreviousStandard& previous : previousStandards())
        if (colors == previous.colors)
            return standard();
    Palette migrated;
    migrated.colors.reserve(colors.size());
    for (const RGBAColor& c : colors)
        migrated.colors.push_back(migratedColor(c));
    return migrated;
}

Palette JsonCoding<Palette>::decode(const JsonValue& v)
{
    return Palette{decodeJson<std::vector<RGBAColor>>(v.key("colors"))};
}

Json JsonCoding<Palette>::encode(const Palette& p) { return Json{{"colors", encodeJson(p.colors)}}; }

RGBAColor AccentColors::orange()
{
    static const RGBAColor color = RGBAColor::hex("#FF9F3F");
    return color;
}

} // namespace vorlix
