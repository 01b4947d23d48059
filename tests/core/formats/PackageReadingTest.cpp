// Reading package folders that someone else made: links, special files, huge files,
// strange names and listing order.

#include "core/formats/ProjectPackage.h"
#include "core/formats/ProjectPackageReader.h"
#include "core/formats/ProjectPackageWriter.h"

#include "PackageFixtures.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace vorlix;
using namespace vorlix::test;
namespace Package = vorlix::ProjectPackage;

namespace {

const QString firstName = "00000000-0000-4000-8000-000000000101.png";

// A package of one panel showing firstImage.
class PackageFolder : public testing::Test {
protected:
    void SetUp() override
    {
        document.panels = {sampleDocument().panels[0]};
        folder = dir.filePath("p.vorlix");
        Package::write(document, sampleStore(), folder);
        images = folder + "/images/";
    }

    std::optional<Package::ReadError> readError(const Package::ReadLimits& limits = {})
    {
        try {
            Package::read(folder, limits);
        } catch (const Package::ReadError& e) {
            return e;
        }
        return std::nullopt;
    }

    void replaceWithLink(const QString& path, const QString& target)
    {
        QFile::rename(path, path + ".moved");
        ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(path).constData()), 0);
    }

    QTemporaryDir dir;
    DocumentModel document;
    QString folder;
    QString images;
};

const auto missingDocument = Package::ReadError::missingDocument();
const auto missingFirst = Package::ReadError::missingImage(firstImage);

} // namespace

TEST_F(PackageFolder, SymbolicLinksAreNeverFollowed)
{
    // Each link points at a good copy of what it replaces, so following it would work.
    const QString copy = dir.filePath("copy");
    QDir().mkpath(copy);
    QFile::copy(folder + "/document.json", copy + "/document.json");
    QFile::copy(images + firstName, copy + "/" + firstName);

    replaceWithLink(images + firstName, copy + "/" + firstName);
    EXPECT_EQ(readError(), missingFirst);

    QFile::remove(images + firstName);
    QFile::rename(images + firstName + ".moved", images + firstName);
    ASSERT_TRUE(QDir().rename(folder + "/images", dir.filePath("images-real")));
    ASSERT_EQ(::symlink(QFile::encodeName(dir.filePath("images-real")).constData(),
                        QFile::encodeName(folder + "/images").constData()),
              0);
    EXPECT_EQ(readError(), missingFirst);

    replaceWithLink(folder + "/document.json", copy + "/document.json");
    EXPECT_EQ(readError(), missingDocument);
}

TEST_F(PackageFolder, FifosAndDevicesAreNeverOpened)
{
    // Opening a FIFO for reading would wait for a writer forever; the device reads
    // zeros without end.
    QFile::remove(images + firstName);
    ASSERT_EQ(::mkfifo(QFile::encodeName(images + firstName).constData(), 0644), 0);
    EXPECT_EQ(readError(), missingFirst);

    QFile::remove(folder + "/document.json");
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder + "/document.json").constData(), 0644), 0);
    EXPECT_EQ(readError(), missingDocument);

    QFile::remove(images + firstName);
    if (::mknod(QFile::encodeName(images + firstName).constData(), S_IFCHR | 0644, makedev(1, 5)) != 0)
        GTEST_SKIP() << "no permission to make a device file";
    QFile::remove(folder + "/document.json");
    writeBytes(folder + "/document.json", Package::encodeDocument(document));
    EXPECT_EQ(readError(), missingFirst);
}

TEST_F(PackageFolder, FilesOverTheirSizeCapsCountAsAbsent)
{
    const qint64 documentSize = QFileInfo(folder + "/document.json").size();
    const qint64 imageSize = QFileInfo(images + firstName).size();
    struct Case {
        const char* name;
        Package::ReadLimits limits;
        std::optional<Package::ReadError> expected;
    };
    const Case cases[] = {
        {"all within", {documentSize, imageSize, imageSize}, std::nullopt},
        {"document over", {documentSize - 1, imageSize, imageSize}, missingDocument},
        {"image over", {documentSize, imageSize - 1, imageSize}, missingFirst},
        {"total over", {documentSize, imageSize, imageSize - 1}, missingFirst},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(readError(c.limits), c.expected);
    }

    // With the standard caps: a sparse file of 3 GiB is refused from its size alone.
    ASSERT_EQ(::truncate(QFile::encodeName(images + firstName).constData(), std::int64_t(3) << 30), 0);
    EXPECT_EQ(readError(), missingFirst);
}

TEST_F(PackageFolder, OnlyImageFilesNamedAfterUsedIdsAreRead)
{
    const QByteArray png = readBytes(images + firstName);
    QFile::remove(images + firstName);
    writeBytes(images + "notes.txt", "appunti");
    writeBytes(images + "00000000-0000-4000-8000-000000000104.png", png); // an id nobody uses

    struct Case {
        const char* name;
        bool taken;
    };
    const Case cases[] = {
        {"00000000-0000-4000-8000-000000000101.png", true},
        {"00000000-0000-4000-8000-000000000101.jpeg", true},
        {"00000000-0000-4000-8000-000000000101.PNG", true},
        {"{00000000-0000-4000-8000-000000000101}.png", false},
        {"00000000-0000-4000-8000-000000000101", false},
        {"00000000-0000-4000-8000-000000000101.", false},
        {"00000000-0000-4000-8000-000000000101.tar.gz", false},
        {"00000000-0000-4000-8000-000000000101.png~", false},
        {"000000000000-4000-8000-0000-00000000000101.png", false},
        {"00000000-0000-4000-8000-000000000101.abcdefghijklmnopq", false},
        {" 00000000-0000-4000-8000-000000000101.png", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(images + c.name, png);
        try {
            const Package::Project project = Package::read(folder);
            EXPECT_TRUE(c.taken);
            EXPECT_EQ(project.images.asset(firstImage)->data, png);
            EXPECT_EQ(project.images.asset(firstImage)->fileExtension, QString(c.name).section(u'.', 1));
            EXPECT_FALSE(project.images.contains(uuid(104)));
        } catch (const Package::ReadError& e) {
            EXPECT_FALSE(c.taken);
            EXPECT_EQ(e, missingFirst);
        }
        QFile::remove(images + c.name);
    }
}

TEST_F(PackageFolder, SeveralFilesForOneIdGiveTheSameResultWhateverTheOrderMade)
{
    // Of several readable files for an id the last in name order wins; a file that
    // cannot be read leaves the choice to the others.
    const QByteArray red = readBytes(images + firstName);
    const QByteArray green = pngBytes(Qt::green);
    const QString upper = "00000000-0000-4000-8000-000000000101";
    QFile::remove(images + firstName);

    struct File {
        QString name;
        QByteArray data;
        bool link = false;
    };
    const std::vector<File> files = {
        {upper + ".png", red}, {upper + ".jpeg", green}, {upper + ".zzz", {}, true}, // last in order, but a link
    };
    for (const bool reversed : {false, true}) {
        SCOPED_TRACE(reversed);
        for (std::size_t i = 0; i < files.size(); ++i) {
            const File& f = files[reversed ? files.size() - 1 - i : i];
            if (f.link)
                ASSERT_EQ(::symlink("/dev/zero", QFile::encodeName(images + f.name).constData()), 0);
            else
                writeBytes(images + f.name, f.data);
        }
        const Package::Project project = Package::read(folder);
        EXPECT_EQ(project.images.asset(firstImage), (ImageAsset{red, "png"}));
        for (const File& f : files)
            QFile::remove(images + f.name);
    }
}
