#pragma once
// Facts about the application itself: the values compiled into the build (name,
// version, build number, build date, project extension, update page), each with a
// fixed fallback when missing or unusable, and the folders the application uses by
// default. Nothing is cached: every function computes its answer on each call.
//
// The compiled values come as an `Info`, so tests can ask the same questions of any
// set of values; the functions without an `Info` argument use the compiled one.

#include "core/formats/AppVersion.h"

#include <QDateTime>
#include <QString>
#include <QUrl>

#include <optional>

namespace vorlix::AppConfig {

// Build values as text, each possibly missing (an empty text counts as given).
struct Info {
    std::optional<QString> name;
    std::optional<QString> version;
    std::optional<QString> buildNumber;
    std::optional<QString> buildDate;
    std::optional<QString> projectExtension;
    std::optional<QString> updatePageURL;

    bool operator==(const Info&) const = default;
};

// The values compiled into this build (CMake: VORLIX_APP_NAME, PROJECT_VERSION,
// VORLIX_BUILD_NUMBER, VORLIX_BUILD_DATE, VORLIX_PROJECT_EXTENSION,
// VORLIX_UPDATE_PAGE_URL); a value left empty in the build counts as missing.
Info compiledInfo();

// Identity on the desktop: application id, and the organisation that names the
// settings folder.
inline constexpr const char* applicationId = "org.vorlix.Vorlix";
QString organizationName();
QString organizationDomain();

// Fallbacks: "Vorlix", "1.0", "0", no date, "vorlix".
QString name(const Info& info = compiledInfo());
QString version(const Info& info = compiledInfo());
QString buildNumber(const Info& info = compiledInfo());
// ISO 8601 internet date-time with a time zone; anything else gives nothing.
std::optional<QDateTime> buildDate(const Info& info = compiledInfo());
QString projectExtension(const Info& info = compiledInfo());

// The version and build of this program: the build number as a decimal integer (0
// when empty or not a number), and version 1.0 build 0 when the version text is no
// version.
AppVersion installedVersion(const Info& info = compiledInfo());

// The maker's page holding "version.json": the environment variable
// VORLIX_UPDATE_PAGE_URL when it holds an absolute http(s) address, else the
// compiled value when it does, else https://vorlix.invalid/.
QUrl updatePageURL(const Info& info = compiledInfo());

// ---- Folders (absolute paths)

// The home folder of the user's password-database entry, else $HOME.
QString realHomeDirectory();
// The XDG documents folder (localised), else home + "Documents".
QString userDocumentsDirectory();
// The XDG download folder (localised) + the application's name: where shots go
// unless the user chose another history folder.
QString defaultHistoryFolder();
// Where earlier versions kept their history: <XDG data>/<name>/History. Only read.
QString legacyHistoryDirectory();

} // namespace vorlix::AppConfig
