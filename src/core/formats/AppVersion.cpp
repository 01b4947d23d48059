#include "core/formats/AppVersion.h"

#include "core/formats/Whitespace.h"

#include <QStringList>

#include <algorithm>
#include <charconv>

namespace vorlix {

namespace {

// A decimal number of ASCII digits with an optional leading "+"; nothing on overflow.
std::optional<std::int64_t> parseComponent(QStringView piece)
{
    if (piece.startsWith(u'+'))
        piece = piece.sliced(1);
    if (piece.isEmpty())
        return std::nullopt;
    std::string digits;
    digits.reserve(static_cast<std::size_t>(piece.size()));
    for (QChar c : piece) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        digits.push_back(static_cast<char>(c.unicode()));
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return value;
}

} // namespace

AppVersion::AppVersion(std::vector<std::int64_t> components, std::int64_t build)
    : components(components.empty() ? std::vector<std::int64_t>{0} : std::move(components)), build(build)
{
}

std::optional<AppVersion> AppVersion::parse(QStringView text, std::int64_t build)
{
    const QStringView trimmed = trimmedHorizontalWhitespace(text);
    if (trimmed.isEmpty())
        return std::nullopt;
    std::vector<std::int64_t> numbers;
    for (QStringView piece : trimmed.split(u'.')) {
        const std::optional<std::int64_t> n = parseComponent(piece);
        if (!n)
            return std::nullopt;
        numbers.push_back(*n);
    }
    return AppVersion(std::move(numbers), build);
}

QString AppVersion::description() const
{
    QStringList pieces;
    for (std::int64_t c : components)
        pieces.append(QString::number(c));
    return pieces.join(u'.');
}

std::weak_ordering AppVersion::operator<=>(const AppVersion& other) const
{
    const std::size_t count = std::max(components.size(), other.components.size());
    for (std::size_t i = 0; i < count; ++i) {
        const std::int64_t a = i < components.size() ? components[i] : 0;
        const std::int64_t b = i < other.components.size() ? other.components[i] : 0;
        if (a != b)
            return a < b ? std::weak_ordering::less : std::weak_ordering::greater;
    }
    if (build != other.build)
        return build < other.build ? std::weak_ordering::less : std::weak_ordering::greater;
    return std::weak_ordering::equivalent;
}

std::size_t AppVersion::hash() const
{
    std::size_t count = components.size();
    while (count > 1 && components[count - 1] == 0)
        --count;
    std::size_t h = std::hash<std::size_t>{}(count);
    const auto combine = [&h](std::int64_t v) {
        h ^= std::hash<std::int64_t>{}(v) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
    };
    for (std::size_t i = 0; i < count; ++i)
        combine(components[i]);
    combine(build);
    return h;
}

} // namespace vorlix
