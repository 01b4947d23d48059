#include "app/support/Settings.h"

#include "NotificationRecorder.h"

#include <QCoreApplication>

#include <cmath>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace Qt::StringLiterals;

namespace {

class SettingsTest : public testing::Test {
protected:
    SettingsTest()
    {
        auto store = std::make_unique<MemoryDefaultsStore>();
        memory = store.get();
        settings = std::make_unique<Settings>(std::move(store), center);
    }

    void storeJson(const QString& key, const char* json) { memory->set(key, QByteArray(json)); }

    NotificationCenter center;
    test::NotificationRecorder recorder{center};
    MemoryDefaultsStore* memory = nullptr;
    std::unique_ptr<Settings> settings;
};

} // namespace

TEST_F(SettingsTest, EmptyStoreReadsEveryDefault)
{
    const Settings& s = *settings;
    EXPECT_EQ(s.get(setting::afterCapture), AfterCapture::openEditor);
    EXPECT_TRUE(s.get(setting::freezeScreen));
    EXPECT_TRUE(s.get(setting::showsLoupe));
    EXPECT_EQ(s.get(setting::captureDelay), 3);
    EXPECT_EQ(s.get(setting::toolIdleSeconds), 60);
    EXPECT_TRUE(s.get(setting::toolbarShowsLabels));
    EXPECT_TRUE(s.get(setting::askToSaveOnClose));
    EXPECT_TRUE(s.get(setting::checksForUpdates));
    EXPECT_EQ(s.get(setting::updateFeedURL), std::nullopt);
    EXPECT_EQ(s.get(setting::lastUpdateCheck), std::nullopt);
    EXPECT_EQ(s.get(setting::latestUpdate), std::nullopt);
    EXPECT_TRUE(s.get(setting::historyEnabled));
    EXPECT_EQ(s.get(setting::historyRetentionDays), 14);
    EXPECT_EQ(s.get(setting::lastHistoryCleanup), std::nullopt);
    EXPECT_FALSE(s.get(setting::timestampOnShots));
    EXPECT_EQ(s.get(setting::timestampFormat), TimestampFormat::dateTime);
    EXPECT_EQ(s.timestamp(QDateTime::currentDateTimeUtc()), std::nullopt);
    EXPECT_EQ(s.get(setting::filenameTemplate), FilenameTemplate::standard());
    EXPECT_EQ(s.get(setting::imageFilenameTemplate), FilenameTemplate::imageStandard());
    EXPECT_EQ(s.get(setting::exportSize), ExportSize::original);
    EXPECT_DOUBLE_EQ(s.get(setting::cutOutSensitivity), 0.12);
    EXPECT_FALSE(s.get(setting::showRulers));
    EXPECT_EQ(s.get(setting::currentStamp), u"\u2705"_s);
    EXPECT_EQ(s.get(setting::captureSizes), CaptureSize::defaults());
    EXPECT_EQ(s.get(setting::lastCaptureSize), std::nullopt);
    EXPECT_EQ(s.get(setting::hotkeys), HotkeyConfiguration::defaults());
    EXPECT_EQ(s.get(setting::palette), Palette::standard());
    EXPECT_EQ(s.get(setting::stylePresets), StylePresetLibrary{});
    const std::map<AnnotationKind, Style> styles = s.get(setting::toolStyles);
    ASSERT_EQ(styles.size(), annotationKindCount);
    for (AnnotationKind kind : allCases<AnnotationKind>())
        EXPECT_EQ(styles.at(kind), Style::defaults(kind)) << enumText(kind);
}

TEST_F(SettingsTest, ValuesOfTheWrongTypeOrUndecodableJsonReadAsDefaults)
{
    memory->set(u"afterCapture"_s, u"somethingElse"_s);
    memory->set(u"freezeScreen"_s, u"maybe"_s);
    memory->set(u"captureDelay"_s, 2.5);
    memory->set(u"toolbarShowsLabels"_s, 0);
    memory->set(u"currentStamp"_s, 42);
    memory->set(u"timestampFormat"_s, u"weekly"_s);
    memory->set(u"exportSize"_s, u"huge"_s);
    memory->set(u"cutOutSensitivity"_s, u"alta"_s);
    memory->set(u"lastUpdateCheck"_s, u"yesterday"_s);
    memory->set(u"updateFeedURL"_s, u"file:///etc/passwd"_s);
    storeJson(u"palette"_s, "\x01\x02 not json");
    storeJson(u"hotkeys"_s, R"({"bindings": {"launchRockets": {"keyCode": 1, "modifiers": 2}}})");
    storeJson(u"captureSizes"_s, R"([{"width": 800, "height": 600}])");
    storeJson(u"stylePresets"_s, "[]");
    storeJson(u"latestUpdate"_s, R"({"build": 3})");
    storeJson(u"toolStyles"_s, R"({"arrow": {"lineWidth": "thick"}})");

    const Settings& s = *settings;
    EXPECT_EQ(s.get(setting::afterCapture), AfterCapture::openEditor);
    EXPECT_TRUE(s.get(setting::freezeScreen));
    EXPECT_EQ(s.get(setting::captureDelay), 3);
    EXPECT_TRUE(s.get(setting::toolbarShowsLabels));
    EXPECT_EQ(s.get(setting::currentStamp), u"\u2705"_s);
    EXPECT_EQ(s.get(setting::timestampFormat), TimestampFormat::dateTime);
    EXPECT_EQ(s.get(setting::exportSize), ExportSize::original);
    EXPECT_DOUBLE_EQ(s.get(setting::cutOutSensitivity), 0.12);
    EXPECT_EQ(s.get(setting::lastUpdateCheck), std::nullopt);
    EXPECT_EQ(s.get(setting::updateFeedURL), std::nullopt);
    EXPECT_EQ(s.get(setting::palette), Palette::standard());
    EXPECT_EQ(s.get(setting::hotkeys), HotkeyConfiguration::defaults());
    EXPECT_EQ(s.get(setting::captureSizes), CaptureSize::defaults());
    EXPECT_EQ(s.get(setting::stylePresets), StylePresetLibrary{});
    EXPECT_EQ(s.get(setting::latestUpdate), std::nullopt);
    EXPECT_EQ(s.get(setting::toolStyles).at(AnnotationKind::arrow), Style::defaults(AnnotationKind::arrow));
    // Reading never repairs the store.
    EXPECT_EQ(memory->object(u"palette"_s), QVariant(QByteArray("\x01\x02 not json")));
}

// A palette with fewer than ten slots decodes, but every user of it indexes ten slots.
TEST_F(SettingsTest, PaletteWithoutTenColoursReadsAsTheStandard)
{
    storeJson(u"palette"_s, R"({"colors": ["#FF0000", "#00FF00"]})");
    EXPECT_EQ(settings->get(setting::palette), Palette::standard());
}

TEST_F(SettingsTest, HarmfulStoredNumbersAreBroughtIntoASafeRange)
{
    struct Case {
        const SettingKey<std::int64_t>& key;
        QVariant stored;
        std::int64_t expected;
    };
    const Case cases[] = {
        // A retention below one day would delete every shot at the next clean-up.
        {setting::historyRetentionDays, 0, 14},
        {setting::historyRetentionDays, -30, 14},
        {setting::historyRetentionDays, 1, 1},
        {setting::historyRetentionDays, u"999999999999"_s, 3650},
        // The delay becomes a sleep in nanoseconds: never negative, never years.
        {setting::captureDelay, -5, 0},
        {setting::captureDelay, 0, 0},
        {setting::captureDelay, 60, 60},
        {setting::captureDelay, u"9223372036854775807"_s, 60},
        {setting::captureDelay, u"inf"_s, 3},
        {setting::toolIdleSeconds, -1, 0},
        {setting::toolIdleSeconds, qint64(1) << 40, 86'400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.key.name << " = " << c.stored.toString().toStdString());
        memory->set(c.key.key(), c.stored);
        EXPECT_EQ(settings->get(c.key), c.expected);
    }

    settings->set(setting::cutOutSensitivity, -0.5);
    EXPECT_EQ(memory->object(u"cutOutSensitivity"_s), QVariant(0.0));
    settings->set(setting::cutOutSensitivity, 1.7);
    EXPECT_EQ(memory->object(u"cutOutSensitivity"_s), QVariant(1.0));
    memory->set(u"cutOutSensitivity"_s, 5);
    EXPECT_DOUBLE_EQ(settings->get(setting::cutOutSensitivity), 1.0);
    // A number that is not finite is not stored at all.
    settings->set(setting::cutOutSensitivity, std::nan(""));
    EXPECT_EQ(memory->object(u"cutOutSensitivity"_s), QVariant(5));
}

// The key texts are what earlier files hold: every setter writes under its own text.
TEST_F(SettingsTest, EverySetterWritesUnderTheKeyTextTheFileKeeps)
{
    settings->set(setting::afterCapture, AfterCapture::quickPreview);
    settings->set(setting::freezeScreen, false);
    settings->set(setting::showsLoupe, false);
    settings->set(setting::captureDelay, 5);
    settings->set(setting::captureSizes, {});
    settings->set(setting::lastCaptureSize, CaptureSize{1, 1, true});
    settings->set(setting::hotkeys, HotkeyConfiguration{});
    settings->set(setting::toolIdleSeconds, 0);
    settings->set(setting::toolbarShowsLabels, false);
    settings->set(setting::askToSaveOnClose, false);
    settings->set(setting::showRulers, true);
    settings->set(setting::cutOutSensitivity, 0.5);
    settings->set(setting::currentStamp, u"x"_s);
    settings->set(setting::palette, Palette::standard());
    settings->set(setting::stylePresets, StylePresetLibrary{});
    settings->set(setting::toolStyles, {});
    settings->set(setting::timestampOnShots, true);
    settings->set(setting::timestampFormat, TimestampFormat::iso);
    settings->set(setting::filenameTemplate, {u"a"_s});
    settings->set(setting::imageFilenameTemplate, {u"b"_s});
    settings->set(setting::exportSize, ExportSize::normal);
    settings->set(setting::historyEnabled, false);
    settings->set(setting::historyRetentionDays, 3);
    settings->set(setting::lastHistoryCleanup, QDateTime::currentDateTimeUtc());
    settings->set(setting::checksForUpdates, false);
    settings->set(setting::updateFeedURL, QUrl(u"https://example.invalid/feed"_s));
    settings->set(setting::lastUpdateCheck, QDateTime::currentDateTimeUtc());
    settings->set(setting::latestUpdate, UpdateInfo{u"1.0"_s, std::nullopt, std::nullopt, std::nullopt});
    const QStringList expected{u"afterCapture"_s,
                               u"askToSaveOnClose"_s,
                               u"captureDelay"_s,
                               u"captureSizes"_s,
                               u"checksForUpdates"_s,
                               u"currentStamp"_s,
                               u"cutOutSensitivity"_s,
                               u"exportSize"_s,
                               u"filenameTemplate"_s,
                               u"freezeScreen"_s,
                               u"historyEnabled"_s,
                               u"historyRetentionDays"_s,
                               u"hotkeys"_s,
                               u"imageFilenameTemplate"_s,
                               u"lastCaptureSize"_s,
                               u"lastHistoryCleanup"_s,
                               u"lastUpdateCheck"_s,
                               u"latestUpdate"_s,
                               u"palette"_s,
                               u"showRulers"_s,
                               u"showsLoupe"_s,
                               u"stylePresets"_s,
                               u"timestampFormat"_s,
                               u"timestampOnShots"_s,
                               u"toolIdleSeconds"_s,
                               u"toolStyles"_s,
                               u"toolbarShowsLabels"_s,
                               u"updateFeedURL"_s};
    EXPECT_EQ(memory->values().keys(), expected);
    EXPECT_EQ(settings->get(setting::updateFeedURL), QUrl(u"https://example.invalid/feed"_s));
}

TEST_F(SettingsTest, SettersStoreTheTextsAndPostTheirNotifications)
{
    settings->set(setting::afterCapture, AfterCapture::quickPreview);
    settings->set(setting::timestampFormat, TimestampFormat::longDateTime);
    settings->set(setting::exportSize, ExportSize::maxWidth1200);
    EXPECT_EQ(memory->object(u"afterCapture"_s), QVariant(u"quickPreview"_s));
    EXPECT_EQ(memory->object(u"timestampFormat"_s), QVariant(u"longDateTime"_s));
    EXPECT_EQ(memory->object(u"exportSize"_s), QVariant(u"maxWidth1200"_s));
    EXPECT_TRUE(recorder.names.isEmpty());

    settings->set(setting::toolbarShowsLabels, false);
    EXPECT_FALSE(settings->get(setting::toolbarShowsLabels));
    settings->set(setting::palette, Palette::standard());
    settings->set(setting::toolStyles, {{AnnotationKind::arrow, Style::defaults(AnnotationKind::line)}});
    settings->resetToolStyles();
    EXPECT_FALSE(memory->values().contains(u"toolStyles"_s));
    EXPECT_EQ(recorder.names, (QStringList{u"VorlixToolbarLabelsDidChange"_s, u"VorlixPaletteDidChange"_s,
                                           u"VorlixToolStylesDidReset"_s}));
}

TEST_F(SettingsTest, CaptureSizesKeepAtMostTwelveAndAddingSkipsDuplicates)
{
    std::vector<CaptureSize> fifteen;
    for (int i = 0; i < 15; ++i)
        fifteen.push_back({100 + i, 100, false});
    settings->set(setting::captureSizes, fifteen);
    EXPECT_EQ(settings->get(setting::captureSizes), std::vector<CaptureSize>(fifteen.begin(), fifteen.begin() + 12));
    EXPECT_EQ(recorder.names, QStringList{u"VorlixCaptureSizesDidChange"_s});

    recorder.names.clear();
    settings->addCaptureSize({200, 200, false}); // full
    EXPECT_EQ(settings->get(setting::captureSizes).size(), 12u);
    EXPECT_TRUE(recorder.names.isEmpty());

    settings->set(setting::captureSizes, {{16, 9, true}});
    recorder.names.clear();
    settings->addCaptureSize({16, 9, true});
    EXPECT_TRUE(recorder.names.isEmpty());
    settings->addCaptureSize({16, 9, false}); // same terms, but a fixed size
    EXPECT_EQ(settings->get(setting::captureSizes), (std::vector<CaptureSize>{{16, 9, true}, {16, 9, false}}));
    EXPECT_EQ(recorder.names, QStringList{u"VorlixCaptureSizesDidChange"_s});

    // Without anything stored, adding starts from the defaults.
    memory->remove(u"captureSizes"_s);
    settings->addCaptureSize({300, 300, false});
    EXPECT_EQ(settings->get(setting::captureSizes).size(), CaptureSize::defaults().size() + 1);
}

TEST_F(SettingsTest, TheEarlierStandardProjectNameReadsAsTheCurrentOne)
{
    memory->set(u"filenameTemplate"_s, FilenameTemplate::previousStandard().pattern);
    EXPECT_EQ(settings->get(setting::filenameTemplate), FilenameTemplate::standard());
    settings->set(setting::filenameTemplate, {u"{app} {data}"_s});
    EXPECT_EQ(settings->get(setting::filenameTemplate).pattern, u"{app} {data}"_s);
}

TEST_F(SettingsTest, StoredToolStylesAreMigratedOnEveryReadAndMergedOverTheDefaults)
{
    const RGBAColor oldRed = Palette::previousStandards()[0].colors[0];
    ASSERT_NE(oldRed, Palette::red());
    storeJson(u"toolStyles"_s, R"({
        "highlighter": {"opacity": 0.55},
        "rectangle": {"strokeColor": "#E5484D", "fillColor": "#E5484D", "arrowHeadColor": "#123456"},
        "line": {"opacity": 0.55},
        "sparkles": {"lineWidth": 3}
    })");
    const std::map<AnnotationKind, Style> styles = settings->get(setting::toolStyles);
    ASSERT_EQ(styles.size(), annotationKindCount);
    EXPECT_EQ(styles.at(AnnotationKind::highlighter).opacity, Style::defaults(AnnotationKind::highlighter).opacity);
    EXPECT_EQ(styles.at(AnnotationKind::line).opacity, 0.55); // only the highlighter's old opacities
    EXPECT_EQ(styles.at(AnnotationKind::rectangle).strokeColor, Palette::red());
    EXPECT_EQ(styles.at(AnnotationKind::rectangle).fillColor, Palette::red());
    EXPECT_EQ(styles.at(AnnotationKind::rectangle).arrowHeadColor, RGBAColor::hex("#123456"));
    EXPECT_EQ(styles.at(AnnotationKind::arrow), Style::defaults(AnnotationKind::arrow));
    // Nothing is written back.
    EXPECT_EQ(memory->writeCount(u"toolStyles"_s), 1);

    storeJson(u"toolStyles"_s, R"({"highlighter": {"opacity": 0.5}})");
    EXPECT_EQ(settings->get(setting::toolStyles).at(AnnotationKind::highlighter).opacity, 0.5);

    Style custom = Style::defaults(AnnotationKind::callout);
    custom.lineWidth = 11;
    std::map<AnnotationKind, Style> written = settings->get(setting::toolStyles);
    written[AnnotationKind::callout] = custom;
    settings->set(setting::toolStyles, written);
    EXPECT_EQ(settings->get(setting::toolStyles), written);
}

TEST_F(SettingsTest, TimestampFollowsTheSwitchAndTheStoredFormat)
{
    const QDateTime date(QDate(2024, 3, 9), QTime(8, 5, 7), QTimeZone::utc());
    EXPECT_EQ(settings->timestamp(date), std::nullopt);
    settings->set(setting::timestampOnShots, true);
    settings->set(setting::timestampFormat, TimestampFormat::iso);
    EXPECT_EQ(settings->timestamp(date), u"2024-03-09 08:05:07"_s);
    memory->set(u"timestampFormat"_s, u"bogus"_s);
    EXPECT_EQ(settings->timestamp(date), timestampString(TimestampFormat::dateTime, date, QLocale(), QTimeZone::utc()));
}

TEST_F(SettingsTest, OptionalRecordsAreRemovedWhenCleared)
{
    settings->set(setting::lastCaptureSize, CaptureSize{1024, 768, false});
    settings->set(setting::latestUpdate, UpdateInfo{u"3.0"_s, std::nullopt, std::nullopt, std::nullopt});
    EXPECT_EQ(settings->get(setting::lastCaptureSize), (CaptureSize{1024, 768, false}));
    EXPECT_EQ(settings->get(setting::latestUpdate)->version, u"3.0"_s);
    settings->set(setting::lastCaptureSize, std::nullopt);
    settings->set(setting::latestUpdate, std::nullopt);
    EXPECT_FALSE(memory->values().contains(u"lastCaptureSize"_s));
    EXPECT_FALSE(memory->values().contains(u"latestUpdate"_s));
    storeJson(u"lastCaptureSize"_s, "null");
    EXPECT_EQ(settings->get(setting::lastCaptureSize), std::nullopt);

    memory->set(u"updateFeedURL"_s, u"http://127.0.0.1:8080/feed/"_s);
    EXPECT_EQ(settings->get(setting::updateFeedURL), QUrl(u"http://127.0.0.1:8080/feed/"_s));
}
