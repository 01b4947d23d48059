#pragma once
// The update file that the maker publishes ("version.json") and the decisions made
// from it: whether a release is newer than the installed one, which of the update
// states the menus show, and whether the daily check is due.
//
// The file comes from the network, so it is read strictly: an object whose
// "version" is a string, "build" an integer, "url" and "notes" strings (absent or
// null optional keys are empty; unknown keys are ignored), at most
// `UpdateInfo::maximumFileSize` bytes in all and each text within its own limit.

#include "core/formats/AppVersion.h"

#include "core/model/Json.h"

#include <QDateTime>
#include <QString>
#include <QTimeZone>
#include <QUrl>

#include <cstdint>
#include <optional>
#include <string_view>
#include <variant>

namespace vorlix {

struct UpdateInfo {
    static constexpr std::size_t maximumFileSize = 64 * 1024;
    static constexpr qsizetype maximumVersionLength = 64;
    static constexpr qsizetype maximumURLLength = 2048;
    static constexpr qsizetype maximumNotesLength = 16 * 1024;

    QString version; // dotted numbers as published
    std::optional<std::int64_t> build;
    std::optional<QString> url;   // the page to open for the download
    std::optional<QString> notes; // plain text, never shown as rich text

    bool operator==(const UpdateInfo&) const = default;

    // The version with the build (0 when absent); nothing when the text does not parse.
    std::optional<AppVersion> appVersion() const;

    // True when this release is later than the installed one. Without a build in the
    // record the builds are left out, so equal components are never newer.
    bool isNewer(const AppVersion& installed) const;

    // `url` when it is an absolute http or https address, the only kinds of page that
    // may be opened from a file fetched over the network.
    std::optional<QUrl> openableURL() const;
};

template <>
struct JsonCoding<UpdateInfo> {
    static UpdateInfo decode(const JsonValue& v);
    static Json encode(const UpdateInfo& info);
};

// Decodes the update file's bytes; throws DecodeError for anything that is not a
// well-formed record within the limits.
UpdateInfo decodeUpdateInfo(std::string_view bytes);
std::string encodeUpdateInfo(const UpdateInfo& info);

struct UpdateStatus {
    struct UpdateAvailable {
        UpdateInfo info;
        bool operator==(const UpdateAvailable&) const = default;
    };
    struct Disabled {
        bool operator==(const Disabled&) const = default;
    };
    struct UpToDate {
        bool operator==(const UpToDate&) const = default;
    };
    // The last check brought no valid record (or none was made yet), and no record kept
    // from before names a newer release: nothing is known either way.
    struct NotVerified {
        bool operator==(const NotVerified&) const = default;
    };

    static constexpr std::int64_t checkInterval = 86'400; // seconds

    std::variant<UpdateAvailable, Disabled, UpToDate, NotVerified> state = UpToDate{};

    bool operator==(const UpdateStatus&) const = default;

    static UpdateStatus updateAvailable(UpdateInfo info) { return {UpdateAvailable{std::move(info)}}; }
    static UpdateStatus disabled() { return {Disabled{}}; }
    static UpdateStatus upToDate() { return {UpToDate{}}; }
    static UpdateStatus notVerified() { return {NotVerified{}}; }

    bool isUpdateAvailable() const { return std::holds_alternative<UpdateAvailable>(state); }
    // The record of an available update, else nothing.
    const UpdateInfo* availableUpdate() const;

    // Checking off: disabled; a record newer than the installed version: available;
    // otherwise up to date only when the last check succeeded (`verified`).
    static UpdateStatus evaluate(bool enabled, const std::optional<UpdateInfo>& latest, const AppVersion& installed,
                                 bool verified);

    // Due when there was no check, when a day or more has passed since, or when the
    // last check lies in the future (the clock went back).
    static bool isCheckDue(const std::optional<QDateTime>& last, const QDateTime& now);

    // The short title and the tooltip that the menus show for this state.
    QString title() const;
    QString tooltip(const QString& appName) const;
};

} // namespace vorlix
