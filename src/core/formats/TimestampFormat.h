#pragma once
// The capture date stamped onto a new shot: the text formats the user chooses from,
// and the look and place of the stamp on the shot's first panel.

#include "core/model/DocumentModel.h"
#include "core/model/Geometry.h"
#include "core/model/Json.h"
#include "core/model/Style.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTimeZone>

#include <optional>

namespace vorlix {

enum class TimestampFormat { dateTime, dateTimeSeconds, longDateTime, dateOnly, iso };

template <>
struct EnumTexts<TimestampFormat> {
    static constexpr const char* typeName = "TimestampFormat";
    static constexpr std::array table{std::pair{TimestampFormat::dateTime, std::string_view("dateTime")},
                                      std::pair{TimestampFormat::dateTimeSeconds, std::string_view("dateTimeSeconds")},
                                      std::pair{TimestampFormat::longDateTime, std::string_view("longDateTime")},
                                      std::pair{TimestampFormat::dateOnly, std::string_view("dateOnly")},
                                      std::pair{TimestampFormat::iso, std::string_view("iso")}};
};

// The date as text in the locale's conventions, shown in the given time zone:
//   dateTime         numeric day, month, four-digit year, hours and minutes
//   dateTimeSeconds  the same with seconds
//   longDateTime     the locale's long date (month in words, no weekday) and short time
//   dateOnly         numeric day, month, four-digit year
//   iso              "yyyy-MM-dd HH:mm:ss" whatever the locale
// Date and time are joined with ", ".
QString timestampString(TimestampFormat format, const QDateTime& date, const QLocale& locale,
                        const QTimeZone& timeZone);

// Distance of the stamp from the panel's right and bottom edges, in points.
inline constexpr double timestampMargin = 10;

// White text on a 30 % black box, 13-point regular system font, left aligned.
Style timestampStyle();

// Where a stamp of `textSize` (points) is anchored in a panel whose canvas frame is
// `panelFrame`: `timestampMargin` in from the bottom-right corner, but never left of
// or above the frame's top-left corner.
Point timestampAnchor(const Rect& panelFrame, Size textSize);
// Stamps the text in the bottom-right corner of the first panel as a text annotation
// given to the owner under it; nothing without a panel or text.
std::optional<Annotation> addTimestamp(DocumentModel& doc, const QString& text, const Style& style);

} // namespace vorlix
