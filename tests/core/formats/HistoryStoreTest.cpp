#include "core/formats/HistoryStore.h"
#include "core/formats/PngChunks.h"
#include "core/imaging/ImageCoding.h"

#include "support/ImageFixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

using namespace vorlix;
using namespace Qt::StringLiterals;

namespace {

const QDateTime shotTime(QDate(2024, 3, 5), QTime(14, 7, 9), QTimeZone::utc());

QByteArray encodedPng(int w, int h, double pixelsPerPoint = 1, const QString& description = {})
{
    return *ImageCoding::encode(test::cornerImage(w, h), ImageType::png, pixelsPerPoint, 0, description);
}

HistoryEntry shot(const QDateTime& date, int n = 1)
{
    HistoryEntry e;
    e.id = QUuid::fromString(u"00000000-0000-0000-0000-%1"_s.arg(n, 12, 10, QChar(u'0')));
    e.date = date;
    e.captureKind = CaptureKind::window;
    e.pixelWidth = 8;
    e.pixelHeight = 6;
    e.pixelsPerPoint = 2;
    e.sourceAppName = u"Terminale"_s;
    return e;
}

void writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(data), data.size());
}

bool setModified(const QString& path, const QDateTime& time)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.setFileTime(time, QFileDevice::FileModificationTime);
}

QStringList namesIn(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

std::vector<QString> namesOf(const std::vector<HistoryEntry>& entries)
{
    std::vector<QString> names;
    for (const HistoryEntry& e : entries)
        names.push_back(QFileInfo(e.fileURL.value_or(QString())).fileName());
    return names;
}

struct HistoryStoreTest : testing::Test {
    QTemporaryDir temp;
    QString folder = temp.filePath(u"Vorlix"_s);
    HistoryStore store{folder, u"Vorlix"_s, QTimeZone("Europe/Rome")};
};

} // namespace

TEST_F(HistoryStoreTest, AddWritesTheShotUnderItsLocalDateAndReadsBackTheSameRecord)
{
    const QByteArray png = encodedPng(8, 6, 2);
    const HistoryEntry written = store.add(png, shot(shotTime));

    const QString path = QDir(folder).filePath(u"Vorlix 2024-03-05 alle 15.07.09.png"_s);
    EXPECT_EQ(written.fileURL, path);
    EXPECT_EQ(namesIn(folder), QStringList{u"Vorlix 2024-03-05 alle 15.07.09.png"_s}); // no temporary left
    EXPECT_EQ(store.entry(path), written);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray stored = file.readAll();
    EXPECT_EQ(ImageCoding::decode(stored), ImageCoding::decode(png));
    const std::string json = encodeHistoryEntry(shot(shotTime));
    EXPECT_EQ(PngChunks::readHeader(stored)->description, QString::fromStdString(json));
}

TEST_F(HistoryStoreTest, ShotsInTheSameSecondGetNumberedNames)
{
    for (int n = 1; n <= 3; ++n)
        store.add(encodedPng(4, 4), shot(shotTime, n));
    EXPECT_EQ(namesIn(folder),
              (QStringList{u"Vorlix 2024-03-05 alle 15.07.09 (2).png"_s, u"Vorlix 2024-03-05 alle 15.07.09 (3).png"_s,
                           u"Vorlix 2024-03-05 alle 15.07.09.png"_s}));
    // Every file kept its own record: no write replaced another.
    std::vector<QUuid> ids;
    for (const HistoryEntry& e : store.entries())
        ids.push_back(e.id);
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (std::vector<QUuid>{shot(shotTime, 1).id, shot(shotTime, 2).id, shot(shotTime, 3).id}));
}

TEST_F(HistoryStoreTest, FailedAddsThrowAndLeaveNoFile)
{
    EXPECT_THROW(
        {
            try {
                store.add("not a png"_ba, shot(shotTime));
            } catch (const HistoryError& e) {
                EXPECT_EQ(e.kind(), HistoryError::Kind::invalidImage);
                throw;
            }
        },
        HistoryError);
    EXPECT_TRUE(namesIn(folder).isEmpty());

    writeFile(temp.filePath(u"file"_s), "x");
    const HistoryStore blocked(temp.filePath(u"file/sub"_s), u"Vorlix"_s);
    try {
        blocked.add(encodedPng(4, 4), shot(shotTime));
        ADD_FAILURE() << "no error";
    } catch (const HistoryError& e) {
        EXPECT_EQ(e.kind(), HistoryError::Kind::createFolder);
        EXPECT_FALSE(e.message().isEmpty());
    }
}

TEST_F(HistoryStoreTest, ListingKeepsPrefixedPngsNewestFirst)
{
    store.add(encodedPng(4, 4), shot(shotTime.addDays(-1), 1));
    store.add(encodedPng(4, 4), shot(shotTime, 2));
    store.add(encodedPng(4, 4), shot(shotTime.addDays(-2), 3));
    const QByteArray foreign = encodedPng(3, 2);
    writeFile(QDir(folder).filePath(u"Vorlix maiuscolo.PNG"_s), foreign);
    writeFile(QDir(folder).filePath(u"Vorlix.png"_s), foreign);
    writeFile(QDir(folder).filePath(u"Vorlixaltro 1.png"_s), foreign);
    writeFile(QDir(folder).filePath(u"vorlix minuscolo.png"_s), foreign);
    writeFile(QDir(folder).filePath(u".Vorlix nascosto.png"_s), foreign);
    writeFile(QDir(folder).filePath(u"Vorlix foto.jpg"_s),
              *ImageCoding::encode(test::cornerImage(4, 4), ImageType::jpeg, 1, 0.8));
    writeFile(QDir(folder).filePath(u"Vorlix rotto.png"_s), "\x89PNG\r\n\x1a\n broken"_ba);
    ASSERT_TRUE(setModified(QDir(folder).filePath(u"Vorlix maiuscolo.PNG"_s), shotTime.addDays(-10)));

    const std::vector<HistoryEntry> all = store.entries();
    std::vector<QString> names = namesOf(all);
    // The foreign file is dated by the file system; put it aside before checking the order.
    const auto foreignAt = std::find(names.begin(), names.end(), u"Vorlix maiuscolo.PNG"_s);
    ASSERT_NE(foreignAt, names.end());
    names.erase(foreignAt);
    EXPECT_EQ(names,
              (std::vector<QString>{u"Vorlix 2024-03-05 alle 15.07.09.png"_s, u"Vorlix 2024-03-04 alle 15.07.09.png"_s,
                                    u"Vorlix 2024-03-03 alle 15.07.09.png"_s}));
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end(),
                               [](const HistoryEntry& a, const HistoryEntry& b) { return a.date > b.date; }));

    EXPECT_EQ(store.recentEntries(HistoryStore::recentMenuCount).size(), 4u);
    EXPECT_EQ(store.recentEntries(2), std::vector<HistoryEntry>(all.begin(), all.begin() + 2));
    EXPECT_TRUE(store.recentEntries(0).empty());
    EXPECT_TRUE(HistoryStore(temp.filePath(u"missing"_s), u"Vorlix"_s).entries().empty());
}

TEST_F(HistoryStoreTest, ShotsWithEqualDatesKeepTheOrderOfTheirNames)
{
    for (int n = 1; n <= 3; ++n)
        store.add(encodedPng(4, 4), shot(shotTime, n));
    std::vector<QString> expected;
    for (const QString& name : namesIn(folder))
        expected.push_back(name);
    EXPECT_EQ(namesOf(store.entries()), expected);
}

TEST_F(HistoryStoreTest, PngsWithoutARecordGetAStableRecordFromTheFile)
{
    ASSERT_TRUE(QDir().mkpath(folder));
    const std::pair<const char*, QByteArray> cases[] = {
        {"no description", encodedPng(30, 20, 2)},
        {"description not JSON", encodedPng(30, 20, 2, u"Fatto con un altro programma"_s)},
        {"record without pixelsPerPoint",
         encodedPng(30, 20, 2,
                    uR"({"formatVersion":1,"id":"6f9619ff-8b86-d011-b42d-00c04fc964ff","date":"2024-03-05T14:07:09Z",)"
                    uR"("captureKind":"window","pixelWidth":1,"pixelHeight":1})"_s)},
    };
    const QDateTime modified(QDate(2023, 11, 2), QTime(8, 0, 0), QTimeZone::utc());
    for (const auto& [name, data] : cases) {
        SCOPED_TRACE(name);
        const QString path = QDir(folder).filePath(u"Vorlix altro.png"_s);
        writeFile(path, data);
        ASSERT_TRUE(setModified(path, modified));

        const std::optional<HistoryEntry> e = store.entry(path);
        ASSERT_TRUE(e);
        EXPECT_EQ(e->formatVersion, 1);
        EXPECT_EQ(e->captureKind, CaptureKind::area);
        EXPECT_EQ(e->pixelWidth, 30);
        EXPECT_EQ(e->pixelHeight, 20);
        EXPECT_EQ(e->pixelsPerPoint, 2);
        EXPECT_EQ(e->sourceAppName, std::nullopt);
        EXPECT_EQ(e->fileURL, path);
        EXPECT_TRUE(e->date.isValid());
        EXPECT_FALSE(e->id.isNull());

        // The same file keeps its id, so the menus can open it again by id...
        ASSERT_EQ(store.entries().size(), 1u);
        EXPECT_EQ(store.entries()[0].id, e->id);
        // ...and a changed file is another shot.
        ASSERT_TRUE(setModified(path, modified.addSecs(1)));
        EXPECT_NE(store.entry(path)->id, e->id);
        ASSERT_TRUE(QFile::remove(path));
    }

    writeFile(QDir(folder).filePath(u"Vorlix uno.png"_s), encodedPng(5, 5));
    EXPECT_EQ(store.entry(QDir(folder).filePath(u"Vorlix uno.png"_s))->pixelsPerPoint, 1);
    EXPECT_EQ(store.entry(QDir(folder).filePath(u"manca.png"_s)), std::nullopt);
}

TEST_F(HistoryStoreTest, ThumbnailsComeFromTheFile)
{
    const HistoryEntry e = store.add(encodedPng(400, 100), shot(shotTime));
    EXPECT_EQ(store.thumbnail(e, 64).size(), QSize(64, 16));
    HistoryEntry noFile = e;
    noFile.fileURL.reset();
    EXPECT_TRUE(store.thumbnail(noFile, 64).isNull());
    noFile.fileURL = QDir(folder).filePath(u"manca.png"_s);
    EXPECT_TRUE(store.thumbnail(noFile, 64).isNull());
}

// The thumbnail of a file is made once, from the picture given with the shot when there
// is one, and made again from the file as soon as the file changes.
TEST_F(HistoryStoreTest, ThumbnailsAreKeptUntilTheFileChanges)
{
    const auto colourOf = [](const QImage& image) { return image.pixelColor(image.width() / 2, image.height() / 2); };
    QImage red(2000, 1000, QImage::Format_RGB32);
    red.fill(Qt::red);
    QImage blue = red;
    blue.fill(Qt::blue);
    const QByteArray bluePng = *ImageCoding::encode(blue, ImageType::png, 1, 0);

    // The kept picture is not the file's: seeing it proves the file was not read.
    const HistoryEntry given = store.add(bluePng, shot(shotTime), red);
    EXPECT_EQ(store.thumbnail(given, 160).size(), QSize(160, 80));
    EXPECT_EQ(colourOf(store.thumbnail(given, 160)), QColor(Qt::red));
    EXPECT_EQ(colourOf(store.thumbnail(given, 300)), QColor(Qt::blue)) << "larger than what was kept";

    const HistoryEntry decoded = store.add(bluePng, shot(shotTime.addSecs(1), 2));
    EXPECT_EQ(colourOf(store.thumbnail(decoded, 64)), QColor(Qt::blue));
    writeFile(*decoded.fileURL, *ImageCoding::encode(red, ImageType::png, 1, 0));
    EXPECT_EQ(colourOf(store.thumbnail(decoded, 64)), QColor(Qt::red)) << "the file changed";
}

TEST_F(HistoryStoreTest, DeletingRemovesListedFilesOnly)
{
    EXPECT_NO_THROW(store.deleteAll()); // the folder does not exist yet

    const HistoryEntry first = store.add(encodedPng(4, 4), shot(shotTime, 1));
    store.add(encodedPng(4, 4), shot(shotTime.addSecs(60), 2));
    writeFile(QDir(folder).filePath(u"appunti.txt"_s), "x");
    writeFile(QDir(folder).filePath(u".Vorlix nascosto.png"_s), encodedPng(4, 4));

    store.deleteEntry(first);
    EXPECT_EQ(store.entries().size(), 1u);
    EXPECT_NO_THROW(store.deleteEntry(first)); // already gone
    HistoryEntry noFile = first;
    noFile.fileURL.reset();
    EXPECT_NO_THROW(store.deleteEntry(noFile));

    store.deleteAll();
    EXPECT_TRUE(store.entries().empty());
    EXPECT_EQ(namesIn(folder), (QStringList{u".Vorlix nascosto.png"_s, u"appunti.txt"_s}));
}

TEST_F(HistoryStoreTest, CleanUpRemovesOnlyShotsOlderThanTheRetention)
{
    const QDateTime now(QDate(2024, 6, 1), QTime(12, 0, 0), QTimeZone::utc());
    const qint64 days14 = 14 * 86'400;
    store.add(encodedPng(4, 4), shot(now.addSecs(-days14), 1));     // exactly at the cutoff: kept
    store.add(encodedPng(4, 4), shot(now.addSecs(-days14 - 1), 2)); // one second older: removed
    store.add(encodedPng(4, 4), shot(now.addSecs(-days14 * 3), 3)); // removed, listed after 2
    store.add(encodedPng(4, 4), shot(now.addSecs(-3600), 4));       // recent: kept

    // A retention below one day is a damaged setting, never an order to empty the history.
    for (int days : {0, -1, -30}) {
        SCOPED_TRACE(days);
        EXPECT_TRUE(store.removeEntries(days, now).empty());
        EXPECT_EQ(store.entries().size(), 4u);
    }

    EXPECT_EQ(store.removeEntries(HistoryStore::defaultRetentionDays, now),
              (std::vector<QUuid>{shot(now, 2).id, shot(now, 3).id}));
    std::vector<QUuid> left;
    for (const HistoryEntry& e : store.entries())
        left.push_back(e.id);
    EXPECT_EQ(left, (std::vector<QUuid>{shot(now, 4).id, shot(now, 1).id}));
}

TEST_F(HistoryStoreTest, ALaterListingSeesEveryFileChangedAddedOrRemovedSinceTheLast)
{
    const QByteArray png = encodedPng(8, 6, 2);
    std::vector<HistoryEntry> written;
    for (int n = 1; n <= 4; ++n)
        written.push_back(store.add(png, shot(shotTime.addSecs(n * 60), n)));
    ASSERT_EQ(store.entries().size(), 4u);

    // Rewritten in place with a record of the same length, its modification time set back:
    // only the change time tells the versions apart.
    const QString rewritten = *written[1].fileURL;
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(rewritten).constData(), &before), 0);
    HistoryEntry moved = shot(shotTime.addSecs(10 * 60), 2);
    moved.fileURL.reset();
    const QByteArray oldBytes = [&] {
        QFile f(rewritten);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    const std::string json = encodeHistoryEntry(moved);
    const QByteArray newBytes = *PngChunks::withDescription(png, QString::fromStdString(json));
    ASSERT_EQ(newBytes.size(), oldBytes.size());
    writeFile(rewritten, newBytes);
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(rewritten).constData(), times, 0), 0);

    QFile::remove(*written[3].fileURL);
    const HistoryEntry added = store.add(png, shot(shotTime.addSecs(5 * 60), 5));

    const std::vector<HistoryEntry> warm = store.entries();
    EXPECT_EQ(warm, HistoryStore(folder, u"Vorlix"_s, QTimeZone("Europe/Rome")).entries());
    ASSERT_EQ(warm.size(), 4u);
    EXPECT_EQ(warm[0].id, moved.id);
    EXPECT_EQ(warm[0].date, moved.date);
    EXPECT_EQ(warm[1].fileURL, added.fileURL);
    EXPECT_EQ(store.recentEntries(2), std::vector<HistoryEntry>(warm.begin(), warm.begin() + 2));
}
