#include "core/shapes/TextLayout.h"

#include "core/shapes/GlyphOutlineCache.h"
#include "core/shapes/QtConversions.h"
#include "core/shapes/TextSizeCache.h"

#include <QGlyphRun>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QTextLayout>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <memory>
#include <unordered_map>

namespace vorlix::TextLayout {

Qt::Alignment alignment(TextAlignment alignment)
{
    switch (alignment) {
    case TextAlignment::left:
        return Qt::AlignLeft | Qt::AlignAbsolute;
    case TextAlignment::center:
        return Qt::AlignHCenter;
    case TextAlignment::right:
        return Qt::AlignRight | Qt::AlignAbsolute;
    }
    return Qt::AlignLeft | Qt::AlignAbsolute;
}

namespace {

// Font sizes from files can be anything; glyphs far beyond this would overflow the
// rasteriser's fixed-point coordinates, so larger sizes are laid out at this size.
constexpr double maximumFontSize = 2000;
// Stands for "no width limit": far wider than any canvas, and inside the layout engine's
// fixed-point range even at the smallest font size.
constexpr double unwrappedWidth = 1e5;
constexpr std::size_t sizeCacheCapacity = 512;
constexpr std::size_t glyphCacheCapacity = 4096;
constexpr std::size_t metricsCacheCapacity = 512;
constexpr std::size_t layoutCacheCapacity = 256;
// Text is shaped at this one pixel size and scaled to its font size. The font engines
// round pixel sizes to whole pixels, so shaping at the real size would make a 22.6-point
// font as wide as a 23-point one; with hinting off, glyph advances and outlines scale
// linearly, so this keeps every size exact and independent of any device DPI.
constexpr int referencePixelSize = 128;

double clampedFontSize(double size)
{
    if (!(size >= minimumFontSize)) // NaN too
        return minimumFontSize;
    return std::min(size, maximumFontSize);
}

QFont canvasFont(const QString& family, double size)
{
    QFont f(family);
    f.setPointSizeF(clampedFontSize(size));
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferOutline);
    return f;
}

// A font as it is shaped: at the reference pixel size, with the factor from there to
// canvas points.
struct ShapingFont {
    QFont font;
    double scale = 1;
};

ShapingFont shapingFont(const QFont& canvas)
{
    const double size = clampedFontSize(canvas.pointSizeF() > 0 ? canvas.pointSizeF() : canvas.pixelSize());
    ShapingFont result{canvas, size / referencePixelSize};
    result.font.setPixelSize(referencePixelSize);
    result.font.setHintingPreference(QFont::PreferNoHinting);
    return result;
}

// Every kind of line break becomes the layout engine's line separator; a bare "\n"
// would be laid out as a glyph.
QString withLineSeparators(QString text)
{
    text.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
    text.replace(QChar(u'\r'), QChar::LineSeparator);
    text.replace(QChar(u'\n'), QChar::LineSeparator);
    text.replace(QChar::ParagraphSeparator, QChar::LineSeparator);
    return text;
}

// Text laid out in lines stacked from y = 0 downward, in the units of the shaping font.
class ShapedText {
public:
    // Lines `lineWidth` canvas points wide, wrapping at word boundaries or anywhere.
    ShapedText(const AttributedText& text, double lineWidth)
        : m_font(shapingFont(text.font)), m_layout(withLineSeparators(text.text), m_font.font)
    {
        QTextOption option(alignment(text.alignment));
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        option.setUseDesignMetrics(true);
        m_layout.setTextOption(option);
        double y = 0;
        m_layout.beginLayout();
        for (QTextLine line = m_layout.createLine(); line.isValid(); line = m_layout.createLine()) {
            line.setLeadingIncluded(true);
            line.setLineWidth(lineWidth / m_font.scale);
            line.setPosition(QPointF(0, y));
            y += line.ascent() + line.descent() + std::max(line.leading(), 0.0);
            m_width = std::max(m_width, line.naturalTextWidth());
        }
        m_layout.endLayout();
        m_height = y;
    }

    // One line, never wrapped, line breaks as spaces.
    explicit ShapedText(const QString& text, const QFont& font)
        : m_font(shapingFont(font)), m_layout(singleLineText(text), m_font.font)
    {
        QTextOption option(Qt::AlignLeft | Qt::AlignAbsolute);
        option.setWrapMode(QTextOption::NoWrap);
        option.setUseDesignMetrics(true);
        m_layout.setTextOption(option);
        m_layout.beginLayout();
        QTextLine line = m_layout.createLine();
        if (line.isValid()) {
            line.setLineWidth(unwrappedWidth / m_font.scale);
            line.setPosition(QPointF(0, 0));
            m_width = line.naturalTextWidth();
            m_ascent = line.ascent();
            m_descent = line.descent();
        }
        m_layout.endLayout();
    }

    double scale() const { return m_font.scale; }
    // Canvas points.
    double width() const { return m_width * m_font.scale; }
    double height() const { return m_height * m_font.scale; }
    double ascent() const { return m_ascent * m_font.scale; }
    double descent() const { return m_descent * m_font.scale; }

    // The glyph outlines in canvas points, the layout's top-left corner at the origin.
    QPainterPath outlines() const
    {
        QPainterPath path;
        path.setFillRule(Qt::WindingFill);
        forEachGlyph([&path](const QRawFont& raw, quint32 glyph, QPointF position) {
            path.addPath(glyphCache().outline(raw, glyph).translated(position));
        });
        return QTransform::fromScale(m_font.scale, m_font.scale).map(path);
    }

    // Draws the glyphs filled, or only their outlines stroked for an outline pass, with
    // the layout's top-left corner at the painter's origin.
    void draw(const AttributedText& text, QPainter& painter) const
    {
        painter.save();
        painter.scale(m_font.scale, m_font.scale);
        if (text.outlineColor) {
            // Glyph by glyph: one path of all the strokes fills far more slowly, and the
            // outline colours are opaque, so overlapping strokes show no seams.
            const QBrush brush(toQColor(*text.outlineColor));
            const double width = text.outlineWidth / m_font.scale;
            forEachGlyph([&](const QRawFont& raw, quint32 glyph, QPointF position) {
                painter.translate(position);
                painter.fillPath(glyphCache().stroke(raw, glyph, width), brush);
                painter.translate(-position);
            });
        } else {
            painter.setPen(toQColor(text.color));
            for (const QGlyphRun& run : m_layout.glyphRuns())
                painter.drawGlyphRun(QPointF(0, 0), run);
        }
        painter.restore();
    }

private:
    template <typename F>
    void forEachGlyph(F&& f) const
    {
        for (const QGlyphRun& run : m_layout.glyphRuns()) {
            const QRawFont raw = run.rawFont();
            const QList<quint32> glyphs = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            for (qsizetype i = 0; i < glyphs.size() && i < positions.size(); ++i)
                f(raw, glyphs[i], positions[i]);
        }
    }

    static GlyphOutlineCache& glyphCache()
    {
        static thread_local GlyphOutlineCache cache(glyphCacheCapacity);
        return cache;
    }

    static QString singleLineText(const QString& text)
    {
        QString flat = withLineSeparators(text);
        flat.replace(QChar::LineSeparator, QChar(u' '));
        return flat;
    }

    ShapingFont m_font;
    QTextLayout m_layout;
    double m_width = 0;
    double m_height = 0;
    double m_ascent = 0;
    double m_descent = 0;
};

// The layout width of a box: max(width - 2p, 10), or no limit without a width.
double layoutWidth(std::optional<double> width, double p)
{
    if (!width)
        return unwrappedWidth;
    const double w = *width - 2 * p;
    return w > 10 ? std::min(w, unwrappedWidth) : 10;
}

TextSizeCache& sizeCache()
{
    static thread_local TextSizeCache cache(sizeCacheCapacity);
    return cache;
}

// Line metrics by font and text: badges, stamps and measure labels are measured on every
// redraw, and shaping costs far more than the look-up. Bounded: when full it starts
// afresh. One per thread.
std::unordered_map<QString, LineMetrics>& metricsCache()
{
    static thread_local std::unordered_map<QString, LineMetrics> cache;
    return cache;
}

// The metrics cache's key: everything about the font that shaping reads, and the text.
QString metricsKey(const QString& text, const QFont& font)
{
    return font.key() + QChar(u'\x1f') + font.families().join(QChar(u'\x1e')) + QChar(u'\x1f') + text;
}

// Laid-out text by font, alignment, line width and text: text boxes are laid out again
// on every redraw, and shaping costs far more than the look-up. Bounded: when full it
// starts afresh. One per thread.
std::unordered_map<QString, std::shared_ptr<const ShapedText>>& layoutCache()
{
    static thread_local std::unordered_map<QString, std::shared_ptr<const ShapedText>> cache;
    return cache;
}

std::shared_ptr<const ShapedText> shapedLines(const AttributedText& text, double lineWidth)
{
    auto& cache = layoutCache();
    QString key = QString::number(static_cast<int>(text.alignment)) + QChar(u'\x1f') +
                  QString::number(lineWidth, 'g', 17) + QChar(u'\x1f') + metricsKey(text.text, text.font);
    if (const auto it = cache.find(key); it != cache.end())
        return it->second;
    auto shaped = std::make_shared<const ShapedText>(text, lineWidth);
    if (cache.size() >= layoutCacheCapacity)
        cache.clear();
    cache.emplace(std::move(key), shaped);
    return shaped;
}

} // namespace

QFont systemFont(double size) { return canvasFont(QString::fromLatin1(systemFontFamily), size); }

QFont font(const Style& style)
{
    QFont f = style.fontName ? canvasFont(*style.fontName, style.fontSize) : systemFont(style.fontSize);
    if (style.fontBold)
        f.setWeight(QFont::Bold);
    return f;
}

double padding(const Style& style) { return style.hasTextBox() ? 8 : 4; }

AttributedText attributedString(const QString& text, const Style& style, bool outlineOnly)
{
    AttributedText result{text, font(style), style.strokeColor, style.textAlignment, std::nullopt, 0};
    if (outlineOnly) {
        result.outlineColor = style.textOutlineColor();
        result.outlineWidth = outlineWidthFraction * result.font.pointSizeF();
    }
    return result;
}

Size size(const QString& text, const Style& style, std::optional<double> width)
{
    TextSizeCache& cache = sizeCache();
    const double p = padding(style);
    TextSizeKey key{text, style.fontName, clampedFontSize(style.fontSize), style.fontBold, p, width};
    // A NaN width never equals itself, so it could never be found again.
    const bool cacheable = !width || !std::isnan(*width);
    if (cacheable) {
        if (const std::optional<Size> known = cache.find(key))
            return *known;
    }

    QString measured = text;
    if (text.isEmpty())
        measured = QStringLiteral("M");
    else if (text.endsWith(QChar(u'\n')))
        measured += QChar(u'M');

    const ShapedText shaped(attributedString(measured, style, false), layoutWidth(width, p));
    const Size laid{shaped.width(), shaped.height()};
    const Size result{width ? *width : std::ceil(laid.width) + 2 * p, std::ceil(laid.height) + 2 * p};
    if (cacheable)
        cache.insert(std::move(key), result);
    return result;
}

void draw(const QString& text, const Style& style, Point point, QPainter& painter, const std::optional<Rect>& frame)
{
    if (text.isEmpty())
        return;
    const std::optional<double> width = frame ? std::optional<double>(frame->width()) : std::nullopt;
    const Size box = size(text, style, width);
    const double p = padding(style);
    const Point corner =
        frame ? Point{frame->minX(), frame->minY() + std::max((frame->height() - box.height) * 0.5, 0.0)} : point;
    // A box that grows with its text is drawn one point wider than measured, so that
    // rounding can never force a wrap. A wrapping box is drawn at exactly its measured
    // layout width (the same engine breaks the same lines): any other width, wider or, for
    // boxes narrower than 2p + 10, narrower, could break into other lines than measured.
    const double lineWidth = width ? layoutWidth(width, p) : box.width - 2 * p + 1;

    painter.save();
    painter.translate(corner.x + p, corner.y + p);
    const bool outlined = style.textOutline;
    for (const bool outlineOnly : {true, false}) {
        if (outlineOnly && !outlined)
            continue;
        const AttributedText pass = attributedString(text, style, outlineOnly);
        shapedLines(pass, lineWidth)->draw(pass, painter);
    }
    painter.restore();
}

void clearSizeCache()
{
    sizeCache().clear();
    metricsCache().clear();
    layoutCache().clear();
}

Point LineMetrics::originCenteringGlyphs(Point center) const
{
    const Rect box = glyphBounds.isNull() ? typographicBounds() : glyphBounds;
    return {center.x - box.midX(), center.y - box.midY()};
}

Point LineMetrics::originCenteringTypographicBox(Point center) const
{
    return {center.x - advance / 2, center.y + (ascent - descent) / 2};
}

LineMetrics lineMetrics(const QString& text, const QFont& font)
{
    auto& cache = metricsCache();
    QString key = metricsKey(text, font);
    if (const auto it = cache.find(key); it != cache.end())
        return it->second;
    const ShapedText line(text, font);
    LineMetrics m{line.width(), line.ascent(), line.descent(), Rect::null()};
    const QRectF ink = line.outlines().boundingRect();
    if (!ink.isEmpty())
        m.glyphBounds = Rect::fromQt(ink.translated(0, -line.ascent()));
    if (cache.size() >= metricsCacheCapacity)
        cache.clear();
    cache.emplace(std::move(key), m);
    return m;
}

void drawLine(const QString& text, const QFont& font, const RGBAColor& color, Point baselineOrigin, QPainter& painter)
{
    const ShapedText line(text, font);
    painter.save();
    painter.translate(baselineOrigin.x, baselineOrigin.y - line.ascent());
    line.draw(AttributedText{text, font, color, TextAlignment::left, std::nullopt, 0}, painter);
    painter.restore();
}

} // namespace vorlix::TextLayout
