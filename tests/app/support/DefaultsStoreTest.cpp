#include "app/support/DefaultsStore.h"
#include "app/support/BookmarkedFolder.h"
#include "app/support/Settings.h"

#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <limits>

using namespace vorlix;
using namespace Qt::StringLiterals;

TEST(DefaultsStore, StoredValuesConvertOnlyFromTheirOwnTypeOrItsTextForm)
{
    struct Case {
        const char* name;
        QVariant stored;
        std::optional<bool> asBool;
        std::optional<std::int64_t> asInteger;
        std::optional<double> asDouble;
        std::optional<QString> asString;
    };
    const Case cases[] = {
        {"bool", QVariant(true), true, std::nullopt, std::nullopt, std::nullopt},
        {"bool text", QVariant(u"false"_s), false, std::nullopt, std::nullopt, u"false"_s},
        {"int", QVariant(7), std::nullopt, 7, 7.0, std::nullopt},
        {"int text", QVariant(u"-12"_s), std::nullopt, -12, -12.0, u"-12"_s},
        {"signed text", QVariant(u"+5"_s), std::nullopt, 5, 5.0, u"+5"_s},
        {"whole double", QVariant(4.0), std::nullopt, 4, 4.0, std::nullopt},
        {"fraction", QVariant(3.5), std::nullopt, std::nullopt, 3.5, std::nullopt},
        {"fraction text", QVariant(u"0.25"_s), std::nullopt, std::nullopt, 0.25, u"0.25"_s},
        {"padded number", QVariant(u" 3"_s), std::nullopt, std::nullopt, std::nullopt, u" 3"_s},
        {"huge integer text", QVariant(u"99999999999999999999"_s), std::nullopt, std::nullopt, 1e20,
         u"99999999999999999999"_s},
        {"infinity", QVariant(std::numeric_limits<double>::infinity()), std::nullopt, std::nullopt, std::nullopt,
         std::nullopt},
        {"infinity text", QVariant(u"inf"_s), std::nullopt, std::nullopt, std::nullopt, u"inf"_s},
        {"word", QVariant(u"yes"_s), std::nullopt, std::nullopt, std::nullopt, u"yes"_s},
        {"bytes", QVariant(QByteArray("1")), std::nullopt, std::nullopt, std::nullopt, std::nullopt},
        {"absent", QVariant(), std::nullopt, std::nullopt, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(storedBool(c.stored), c.asBool);
        EXPECT_EQ(storedInteger(c.stored), c.asInteger);
        EXPECT_EQ(storedDouble(c.stored), c.asDouble);
        EXPECT_EQ(storedString(c.stored), c.asString);
    }
}

TEST(DefaultsStore, DatesNeedAnIsoFormWithATimeZone)
{
    const QDateTime noon(QDate(2024, 5, 1), QTime(12, 0), QTimeZone::utc());
    struct Case {
        const char16_t* text;
        std::optional<QDateTime> expected;
    };
    const Case cases[] = {
        {u"2024-05-01T12:00:00Z", noon},
        {u"2024-05-01T14:00:00+02:00", noon},
        {u"2024-05-01T12:00:00.000Z", noon},
        {u"2024-05-01T12:00:00", std::nullopt},
        {u"2024-05-01", std::nullopt},
        {u"2024-13-01T12:00:00Z", std::nullopt},
        {u"ieri", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
        const std::optional<QDateTime> parsed = storedDate(QString::fromUtf16(c.text));
        EXPECT_EQ(parsed.has_value(), c.expected.has_value());
        if (parsed && c.expected) {
            EXPECT_EQ(parsed->toMSecsSinceEpoch(), c.expected->toMSecsSinceEpoch());
        }
    }
    EXPECT_EQ(storedDate(QVariant(noon)), noon);
    EXPECT_EQ(storedDate(storedDateText(noon)), noon);
}

// An INI file gives every plain value back as text: the typed getters must still read
// what was written, after the file is read again by a new store.
TEST(DefaultsStore, EveryKindOfValueSurvivesTheIniFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(u"settings.ini"_s);
    const QString folder = dir.filePath(u"history"_s);
    ASSERT_TRUE(QDir().mkpath(folder));
    const QDateTime when(QDate(2024, 2, 29), QTime(23, 59, 58, 250), QTimeZone::utc());

    Palette palette = Palette::standard();
    palette[3] = RGBAColor::hex("#123456");
    StylePresetLibrary presets;
    presets.save(Style::defaults(AnnotationKind::text), u"Titolo"_s, AnnotationKind::text);
    HotkeyConfiguration hotkeys;
    const UpdateInfo update{u"2.1"_s, 40, u"https://vorlix.invalid/get"_s, u"Note = sì, \"virgolette\""_s};

    {
        NotificationCenter center;
        Settings settings(std::make_unique<QSettingsDefaultsStore>(file), center);
        settings.set(setting::afterCapture, AfterCapture::quickPreview);
        settings.set(setting::freezeScreen, false);
        settings.set(setting::captureDelay, 7);
        settings.set(setting::cutOutSensitivity, 0.3);
        settings.set(setting::currentStamp, u"🎯"_s);
        settings.set(setting::filenameTemplate, {u"Scatto, {data}; \"{ora}\""_s});
        settings.set(setting::timestampFormat, TimestampFormat::iso);
        settings.set(setting::exportSize, ExportSize::maxWidth800);
        settings.set(setting::lastUpdateCheck, when);
        settings.set(setting::palette, palette);
        settings.set(setting::stylePresets, presets);
        settings.set(setting::hotkeys, hotkeys);
        settings.set(setting::latestUpdate, update);
        settings.set(setting::lastCaptureSize, CaptureSize{640, 480, false});
        ASSERT_TRUE(settings.historyBookmark().set(folder));
        settings.defaults().sync();
    }

    NotificationCenter center;
    Settings settings(std::make_unique<QSettingsDefaultsStore>(file), center);
    EXPECT_EQ(settings.get(setting::afterCapture), AfterCapture::quickPreview);
    EXPECT_FALSE(settings.get(setting::freezeScreen));
    EXPECT_EQ(settings.get(setting::captureDelay), 7);
    EXPECT_DOUBLE_EQ(settings.get(setting::cutOutSensitivity), 0.3);
    EXPECT_EQ(settings.get(setting::currentStamp), u"🎯"_s);
    EXPECT_EQ(settings.get(setting::filenameTemplate).pattern, u"Scatto, {data}; \"{ora}\""_s);
    EXPECT_EQ(settings.get(setting::timestampFormat), TimestampFormat::iso);
    EXPECT_EQ(settings.get(setting::exportSize), ExportSize::maxWidth800);
    EXPECT_EQ(settings.get(setting::lastUpdateCheck), when);
    EXPECT_EQ(settings.get(setting::palette), palette);
    EXPECT_EQ(settings.get(setting::stylePresets), presets);
    EXPECT_EQ(settings.get(setting::hotkeys), hotkeys);
    EXPECT_EQ(settings.get(setting::latestUpdate), update);
    EXPECT_EQ(settings.get(setting::lastCaptureSize), (CaptureSize{640, 480, false}));
    EXPECT_EQ(settings.historyFolder(), QDir::cleanPath(folder));
}
