#include "app/support/AppConfig.h"

#include "app/support/AppConfigValues.h"
#include "app/support/DefaultsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <pwd.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace vorlix::AppConfig {

namespace {

std::optional<QString> compiled(const char* value)
{
    const QString text = QString::fromUtf8(value);
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

std::optional<QUrl> webAddress(const QString& text)
{
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != u"https"_s && scheme != u"http"_s))
        return std::nullopt;
    return url;
}

QString folderOr(QStandardPaths::StandardLocation location, const QString& homeSubfolder)
{
    const QString path = QStandardPaths::writableLocation(location);
    if (!path.isEmpty())
        return QDir::cleanPath(path);
    return QDir::cleanPath(realHomeDirectory() + u'/' + homeSubfolder);
}

} // namespace

Info compiledInfo()
{
    return {compiled(buildconfig::name),
            compiled(buildconfig::version),
            compiled(buildconfig::buildNumber),
            compiled(buildconfig::buildDate),
            compiled(buildconfig::projectExtension),
            compiled(buildconfig::updatePageURL)};
}

QString organizationName() { return u"Vorlix"_s; }
QString organizationDomain() { return u"vorlix.org"_s; }

QString name(const Info& info) { return info.name.value_or(u"Vorlix"_s); }
QString version(const Info& info) { return info.version.value_or(u"1.0"_s); }
QString buildNumber(const Info& info) { return info.buildNumber.value_or(u"0"_s); }
QString projectExtension(const Info& info) { return info.projectExtension.value_or(u"vorlix"_s); }

std::optional<QDateTime> buildDate(const Info& info)
{
    if (!info.buildDate)
        return std::nullopt;
    return internetDateTime(*info.buildDate);
}

AppVersion installedVersion(const Info& info)
{
    const std::optional<std::int64_t> build = storedInteger(QVariant(buildNumber(info)));
    if (auto parsed = AppVersion::parse(version(info), build.value_or(0)))
        return *parsed;
    return AppVersion({1, 0}, 0);
}

QUrl updatePageURL(const Info& info)
{
    if (auto fromEnvironment = webAddress(qEnvironmentVariable("VORLIX_UPDATE_PAGE_URL")))
        return *fromEnvironment;
    if (info.updatePageURL)
        if (auto fromBuild = webAddress(*info.updatePageURL))
            return *fromBuild;
    return QUrl(u"https://vorlix.invalid/"_s);
}

QString realHomeDirectory()
{
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir && *entry->pw_dir) {
        const QString home = QFile::decodeName(entry->pw_dir);
        if (QFileInfo(home).isDir())
            return QDir::cleanPath(home);
    }
    return QDir::homePath();
}

QString userDocumentsDirectory() { return folderOr(QStandardPaths::DocumentsLocation, u"Documents"_s); }

QString defaultHistoryFolder() { return folderOr(QStandardPaths::DownloadLocation, u"Downloads"_s) + u'/' + name(); }

QString legacyHistoryDirectory()
{
    return folderOr(QStandardPaths::GenericDataLocation, u".local/share"_s) + u'/' + name() + u"/History"_s;
}

} // namespace vorlix::AppConfig
