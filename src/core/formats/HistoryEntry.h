#pragma once
// The record of one shot kept in the history folder. It travels inside the shot's
// own PNG as the "Description" text: compact JSON with sorted keys, the date as ISO
// 8601 text in UTC to the whole second ("2024-03-05T14:07:09Z").
//
// `fileURL` is not coded: it is the absolute path of the file the record was read
// from or written to, set by the history store.

#include "core/model/Json.h"

#include <QDateTime>
#include <QString>
#include <QUuid>

#include <optional>
#include <string>
#include <string_view>

namespace vorlix {

// How a shot was taken.
enum class CaptureKind { area, fullScreen, window, repeatArea, delayed, consolidated, scrolling };

template <>
struct EnumTexts<CaptureKind> {
    static constexpr const char* typeName = "CaptureKind";
    static constexpr std::array table{std::pair{CaptureKind::area, std::string_view("area")},
                                      std::pair{CaptureKind::fullScreen, std::string_view("fullScreen")},
                                      std::pair{CaptureKind::window, std::string_view("window")},
                                      std::pair{CaptureKind::repeatArea, std::string_view("repeatArea")},
                                      std::pair{CaptureKind::delayed, std::string_view("delayed")},
                                      std::pair{CaptureKind::consolidated, std::string_view("consolidated")},
                                      std::pair{CaptureKind::scrolling, std::string_view("scrolling")}};
};

struct HistoryEntry {
    static constexpr int currentFormatVersion = 1;

    int formatVersion = currentFormatVersion; // kept as read, never checked
    QUuid id;
    QDateTime date; // when the shot was taken
    CaptureKind captureKind = CaptureKind::area;
    int pixelWidth = 0;
    int pixelHeight = 0;
    double pixelsPerPoint = 1; // backing scale: 1 or 2 in practice
    std::optional<QString> sourceAppName;
    std::optional<QString> sourceAppBundleID;
    std::optional<QString> sourceWindowTitle;
    std::optional<QString> recognizedText;
    std::optional<QString> fileURL; // not coded

    bool operator==(const HistoryEntry&) const = default;
};

template <>
struct JsonCoding<HistoryEntry> {
    static HistoryEntry decode(const JsonValue& v);
    static Json encode(const HistoryEntry& entry);
};

// The entry as compact JSON (UTF-8, keys sorted, optional texts left out when empty).
std::string encodeHistoryEntry(const HistoryEntry& entry);
// The entry of JSON text; throws DecodeError when a required key is missing, a value
// has the wrong type or the text is no JSON.
HistoryEntry decodeHistoryEntry(std::string_view json);

// A date as ISO 8601 text in UTC, whole seconds (any fraction dropped), ending in Z.
std::string iso8601Text(const QDateTime& date);
// The date of ISO 8601 internet text: "yyyy-MM-ddTHH:mm:ss" followed by "Z" or a
// "+HH:MM"/"-HH:MM" offset; no fractions, no other spellings. Nothing otherwise.
std::optional<QDateTime> dateFromIso8601(std::string_view text);

} // namespace vorlix
