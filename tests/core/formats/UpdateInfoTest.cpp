#include "core/formats/UpdateInfo.h"

#include <gtest/gtest.h>

using namespace vorlix;
using namespace Qt::StringLiterals;

namespace {

UpdateInfo record(const char* version, std::optional<std::int64_t> build = std::nullopt)
{
    return UpdateInfo{QString::fromUtf8(version), build, std::nullopt, std::nullopt};
}

DecodeErrorKind failureKind(const std::string& text)
{
    try {
        decodeUpdateInfo(text);
    } catch (const DecodeError& e) {
        return e.kind();
    }
    ADD_FAILURE() << "decoding did not fail: " << text.substr(0, 80);
    return DecodeErrorKind::keyNotFound;
}

} // namespace

TEST(UpdateInfo, DecodesTheFileAndLeavesOutEmptyFields)
{
    const UpdateInfo full = decodeUpdateInfo(
        R"({"version": "1.5.0", "build": 42, "url": "https://vorlix.invalid/get", "notes": "Novità", "extra": [1]})");
    EXPECT_EQ(full, (UpdateInfo{u"1.5.0"_s, 42, u"https://vorlix.invalid/get"_s, u"Novità"_s}));
    EXPECT_EQ(decodeUpdateInfo(encodeUpdateInfo(full)), full);

    const UpdateInfo bare = decodeUpdateInfo(R"({"version": "2", "build": null})");
    EXPECT_EQ(bare, record("2"));
    EXPECT_EQ(parseJson(encodeUpdateInfo(bare)), Json::parse(R"({"version": "2"})"));
}

TEST(UpdateInfo, RefusesHostileOrMalformedFiles)
{
    struct Case {
        std::string text;
        DecodeErrorKind kind;
    };
    const Case cases[] = {
        {R"({"build": 3})", DecodeErrorKind::keyNotFound},
        {R"({"version": 1.5})", DecodeErrorKind::typeMismatch},
        {R"({"version": "1", "build": "7"})", DecodeErrorKind::typeMismatch},
        {R"({"version": "1", "build": 7.5})", DecodeErrorKind::dataCorrupted},
        {R"({"version": "1", "build": 1e30})", DecodeErrorKind::dataCorrupted},
        {R"({"version": "1", "url": ["x"]})", DecodeErrorKind::typeMismatch},
        {R"(["1.0"])", DecodeErrorKind::typeMismatch},
        {R"({"version": "1.0")", DecodeErrorKind::dataCorrupted},
        {"{\"version\": \"1\xff\"}", DecodeErrorKind::dataCorrupted},
        {R"({"version": ")" + std::string(65, '1') + R"("})", DecodeErrorKind::dataCorrupted},
        {R"({"version": "1", "notes": ")" + std::string(16 * 1024 + 1, 'a') + R"("})", DecodeErrorKind::dataCorrupted},
        {R"({"version": "1", "pad": ")" + std::string(UpdateInfo::maximumFileSize, ' ') + R"("})",
         DecodeErrorKind::dataCorrupted},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 60));
        EXPECT_EQ(failureKind(c.text), c.kind);
    }
}

TEST(UpdateInfo, OpensOnlyWebAddresses)
{
    const auto openable = [](const char* url) {
        UpdateInfo info = record("1");
        info.url = QString::fromUtf8(url);
        return info.openableURL().has_value();
    };
    EXPECT_TRUE(openable("https://vorlix.invalid/download"));
    EXPECT_TRUE(openable("HTTP://vorlix.invalid/"));
    EXPECT_FALSE(openable("file:///etc/passwd"));
    EXPECT_FALSE(openable("javascript:alert(1)"));
    EXPECT_FALSE(openable("/relative/path"));
    EXPECT_FALSE(openable("https://"));
    EXPECT_FALSE(record("1").openableURL().has_value());
}

TEST(UpdateInfo, IsNewerComparesBuildsOnlyWhenTheRecordHasOne)
{
    const AppVersion installed({1, 4}, 12);
    struct Case {
        UpdateInfo info;
        bool newer;
    };
    const Case cases[] = {
        {record("1.4"), false}, {record("1.4", 13), true},    {record("1.4", 12), false}, {record("1.4.0", 11), false},
        {record("1.5"), true},  {record("1.3.9", 99), false}, {record("nuova"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.info.version.toStdString() + " build " + std::to_string(c.info.build.value_or(-1)));
        EXPECT_EQ(c.info.isNewer(installed), c.newer);
    }
}

TEST(UpdateStatus, EvaluatesTheStatesWithTheirTexts)
{
    const AppVersion installed({1, 4}, 12);
    struct Case {
        bool enabled;
        std::optional<UpdateInfo> latest;
        bool verified;
        UpdateStatus expected;
    };
    const Case cases[] = {
        {false, record("9"), true, UpdateStatus::disabled()},
        {false, std::nullopt, false, UpdateStatus::disabled()},
        {true, std::nullopt, true, UpdateStatus::upToDate()},
        {true, record("nuova"), true, UpdateStatus::upToDate()},
        {true, record("1.4"), true, UpdateStatus::upToDate()},
        // A failed check never reads as up to date...
        {true, std::nullopt, false, UpdateStatus::notVerified()},
        {true, record("1.4"), false, UpdateStatus::notVerified()},
        // ...but a newer release known from before stays available.
        {true, record("1.5"), false, UpdateStatus::updateAvailable(record("1.5"))},
        {true, record("1.5"), true, UpdateStatus::updateAvailable(record("1.5"))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.enabled << " " << (c.latest ? c.latest->version.toStdString() : "-") << " "
                                        << c.verified);
        EXPECT_EQ(UpdateStatus::evaluate(c.enabled, c.latest, installed, c.verified), c.expected);
    }
    const UpdateStatus available = UpdateStatus::evaluate(true, record("1.5"), installed, true);
    ASSERT_TRUE(available.isUpdateAvailable());
    EXPECT_EQ(*available.availableUpdate(), record("1.5"));

    EXPECT_EQ(UpdateStatus::disabled().title(), u"No verifica aggiornamenti"_s);
    EXPECT_EQ(UpdateStatus::upToDate().title(), u"Aggiornato"_s);
    EXPECT_EQ(UpdateStatus::notVerified().title(), u"Non verificato"_s);
    EXPECT_EQ(available.title(), u"Da aggiornare"_s);
    EXPECT_EQ(available.tooltip(u"Vorlix"_s), u"È disponibile la versione 1.5. Clic per aprire la pagina di Vorlix"_s);
    EXPECT_EQ(UpdateStatus::disabled().tooltip(u"Vorlix"_s),
              u"Il controllo degli aggiornamenti è spento. Clic per aprire le Impostazioni"_s);
    EXPECT_EQ(UpdateStatus::upToDate().tooltip(u"Vorlix"_s),
              u"Sul sito non risulta una versione più nuova. Clic per controllare di nuovo"_s);
    EXPECT_EQ(UpdateStatus::notVerified().tooltip(u"Vorlix"_s),
              u"Non è stato possibile controllare gli aggiornamenti. Clic per riprovare"_s);
}

TEST(UpdateStatus, CheckIsDueAfterADayOrWhenTheClockWentBack)
{
    const QDateTime now(QDate(2026, 3, 1), QTime(10, 15), QTimeZone::utc());
    EXPECT_TRUE(UpdateStatus::isCheckDue(std::nullopt, now));
    EXPECT_FALSE(UpdateStatus::isCheckDue(now.addSecs(-86'399), now));
    EXPECT_TRUE(UpdateStatus::isCheckDue(now.addSecs(-86'400), now));
    EXPECT_FALSE(UpdateStatus::isCheckDue(now, now));
    EXPECT_TRUE(UpdateStatus::isCheckDue(now.addSecs(1), now));
}
