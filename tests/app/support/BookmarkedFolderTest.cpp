#include "app/support/BookmarkedFolder.h"
#include "app/support/AppConfig.h"
#include "app/support/Settings.h"

#include "NotificationRecorder.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace Qt::StringLiterals;

namespace {

using Kind = BookmarkedFolder::Resolution::Kind;

class BookmarkedFolderTest : public testing::Test {
protected:
    BookmarkedFolderTest()
    {
        auto store = std::make_unique<MemoryDefaultsStore>();
        memory = store.get();
        settings = std::make_unique<Settings>(std::move(store), center);
    }

    QString makeFolder(const QString& relative)
    {
        const QString path = QDir::cleanPath(dir.filePath(relative));
        EXPECT_TRUE(QDir().mkpath(path));
        return path;
    }

    // The notifications posted once the event loop has run.
    QStringList postedAfterReturn()
    {
        QCoreApplication::sendPostedEvents();
        return recorder.names;
    }

    QTemporaryDir dir;
    NotificationCenter center;
    test::NotificationRecorder recorder{center};
    MemoryDefaultsStore* memory = nullptr;
    std::unique_ptr<Settings> settings;
};

} // namespace

TEST_F(BookmarkedFolderTest, WithoutAChoiceTheHistoryGoesToTheDefaultFolder)
{
    EXPECT_EQ(settings->historyBookmark().resolve(), BookmarkedFolder::Resolution::none());
    EXPECT_EQ(settings->historyFolder(), AppConfig::defaultHistoryFolder());
    EXPECT_TRUE(postedAfterReturn().isEmpty());
}

TEST_F(BookmarkedFolderTest, AChosenFolderIsReadOnceAndThenKeptWhileItExists)
{
    const QString folder = makeFolder(u"Scatti"_s);
    ASSERT_TRUE(settings->historyBookmark().set(dir.path() + u"/./Scatti/"_s));
    EXPECT_EQ(settings->historyFolder(), folder);
    EXPECT_EQ(settings->historyBookmark().opened(), folder);

    // A second read does not look at the stored record again.
    memory->set(u"historyFolderBookmark"_s, QByteArray("damaged"));
    EXPECT_EQ(settings->historyBookmark().resolve(), BookmarkedFolder::Resolution::usable(folder));

    // The projects folder is a separate choice under its own key.
    EXPECT_EQ(settings->projectsBookmark().resolve().kind, Kind::none);
}

TEST_F(BookmarkedFolderTest, ALostFolderIsForgottenAndAnnouncedOnceAfterTheReadReturns)
{
    struct Case {
        const char* name;
        std::function<void(const QString& folder)> loseIt;
    };
    const Case cases[] = {
        {"deleted", [](const QString& folder) { QDir(folder).removeRecursively(); }},
        {"moved", [this](const QString& folder) { QDir().rename(folder, dir.filePath(u"altrove"_s)); }},
        {"replaced by a file",
         [](const QString& folder) {
             QDir(folder).removeRecursively();
             QFile file(folder);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(dir.path()).removeRecursively();
        const QString folder = makeFolder(u"Scatti"_s);
        recorder.names.clear();
        ASSERT_TRUE(settings->historyBookmark().set(folder));
        ASSERT_EQ(settings->historyFolder(), folder);
        c.loseIt(folder);

        EXPECT_EQ(settings->historyFolder(), AppConfig::defaultHistoryFolder());
        EXPECT_TRUE(recorder.names.isEmpty()); // not while the reader runs
        EXPECT_FALSE(memory->values().contains(u"historyFolderBookmark"_s));
        EXPECT_EQ(settings->historyFolder(), AppConfig::defaultHistoryFolder());
        EXPECT_EQ(postedAfterReturn(), QStringList{u"VorlixHistoryFolderDidReset"_s});
        EXPECT_EQ(settings->historyBookmark().resolve().kind, Kind::none);
    }
}

TEST_F(BookmarkedFolderTest, FoldersInATrashAndDamagedRecordsAreLost)
{
    const QString trashed = makeFolder(u".Trash/Scatti"_s);
    BookmarkedFolder folder(u"projectsFolderBookmark"_s, *memory);
    ASSERT_TRUE(folder.set(trashed));
    EXPECT_EQ(folder.resolve().kind, Kind::lost);
    EXPECT_EQ(folder.resolve().kind, Kind::none);

    memory->set(u"projectsFolderBookmark"_s, QByteArray("vorlix-folder-1\n1 x\n/tmp"));
    EXPECT_EQ(folder.resolve().kind, Kind::lost);
    EXPECT_FALSE(memory->values().contains(u"projectsFolderBookmark"_s));

    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    struct Case {
        QString path;
        bool inTrash;
    };
    const Case cases[] = {
        {u"/home/anna/.Trash/x"_s, true},       {u"/media/usb/.Trash-1000/files/x"_s, true},
        {dataHome + u"/Trash/files/x"_s, true}, {dataHome + u"/Trashcan/x"_s, false},
        {u"/home/anna/Trash/x"_s, false},       {u"/home/anna/.Trashy/x"_s, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(BookmarkedFolder::isInTrash(c.path), c.inTrash);
    }
}

TEST_F(BookmarkedFolderTest, AnotherFolderAtTheSamePathIsUsedAndItsIdentityStored)
{
    const QString folder = makeFolder(u"Scatti"_s);
    BookmarkedFolder bookmark(u"historyFolderBookmark"_s, *memory);
    ASSERT_TRUE(bookmark.set(folder));
    const std::optional<BookmarkedFolder::Identity> before = BookmarkedFolder::identity(folder);

    // The replacement exists before the original goes, so it cannot reuse its inode.
    const QString replacement = makeFolder(u"Nuova"_s);
    ASSERT_TRUE(QDir(folder).removeRecursively());
    ASSERT_TRUE(QDir().rename(replacement, folder));
    const std::optional<BookmarkedFolder::Identity> after = BookmarkedFolder::identity(folder);
    ASSERT_NE(before, after);

    EXPECT_EQ(bookmark.resolve(), BookmarkedFolder::Resolution::usable(folder));
    const auto record = BookmarkedFolder::decodeRecord(memory->object(u"historyFolderBookmark"_s).toByteArray());
    ASSERT_TRUE(record);
    EXPECT_EQ(record->identity, after);
}

TEST_F(BookmarkedFolderTest, SettingNothingForgetsAndAMissingPathChangesNothing)
{
    const QString folder = makeFolder(u"Progetti"_s);
    BookmarkedFolder& bookmark = settings->projectsBookmark();
    ASSERT_TRUE(bookmark.set(folder));
    ASSERT_EQ(bookmark.resolve().kind, Kind::usable);

    EXPECT_FALSE(bookmark.set(dir.filePath(u"non-esiste"_s)));
    EXPECT_FALSE(bookmark.set(QString()));
    EXPECT_EQ(bookmark.resolve(), BookmarkedFolder::Resolution::usable(folder));

    EXPECT_TRUE(bookmark.set(std::nullopt));
    EXPECT_EQ(bookmark.opened(), std::nullopt);
    EXPECT_FALSE(memory->values().contains(u"projectsFolderBookmark"_s));
    EXPECT_EQ(bookmark.resolve().kind, Kind::none);
}

TEST(BookmarkedFolderRecord, PathsWithLineBreaksAndSpacesRoundTrip)
{
    const BookmarkedFolder::Record record{u"/home/anna/Le mie\nfoto/ è"_s, {2049, 1234567}};
    EXPECT_EQ(BookmarkedFolder::decodeRecord(BookmarkedFolder::encodeRecord(record)), record);
    for (const char* damaged : {"", "vorlix-folder-1", "vorlix-folder-1\n1 2\nrelative", "vorlix-folder-2\n1 2\n/x",
                                "vorlix-folder-1\n-1 2\n/x", "vorlix-folder-1\n1\n/x"}) {
        SCOPED_TRACE(damaged);
        EXPECT_EQ(BookmarkedFolder::decodeRecord(QByteArray(damaged)), std::nullopt);
    }
}
