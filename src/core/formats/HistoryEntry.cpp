#include "core/formats/HistoryEntry.h"

#include <QTimeZone>

namespace vorlix {

namespace {

// The value of `count` decimal digits at `text[at]`, or -1 when one is no digit.
int digits(std::string_view text, std::size_t at, std::size_t count)
{
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

std::optional<QString> optionalString(const JsonValue& object, std::string_view key)
{
    if (const auto v = object.optionalKey(key))
        return v->toString();
    return std::nullopt;
}

} // namespace

std::string iso8601Text(const QDateTime& date)
{
    const QDateTime utc = date.toUTC();
    return utc.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toStdString() + 'Z';
}

std::optional<QDateTime> dateFromIso8601(std::string_view text)
{
    // yyyy-MM-ddTHH:mm:ss, then Z (20 characters) or ±HH:MM (25 characters)
    if (text.size() != 20 && text.size() != 25)
        return std::nullopt;
    if (text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' || text[16] != ':')
        return std::nullopt;
    const int year = digits(text, 0, 4), month = digits(text, 5, 2), dayOfMonth = digits(text, 8, 2);
    const int hour = digits(text, 11, 2), minute = digits(text, 14, 2), second = digits(text, 17, 2);
    if (year < 0 || month < 0 || dayOfMonth < 0 || hour < 0 || minute < 0 || second < 0)
        return std::nullopt;
    const QDate day(year, month, dayOfMonth);
    if (!day.isValid() || !QTime::isValid(hour, minute, second))
        return std::nullopt;
    int offsetSeconds = 0;
    if (text.size() == 20) {
        if (text[19] != 'Z')
            return std::nullopt;
    } else {
        const char sign = text[19];
        const int offsetHours = digits(text, 20, 2), offsetMinutes = digits(text, 23, 2);
        if ((sign != '+' && sign != '-') || text[22] != ':' || offsetHours < 0 || offsetHours > 23 ||
            offsetMinutes < 0 || offsetMinutes > 59)
            return std::nullopt;
        offsetSeconds = (sign == '+' ? 1 : -1) * (offsetHours * 3600 + offsetMinutes * 60);
    }
    return QDateTime(day, QTime(hour, minute, second), QTimeZone::utc()).addSecs(-offsetSeconds);
}

HistoryEntry JsonCoding<HistoryEntry>::decode(const JsonValue& v)
{
    v.expectObject();
    HistoryEntry entry;
    entry.formatVersion = v.key("formatVersion").toInt();
    entry.id = v.key("id").toUuid();
    const JsonValue date = v.key("date");
    if (const auto parsed = dateFromIso8601(date.toStdString()))
        entry.date = *parsed;
    else
        date.fail(DecodeErrorKind::dataCorrupted, "Expected date string to be ISO8601-formatted.");
    entry.captureKind = decodeJson<CaptureKind>(v.key("captureKind"));
    entry.pixelWidth = v.key("pixelWidth").toInt();
    entry.pixelHeight = v.key("pixelHeight").toInt();
    entry.pixelsPerPoint = v.key("pixelsPerPoint").toDouble();
    entry.sourceAppName = optionalString(v, "sourceAppName");
    entry.sourceAppBundleID = optionalString(v, "sourceAppBundleID");
    entry.sourceWindowTitle = optionalString(v, "sourceWindowTitle");
    entry.recognizedText = optionalString(v, "recognizedText");
    return entry;
}

Json JsonCoding<HistoryEntry>::encode(const HistoryEntry& entry)
{
    // nlohmann's objects keep their keys sorted, which is the order the record promises.
    Json out = Json::object();
    out["formatVersion"] = entry.formatVersion;
    out["id"] = encodeUuid(entry.id);
    out["date"] = iso8601Text(entry.date);
    out["captureKind"] = encodeJson(entry.captureKind);
    out["pixelWidth"] = entry.pixelWidth;
    out["pixelHeight"] = entry.pixelHeight;
    out["pixelsPerPoint"] = entry.pixelsPerPoint;
    const std::pair<const char*, const std::optional<QString>*> texts[] = {
        {"sourceAppName", &entry.sourceAppName},
        {"sourceAppBundleID", &entry.sourceAppBundleID},
        {"sourceWindowTitle", &entry.sourceWindowTitle},
        {"recognizedText", &entry.recognizedText}};
    for (const auto& [key, text] : texts)
        if (*text)
            out[key] = encodeString(**text);
    return out;
}

std::string encodeHistoryEntry(const HistoryEntry& entry)
{
    return encodeJson(entry).dump(-1, ' ', false, Json::error_handler_t::replace);
}

HistoryEntry decodeHistoryEntry(std::string_view json) { return decodeJson<HistoryEntry>(JsonValue(parseJson(json))); }

} // namespace vorlix
