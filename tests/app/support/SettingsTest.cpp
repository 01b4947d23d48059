#include "app/support/Settings.h"

#include "NotificationRecorder.h"

#include <QCoreApplication>

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
    EXPECT_EQ(s.afterCapture(), Settings::AfterCapture::openEditor);
    EXPECT_TRUE(s.freezeScreen());
    EXPECT_TRUE(s.showsLoupe());
    EXPECT_EQ(s.captureDelay(), 3);
    EXPECT_EQ(s.toolIdleSeconds(), 60);
    EXPECT_TRUE(s.toolbarShowsLabels());
    EXPECT_TRUE(s.askToSaveOnClose());
    EXPECT_TRUE(s.checksForUpdates());
    EXPECT_EQ(s.updateFeedURL(), std::nullopt);
    EXPECT_EQ(s.lastUpdateCheck(), std::nullopt);
    EXPECT_EQ(s.latestUpdate(), std::nullopt);
    EXPECT_TRUE(s.historyEnabled());
    EXPECT_EQ(s.historyRetentionDays(), 14);
    EXPECT_EQ(s.lastCleanup(), std::nullopt);
    EXPECT_FALSE(s.timestampOnShots());
    EXPECT_EQ(s.timestampFormat(), TimestampFormat::dateTime);
    EXPECT_EQ(s.timestamp(QDateTime::currentDateTimeUtc()), std::nullopt);
    EXPECT_EQ(s.filenameTemplate(), FilenameTemplate::standard());
    EXPECT_EQ(s.imageFilenameTemplate(), FilenameTemplate::imageStandard());
    EXPECT_EQ(s.exportSize(), ExportSize::original);
    EXPECT_DOUBLE_EQ(s.cutOutSensitivity(), 0.12);
    EXPECT_FALSE(s.showRulers());
    EXPECT_EQ(s.currentStamp(), u"\u2705"_s);
    EXPECT_EQ(s.captureSizes(), CaptureSize::defaults());
    EXPECT_EQ(s.lastCaptureSize(), std::nullopt);
    EXPECT_EQ(s.hotkeys(), HotkeyConfiguration::defaults());
    EXPECT_EQ(s.palette(), Palette::standard());
    EXPECT_EQ(s.stylePresets(), StylePresetLibrary{});
    const std::map<AnnotationKind, Style> styles = s.toolStyles();
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
    EXPECT_EQ(s.afterCapture(), Settings::AfterCapture::openEditor);
    EXPECT_TRUE(s.freezeScreen());
    EXPECT_EQ(s.captureDelay(), 3);
    EXPECT_TRUE(s.toolbarShowsLabels());
    EXPECT_EQ(s.currentStamp(), u"\u2705"_s);
    EXPECT_EQ(s.timestampFormat(), TimestampFormat::dateTime);
    EXPECT_EQ(s.exportSize(), ExportSize::original);
    EXPECT_DOUBLE_EQ(s.cutOutSensitivity(), 0.12);
    EXPECT_EQ(s.lastUpdateCheck(), std::nullopt);
    EXPECT_EQ(s.updateFeedURL(), std::nullopt);
    EXPECT_EQ(s.palette(), Palette::standard());
    EXPECT_EQ(s.hotkeys(), HotkeyConfiguration::defaults());
    EXPECT_EQ(s.captureSizes(), CaptureSize::defaults());
    EXPECT_EQ(s.stylePresets(), StylePresetLibrary{});
    EXPECT_EQ(s.latestUpdate(), std::nullopt);
    EXPECT_EQ(s.toolStyles().at(AnnotationKind::arrow), Style::defaults(AnnotationKind::arrow));
    // Reading never repairs the store.
    EXPECT_EQ(memory->object(u"palette"_s), QVariant(QByteArray("\x01\x02 not json")));
}

// A palette with fewer than ten slots decodes, but every user of it indexes ten slots.
TEST_F(SettingsTest, PaletteWithoutTenColoursReadsAsTheStandard)
{
    storeJson(u"palette"_s, R"({"colors": ["#FF0000", "#00FF00"]})");
    EXPECT_EQ(settings->palette(), Palette::standard());
}

TEST_F(SettingsTest, HarmfulStoredNumbersAreBroughtIntoASafeRange)
{
    struct Case {
        const char* key;
        QVariant stored;
        std::int64_t (Settings::*getter)() const;
        std::int64_t expected;
    };
    const Case cases[] = {
        // A retention below one day would delete every shot at the next clean-up.
        {"historyRetentionDays", 0, &Settings::historyRetentionDays, 14},
        {"historyRetentionDays", -30, &Settings::historyRetentionDays, 14},
        {"historyRetentionDays", 1, &Settings::historyRetentionDays, 1},
        {"historyRetentionDays", u"999999999999"_s, &Settings::historyRetentionDays, 3650},
        // The delay becomes a sleep in nanoseconds: never negative, never years.
        {"captureDelay", -5, &Settings::captureDelay, 0},
        {"captureDelay", 0, &Settings::captureDelay, 0},
        {"captureDelay", 60, &Settings::captureDelay, 60},
        {"captureDelay", u"9223372036854775807"_s, &Settings::captureDelay, 60},
        {"captureDelay", u"inf"_s, &Settings::captureDelay, 3},
        {"toolIdleSeconds", -1, &Settings::toolIdleSeconds, 0},
        {"toolIdleSeconds", qint64(1) << 40, &Settings::toolIdleSeconds, 86'400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.key << " = " << c.stored.toString().toStdString());
        memory->set(QString::fromLatin1(c.key), c.stored);
        EXPECT_EQ(((*settings).*c.getter)(), c.expected);
    }

    settings->setCutOutSensitivity(-0.5);
    EXPECT_EQ(memory->object(u"cutOutSensitivity"_s), QVariant(0.0));
    settings->setCutOutSensitivity(1.7);
    EXPECT_EQ(memory->object(u"cutOutSensitivity"_s), QVariant(1.0));
    memory->set(u"cutOutSensitivity"_s, 5);
    EXPECT_DOUBLE_EQ(settings->cutOutSensitivity(), 1.0);
}

TEST_F(SettingsTest, SettersStoreTheTextsAndPostTheirNotifications)
{
    settings->setAfterCapture(Settings::AfterCapture::quickPreview);
    settings->setTimestampFormat(TimestampFormat::longDateTime);
    settings->setExportSize(ExportSize::maxWidth1200);
    EXPECT_EQ(memory->object(u"afterCapture"_s), QVariant(u"quickPreview"_s));
    EXPECT_EQ(memory->object(u"timestampFormat"_s), QVariant(u"longDateTime"_s));
    EXPECT_EQ(memory->object(u"exportSize"_s), QVariant(u"maxWidth1200"_s));
    EXPECT_TRUE(recorder.names.isEmpty());

    settings->setToolbarShowsLabels(false);
    EXPECT_FALSE(settings->toolbarShowsLabels());
    settings->setPalette(Palette::standard());
    settings->setToolStyles({{AnnotationKind::arrow, Style::defaults(AnnotationKind::line)}});
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
    settings->setCaptureSizes(fifteen);
    EXPECT_EQ(settings->captureSizes(), std::vector<CaptureSize>(fifteen.begin(), fifteen.begin() + 12));
    EXPECT_EQ(recorder.names, QStringList{u"VorlixCaptureSizesDidChange"_s});

    recorder.names.clear();
    settings->addCaptureSize({200, 200, false}); // full
    EXPECT_EQ(settings->captureSizes().size(), 12u);
    EXPECT_TRUE(recorder.names.isEmpty());

    settings->setCaptureSizes({{16, 9, true}});
    recorder.names.clear();
    settings->addCaptureSize({16, 9, true});
    EXPECT_TRUE(recorder.names.isEmpty());
    settings->addCaptureSize({16, 9, false}); // same terms, but a fixed size
    EXPECT_EQ(settings->captureSizes(), (std::vector<CaptureSize>{{16, 9, true}, {16, 9, false}}));
    EXPECT_EQ(recorder.names, QStringList{u"VorlixCaptureSizesDidChange"_s});

    // Without anything stored, adding starts from the defaults.
    memory->remove(u"captureSizes"_s);
    settings->addCaptureSize({300, 300, false});
    EXPECT_EQ(settings->captureSizes().size(), CaptureSize::defaults().size() + 1);
}

TEST_F(SettingsTest, TheEarlierStandardProjectNameReadsAsTheCurrentOne)
{
    memory->set(u"filenameTemplate"_s, FilenameTemplate::previousStandard().pattern);
    EXPECT_EQ(settings->filenameTemplate(), FilenameTemplate::standard());
    settings->setFilenameTemplate({u"{app} {data}"_s});
    EXPECT_EQ(settings->filenameTemplate().pattern, u"{app} {data}"_s);
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
    const std::map<AnnotationKind, Style> styles = settings->toolStyles();
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
    EXPECT_EQ(settings->toolStyles().at(AnnotationKind::highlighter).opacity, 0.5);

    Style custom = Style::defaults(AnnotationKind::callout);
    custom.lineWidth = 11;
    std::map<AnnotationKind, Style> written = settings->toolStyles();
    written[AnnotationKind::callout] = custom;
    settings->setToolStyles(written);
    EXPECT_EQ(settings->toolStyles(), written);
}

TEST_F(SettingsTest, TimestampFollowsTheSwitchAndTheStoredFormat)
{
    const QDateTime date(QDate(2024, 3, 9), QTime(8, 5, 7), QTimeZone::utc());
    EXPECT_EQ(settings->timestamp(date), std::nullopt);
    settings->setTimestampOnShots(true);
    settings->setTimestampFormat(TimestampFormat::iso);
    EXPECT_EQ(settings->timestamp(date), u"2024-03-09 08:05:07"_s);
    memory->set(u"timestampFormat"_s, u"bogus"_s);
    EXPECT_EQ(settings->timestamp(date), timestampString(TimestampFormat::dateTime, date, QLocale(), QTimeZone::utc()));
}

TEST_F(SettingsTest, OptionalRecordsAreRemovedWhenCleared)
{
    settings->setLastCaptureSize(CaptureSize{1024, 768, false});
    settings->setLatestUpdate(UpdateInfo{u"3.0"_s, std::nullopt, std::nullopt, std::nullopt});
    EXPECT_EQ(settings->lastCaptureSize(), (CaptureSize{1024, 768, false}));
    EXPECT_EQ(settings->latestUpdate()->version, u"3.0"_s);
    settings->setLastCaptureSize(std::nullopt);
    settings->setLatestUpdate(std::nullopt);
    EXPECT_FALSE(memory->values().contains(u"lastCaptureSize"_s));
    EXPECT_FALSE(memory->values().contains(u"latestUpdate"_s));
    storeJson(u"lastCaptureSize"_s, "null");
    EXPECT_EQ(settings->lastCaptureSize(), std::nullopt);

    memory->set(u"updateFeedURL"_s, u"http://127.0.0.1:8080/feed/"_s);
    EXPECT_EQ(settings->updateFeedURL(), QUrl(u"http://127.0.0.1:8080/feed/"_s));
}
