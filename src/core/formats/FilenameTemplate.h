#pragma once
// The user's pattern for suggested names of saved projects and exported images.
//
// Placeholders, matched literally and case-sensitively: "{data}" the date as
// yyyy-MM-dd, "{ora}" the time as HH.mm.ss, "{app}" the name of the application the
// shot came from, without its control characters. The result is a file name without
// extension: "/" and ":" are replaced, runs of spaces collapse to one, and white space
// around it is trimmed.

#include <QDateTime>
#include <QString>
#include <QTimeZone>

#include <array>
#include <optional>

namespace vorlix {

struct FilenameTemplate {
    QString pattern;

    bool operator==(const FilenameTemplate&) const = default;

    // Default for project names.
    static FilenameTemplate standard();
    // Default for image names.
    static FilenameTemplate imageStandard();
    // The earlier default for project names: a stored project template equal to it is
    // read as `standard()`.
    static FilenameTemplate previousStandard();
    // The placeholders the template editor offers, in this order.
    static std::array<QString, 3> variables();

    // The name for a shot taken at `date`, with date and time shown in `timeZone`.
    // An empty result falls back to the rendering of `standard()`.
    QString render(const QDateTime& date, const std::optional<QString>& appName,
                   const QTimeZone& timeZone = QTimeZone::systemTimeZone()) const;
};

} // namespace vorlix
