#include "core/formats/PngChunks.h"
#include "core/imaging/ImageCoding.h"

#include "support/ImageFixtures.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

#include <gtest/gtest.h>

#include <random>

using namespace vorlix;
using namespace Qt::StringLiterals;

namespace {

QByteArray encodedPng(int w, int h, double pixelsPerPoint = 1, const QString& description = {})
{
    return *ImageCoding::encode(test::cornerImage(w, h), ImageType::png, pixelsPerPoint, 0, description);
}

struct ChunkSpan {
    QByteArray type;
    qsizetype offset; // of the length field
    qsizetype length; // of the body
};

// The chunks of well-formed PNG data, in order.
std::vector<ChunkSpan> chunksOf(const QByteArray& png)
{
    std::vector<ChunkSpan> out;
    qsizetype pos = 8;
    while (pos + 12 <= png.size()) {
        const qsizetype length = qFromBigEndian<quint32>(png.constData() + pos);
        out.push_back({png.mid(pos + 4, 4), pos, length});
        pos += 12 + length;
    }
    return out;
}

qsizetype firstIdatOffset(const QByteArray& png)
{
    for (const ChunkSpan& c : chunksOf(png))
        if (c.type == "IDAT")
            return c.offset;
    return -1;
}

QString textReadByDecoder(const QByteArray& png)
{
    QBuffer buffer;
    buffer.setData(png);
    QImageReader reader(&buffer, "png");
    return reader.text(u"Description"_s);
}

} // namespace

TEST(PngChunks, DescriptionIsAddedWithoutTouchingThePixels)
{
    struct Case {
        QString text;
        const char* chunkType;
    };
    const Case cases[] = {
        {u"{\"id\":\"A\",\"pixelWidth\":12}"_s, "tEXt"},
        {u"Finestra «Modifica» — è"_s, "iTXt"}, // the dash is outside Latin-1
        {u"Città è più"_s, "tEXt"},
        {u"スクリーン 📸"_s, "iTXt"},
        {u"riga uno\nriga due"_s, "tEXt"},
        {u"tab\there"_s, "iTXt"},
    };
    const QByteArray original = encodedPng(12, 7, 2);
    const qsizetype pixelsStart = firstIdatOffset(original);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const std::optional<QByteArray> png = PngChunks::withDescription(original, c.text);
        ASSERT_TRUE(png);
        const std::vector<ChunkSpan> chunks = chunksOf(*png);
        ASSERT_GE(chunks.size(), 2u);
        EXPECT_EQ(chunks[0].type, "IHDR");
        EXPECT_EQ(chunks[1].type, c.chunkType);
        // Everything after the new chunk is the original, byte for byte.
        EXPECT_EQ(png->size() - chunks[2].offset, original.size() - 33);
        EXPECT_TRUE(png->endsWith(original.mid(33)));
        EXPECT_EQ(png->mid(firstIdatOffset(*png)), original.mid(pixelsStart));

        const std::optional<PngChunks::Header> header = PngChunks::readHeader(*png);
        ASSERT_TRUE(header);
        EXPECT_EQ(*header, (PngChunks::Header{12, 7, c.text, 144.0}));
        // An ordinary decoder agrees, CRCs included (Qt's reader simplifies white space).
        EXPECT_EQ(textReadByDecoder(*png), c.text.simplified());
        EXPECT_EQ(ImageCoding::decode(*png), ImageCoding::decode(original));
    }
}

TEST(PngChunks, AnEarlierDescriptionIsReplaced)
{
    const QByteArray original = encodedPng(5, 5, 1, u"vecchia"_s);
    ASSERT_EQ(PngChunks::readHeader(original)->description, u"vecchia"_s);

    const QByteArray png = *PngChunks::withDescription(original, u"nuova"_s);
    int descriptions = 0;
    for (const ChunkSpan& c : chunksOf(png))
        if (png.mid(c.offset + 8, c.length).startsWith("Description\0"_ba))
            ++descriptions;
    EXPECT_EQ(descriptions, 1);
    EXPECT_EQ(PngChunks::readHeader(png)->description, u"nuova"_s);
    EXPECT_EQ(textReadByDecoder(png), u"nuova"_s);
}

TEST(PngChunks, OnlyWholePngDataTakesADescription)
{
    const QByteArray png = encodedPng(6, 4);
    QByteArray badIhdrCrc = png;
    badIhdrCrc[8 + 8 + 13] = char(badIhdrCrc[8 + 8 + 13] ^ 0x55);
    QByteArray overrun = png;
    qToBigEndian<quint32>(0x7ffffff0, overrun.data() + firstIdatOffset(png));

    const std::pair<const char*, QByteArray> cases[] = {
        {"empty", {}},
        {"not a PNG", *ImageCoding::encode(test::cornerImage(6, 4), ImageType::jpeg, 1, 0.8)},
        {"signature only", png.left(8)},
        {"no IEND", png.left(png.size() - 12)},
        {"cut inside the pixels", png.left(firstIdatOffset(png) + 20)},
        {"damaged IHDR", badIhdrCrc},
        {"chunk longer than the data", overrun},
    };
    for (const auto& [name, data] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(PngChunks::withDescription(data, u"x"_s), std::nullopt);
    }
}

TEST(PngChunks, HeaderReadingSurvivesDamagedData)
{
    const QByteArray good = *PngChunks::withDescription(encodedPng(9, 3, 2), u"testo"_s);
    const ChunkSpan text = chunksOf(good)[1];
    ASSERT_EQ(text.type, "tEXt");

    QByteArray badTextCrc = good;
    badTextCrc[text.offset + 8 + text.length] = char(badTextCrc[text.offset + 8 + text.length] ^ 1);
    QByteArray hugeText = good;
    qToBigEndian<quint32>(0xfffffff0, hugeText.data() + text.offset);
    QByteArray zeroWidth = good;
    qToBigEndian<quint32>(0, zeroWidth.data() + 16);
    QByteArray firstNotIhdr = good;
    firstNotIhdr.replace(12, 4, "pHYs");

    struct Case {
        const char* name;
        QByteArray data;
        std::optional<PngChunks::Header> expected;
    };
    const Case cases[] = {
        {"whole", good, PngChunks::Header{9, 3, u"testo"_s, 144.0}},
        {"header only", good.left(firstIdatOffset(good)), PngChunks::Header{9, 3, u"testo"_s, 144.0}},
        {"damaged text ignored", badTextCrc, PngChunks::Header{9, 3, std::nullopt, 144.0}},
        {"cut inside the text", good.left(text.offset + 20), PngChunks::Header{9, 3, std::nullopt, std::nullopt}},
        {"length beyond the data", hugeText, PngChunks::Header{9, 3, std::nullopt, std::nullopt}},
        {"zero width", zeroWidth, std::nullopt},
        {"IHDR not first", firstNotIhdr, std::nullopt},
        {"cut inside IHDR", good.left(20), std::nullopt},
        {"empty", {}, std::nullopt},
        {"text", "Description\0{}"_ba, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PngChunks::readHeader(c.data), c.expected);
    }
}

TEST(PngChunks, HeaderReadingStopsAtThePixels)
{
    const QByteArray png = *PngChunks::withDescription(encodedPng(300, 200), u"testo"_s);
    QBuffer device;
    device.setData(png);
    ASSERT_TRUE(device.open(QIODevice::ReadOnly));
    ASSERT_TRUE(PngChunks::readHeader(device));
    // The length and type of the first IDAT are read, none of its body.
    EXPECT_EQ(device.pos(), firstIdatOffset(png) + 8);
}

TEST(PngChunks, ArbitraryBytesNeverBreakTheReaderOrWriter)
{
    const QByteArray png = *PngChunks::withDescription(encodedPng(16, 16, 2), u"{\"a\":1}"_s);
    std::mt19937 random(7);
    for (int round = 0; round < 3000; ++round) {
        QByteArray data = png;
        const int flips = 1 + int(random() % 4);
        for (int i = 0; i < flips; ++i)
            data[qsizetype(random() % std::uint32_t(data.size()))] = char(random());
        if (round % 3 == 0)
            data.truncate(qsizetype(random() % std::uint32_t(data.size())));
        const auto header = PngChunks::readHeader(data);
        if (header) {
            EXPECT_GT(header->width, 0);
            EXPECT_GT(header->height, 0);
        }
        if (const auto written = PngChunks::withDescription(data, u"y"_s)) {
            const auto rewritten = PngChunks::readHeader(*written);
            ASSERT_TRUE(rewritten);
            EXPECT_EQ(rewritten->description, u"y"_s);
        }
    }
}
