#include "app/support/AppConfig.h"

#include <QStandardPaths>
#include <QTimeZone>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace Qt::StringLiterals;

TEST(AppConfig, MissingOrUnusableValuesFallBack)
{
    const AppConfig::Info empty;
    EXPECT_EQ(AppConfig::name(empty), u"Vorlix"_s);
    EXPECT_EQ(AppConfig::version(empty), u"1.0"_s);
    EXPECT_EQ(AppConfig::buildNumber(empty), u"0"_s);
    EXPECT_EQ(AppConfig::projectExtension(empty), u"vorlix"_s);
    EXPECT_EQ(AppConfig::buildDate(empty), std::nullopt);

    struct Case {
        const char* version;
        const char* build;
        AppVersion expected;
    };
    const Case cases[] = {
        {"2.3.1", "57", AppVersion({2, 3, 1}, 57)},
        {"2.3.1", "5a", AppVersion({2, 3, 1}, 0)},
        {"2.3.1", "", AppVersion({2, 3, 1}, 0)},
        {"beta", "57", AppVersion({1, 0}, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.version << " (" << c.build << ")");
        AppConfig::Info info;
        info.version = QString::fromLatin1(c.version);
        info.buildNumber = QString::fromLatin1(c.build);
        const AppVersion installed = AppConfig::installedVersion(info);
        EXPECT_EQ(installed.components, c.expected.components);
        EXPECT_EQ(installed.build, c.expected.build);
    }

    AppConfig::Info dated;
    dated.buildDate = u"2024-06-30T22:15:00+02:00"_s;
    EXPECT_EQ(AppConfig::buildDate(dated), QDateTime(QDate(2024, 6, 30), QTime(20, 15), QTimeZone::utc()));
    dated.buildDate = u"30/06/2024"_s;
    EXPECT_EQ(AppConfig::buildDate(dated), std::nullopt);
}

TEST(AppConfig, CompiledValuesDescribeThisBuild)
{
    const AppConfig::Info info = AppConfig::compiledInfo();
    EXPECT_EQ(AppConfig::name(info), u"Vorlix"_s);
    EXPECT_EQ(AppConfig::projectExtension(info), u"vorlix"_s);
    EXPECT_TRUE(AppConfig::buildDate(info).has_value());
    EXPECT_TRUE(AppVersion::parse(AppConfig::version(info)).has_value());
}

TEST(AppConfig, UpdatePageComesFromTheEnvironmentWhenItIsAWebAddress)
{
    AppConfig::Info info;
    info.updatePageURL = u"https://example.invalid/vorlix/"_s;
    qunsetenv("VORLIX_UPDATE_PAGE_URL");
    EXPECT_EQ(AppConfig::updatePageURL(info), QUrl(u"https://example.invalid/vorlix/"_s));
    EXPECT_EQ(AppConfig::updatePageURL(AppConfig::Info{}), QUrl(u"https://vorlix.invalid/"_s));

    qputenv("VORLIX_UPDATE_PAGE_URL", "http://127.0.0.1:8431/");
    EXPECT_EQ(AppConfig::updatePageURL(info), QUrl(u"http://127.0.0.1:8431/"_s));
    qputenv("VORLIX_UPDATE_PAGE_URL", "file:///tmp/version.json");
    EXPECT_EQ(AppConfig::updatePageURL(info), QUrl(u"https://example.invalid/vorlix/"_s));
    qunsetenv("VORLIX_UPDATE_PAGE_URL");
}

TEST(AppConfig, FoldersFollowTheUsersXdgFolders)
{
    EXPECT_EQ(AppConfig::defaultHistoryFolder(),
              QStandardPaths::writableLocation(QStandardPaths::DownloadLocation) + u"/Vorlix"_s);
    EXPECT_EQ(AppConfig::userDocumentsDirectory(), QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    EXPECT_TRUE(AppConfig::legacyHistoryDirectory().endsWith(u"/Vorlix/History"_s));
    EXPECT_FALSE(AppConfig::realHomeDirectory().isEmpty());
}
