#include "core/formats/FilenameTemplate.h"

#include <gtest/gtest.h>

using namespace vorlix;
using namespace Qt::StringLiterals;

namespace {

// 1 March 2026, 09:05:07 UTC.
const QDateTime shot(QDate(2026, 3, 1), QTime(9, 5, 7), QTimeZone::utc());

} // namespace

TEST(FilenameTemplate, RendersPlaceholdersIntoAFileName)
{
    struct Case {
        const char16_t* pattern;
        std::optional<QString> app;
        const char16_t* expected;
    };
    const Case cases[] = {
        {u"Progetto {data} alle {ora}", std::nullopt, u"Progetto 2026-03-01 alle 09.05.07"},
        {u"{app} {data}", u"Terminale"_s, u"Terminale 2026-03-01"},
        {u"  {app}  {data} ", std::nullopt, u"2026-03-01"},
        {u"a    b\t", std::nullopt, u"a b"},
        {u"{app}", std::nullopt, u"Progetto 2026-03-01 alle 09.05.07"},
        {u"   ", std::nullopt, u"Progetto 2026-03-01 alle 09.05.07"},
        {u"x/y:z {app}", u"A/B: C"_s, u"x-y.z A-B. C"},
        {u"{app} {data}", u"Ter\nmi\x1bna\u2028le\t"_s, u"Terminale 2026-03-01"},
        {u"{DATA} {Ora} {data", std::nullopt, u"{DATA} {Ora} {data"},
        {u"{app}", u"{data}"_s, u"{data}"},
        {u"\u00A0riga\n", std::nullopt, u"riga\n"},
    };
    for (const Case& c : cases) {
        const FilenameTemplate t{QString::fromUtf16(c.pattern)};
        SCOPED_TRACE(t.pattern.toStdString());
        EXPECT_EQ(t.render(shot, c.app, QTimeZone::utc()), QString::fromUtf16(c.expected));
    }
}

TEST(FilenameTemplate, ShowsTheDateInTheGivenTimeZone)
{
    const QTimeZone rome(2 * 3600); // summer time in Rome
    const QDateTime lateEvening(QDate(2026, 6, 30), QTime(22, 30, 0), QTimeZone::utc());
    EXPECT_EQ(FilenameTemplate::imageStandard().render(lateEvening, std::nullopt, rome),
              u"Scatto 2026-07-01 alle 00.30.00"_s);
}

TEST(FilenameTemplate, StandardsAndVariables)
{
    EXPECT_EQ(FilenameTemplate::standard().pattern, u"Progetto {data} alle {ora}"_s);
    EXPECT_EQ(FilenameTemplate::imageStandard().pattern, u"Scatto {data} alle {ora}"_s);
    EXPECT_EQ(FilenameTemplate::previousStandard(), FilenameTemplate::imageStandard());
    EXPECT_EQ(FilenameTemplate::variables(), (std::array{u"{data}"_s, u"{ora}"_s, u"{app}"_s}));
}
