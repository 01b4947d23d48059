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
    // The application's name comes from another program: no line breaks or other
    // control characters of it reach a file name.
    QString app = appName.value_or(QString());
    app.removeIf([](QChar c) {
        const QChar::Category category = c.category();
        return category == QChar::Other_Control || category == QChar::Separator_Line ||
               category == QChar::Separator_Paragraph;
    });
    name.replace(u"{app}"_s, app);
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
