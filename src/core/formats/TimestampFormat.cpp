#include "core/formats/TimestampFormat.h"

#include "core/document/DocumentAnnotations.h"
#include "core/model/Color.h"
#include "core/model/PanelGeometry.h"
#include "core/shapes/TextLayout.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

// Rewrites the fields of a QDateTime format outside quoted literals: every run of
// one pattern letter is passed to `rewrite`, which returns its replacement.
template <class F>
QString rewriteFields(const QString& format, F&& rewrite)
{
    QString out;
    qsizetype i = 0;
    while (i < format.size()) {
        const QChar c = format[i];
        if (c == u'\'') {
            const qsizetype close = format.indexOf(u'\'', i + 1);
            const qsizetype end = close < 0 ? format.size() : close + 1;
            out += format.sliced(i, end - i);
            i = end;
            continue;
        }
        qsizetype run = i + 1;
        while (run < format.size() && format[run] == c)
            ++run;
        const QString field = format.sliced(i, run - i);
        out += c.isLetter() ? rewrite(c, field) : field;
        i = run;
    }
    return out;
}

// Characters that may separate a removed field from its neighbours.
bool isFieldSeparator(QChar c)
{
    return c.isSpace() || c == u',' || c == u'\u060C' || c == u'(' || c == u')' || c.category() == QChar::Other_Format;
}

QString trimmedSeparators(QString text)
{
    while (!text.isEmpty() && isFieldSeparator(text.front()))
        text.remove(0, 1);
    while (!text.isEmpty() && isFieldSeparator(text.back()))
        text.chop(1);
    return text;
}

// The locale's short numeric date with two-digit day and month and a four-digit year.
QString numericDateFormat(const QLocale& locale)
{
    return rewriteFields(locale.dateFormat(QLocale::ShortFormat), [](QChar c, const QString& field) -> QString {
        if (c == u'd' && field.size() <= 2)
            return u"dd"_s;
        if (c == u'M')
            return u"MM"_s;
        if (c == u'y')
            return u"yyyy"_s;
        return field;
    });
}

// The locale's long date without the weekday.
QString longDateFormat(const QLocale& locale)
{
    const QString format = rewriteFields(locale.dateFormat(QLocale::LongFormat), [](QChar c, const QString& field) {
        return c == u'd' && field.size() >= 3 ? QString() : field;
    });
    return trimmedSeparators(format);
}

// The locale's time with hours and minutes, optionally seconds, without a time zone.
QString timeFormat(const QLocale& locale, bool seconds)
{
    if (!seconds)
        return locale.timeFormat(QLocale::ShortFormat);
    const QString format = rewriteFields(locale.timeFormat(QLocale::LongFormat),
                                         [](QChar c, const QString& field) { return c == u't' ? QString() : field; });
    return trimmedSeparators(format);
}

} // namespace

QString timestampString(TimestampFormat format, const QDateTime& date, const QLocale& locale, const QTimeZone& timeZone)
{
    const QDateTime local = date.toTimeZone(timeZone);
    switch (format) {
    case TimestampFormat::dateTime:
        return locale.toString(local, numericDateFormat(locale) + u", "_s + timeFormat(locale, false));
    case TimestampFormat::dateTimeSeconds:
        return locale.toString(local, numericDateFormat(locale) + u", "_s + timeFormat(locale, true));
    case TimestampFormat::longDateTime:
        return locale.toString(local, longDateFormat(locale) + u", "_s + timeFormat(locale, false));
    case TimestampFormat::dateOnly:
        return locale.toString(local, numericDateFormat(locale));
    case TimestampFormat::iso:
        return QLocale::c().toString(local, u"yyyy-MM-dd HH:mm:ss"_s);
    }
    return {};
}

Style timestampStyle()
{
    // White 13-point regular text on a solid black box; every other option is the base style.
    Style s;
    s.strokeColor = RGBAColor::white();
    s.fillColor = RGBAColor::black();
    s.fill = FillMode::solid;
    s.fontSize = 13;
    s.fontBold = false;
    return s;
}

Point timestampAnchor(const Rect& panelFrame, Size textSize)
{
    return {std::max(panelFrame.minX(), panelFrame.maxX() - timestampMargin - textSize.width),
            std::max(panelFrame.minY(), panelFrame.maxY() - timestampMargin - textSize.height)};
}

std::optional<Annotation> addTimestamp(DocumentModel& doc, const QString& text, const Style& style)
{
    if (doc.panels.empty() || text.isEmpty())
        return std::nullopt;
    const Size size = TextLayout::size(text, style, std::nullopt);
    const Point anchor = timestampAnchor(frame(doc.panels.front()), size);
    const AnnotationOwner owner = ownerForNewShape(doc, {anchor}, AnnotationKind::text);
    Annotation stamp{QUuid::createUuid(), AnnotationKind::text, convertFromCanvas(doc, {anchor}, owner), text, style,
                     std::nullopt};
    insert(doc, stamp, owner);
    return stamp;
}

} // namespace vorlix
