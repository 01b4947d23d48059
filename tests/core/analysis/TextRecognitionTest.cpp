#include "core/analysis/TextRecognition.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QThread>
#include <QTimer>

#define ZX_USE_UTF8
#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

// Readable failure messages: texts as UTF-8 rather than code units.
static void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
static void PrintTo(const QStringList& texts, std::ostream* out) { *out << texts.join(u'|').toStdString(); }

using namespace vorlix;
namespace tr = vorlix::TextRecognition;
using namespace Qt::Literals::StringLiterals;

namespace {

struct TextLine {
    QString text;
    QPointF baseline;
};

QImage renderLines(QSize size, const std::vector<TextLine>& lines, const QString& family, int pixelSize)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font(family);
    font.setPixelSize(pixelSize);
    painter.setFont(font);
    painter.setPen(QColor(20, 20, 20));
    for (const TextLine& line : lines)
        painter.drawText(line.baseline, line.text);
    return image;
}

// A code of `payload`, `modulePixels` per module, with its quiet zone. Linear codes are
// drawn 60 pixels tall.
QImage barcode(ZXing::BarcodeFormat format, const std::string& payload, int modulePixels)
{
    const bool linear = ZXing::BarcodeFormats(ZXing::BarcodeFormat::LinearCodes).testFlags(format);
    const ZXing::BitMatrix matrix =
        ZXing::MultiFormatWriter(format).setMargin(linear ? 10 : 4).encode(payload, 0, linear ? 60 / modulePixels : 0);
    QImage image(matrix.width() * modulePixels, matrix.height() * modulePixels, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (int y = 0; y < matrix.height(); ++y)
        for (int x = 0; x < matrix.width(); ++x)
            if (matrix.get(x, y))
                painter.fillRect(x * modulePixels, y * modulePixels, modulePixels, modulePixels, Qt::black);
    return image;
}

QImage qrCode(const std::string& payload, int modulePixels)
{
    return barcode(ZXing::BarcodeFormat::QRCode, payload, modulePixels);
}

// Levenshtein distance over Unicode code points of NFC-normalised texts.
qsizetype editDistance(const QString& a, const QString& b)
{
    const QList<uint> s = a.normalized(QString::NormalizationForm_C).toUcs4();
    const QList<uint> t = b.normalized(QString::NormalizationForm_C).toUcs4();
    std::vector<qsizetype> row(t.size() + 1);
    for (qsizetype j = 0; j <= t.size(); ++j)
        row[j] = j;
    for (qsizetype i = 1; i <= s.size(); ++i) {
        qsizetype diagonal = row[0];
        row[0] = i;
        for (qsizetype j = 1; j <= t.size(); ++j) {
            const qsizetype above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (s[i - 1] == t[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[t.size()];
}

} // namespace

TEST(TextRecognitionResult, CombinedPutsTextBeforeEveryCode)
{
    struct Case {
        tr::Result result;
        QString combined;
        bool empty;
    };
    const Case cases[] = {
        {{u"riga uno\nriga due"_s, {u"A"_s, u"B"_s}}, u"riga uno\nriga due\nA\nB"_s, false},
        {{QString(), {u"https://example.org"_s}}, u"https://example.org"_s, false},
        {{u"solo testo"_s, {}}, u"solo testo"_s, false},
        {{}, QString(), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.combined.toStdString());
        EXPECT_EQ(c.result.combined(), c.combined);
        EXPECT_EQ(c.result.isEmpty(), c.empty);
    }
}

TEST(TextRecognitionOrder, PiecesJoinIntoLinesInReadingOrder)
{
    struct Case {
        const char* name;
        std::vector<tr::Observation> pieces;
        QString expected;
    };
    const Case cases[] = {
        {"two words of one line, right one first",
         {{u"destra"_s, {200, 11, 60, 20}}, {u"sinistra"_s, {10, 10, 80, 20}}},
         u"sinistra destra"_s},
        {"two lines, lower one first",
         {{u"sotto"_s, {10, 40, 60, 20}}, {u"sopra"_s, {10, 10, 60, 20}}},
         u"sopra\nsotto"_s},
        {"a piece without text is left out", {{QString(), {0, 0, 500, 500}}, {u"a"_s, {10, 10, 10, 10}}}, u"a"_s},
        {"nothing", {}, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(tr::joinInReadingOrder(c.pieces), c.expected);
    }
}

TEST(TextRecognitionOrder, ChainOfSlightlyOffsetBoxesIsOrderedSoundly)
{
    // Each box sits 0.4 of a height below the previous one: neighbours count as one line,
    // boxes further apart do not, so "same line" is not transitive. A comparison sort over
    // that relation has no consistent order (undefined behaviour in std::sort).
    std::mt19937 random(7);
    std::vector<Rect> boxes;
    for (int i = 0; i < 400; ++i)
        boxes.emplace_back(double(random() % 1000), 8.0 * i, 30 + double(random() % 20), 20);
    std::shuffle(boxes.begin(), boxes.end(), random);

    const auto lines = tr::groupIntoLines(boxes);
    std::vector<int> seen(boxes.size(), 0);
    double previousTop = -1;
    for (const auto& members : lines) {
        ASSERT_FALSE(members.empty());
        Rect bounds = Rect::null();
        for (std::size_t k = 0; k < members.size(); ++k) {
            ++seen[members[k]];
            bounds = bounds.united(boxes[members[k]]);
            if (k > 0) {
                EXPECT_LE(boxes[members[k - 1]].minX(), boxes[members[k]].minX());
            }
        }
        EXPECT_GE(bounds.minY(), previousTop);
        previousTop = bounds.minY();
    }
    EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](int n) { return n == 1; }));
}

TEST(TextRecognitionCodes, RepeatedAndEmptyPayloadsAreDropped)
{
    EXPECT_EQ(tr::uniqueCodes({u"b"_s, u"a"_s, u"b"_s, QString(), u"c"_s, u"a"_s}),
              (QStringList{u"b"_s, u"a"_s, u"c"_s}));
}

// ---- With the recognition engine ----

TEST(TextRecognitionEngine, ReadsItalianAccentedTextInReadingOrder)
{
    const QStringList expected{
        u"Perché la città è già più bella così?"_s,
        u"Qualità, velocità e caffè: l'università è lì."_s,
        u"Però è perciò un'opportunità unica, Niccolò!"_s,
        u"Il 25 aprile 2024 alle ore 18:30 in piazza."_s,
    };
    // Screenshot text sizes: small ones are upscaled before recognition, large ones not.
    struct Case {
        const char* family;
        int pixelSize;
    };
    for (const Case c :
         {Case{"DejaVu Sans", 12}, Case{"DejaVu Sans", 15}, Case{"DejaVu Serif", 15}, Case{"DejaVu Serif", 24}}) {
        SCOPED_TRACE(testing::Message() << c.family << " " << c.pixelSize);
        const double leading = c.pixelSize * 1.7;
        std::vector<TextLine> lines;
        for (qsizetype i = 0; i < expected.size(); ++i)
            lines.push_back({expected[i], QPointF(14, 2 * c.pixelSize + leading * double(i))});
        const QImage image =
            renderLines({c.pixelSize * 36, int(leading * 5)}, lines, QString::fromLatin1(c.family), c.pixelSize);

        const tr::Result result = tr::recognizeNow(image);
        const QString truth = expected.join(u'\n');
        const double errorRate = double(editDistance(result.text, truth)) / double(truth.size());
        EXPECT_LT(errorRate, 0.05) << result.text.toStdString();
        EXPECT_EQ(result.text.count(u'\n'), expected.size() - 1) << result.text.toStdString();
        EXPECT_TRUE(result.codes.isEmpty());
    }
}

TEST(TextRecognitionEngine, WordsFarApartOnOneLineComeOutLeftToRight)
{
    const QImage image = renderLines(
        {600, 90}, {{u"Sinistra"_s, {20, 30}}, {u"Destra"_s, {460, 32}}, {u"Sotto"_s, {20, 70}}}, u"DejaVu Sans"_s, 16);
    EXPECT_EQ(tr::recognizeNow(image).text, u"Sinistra Destra\nSotto"_s);
}

TEST(TextRecognitionEngine, ReadsLightTextOnADarkGround)
{
    QImage image(420, 60, QImage::Format_RGB32);
    image.fill(QColor(32, 33, 38));
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::TextAntialiasing);
        QFont font(u"DejaVu Sans"_s);
        font.setPixelSize(15);
        painter.setFont(font);
        painter.setPen(QColor(225, 225, 230));
        painter.drawText(QPointF(12, 36), u"Modalità scura: è più riposante"_s);
    }
    EXPECT_EQ(tr::recognizeNow(image).text, u"Modalità scura: è più riposante"_s);
}

TEST(TextRecognitionEngine, QrCodeShownTwiceIsListedOnce)
{
    const std::string payload = "https://example.org/pagina?id=42&città=Roma";
    const QImage code = qrCode(payload, 5);
    QImage image(code.width() * 2 + 120, code.height() + 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.drawImage(30, 30, code);
        painter.drawImage(code.width() + 90, 30, code);
    }
    const tr::Result result = tr::recognizeNow(image);
    EXPECT_EQ(result.codes, QStringList{QString::fromStdString(payload)});
    EXPECT_EQ(result.text, QString());
    EXPECT_FALSE(result.isEmpty());
    EXPECT_EQ(result.combined(), QString::fromStdString(payload));
}

TEST(TextRecognitionEngine, CodesOfEveryFormatFamilyAreReadOnAScreen)
{
    struct Code {
        ZXing::BarcodeFormat format;
        std::string payload;
    };
    for (const Code& code :
         {Code{ZXing::BarcodeFormat::QRCode, "qr-1"}, Code{ZXing::BarcodeFormat::DataMatrix, "datamatrix-2"},
          Code{ZXing::BarcodeFormat::Aztec, "aztec-3"}, Code{ZXing::BarcodeFormat::PDF417, "pdf417-4"},
          Code{ZXing::BarcodeFormat::Code128, "CODE128-5"}, Code{ZXing::BarcodeFormat::EAN13, "9780201379624"}}) {
        SCOPED_TRACE(code.payload);
        // In the middle of a screen-sized shot: the engine finds some formats only there.
        QImage screen(1600, 1000, QImage::Format_ARGB32_Premultiplied);
        screen.fill(QColor(240, 240, 244));
        const QImage picture = barcode(code.format, code.payload, 4);
        QPainter(&screen).drawImage(QPoint(800 - picture.width() / 2, 500 - picture.height() / 2), picture);
        EXPECT_EQ(tr::recognizeNow(screen).codes, QStringList{QString::fromStdString(code.payload)});
    }
}

TEST(TextRecognitionEngine, TextAndCodeTogether)
{
    const QImage code = qrCode("VORLIX-TEST-7", 4);
    QImage image = renderLines({code.width() + 360, code.height() + 20},
                               {{u"Scansiona il codice"_s, {code.width() + 20.0, 60}}}, u"DejaVu Sans"_s, 18);
    QPainter(&image).drawImage(10, 10, code);

    const tr::Result result = tr::recognizeNow(image);
    EXPECT_EQ(result.text, u"Scansiona il codice"_s);
    EXPECT_EQ(result.codes, QStringList{u"VORLIX-TEST-7"_s});
    EXPECT_EQ(result.combined(), u"Scansiona il codice\nVORLIX-TEST-7"_s);
}

TEST(TextRecognitionEngine, ImagesWithNothingToReadGiveAnEmptyResult)
{
    QImage blank(300, 120, QImage::Format_ARGB32);
    blank.fill(Qt::transparent);
    for (const QImage& image : {blank, QImage()}) {
        const tr::Result result = tr::recognizeNow(image);
        EXPECT_TRUE(result.isEmpty());
        EXPECT_EQ(result.combined(), QString());
    }
}

TEST(TextRecognitionEngine, RecognizeHandsTheResultBackOnceOnTheCallingThread)
{
    const QImage image = renderLines({300, 50}, {{u"Ciao mondo"_s, {10, 32}}}, u"DejaVu Sans"_s, 18);
    QObject context;
    int calls = 0;
    tr::Result received;
    QThread* thread = nullptr;
    QEventLoop loop;
    tr::recognize(image, &context, [&](const tr::Result& result) {
        ++calls;
        received = result;
        thread = QThread::currentThread();
        loop.quit();
    });
    EXPECT_EQ(calls, 0);                                  // never synchronously
    QTimer::singleShot(120000, &loop, &QEventLoop::quit); // a loaded machine is slow to start the engine
    loop.exec();
    QCoreApplication::processEvents(); // a second hand-back would arrive here
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(thread, QThread::currentThread());
    EXPECT_EQ(received.text, u"Ciao mondo"_s);
}
