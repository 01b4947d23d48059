#include "core/imaging/HeifDecoder.h"

#include "support/HeifFixtures.h"
#include "support/ImageFixtures.h"

#include <gtest/gtest.h>

using namespace vorlix;

namespace {

// An ISO media file-type box: major brand, minor version, compatible brands.
QByteArray fileType(const QByteArray& major, const QByteArray& compatible)
{
    const QByteArray body = major + QByteArray(4, '\0') + compatible;
    const int size = 8 + int(body.size());
    return QByteArray("\0\0\0", 3) + char(size) + "ftyp" + body + QByteArray("\0\0\0\x08mdat", 8);
}

} // namespace

TEST(HeifDecoder, KnowsHeifFilesByTheirBrands)
{
    struct Case {
        const char* name;
        QByteArray data;
        bool heif;
    };
    const Case cases[] = {
        {"heic", fileType("heic", "mif1heic"), true},
        {"generic HEIF among the compatible brands", fileType("avif", "mif1miaf"), true},
        {"a video", fileType("isom", "iso2mp41"), false},
        {"a PNG", test::pngOf(test::cornerImage(4, 4)), false},
        {"too short",
         QByteArray("\0\0\0\x10"
                    "ftypheic",
                    12),
         false},
        {"a brand past the box", fileType("isom", "mp41") + "heic", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(HeifDecoder::isHeif(c.data), c.heif);
    }
}

TEST(HeifDecoder, TheHelperIsStoppedAtTheLimitsItIsGiven)
{
    const QByteArray data = test::encodedHeic(test::cornerImage(512, 256));
    ASSERT_FALSE(data.isEmpty());
    EXPECT_EQ(HeifDecoder::size(data), QSize(512, 256));
    EXPECT_EQ(HeifDecoder::decode(data, 512 * 256).size(), QSize(512, 256));
    EXPECT_TRUE(HeifDecoder::decode(data, 512 * 256 - 1).isNull());
    // A decode that outlasts its time is stopped and gives nothing.
    EXPECT_TRUE(HeifDecoder::decode(data, 512 * 256, std::chrono::milliseconds(1)).isNull());
    EXPECT_EQ(HeifDecoder::size(QByteArray("not a picture")), std::nullopt);
}
