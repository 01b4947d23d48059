#include "app/support/ImageDrag.h"
#include "app/support/Beeper.h"
#include "support/ImageFixtures.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace vorlix;
using namespace Qt::StringLiterals;

namespace {

QByteArray pngOf(QSize size)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::red);
    return test::pngOf(image);
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ImageDragFiles : public testing::Test {
protected:
    QString folder() const { return base.filePath(u"Trascinamenti"_s); }

    // Makes a file in the drag folder last modified `age` seconds ago.
    QString oldFile(const QString& name, int age)
    {
        const QString path = QDir(folder()).filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
        file.flush(); // else the write at closing sets the time again
        EXPECT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-age), QFileDevice::FileModificationTime));
        return path;
    }

    QTemporaryDir base;
    int beeps = 0;
    Beeper::Override countBeeps{[this] { ++beeps; }};
};

} // namespace

TEST_F(ImageDragFiles, TheFileIsThePngInAPrivateFolderReplacingOneOfTheSameName)
{
    const std::optional<QString> first = ImageDrag::temporaryFile("first", u"Schermata 1"_s, folder());
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(*first, QDir(folder()).filePath(u"Schermata 1.png"_s));
    EXPECT_EQ(QFileInfo(folder()).permissions() & (QFile::ReadGroup | QFile::ReadOther), 0);

    const std::optional<QString> second = ImageDrag::temporaryFile("second", u"Schermata 1"_s, folder());
    EXPECT_EQ(second, first);
    EXPECT_EQ(contents(*first), "second");
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files | QDir::Hidden), QStringList{u"Schermata 1.png"_s});
    EXPECT_EQ(beeps, 0);
}

TEST_F(ImageDragFiles, FilesOlderThanAnHourGoAtTheNextDrag)
{
    ASSERT_TRUE(QDir().mkpath(folder()));
    const QString stale = oldFile(u"vecchio.png"_s, 61 * 60);
    const QString hidden = oldFile(u".nascosto"_s, 2 * 3600);
    const QString recent = oldFile(u"recente.png"_s, 59 * 60);
    ASSERT_TRUE(QDir(folder()).mkdir(u"cartella"_s));

    ASSERT_TRUE(ImageDrag::temporaryFile("png", u"nuovo"_s, folder()).has_value());
    EXPECT_FALSE(QFile::exists(stale));
    EXPECT_FALSE(QFile::exists(hidden));
    EXPECT_TRUE(QFile::exists(recent));
    EXPECT_TRUE(QFileInfo(QDir(folder()).filePath(u"cartella"_s)).isDir());
}

TEST_F(ImageDragFiles, NamesAreMadeSafeAndStayInsideTheFolder)
{
    struct Case {
        QString name;
        QString expected;
    };
    const Case cases[] = {
        {u"Progetto/bozza 3"_s, u"Progetto-bozza 3"_s},
        {u"../../etc/passwd"_s, u"-..-etc-passwd"_s},
        {u"riga uno\nriga due\t\r"_s, u"riga uno riga due"_s},
        {u"a\u0000b\u007fc\u2028d"_s, u"a b c d"_s},
        {u"file\u202egnp.exe"_s, u"filegnp.exe"_s}, // no reordering marks
        {u".."_s, u"Immagine"_s},
        {u"."_s, u"Immagine"_s},
        {u".nascosto"_s, u"nascosto"_s},
        {u""_s, u"Immagine"_s},
        {u" \n "_s, u"Immagine"_s},
        {u"/"_s, u"-"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        EXPECT_EQ(ImageDrag::safeBaseName(c.name), c.expected);
        const std::optional<QString> path = ImageDrag::temporaryFile("png", c.name, folder());
        ASSERT_TRUE(path.has_value());
        EXPECT_EQ(QFileInfo(*path).absolutePath(), QFileInfo(folder()).absoluteFilePath());
        EXPECT_EQ(QFileInfo(*path).fileName(), c.expected + u".png"_s);
    }
    EXPECT_EQ(beeps, 0);
}

TEST_F(ImageDragFiles, AVeryLongNameIsCutToAFileNameTheSystemTakes)
{
    const QString name = QString(300, u'è');
    const std::optional<QString> path = ImageDrag::temporaryFile("png", name, folder());
    ASSERT_TRUE(path.has_value());
    EXPECT_LE(QFileInfo(*path).fileName().toUtf8().size(), 255);
    EXPECT_TRUE(QFileInfo(*path).fileName().startsWith(u"èèè"_s));
    EXPECT_EQ(contents(*path), "png");
}

TEST_F(ImageDragFiles, AFileThatCannotBeWrittenBeepsAndGivesNothing)
{
    // A folder standing where the file goes defeats the write even for the superuser.
    ASSERT_TRUE(QDir().mkpath(QDir(folder()).filePath(u"occupato.png"_s)));
    EXPECT_EQ(ImageDrag::temporaryFile("png", u"occupato"_s, folder()), std::nullopt);
    EXPECT_EQ(beeps, 1);

    if (::geteuid() != 0) {
        ASSERT_TRUE(QFile::setPermissions(folder(), QFile::ReadOwner | QFile::ExeOwner));
        EXPECT_EQ(ImageDrag::temporaryFile("png", u"sola lettura"_s, folder()), std::nullopt);
        EXPECT_EQ(beeps, 2);
        QFile::setPermissions(folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

TEST_F(ImageDragFiles, AFolderSomebodyPutThereInsteadIsNotUsed)
{
    // Another user can make the folder in advance in a shared temporary directory; a
    // link to a folder elsewhere stands for that here.
    QTemporaryDir elsewhere;
    ASSERT_TRUE(QFile::link(elsewhere.path(), folder()));
    EXPECT_EQ(ImageDrag::temporaryFile("png", u"immagine"_s, folder()), std::nullopt);
    EXPECT_EQ(beeps, 1);
    EXPECT_TRUE(QDir(elsewhere.path()).isEmpty());
}

TEST(ImageDrag, TheDefaultFolderIsInTheTemporaryDirectory)
{
    EXPECT_EQ(ImageDrag::defaultFolder(), QDir::tempPath() + u"/Trascinamenti"_s);
}

TEST(ImageDrag, TheDraggingImageHasALongerSideOf160)
{
    struct Case {
        QByteArray png;
        QSize expected;
    };
    const Case cases[] = {
        {pngOf({800, 400}), {160, 80}}, {pngOf({100, 50}), {160, 80}}, {pngOf({30, 90}), {53, 160}},
        {pngOf({2000, 1}), {160, 1}},   {"not a picture", {64, 64}},   {{}, {64, 64}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.expected.width() << "x" << c.expected.height());
        EXPECT_EQ(ImageDrag::dragImageSize(c.png), c.expected);
        const QPixmap pixmap = ImageDrag::dragPixmap(c.png, 2.0);
        EXPECT_EQ(pixmap.size(), c.expected * 2);
        EXPECT_EQ(pixmap.deviceIndependentSize().toSize(), c.expected);
    }
    EXPECT_EQ(ImageDrag::dragPixmap(pngOf({800, 400})).toImage().pixelColor(80, 40), QColor(Qt::red));
    EXPECT_EQ(ImageDrag::dragPixmap("not a picture").toImage().pixelColor(32, 32).alpha(), 0);
}

TEST(ImageDrag, ADragCarriesTheFileAndThePngData)
{
    const QByteArray png = pngOf({10, 10});
    const std::unique_ptr<QMimeData> data = ImageDrag::mimeData(u"/tmp/Trascinamenti/a b.png"_s, png);
    EXPECT_EQ(data->formats(), (QStringList{u"text/uri-list"_s, u"image/png"_s}));
    EXPECT_EQ(data->urls(), QList<QUrl>{QUrl(u"file:///tmp/Trascinamenti/a%20b.png"_s)});
    EXPECT_EQ(data->data(u"image/png"_s), png);
}

TEST(ImageDrag, TheGestureStartsAtTheFirstMoveAfterAPressOnly)
{
    ImageDrag::Gesture gesture;
    EXPECT_EQ(gesture.takeDragStart(), std::nullopt);

    gesture.press({5, 7});
    EXPECT_EQ(gesture.takeDragStart(), QPoint(5, 7));
    EXPECT_EQ(gesture.takeDragStart(), std::nullopt); // later moves of the same press

    gesture.press({1, 1});
    gesture.release();
    EXPECT_EQ(gesture.takeDragStart(), std::nullopt);
}

TEST(Beeper, OverridesNestAndEndInReverseOrder)
{
    int outer = 0;
    int inner = 0;
    Beeper::Override first([&] { ++outer; });
    {
        Beeper::Override second([&] { ++inner; });
        Beeper::beep();
    }
    Beeper::beep();
    EXPECT_EQ(outer, 1);
    EXPECT_EQ(inner, 1);
}
