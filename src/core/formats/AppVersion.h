#pragma once
// A release version: dotted numbers, most significant first, and a build number.
//
// Versions compare position by position with a missing position counting as 0, so
// 1.2 and 1.2.0 are equal; when all positions tie, the build decides. Equality and
// hashing follow that ordering (trailing zero components do not count), which makes
// the ordering a weak one: equal versions may still print differently.

#include <QString>
#include <QStringView>

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace vorlix {

struct AppVersion {
    std::vector<std::int64_t> components{0}; // never empty, each >= 0 when parsed
    std::int64_t build = 0;                  // 0 when no build is known

    AppVersion() = default;
    // An empty component list becomes [0].
    AppVersion(std::vector<std::int64_t> components, std::int64_t build = 0);

    // Parses "1.4.2": horizontal white space around the text is ignored; every piece
    // between full stops must be a non-negative decimal number (an optional "+" is
    // allowed, a "-" never). Empty pieces, other characters, overflow or a blank text
    // give nothing.
    static std::optional<AppVersion> parse(QStringView text, std::int64_t build = 0);

    // The components joined with "." (the build is not shown).
    QString description() const;

    std::weak_ordering operator<=>(const AppVersion& other) const;
    bool operator==(const AppVersion& other) const { return (*this <=> other) == 0; }

    // Agrees with ==: trailing zero components are left out.
    std::size_t hash() const;
};

inline std::size_t qHash(const AppVersion& v, std::size_t seed = 0) { return v.hash() ^ seed; }

} // namespace vorlix

template <>
struct std::hash<vorlix::AppVersion> {
    std::size_t operator()(const vorlix::AppVersion& v) const noexcept { return v.hash(); }
};
