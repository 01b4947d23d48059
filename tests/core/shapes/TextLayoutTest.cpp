#include "core/shapes/TextLayout.h"
#include "core/shapes/GlyphOutlineCache.h"
#include "core/shapes/TextSizeCache.h"

#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QRawFont>

#include <gtest/gtest.h>

#include <cmath>

using namespace vorlix;

namespace {

Style textStyle(double fontSize = 22)
{
    Style s = Style::defaults(AnnotationKind::text);
    s.fontSize = fontSize;
    s.fill = FillMode::none;
    s.textBoxBorder = false;
    return s;
}

// DejaVu Sans's ascender and descender as fractions of the em (hhea 1901 and 483 of 2048).
constexpr double dejaVuAscent = 1901.0 / 2048;
constexpr double dejaVuDescent = 483.0 / 2048;

// Draws into a transparent image of `canvas` points at `scale` device pixels per point.
QImage render(const QString& text, const Style& style, Point at, const std::optional<Rect>& frame, Size canvas,
              double scale, int dpi = 96)
{
    QImage image(static_cast<int>(std::ceil(canvas.width * scale)), static_cast<int>(std::ceil(canvas.height * scale)),
                 QImage::Format_ARGB32_Premultiplied);
    const int dotsPerMeter = static_cast<int>(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    TextLayout::draw(text, style, at, painter, frame);
    return image;
}

// The smallest pixel rectangle holding every pixel with any ink; null when there is none.
QRect inkBox(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(row[x]) > 0)
                box |= QRect(x, y, 1, 1);
    }
    return box;
}

} // namespace

TEST(TextLayout, FontsFollowTheStyle)
{
    struct Case {
        const char* name;
        std::optional<QString> family;
        double fontSize;
        bool bold;
        const char* expectedFamily;
        double expectedSize;
    };
    const Case cases[] = {
        {"system font", std::nullopt, 22, false, "DejaVu Sans", 22},
        {"named family, bold", QStringLiteral("DejaVu Serif"), 13.5, true, "DejaVu Serif", 13.5},
        {"too small", std::nullopt, 2, false, "DejaVu Sans", 4},
        {"not a number", std::nullopt, std::nan(""), false, "DejaVu Sans", 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Style s = textStyle(c.fontSize);
        s.fontName = c.family;
        s.fontBold = c.bold;
        const QFont f = TextLayout::font(s);
        EXPECT_EQ(QFontInfo(f).family(), QString::fromLatin1(c.expectedFamily));
        EXPECT_DOUBLE_EQ(f.pointSizeF(), c.expectedSize);
        EXPECT_EQ(f.bold(), c.bold);
        EXPECT_EQ(f.hintingPreference(), QFont::PreferNoHinting);
    }

    Style unknown = textStyle();
    unknown.fontName = QStringLiteral("Nessuna Famiglia Così");
    EXPECT_FALSE(QFontInfo(TextLayout::font(unknown)).family().isEmpty());
    EXPECT_GT(TextLayout::size(QStringLiteral("Testo"), unknown, std::nullopt).width, 8);
}

TEST(TextLayout, PaddingGrowsWithABorderOrAFill)
{
    Style plain = textStyle();
    Style bordered = plain;
    bordered.textBoxBorder = true;
    Style filled = plain;
    filled.fill = FillMode::translucent;
    EXPECT_EQ(TextLayout::padding(plain), 4);
    EXPECT_EQ(TextLayout::padding(bordered), 8);
    EXPECT_EQ(TextLayout::padding(filled), 8);

    const QString text = QStringLiteral("Due righe\ndi testo");
    const Size a = TextLayout::size(text, plain, std::nullopt);
    const Size b = TextLayout::size(text, bordered, std::nullopt);
    EXPECT_EQ(b.width, a.width + 8);
    EXPECT_EQ(b.height, a.height + 8);
}

TEST(TextLayout, AttributedTextCarriesColourAlignmentAndAContrastingOutline)
{
    struct Case {
        RGBAColor color;
        RGBAColor outline;
    };
    const Case cases[] = {
        {RGBAColor::white(), RGBAColor::hex("#1C1C1E")},
        {RGBAColor::black(), RGBAColor::white()},
        {RGBAColor{1, 1, 0, 0.5}, RGBAColor::hex("#1C1C1E")}, // luma 0.93
        {RGBAColor{1, 0.2, 0.2, 1}, RGBAColor::white()},      // luma 0.37
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.color.hexString().toStdString());
        Style s = textStyle(30);
        s.strokeColor = c.color;
        s.textAlignment = TextAlignment::right;
        const TextLayout::AttributedText fill = TextLayout::attributedString(QStringLiteral("Ciao"), s, false);
        EXPECT_EQ(fill.text, QStringLiteral("Ciao"));
        EXPECT_EQ(fill.color, c.color);
        EXPECT_EQ(fill.alignment, TextAlignment::right);
        EXPECT_FALSE(fill.outlineColor);

        const TextLayout::AttributedText outline = TextLayout::attributedString(QStringLiteral("Ciao"), s, true);
        EXPECT_EQ(outline.outlineColor, c.outline);
        EXPECT_DOUBLE_EQ(outline.outlineWidth, 0.18 * 30);
    }
}

TEST(TextLayout, BoxesMeasureInCanvasPoints)
{
    // One line is ascent + descent of the font in canvas points, whatever the screen's DPI.
    for (const double fontSize : {8.0, 22.0, 37.5}) {
        SCOPED_TRACE(fontSize);
        const Size m = TextLayout::size(QStringLiteral("M"), textStyle(fontSize), std::nullopt);
        EXPECT_EQ(m.height, std::ceil(fontSize * (dejaVuAscent + dejaVuDescent) - 1e-9) + 8);
        const TextLayout::LineMetrics line =
            TextLayout::lineMetrics(QStringLiteral("M"), TextLayout::font(textStyle(fontSize)));
        EXPECT_NEAR(line.ascent, fontSize * dejaVuAscent, 0.02);
        EXPECT_NEAR(line.descent, fontSize * dejaVuDescent, 0.02);
        EXPECT_EQ(m.width, std::ceil(line.advance) + 8);
    }
}

TEST(TextLayout, FractionalSizesScaleExactly)
{
    // Hinting off and no whole-pixel font sizes: widths are linear in the font size.
    const QString text = QStringLiteral("Il testo scala in modo lineare, 0123456789");
    Style s = textStyle(11.3);
    const double small = TextLayout::lineMetrics(text, TextLayout::font(s)).advance;
    s.fontSize = 22.6;
    const double large = TextLayout::lineMetrics(text, TextLayout::font(s)).advance;
    s.fontSize = 23;
    const double larger = TextLayout::lineMetrics(text, TextLayout::font(s)).advance;
    EXPECT_NEAR(large, 2 * small, 1e-3 * large);
    EXPECT_NEAR(larger / large, 23 / 22.6, 1e-4);
}

TEST(TextLayout, LineMetricsFollowTheWeightAndFamilyAcrossRepeatedMeasures)
{
    // Metrics are memoised: repeated measures agree, and a font differing only in weight
    // or family is measured for itself.
    const QString text = QStringLiteral("Salva il documento");
    Style s = textStyle(20);
    s.fontBold = false;
    const QFont regular = TextLayout::font(s);
    s.fontBold = true;
    const QFont bold = TextLayout::font(s);
    QFont mono = regular;
    mono.setFamilies({QStringLiteral("DejaVu Sans Mono")});
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        const double r = TextLayout::lineMetrics(text, regular).advance;
        const double b = TextLayout::lineMetrics(text, bold).advance;
        const double m = TextLayout::lineMetrics(text, mono).advance;
        EXPECT_GT(b, r * 1.03);
        EXPECT_NE(m, r);
        EXPECT_DOUBLE_EQ(TextLayout::lineMetrics(text, regular).advance, r);
    }
}

TEST(TextLayout, RedrawsRelayOutForAnotherWidthOrAlignment)
{
    // Layouts are kept between draws: a box drawn again narrower wraps again, and a
    // right-aligned box is not drawn with a left-aligned layout.
    const QString text = QStringLiteral("Fare clic qui e poi su Salva");
    Style s = textStyle(20);
    const auto ink = [&](double width, TextAlignment alignment) {
        s.textAlignment = alignment;
        return inkBox(render(text, s, {}, Rect{10, 10, width, 200}, {420, 220}, 1));
    };
    for (int round = 0; round < 2; ++round) { // the second round meets kept layouts
        SCOPED_TRACE(round);
        const QRect wide = ink(400, TextAlignment::left);
        const QRect narrow = ink(150, TextAlignment::left);
        const QRect right = ink(400, TextAlignment::right);
        EXPECT_GT(narrow.height(), 2 * wide.height());
        EXPECT_LT(narrow.width(), wide.width());
        EXPECT_GT(right.left(), wide.left() + 20);
        EXPECT_EQ(right.width(), wide.width());
    }
}

TEST(TextLayout, EmptyTextAndFinalLineFeedsMeasureAsLines)
{
    const Style s = textStyle();
    const Size one = TextLayout::size(QStringLiteral("abc"), s, std::nullopt);
    const Size two = TextLayout::size(QStringLiteral("abc\nabc"), s, std::nullopt);
    ASSERT_GT(two.height, one.height);
    const double lineHeight = two.height - one.height;

    struct Case {
        const char* text;
        int lines;
    };
    const Case cases[] = {{"", 1}, {"abc", 1}, {"abc\n", 2}, {"abc\n\n", 3}, {"a\r\nb", 2}, {"a\rb\nc", 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const Size z = TextLayout::size(QString::fromUtf8(c.text), s, std::nullopt);
        EXPECT_NEAR(z.height, one.height + (c.lines - 1) * lineHeight, 1);
    }
    EXPECT_EQ(TextLayout::size(QString(), s, std::nullopt), TextLayout::size(QStringLiteral("M"), s, std::nullopt));
    EXPECT_EQ(TextLayout::size(QStringLiteral("x"), textStyle(2), std::nullopt),
              TextLayout::size(QStringLiteral("x"), textStyle(4), std::nullopt));
}

TEST(TextLayout, AGivenWidthIsKeptAndWrapsTheText)
{
    const Style s = textStyle();
    const QString text = QStringLiteral("Una frase abbastanza lunga da andare a capo");
    const Size free = TextLayout::size(text, s, std::nullopt);
    const Size wrapped = TextLayout::size(text, s, 150.5);
    EXPECT_EQ(wrapped.width, 150.5);
    EXPECT_GT(wrapped.height, free.height);

    // Narrower than 2p + 10: laid out 10 points wide (a few letters per line), width kept.
    const Size narrow = TextLayout::size(QStringLiteral("abcdef"), s, 12);
    EXPECT_EQ(narrow.width, 12);
    EXPECT_GT(narrow.height, 3 * (TextLayout::size(QStringLiteral("a"), s, std::nullopt).height - 8));
    EXPECT_EQ(TextLayout::size(QStringLiteral("abcdef"), s, -40), (Size{-40, narrow.height}));
    // A NaN width is not remembered, and still measures.
    EXPECT_EQ(TextLayout::size(QStringLiteral("abcdef"), s, std::nan("")).height, narrow.height);
}

TEST(TextLayout, RememberedSizesMatchFreshOnes)
{
    Style bold = textStyle();
    Style regular = bold;
    regular.fontBold = false;
    Style serif = bold;
    serif.fontName = QStringLiteral("DejaVu Serif");
    Style bordered = bold;
    bordered.textBoxBorder = true;
    const Style styles[] = {bold, regular, serif, bordered, textStyle(40)};
    const std::optional<double> widths[] = {std::nullopt, 60.0, 200.0};
    const QString text = QStringLiteral("Misura ripetuta del testo");

    std::vector<Size> first;
    for (const Style& s : styles)
        for (const auto& w : widths)
            first.push_back(TextLayout::size(text, s, w));
    TextLayout::clearSizeCache();
    std::size_t i = 0;
    for (const Style& s : styles)
        for (const auto& w : widths) {
            SCOPED_TRACE(i);
            EXPECT_EQ(TextLayout::size(text, s, w), first[i++]);
        }
    // Different keys do not answer for one another.
    EXPECT_GT(first[0].width, first[3].width);   // bold wider than regular
    EXPECT_NE(first[0].height, first[1].height); // wrapped at 60
}

TEST(TextSizeCache, DropsTheLeastRecentlyUsedEntry)
{
    TextSizeCache cache(2);
    const auto key = [](const char* text, std::optional<double> width = std::nullopt) {
        return TextSizeKey{QString::fromLatin1(text), std::nullopt, 22, true, 4, width};
    };
    cache.insert(key("a"), {1, 1});
    cache.insert(key("b"), {2, 2});
    EXPECT_EQ(cache.find(key("a")), (Size{1, 1})); // "a" is now the most recent
    cache.insert(key("c"), {3, 3});
    EXPECT_EQ(cache.count(), 2u);
    EXPECT_FALSE(cache.find(key("b")));
    EXPECT_TRUE(cache.find(key("a")));
    EXPECT_FALSE(cache.find(key("a", 100))); // the width is part of the key
    cache.insert(key("a"), {9, 9});
    EXPECT_EQ(cache.find(key("a")), (Size{9, 9}));
    EXPECT_EQ(cache.count(), 2u);
}

TEST(GlyphOutlineCache, StrokesFollowTheWidthAndTheCacheStaysBounded)
{
    QFont f = TextLayout::systemFont(10);
    f.setPixelSize(100);
    const QRawFont raw = QRawFont::fromFont(f);
    const QList<quint32> glyphs = raw.glyphIndexesForString(QStringLiteral("Hoa"));
    ASSERT_EQ(glyphs.size(), 3);

    GlyphOutlineCache cache(2);
    const QRectF outline = cache.outline(raw, glyphs[0]).boundingRect();
    ASSERT_FALSE(outline.isEmpty());
    for (const double width : {10.0, 30.0, 10.0}) {
        SCOPED_TRACE(width);
        const QRectF stroke = cache.stroke(raw, glyphs[0], width).boundingRect();
        EXPECT_NEAR(stroke.left(), outline.left() - width / 2, 0.5);
        EXPECT_NEAR(stroke.bottom(), outline.bottom() + width / 2, 0.5);
    }
    cache.outline(raw, glyphs[1]);
    cache.outline(raw, glyphs[2]);
    EXPECT_LE(cache.count(), 2u);
    EXPECT_EQ(cache.outline(raw, glyphs[0]).boundingRect(), outline);
}

TEST(TextLayoutDrawing, InkStaysInsideTheMeasuredBoxAtEveryScale)
{
    Style outlined = textStyle(30);
    outlined.textOutline = true;
    outlined.strokeColor = RGBAColor::white();
    Style right = textStyle(17.5);
    right.textAlignment = TextAlignment::right;
    right.fontBold = false;
    Style serif = textStyle(14);
    serif.fontName = QStringLiteral("DejaVu Serif");
    serif.fill = FillMode::solid;
    struct Case {
        const char* text;
        Style style;
    };
    const Case cases[] = {
        {"Ágj Qy|", textStyle()},
        {"Contorno\ng y", outlined},
        {"corta\nriga più lunga\n", right},
        {"W_f()", serif},
    };
    const Point at{10, 10};
    for (const Case& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        const Size box = TextLayout::size(text, c.style, std::nullopt);
        for (const double scale : {1.0, 2.0, 3.0}) {
            SCOPED_TRACE(testing::Message() << c.text << " at " << scale);
            const QRect ink = inkBox(render(text, c.style, at, std::nullopt, {box.width + 20, box.height + 20}, scale));
            ASSERT_FALSE(ink.isNull());
            EXPECT_GE(ink.left(), std::floor(at.x * scale));
            EXPECT_GE(ink.top(), std::floor(at.y * scale));
            EXPECT_LE(ink.right(), std::ceil((at.x + box.width) * scale));
            EXPECT_LE(ink.bottom(), std::ceil((at.y + box.height) * scale));
            // The text fills its box: its ink reaches close to the padding on the left.
            EXPECT_LE(ink.left(), (at.x + TextLayout::padding(c.style) + 4) * scale);
        }
    }
}

TEST(TextLayoutDrawing, DrawingDoesNotDependOnTheDeviceOrTheZoom)
{
    Style s = textStyle(19.3);
    s.textOutline = true;
    const QString text = QStringLiteral("Stessa misura\nsu ogni schermo");
    const Size box = TextLayout::size(text, s, std::nullopt);
    const Size canvas{box.width + 10, box.height + 10};
    const Point at{5, 5};

    const QImage at72 = render(text, s, at, std::nullopt, canvas, 1, 72);
    const QImage at96 = render(text, s, at, std::nullopt, canvas, 1, 96);
    EXPECT_TRUE(at72 == at96);

    const QRect base = inkBox(render(text, s, at, std::nullopt, canvas, 1));
    for (const double zoom : {2.0, 3.0}) {
        SCOPED_TRACE(zoom);
        const QRect ink = inkBox(render(text, s, at, std::nullopt, canvas, zoom));
        EXPECT_NEAR(ink.left(), base.left() * zoom, zoom + 1);
        EXPECT_NEAR(ink.top(), base.top() * zoom, zoom + 1);
        EXPECT_NEAR(ink.right() + 1, (base.right() + 1) * zoom, zoom + 1);
        EXPECT_NEAR(ink.bottom() + 1, (base.bottom() + 1) * zoom, zoom + 1);
    }
}

TEST(TextLayoutDrawing, LinesFollowTheAlignment)
{
    const QString text = QStringLiteral("ab\nabcdefghij");
    struct Case {
        TextAlignment alignment;
        double expectedOffset; // the short line's ink offset, as a share of the spare width
    };
    const Case cases[] = {{TextAlignment::left, 0}, {TextAlignment::center, 0.5}, {TextAlignment::right, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(enumText(c.alignment));
        Style s = textStyle(20);
        s.textAlignment = c.alignment;
        const Size box = TextLayout::size(text, s, std::nullopt);
        const QImage image = render(text, s, {0, 0}, std::nullopt, box, 2);
        const QRect firstLine = inkBox(image.copy(0, 0, image.width(), image.height() / 2));
        const QRect secondLine = inkBox(image.copy(0, image.height() / 2, image.width(), image.height() / 2));
        const double spare = secondLine.width() - firstLine.width();
        ASSERT_GT(spare, 40);
        EXPECT_NEAR(firstLine.left() - secondLine.left(), c.expectedOffset * spare, 4);
    }
}

TEST(TextLayoutDrawing, TheFillIsDrawnOverTheOutline)
{
    Style s = textStyle(60);
    s.strokeColor = RGBAColor::white();
    s.textOutline = true;
    const QImage image = render(QStringLiteral("I"), s, {0, 0}, std::nullopt, {60, 90}, 1);
    const QRect ink = inkBox(image);
    ASSERT_FALSE(ink.isNull());
    const QColor middle = image.pixelColor(ink.center());
    EXPECT_EQ(middle, QColor(Qt::white)); // the fill lies over the inner half
    const QColor edge = image.pixelColor(ink.left() + 2, ink.center().y());
    EXPECT_LT(edge.lightnessF(), 0.2); // the dark outline shows outside it
    EXPECT_GT(edge.alphaF(), 0.9);
}

TEST(TextLayoutDrawing, AFrameCentresTheTextVerticallyButNeverAboveItsTop)
{
    const Style s = textStyle();
    const QString text = QStringLiteral("Nel riquadro");
    const double width = 180;
    const Size box = TextLayout::size(text, s, width);
    const Size canvas{200, 120};
    const auto drawn = [&](Rect frame) { return render(text, s, {0, 0}, frame, canvas, 1); };

    // A tall frame: as a frame of exactly the text's height placed in its middle.
    EXPECT_TRUE(drawn(Rect(5, 5, width, 100)) == drawn(Rect(5, 5 + (100 - box.height) / 2, width, box.height)));
    // A short frame: the text starts at its top all the same.
    EXPECT_TRUE(drawn(Rect(5, 5, width, 4)) == drawn(Rect(5, 5, width, box.height)));
    // Without a frame the point is the box's corner.
    EXPECT_TRUE(
        render(text, s, {5, 5}, std::nullopt, canvas, 1) ==
        render(text, s, {0, 0}, Rect(5, 5, TextLayout::size(text, s, std::nullopt).width, box.height), canvas, 1));
    EXPECT_TRUE(inkBox(render(QString(), s, {5, 5}, std::nullopt, canvas, 1)).isNull());
}

TEST(TextLayoutDrawing, AWrappingFrameBreaksLinesWhereTheyWereMeasured)
{
    const Style s = textStyle(10);
    const double pairWidth = TextLayout::lineMetrics(QStringLiteral("mm mm"), TextLayout::font(s)).advance;
    struct Case {
        const char* name;
        const char* text;
        double fontSize;
        double frameWidth;
    };
    const Case cases[] = {
        // Narrower than 2p + 10: measured 10 points wide, one bold "m" (5.2 points) a line.
        {"narrow", "mmmmmmmm", 5, 14},
        // "mm mm" misses the layout width by half a point: one point more would join them.
        {"just too narrow", "mm mm mm mm", 10, pairWidth - 0.5 + 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Style style = textStyle(c.fontSize);
        const QString text = QString::fromLatin1(c.text);
        const Rect frame(10, 10, c.frameWidth, 1);
        const Size box = TextLayout::size(text, style, frame.width());
        const double lineHeight = c.fontSize * (dejaVuAscent + dejaVuDescent);
        ASSERT_GT(box.height - 8, 3.5 * lineHeight);
        const double scale = 2;
        const QRect ink = inkBox(render(text, style, {0, 0}, frame, {frame.maxX() + 80, box.height + 30}, scale));
        ASSERT_FALSE(ink.isNull());
        // The last drawn line is the last measured one.
        EXPECT_LE(ink.bottom(), (frame.minY() + box.height) * scale);
        EXPECT_GE(ink.bottom(), (frame.minY() + box.height - 4 - lineHeight) * scale);
    }
}

TEST(TextLayoutLines, GlyphAndTypographicBoundsCentreLabels)
{
    const QFont f = TextLayout::font(textStyle(40));
    const TextLayout::LineMetrics x = TextLayout::lineMetrics(QStringLiteral("x"), f);
    // Glyph bounds hug the ink: an "x" sits on the baseline, well below the ascent.
    EXPECT_NEAR(x.glyphBounds.maxY(), 0, 0.5);
    EXPECT_GT(x.glyphBounds.minY(), -x.ascent + 5);
    EXPECT_EQ(x.typographicBounds(), Rect(0, -x.ascent, x.advance, x.ascent + x.descent));

    const Point center{50, 40};
    const Point glyphOrigin = x.originCenteringGlyphs(center);
    EXPECT_NEAR(glyphOrigin.x + x.glyphBounds.midX(), center.x, 1e-9);
    EXPECT_NEAR(glyphOrigin.y + x.glyphBounds.midY(), center.y, 1e-9);
    const Point typoOrigin = x.originCenteringTypographicBox(center);
    EXPECT_NEAR(typoOrigin.x, center.x - x.advance / 2, 1e-9);
    EXPECT_NEAR(typoOrigin.y - x.ascent + (x.ascent + x.descent) / 2, center.y, 1e-9);

    // The drawn ink is centred where the glyph bounds say.
    for (const double scale : {1.0, 3.0}) {
        SCOPED_TRACE(scale);
        QImage image(static_cast<int>(100 * scale), static_cast<int>(80 * scale), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.scale(scale, scale);
        TextLayout::drawLine(QStringLiteral("x"), f, RGBAColor::black(), glyphOrigin, painter);
        painter.end();
        const QRect ink = inkBox(image);
        EXPECT_NEAR((ink.left() + ink.right() + 1) / 2.0, center.x * scale, 1);
        EXPECT_NEAR((ink.top() + ink.bottom() + 1) / 2.0, center.y * scale, 1);
    }

    const TextLayout::LineMetrics blank = TextLayout::lineMetrics(QStringLiteral("  "), f);
    EXPECT_TRUE(blank.glyphBounds.isNull());
    EXPECT_GT(blank.advance, 0);
    EXPECT_NEAR(blank.originCenteringGlyphs(center).y, center.y + (blank.ascent - blank.descent) / 2, 1e-9);
    // A line break inside a label is laid out as a space, on the one line.
    EXPECT_DOUBLE_EQ(TextLayout::lineMetrics(QStringLiteral("a\nb"), f).advance,
                     TextLayout::lineMetrics(QStringLiteral("a b"), f).advance);
}
