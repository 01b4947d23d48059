#include "core/formats/FilenameTemplate.h"

#include "core/formats/Whitespace.h"

#include <QLocale>

using namespace Qt::StringLiterals;

namespace vorlix {

FilenameTemplate FilenameTemplate::standard() { return {u"Progetto {data} alle {ora}"_s}; }
FilenameTemplate FilenameTemplate::imageStandard() { return {u"Scatto {data} alle {ora}"_s}; }
FilenameTemplate FilenameTemplate::previousStandard() { return {u"Scatto {data} alle {ora}"_s}; }

std::array<QString, 3> FilenameTemplate::variables() { return {u"{data}"_s, u"{ora}"_s, u"{app}"_s}; }

QString FilenameTemplate::render(const QDateTime& date, const std::optional<QString>& appName,
                                 const QTimeZone& timeZone) const
{
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    const QDateTime local = date.toTimeZone(timeZone);

    QString name = pattern;
    name.replace(u"{data}"_s, italian.toString(local, u"yyyy-MM-dd"_s));
    name.replace(u"{ora}"_s, italian.toString(local, u"HH.mm.ss"_s));
    name.replace(u"{app}"_s, appName.value_or(QString()));
    name.replace(u'/', u'-');
    name.replace(u':', u'.');
    while (name.contains(u"  "_s))
        name.replace(u"  "_s, u" "_s);
    name = trimmedHorizontalWhitespace(name).toString();

    if (name.isEmpty())
        return standard().render(date, appName, timeZone);
    return name;
}

} // namespace vorlix
