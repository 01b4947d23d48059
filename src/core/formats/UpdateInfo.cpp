#include "core/formats/UpdateInfo.h"

#include <tuple>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

QString boundedString(const JsonValue& v, qsizetype maximumLength)
{
    QString text = v.toString();
    if (text.size() > maximumLength)
        v.fail(DecodeErrorKind::dataCorrupted,
               "The text is longer than " + std::to_string(maximumLength) + " characters.");
    return text;
}

} // namespace

std::optional<AppVersion> UpdateInfo::appVersion() const { return AppVersion::parse(version, build.value_or(0)); }

bool UpdateInfo::isNewer(const AppVersion& installed) const
{
    const std::optional<AppVersion> published = appVersion();
    if (!published)
        return false;
    if (build)
        return installed < *published;
    return AppVersion(installed.components, 0) < *published;
}

std::optional<QUrl> UpdateInfo::openableURL() const
{
    if (!url)
        return std::nullopt;
    const QUrl parsed(*url, QUrl::StrictMode);
    if (!parsed.isValid() || parsed.host().isEmpty())
        return std::nullopt;
    const QString scheme = parsed.scheme().toLower();
    if (scheme != u"https"_s && scheme != u"http"_s)
        return std::nullopt;
    return parsed;
}

UpdateInfo JsonCoding<UpdateInfo>::decode(const JsonValue& v)
{
    v.expectObject();
    UpdateInfo info;
    info.version = boundedString(v.key("version"), UpdateInfo::maximumVersionLength);
    if (auto build = v.optionalKey("build"))
        info.build = build->toInt64();
    if (auto url = v.optionalKey("url"))
        info.url = boundedString(*url, UpdateInfo::maximumURLLength);
    if (auto notes = v.optionalKey("notes"))
        info.notes = boundedString(*notes, UpdateInfo::maximumNotesLength);
    return info;
}

Json JsonCoding<UpdateInfo>::encode(const UpdateInfo& info)
{
    Json out = Json::object();
    out["version"] = encodeString(info.version);
    if (info.build)
        out["build"] = *info.build;
    if (info.url)
        out["url"] = encodeString(*info.url);
    if (info.notes)
        out["notes"] = encodeString(*info.notes);
    return out;
}

UpdateInfo decodeUpdateInfo(std::string_view bytes)
{
    if (bytes.size() > UpdateInfo::maximumFileSize)
        throw DecodeError(DecodeErrorKind::dataCorrupted, {},
                          "The update file is larger than " + std::to_string(UpdateInfo::maximumFileSize) + " bytes.");
    const Json json = parseJson(bytes);
    return decodeJson<UpdateInfo>(JsonValue(json));
}

std::string encodeUpdateInfo(const UpdateInfo& info) { return encodeJson(info).dump(); }

const UpdateInfo* UpdateStatus::availableUpdate() const
{
    if (const auto* available = std::get_if<UpdateAvailable>(&state))
        return &available->info;
    return nullptr;
}

UpdateStatus UpdateStatus::evaluate(bool enabled, const std::optional<UpdateInfo>& latest, const AppVersion& installed,
                                    bool verified)
{
    if (!enabled)
        return disabled();
    if (latest && latest->isNewer(installed))
        return updateAvailable(*latest);
    return verified ? upToDate() : notVerified();
}

bool UpdateStatus::isCheckDue(const std::optional<QDateTime>& last, const QDateTime& now)
{
    if (!last || !last->isValid())
        return true;
    const qint64 elapsedMilliseconds = last->msecsTo(now);
    return elapsedMilliseconds >= checkInterval * 1000 || elapsedMilliseconds < 0;
}

QString UpdateStatus::title() const
{
    struct Visitor {
        QString operator()(const UpdateAvailable&) const { return u"Da aggiornare"_s; }
        QString operator()(const Disabled&) const { return u"No verifica aggiornamenti"_s; }
        QString operator()(const UpToDate&) const { return u"Aggiornato"_s; }
        QString operator()(const NotVerified&) const { return u"Non verificato"_s; }
    };
    return std::visit(Visitor{}, state);
}

QString UpdateStatus::tooltip(const QString& appName) const
{
    struct Visitor {
        const QString& appName;
        QString operator()(const UpdateAvailable& a) const
        {
            return u"È disponibile la versione "_s + a.info.version + u". Clic per aprire la pagina di "_s + appName;
        }
        QString operator()(const Disabled&) const
        {
            return u"Il controllo degli aggiornamenti è spento. Clic per aprire le Impostazioni"_s;
        }
        QString operator()(const UpToDate&) const
        {
            return u"Sul sito non risulta una versione più nuova. Clic per controllare di nuovo"_s;
        }
        QString operator()(const NotVerified&) const
        {
            return u"Non è stato possibile controllare gli aggiornamenti. Clic per riprovare"_s;
        }
    };
    return std::visit(Visitor{appName}, state);
}

} // namespace vorlix
