#include "app/support/Pasteboard.h"

#include "app/support/CopyNotice.h"
#include "support/EventLoopWaits.h"
#include "support/ImageFixtures.h"

#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

using namespace vorlix;
using vorlix::test::pngOf;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

QImage smallPicture()
{
    QImage image(7, 5, QImage::Format_ARGB32);
    image.fill(QColor(10, 200, 30));
    image.setPixelColor(3, 2, QColor(250, 0, 0, 128));
    return image;
}

} // namespace

TEST(Pasteboard, PNGDataComesFirstThenTIFFThenTheImageForOtherTypes)
{
    const QByteArray png = pngOf(smallPicture());
    struct Case {
        std::optional<QByteArray> tiff;
        QStringList formats;
    };
    const Case cases[] = {
        {std::nullopt, {u"image/png"_s, u"application/x-qt-image"_s}},
        {QByteArray("II*\0tiff", 8), {u"image/png"_s, u"image/tiff"_s, u"application/x-qt-image"_s}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tiff.has_value());
        const std::unique_ptr<QMimeData> data = Pasteboard::pngMimeData(png, c.tiff);
        EXPECT_EQ(data->formats(), c.formats);
        EXPECT_EQ(data->data(u"image/png"_s), png);
        if (c.tiff) {
            EXPECT_EQ(data->data(u"image/tiff"_s), *c.tiff);
        }
        ASSERT_TRUE(data->hasImage());
        EXPECT_EQ(qvariant_cast<QImage>(data->imageData()).convertToFormat(QImage::Format_ARGB32), smallPicture());
    }
}

TEST(Pasteboard, CopyReplacesTheClipboardAndShowsTheNoticeWhenGiven)
{
    const QByteArray png = pngOf(smallPicture());
    QGuiApplication::clipboard()->setText(u"prima"_s);

    Pasteboard::copyPNG(png, std::nullopt, std::nullopt, nullptr);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_FALSE(data->hasText());
    EXPECT_EQ(data->data(u"image/png"_s), png);
    EXPECT_EQ(CopyNotice::current(), nullptr);

    Pasteboard::copyPNG(png, std::nullopt, u"Immagine copiata"_s, nullptr);
    ASSERT_NE(CopyNotice::current(), nullptr);
    EXPECT_EQ(CopyNotice::current()->accessibleName(), u"Immagine copiata"_s);
    EXPECT_TRUE(test::waitUntil([] { return CopyNotice::current() == nullptr; }, 4s));
    test::runDeferredDeletes();
}

TEST(Pasteboard, ImageFileUrlsKeepLocalImageFilesInOrder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QDir root(dir.path());
    for (const char* name : {"secondo.png", "primo.JPG", "note.txt", "senza", "strano.xyzq", "vettoriale.svg"}) {
        QFile file(root.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(root.mkdir(u"cartella"_s));
    ASSERT_TRUE(root.mkdir(u"cartella.png"_s));
    const auto file = [&](const char* name) { return QUrl::fromLocalFile(root.filePath(QString::fromLatin1(name))); };

    QMimeData data;
    data.setUrls({
        file("cartella"),
        file("secondo.png"),
        file("note.txt"),
        QUrl(u"https://example.invalid/remoto.png"_s),
        file("senza"),
        file("cartella.png"),
        file("primo.JPG"),
        file("strano.xyzq"),
        file("vettoriale.svg"),
    });
    EXPECT_EQ(Pasteboard::imageFileUrls(data),
              (QList<QUrl>{file("secondo.png"), file("primo.JPG"), file("vettoriale.svg")}));

    EXPECT_TRUE(Pasteboard::imageFileUrls(QMimeData()).isEmpty());
}
