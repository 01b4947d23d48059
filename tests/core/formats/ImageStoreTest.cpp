#include "core/formats/ImageStore.h"
#include "core/imaging/ImageCoding.h"

#include "support/ImageFixtures.h"

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <thread>
#include <vector>

using namespace vorlix;

namespace {

const QUuid firstID = QUuid::fromString(u"6f9619ff-8b86-d011-b42d-00c04fc964ff");
const QUuid secondID = QUuid::fromString(u"00000000-0000-0000-0000-0000000000a2");

ImageAsset pngAsset(const QImage& image) { return {*ImageCoding::encode(image, ImageType::png, 2, 0.9), u"png"_qs}; }

ImageAsset jpegAsset(const QImage& image) { return {*ImageCoding::encode(image, ImageType::jpeg, 1, 0.9), u"jpeg"_qs}; }

QImage filled(int w, int h, QColor colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

} // namespace

TEST(ImageStore, PreviewBucketsDoubleFrom256)
{
    struct Case {
        int asked;
        int bucket;
    };
    const Case cases[] = {{1, 256},     {256, 256}, {257, 512}, {600, 1024},       {1000, 1024},
                          {1500, 2048}, {0, 256},   {-40, 256}, {INT_MAX, 1 << 30}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.asked);
        EXPECT_EQ(ImageStore::previewBucket(c.asked), c.bucket);
    }
    EXPECT_EQ(ImageStore::previewKey(firstID, 512), u"6F9619FF-8B86-D011-B42D-00C04FC964FF-512"_qs);
}

TEST(ImageStore, UnknownIDsGiveNothing)
{
    ImageStore store;
    store.add(pngAsset(filled(4, 4, Qt::red)), firstID);
    EXPECT_EQ(store.asset(secondID), std::nullopt);
    EXPECT_TRUE(store.image(secondID).isNull());
    EXPECT_TRUE(store.previewImage(secondID, 100).isNull());
    const ImageProviding& provider = store;
    EXPECT_TRUE(provider.previewImage(secondID, 100).isNull());
}

TEST(ImageStore, ImagesAreDecodedOnceAndKeptAsStored)
{
    ImageStore store;
    const ImageAsset asset = jpegAsset(test::cornerImage(40, 20));
    store.add(asset, firstID);
    EXPECT_EQ(store.asset(firstID), asset);
    const QImage first = store.image(firstID);
    EXPECT_EQ(first.size(), QSize(40, 20));
    EXPECT_EQ(store.image(firstID).cacheKey(), first.cacheKey());

    // EXIF orientation is the panel's business: the stored pixels come back unturned.
    store.add({test::withExifOrientation(asset.data, 6), u"jpeg"_qs}, secondID);
    EXPECT_EQ(store.image(secondID).size(), QSize(40, 20));
    EXPECT_EQ(store.previewImage(secondID, 10).size(), QSize(40, 20)); // bucket 256: nothing to reduce
}

TEST(ImageStore, APictureHandedInWithItsBytesServesAsTheirDecode)
{
    // A shot's image arrives with the PNG made from it: it is kept as the decode, in the
    // format a decode gives, and equals what the bytes decode to.
    QImage shot = test::cornerImage(40, 20).convertToFormat(QImage::Format_ARGB32);
    ImageStore store;
    store.add(pngAsset(shot), firstID, shot);
    EXPECT_GT(store.decodedBytes(), 0);
    const QImage kept = store.image(firstID);
    EXPECT_EQ(kept.format(), ImageCoding::decode(pngAsset(shot).data).format());
    EXPECT_EQ(kept, ImageCoding::decode(pngAsset(shot).data));

    // Replacing the asset forgets the handed-in picture like any decode.
    store.add(pngAsset(filled(8, 8, Qt::red)), firstID);
    EXPECT_EQ(store.image(firstID).size(), QSize(8, 8));
}

TEST(ImageStore, UndecodableAssetsAreKeptButGiveNoImage)
{
    ImageStore store;
    const ImageAsset broken{QByteArray("\x89PNG broken"), u"png"_qs};
    store.add(broken, firstID);
    EXPECT_EQ(store.asset(firstID), broken);
    EXPECT_TRUE(store.image(firstID).isNull());
    EXPECT_TRUE(store.previewImage(firstID, 300).isNull());
}

TEST(ImageStore, PreviewsShareBucketsAndFitThem)
{
    for (const auto& asset : {pngAsset(filled(3000, 1500, Qt::blue)), jpegAsset(filled(3000, 1500, Qt::blue))}) {
        SCOPED_TRACE(asset.fileExtension.toStdString());
        ImageStore store;
        store.add(asset, firstID);
        const QImage small = store.previewImage(firstID, 1);
        EXPECT_EQ(small.size(), QSize(256, 128));
        EXPECT_EQ(store.previewImage(firstID, 256).cacheKey(), small.cacheKey());

        const QImage medium = store.previewImage(firstID, 600);
        EXPECT_EQ(medium.size(), QSize(1024, 512));
        EXPECT_EQ(store.previewImage(firstID, 1000).cacheKey(), medium.cacheKey());
        EXPECT_EQ(store.previewImage(firstID, 1500).size(), QSize(2048, 1024));

        // A bucket above the image's size gives the full image itself.
        EXPECT_EQ(store.previewImage(firstID, 5000).cacheKey(), store.image(firstID).cacheKey());
        EXPECT_GE(medium.pixelColor(500, 250).blue(), 250);
        EXPECT_LE(medium.pixelColor(500, 250).red(), 5);
    }
}

TEST(ImageStore, ReplacingAnAssetForgetsItsDecodedImageAndPreviews)
{
    ImageStore store;
    store.add(pngAsset(filled(600, 300, Qt::red)), firstID);
    store.add(pngAsset(filled(600, 300, Qt::green)), secondID);
    ASSERT_EQ(store.image(firstID).pixelColor(0, 0), QColor(Qt::red));
    ASSERT_EQ(store.previewImage(firstID, 100).pixelColor(0, 0), QColor(Qt::red));
    const QImage otherPreview = store.previewImage(secondID, 100);

    store.add(pngAsset(filled(800, 200, Qt::blue)), firstID);
    EXPECT_EQ(store.image(firstID).size(), QSize(800, 200));
    EXPECT_EQ(store.image(firstID).pixelColor(0, 0), QColor(Qt::blue));
    const QImage preview = store.previewImage(firstID, 100);
    EXPECT_EQ(preview.size(), QSize(256, 64));
    EXPECT_EQ(preview.pixelColor(0, 0), QColor(Qt::blue));
    // The other image's previews stay.
    EXPECT_EQ(store.previewImage(secondID, 100).cacheKey(), otherPreview.cacheKey());
}

TEST(ImageStore, DecodedImagesStayWithinTheBudgetAndComeBackTheSame)
{
    ImageStore store;
    const std::int64_t oneImage = filled(400, 300, Qt::red).sizeInBytes();
    store.setDecodedBudget(3 * oneImage);
    std::vector<QUuid> ids;
    std::vector<QImage> originals;
    for (int n = 0; n < 8; ++n) {
        ids.push_back(QUuid::createUuidV5(firstID, QByteArray::number(n)));
        originals.push_back(test::cornerImage(400, 300));
        originals.back().setPixelColor(n, n, QColor(n * 30, 0, 0));
        store.add(pngAsset(originals.back()), ids.back());
    }
    for (int round = 0; round < 2; ++round) {
        for (std::size_t n = 0; n < ids.size(); ++n) {
            SCOPED_TRACE(testing::Message() << "image " << n << ", round " << round);
            const QImage image = store.image(ids[n]);
            EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32), originals[n].convertToFormat(QImage::Format_RGB32));
            EXPECT_LE(store.decodedBytes(), store.decodedBudget());
        }
    }
    // The most recently used stay: asking for the last one again decodes nothing.
    const qint64 key = store.image(ids.back()).cacheKey();
    EXPECT_EQ(store.image(ids.back()).cacheKey(), key);

    store.setDecodedBudget(0);
    EXPECT_EQ(store.decodedBytes(), 0);
    EXPECT_FALSE(store.image(ids[0]).isNull()); // handed out all the same
    EXPECT_EQ(store.decodedBytes(), 0);
}

TEST(ImageStore, RemovingAnImageForgetsItsBytesDecodesAndPreviews)
{
    ImageStore store;
    store.add(pngAsset(filled(600, 300, Qt::red)), firstID);
    store.add(pngAsset(filled(600, 300, Qt::green)), secondID);
    const QImage kept = store.image(firstID);
    store.previewImage(firstID, 100);
    const std::int64_t withBoth = store.decodedBytes();
    store.image(secondID);

    store.remove(firstID);
    EXPECT_FALSE(store.contains(firstID));
    EXPECT_TRUE(store.image(firstID).isNull());
    EXPECT_TRUE(store.previewImage(firstID, 100).isNull());
    EXPECT_EQ(store.decodedBytes(), store.image(secondID).sizeInBytes());
    EXPECT_GT(withBoth, store.decodedBytes());
    EXPECT_EQ(kept.pixelColor(0, 0), QColor(Qt::red)); // an image handed out stays whole
}

TEST(ImageStore, SeveralThreadsReadAtOnceWhileTheBudgetEvicts)
{
    ImageStore store;
    std::vector<QUuid> ids;
    for (int n = 0; n < 6; ++n) {
        ids.push_back(QUuid::createUuidV5(secondID, QByteArray::number(n)));
        store.add(pngAsset(filled(300, 200, QColor(n * 40, 100, 0))), ids.back());
    }
    store.setDecodedBudget(2 * filled(300, 200, Qt::red).sizeInBytes());
    std::atomic<int> wrong = 0;
    std::vector<std::thread> readers;
    for (int t = 0; t < 4; ++t) {
        readers.emplace_back([&, t] {
            for (int i = 0; i < 60; ++i) {
                const std::size_t n = std::size_t(i + t) % ids.size();
                const QImage image = (i % 3 == 0) ? store.previewImage(ids[n], 64) : store.image(ids[n]);
                if (image.isNull() || image.pixelColor(1, 1).red() != int(n) * 40)
                    ++wrong;
            }
        });
    }
    for (std::thread& reader : readers)
        reader.join();
    EXPECT_EQ(wrong, 0);
    EXPECT_LE(store.decodedBytes(), store.decodedBudget());
}
