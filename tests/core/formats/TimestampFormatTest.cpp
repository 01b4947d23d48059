#include "core/formats/TimestampFormat.h"
#include "core/shapes/TextLayout.h"

#include "core/model/Color.h"

#include <gtest/gtest.h>

using namespace vorlix;
using namespace Qt::StringLiterals;

namespace {

const QDateTime moment(QDate(2026, 3, 1), QTime(10, 15, 0), QTimeZone::utc());

} // namespace

TEST(TimestampFormat, FormatsInTheGivenLocaleAndTimeZone)
{
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    const QTimeZone utc = QTimeZone::utc();
    EXPECT_EQ(timestampString(TimestampFormat::dateTime, moment, italian, utc), u"01/03/2026, 10:15"_s);
    EXPECT_EQ(timestampString(TimestampFormat::dateTimeSeconds, moment, italian, utc), u"01/03/2026, 10:15:00"_s);
    EXPECT_EQ(timestampString(TimestampFormat::longDateTime, moment, italian, utc), u"1 marzo 2026, 10:15"_s);
    EXPECT_EQ(timestampString(TimestampFormat::dateOnly, moment, italian, utc), u"01/03/2026"_s);

    const QLocale american(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(timestampString(TimestampFormat::dateTime, moment, american, utc), u"03/01/2026, 10:15 AM"_s);
    EXPECT_EQ(timestampString(TimestampFormat::longDateTime, moment, american, utc), u"March 1, 2026, 10:15 AM"_s);

    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(timestampString(TimestampFormat::dateTimeSeconds, moment, german, QTimeZone(3600)),
              u"01.03.2026, 11:15:00"_s);
}

TEST(TimestampFormat, IsoIsTheSameInEveryLocale)
{
    const QTimeZone rome(3600); // winter time in Rome
    for (const QLocale& locale : {QLocale(QLocale::Italian, QLocale::Italy), QLocale(QLocale::Arabic, QLocale::Egypt),
                                  QLocale(QLocale::Japanese, QLocale::Japan), QLocale::c()}) {
        SCOPED_TRACE(locale.name().toStdString());
        EXPECT_EQ(timestampString(TimestampFormat::iso, moment, locale, QTimeZone::utc()), u"2026-03-01 10:15:00"_s);
        EXPECT_EQ(timestampString(TimestampFormat::iso, moment, locale, rome), u"2026-03-01 11:15:00"_s);
    }
}

TEST(TimestampFormat, RawValuesAreTheCaseNames)
{
    EXPECT_EQ(enumText(TimestampFormat::dateTimeSeconds), "dateTimeSeconds");
    EXPECT_EQ(enumFromText<TimestampFormat>("longDateTime"), TimestampFormat::longDateTime);
    EXPECT_EQ(enumFromText<TimestampFormat>("ISO"), std::nullopt);
    EXPECT_EQ(allCases<TimestampFormat>().size(), 5u);
}

TEST(Timestamp, StyleIsWhiteTextOnATranslucentBlackBox)
{
    const Style s = timestampStyle();
    EXPECT_EQ(s.strokeColor, RGBAColor::white());
    EXPECT_EQ(s.fillColor, RGBAColor::black());
    EXPECT_EQ(s.fill, FillMode::solid);
    EXPECT_EQ(s.fillOpacity, 0.3);
    EXPECT_EQ(s.fontSize, 13);
    EXPECT_FALSE(s.fontBold);
    EXPECT_EQ(s.fontName, std::nullopt);
    EXPECT_EQ(s.textAlignment, TextAlignment::left);
    EXPECT_EQ(s.cornerRadius, 4);
}

TEST(Timestamp, AnchorSitsInTheBottomRightCornerButNeverOutsideTheTopLeft)
{
    // 800 × 600 pixels at 2 pixels per point: a 400 × 300 point frame.
    EXPECT_EQ(timestampAnchor(Rect(100, 50, 400, 300), {120, 20}), (Point{370, 320}));
    EXPECT_EQ(timestampAnchor(Rect(100, 50, 100, 300), {120, 20}), (Point{100, 320}));
    EXPECT_EQ(timestampAnchor(Rect(100, 50, 400, 20), {120, 20}), (Point{370, 50}));
}

TEST(Timestamp, StampSitsInTheFirstPanelsBottomRightCorner)
{
    DocumentModel empty;
    EXPECT_FALSE(addTimestamp(empty, QStringLiteral("10:15"), timestampStyle()));
    DocumentModel d;
    Panel p;
    p.id = QUuid::createUuid();
    p.pixelSize = {800, 600};
    p.pixelsPerPoint = 2;
    p.origin = {100, 50};
    d.panels = {p};
    EXPECT_FALSE(addTimestamp(d, QString(), timestampStyle()));
    const auto stamp = addTimestamp(d, QStringLiteral("01/03/2026, 10:15"), timestampStyle());
    ASSERT_TRUE(stamp);
    ASSERT_EQ(d.panels[0].annotations.size(), 1u);
    EXPECT_EQ(d.panels[0].annotations[0], *stamp);
    const Size size = TextLayout::size(stamp->text, timestampStyle(), std::nullopt);
    // Image pixels at 2 per point: the canvas anchor (500 - 10 - w, 350 - 10 - h).
    EXPECT_NEAR(stamp->points[0].x, (400 - 10 - size.width) * 2, 1e-9);
    EXPECT_NEAR(stamp->points[0].y, (300 - 10 - size.height) * 2, 1e-9);
}
