#include "core/analysis/TextLineFinder.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace vorlix;
namespace tr = vorlix::TextRecognition;

namespace {

struct Words {
    QString text;
    double x;
    double baseline;
    int pixelSize;
};

QImage renderWords(QSize size, const std::vector<Words>& words, QColor ink = Qt::black, QColor ground = Qt::white)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(ground);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(ink);
    for (const Words& w : words) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(w.pixelSize);
        painter.setFont(font);
        painter.drawText(QPointF(w.x, w.baseline), w.text);
    }
    return image;
}

} // namespace

TEST(TextLines, BoxesMergeIntoLinesByTheirCentres)
{
    struct Case {
        const char* name;
        std::vector<Rect> boxes;
        std::vector<Rect> expected;
    };
    const Case cases[] = {
        {"two words of one line with slightly different heights",
         {{120, 12, 60, 14}, {10, 10, 80, 18}},
         {{10, 10, 170, 18}}},
        {"centres further apart than half the smaller height",
         {{10, 10, 80, 16}, {10, 19, 80, 16}},
         {{10, 10, 80, 16}, {10, 19, 80, 16}}},
        {"lines come out top to bottom whatever the input order",
         {{10, 50, 50, 10}, {10, 30, 50, 10}, {70, 31, 20, 10}, {10, 10, 50, 10}},
         {{10, 10, 50, 10}, {10, 30, 80, 11}, {10, 50, 50, 10}}},
        {"nothing in, nothing out", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(tr::mergeIntoLines(c.boxes), c.expected);
    }
}

TEST(TextLines, RenderedLinesAreFoundTopToBottom)
{
    // Dark on light and light on dark (a dark-mode screenshot) give the same lines.
    const std::vector<Words> words{
        {QStringLiteral("Perché la città è già più bella"), 12, 30, 15},
        {QStringLiteral("seconda riga di testo"), 12, 60, 15},
        {QStringLiteral("terza"), 12, 90, 15},
        {QStringLiteral("e un'altra colonna"), 300, 90, 15},
    };
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(15);
    const QFontMetricsF metrics(font);
    for (const bool dark : {false, true}) {
        SCOPED_TRACE(dark ? "light on dark" : "dark on light");
        const QImage image = dark ? renderWords({480, 110}, words, QColor(230, 230, 230), QColor(30, 30, 36))
                                  : renderWords({480, 110}, words);
        const std::vector<Rect> lines = tr::textLines(image);
        ASSERT_EQ(lines.size(), 3u);
        const double baselines[] = {30, 60, 90};
        for (std::size_t i = 0; i < lines.size(); ++i) {
            SCOPED_TRACE(i);
            // Ink of mixed-case text spans roughly cap height above the baseline plus
            // descenders below it.
            EXPECT_NEAR(lines[i].minY(), baselines[i] - metrics.capHeight(), 2.5);
            EXPECT_GE(lines[i].height(), metrics.capHeight() - 1);
            EXPECT_LT(lines[i].height(), metrics.height() + 2);
            EXPECT_NEAR(lines[i].minX(), 12, 2);
        }
        EXPECT_GT(lines[2].maxX(), 300 + metrics.horizontalAdvance(QStringLiteral("e un'altra")));
    }
}

TEST(TextLines, WordsOfDifferentSizesOnOneBaselineMakeOneLine)
{
    const QImage image =
        renderWords({400, 60}, {{QStringLiteral("Titolo"), 10, 40, 22}, {QStringLiteral("sottotitolo"), 120, 40, 13}});
    const std::vector<Rect> lines = tr::textLines(image);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NEAR(lines[0].minX(), 10, 2);
    EXPECT_GT(lines[0].maxX(), 170); // reaches into the second word
}

TEST(TextLines, ImagesWithoutInkHaveNoLines)
{
    QImage white(200, 40, QImage::Format_RGB32);
    white.fill(Qt::white);
    QImage transparent(200, 40, QImage::Format_ARGB32);
    transparent.fill(Qt::transparent);
    QImage faint(200, 40, QImage::Format_RGB32);
    faint.fill(Qt::white);
    QPainter(&faint).fillRect(20, 10, 100, 10, QColor(235, 235, 235)); // a barely visible panel edge

    EXPECT_TRUE(tr::textLines(white).empty());
    EXPECT_TRUE(tr::textLines(transparent).empty());
    EXPECT_TRUE(tr::textLines(faint).empty());
    EXPECT_TRUE(tr::textLines(QImage()).empty());
}
