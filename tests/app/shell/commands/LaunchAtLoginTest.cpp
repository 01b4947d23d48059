// The login item as an autostart entry in a private XDG configuration folder.

#include "app/shell/commands/LaunchAtLogin.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vorlix;

namespace {

class LaunchAtLoginTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_previous = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", m_previous); }

    QTemporaryDir m_config;
    QByteArray m_previous;
};

TEST_F(LaunchAtLoginTest, TogglesTheAutostartEntry)
{
    EXPECT_EQ(LaunchAtLogin::entryPath(), m_config.path() + QStringLiteral("/autostart/org.vorlix.Vorlix.desktop"));
    EXPECT_FALSE(LaunchAtLogin::isEnabled());
    EXPECT_EQ(LaunchAtLogin::toggle(), std::nullopt);
    EXPECT_TRUE(LaunchAtLogin::isEnabled());
    EXPECT_EQ(LaunchAtLogin::toggle(), std::nullopt);
    EXPECT_FALSE(QFile::exists(LaunchAtLogin::entryPath()));
}

TEST_F(LaunchAtLoginTest, AHiddenOrForeignEntryIsNotEnabledAndIsReplaced)
{
    QDir().mkpath(m_config.path() + QStringLiteral("/autostart"));
    QFile file(LaunchAtLogin::entryPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Desktop Entry]\nType=Application\nExec=/usr/bin/other\n");
    file.close();
    EXPECT_FALSE(LaunchAtLogin::isEnabled());
    EXPECT_EQ(LaunchAtLogin::toggle(), std::nullopt);
    EXPECT_TRUE(LaunchAtLogin::isEnabled());
}

TEST(LaunchAtLoginEntry, QuotesTheProgramAndKeepsOneLinePerKey)
{
    const QString text = LaunchAtLogin::entryText(QStringLiteral("Vor\nlix"), QStringLiteral("/opt/my $app/vorlix"));
    EXPECT_TRUE(text.contains(QStringLiteral("Exec=\"/opt/my \\\\$app/vorlix\"\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Name=Vor lix\n")));
}

} // namespace
