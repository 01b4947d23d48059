#pragma once
// TextLayout: the one measurer and drawer of annotation, caption and label text, so that
// the size the model measures for a text box is exactly the size the renderer draws.
//
// Units: every length here is in canvas points, whatever the paint device. A font's point
// size is read as canvas points (as on a 72-dpi device). Text is shaped with hinting off at
// one fixed pixel size and scaled to its font size, so fractional sizes are exact and
// widths are linear in the size, and drawn as positioned glyph runs under the painter's
// transform: glyph positions do not depend on the target's DPI or on the zoom.
//
// Fonts made here are meant for the functions of this namespace. Drawing one with
// QPainter::drawText would convert its point size with the target device's DPI.
//
// Caches: measuring memoises box sizes in a small least-recently-used cache, and outlined
// text keeps its glyph outlines and strokes in a bounded cache. Both belong to the calling
// thread (thread-local) and need no locks, so measuring and drawing are safe from any
// thread, and exports on a worker thread use that thread's own. They are pure memos: an
// entry depends only on its key (text, font, widths), so it never goes stale, except
// after the installed fonts change (see below).

#include "core/model/Geometry.h"
#include "core/model/Style.h"

#include <QFont>
#include <QString>

#include <optional>

class QPainter;

namespace vorlix {

namespace TextLayout {

// The family that stands for the system interface font and its "Helvetica" fallback.
inline constexpr const char* systemFontFamily = "DejaVu Sans";
// Fonts are never smaller than this many points.
inline constexpr double minimumFontSize = 4;
// Outline-only text strokes its glyph outlines with a pen this fraction of the font size.
inline constexpr double outlineWidthFraction = 0.18;

// The system interface font at `size` points (at least minimumFontSize), regular weight.
QFont systemFont(double size);

// The font of a style: `fontName`'s family (an unknown family is substituted by the font
// system) or the system font, at max(`fontSize`, 4) points, bold when `fontBold`.
QFont font(const Style& style);

// The inner margin of a text box on every side: 8 with a border or a fill, else 4.
double padding(const Style& style);

// Text with what it is drawn with, the counterpart of an attributed string.
struct AttributedText {
    QString text;
    QFont font;
    RGBAColor color; // the fill of the glyphs
    TextAlignment alignment = TextAlignment::left;
    // Set for the outline pass: the glyph outlines are stroked in this colour with a pen of
    // outlineWidth points and round joins, and not filled.
    std::optional<RGBAColor> outlineColor;
    double outlineWidth = 0;
};

// `text` with the style's font, `strokeColor` as its colour and its alignment; with
// `outlineOnly`, stroked with 18 % of the font size in `Style::textOutlineColor()`.
AttributedText attributedString(const QString& text, const Style& style, bool outlineOnly);

// The size of a whole text box, padding included. `width` is the fixed width of a box
// that wraps (returned unchanged; the text wraps at max(width - 2p, 10)), absent for a
// box that grows with its text. Empty text measures like "M" (one line high), and a final
// line feed counts as one more line. Memoised per thread by text, font, padding and width.
Size size(const QString& text, const Style& style, std::optional<double> width);

// Draws the text of a box whose top-left corner is `point`, or, with a `frame`, at the
// frame's left edge centred vertically in it but never above its top. With `textOutline`
// an outline pass is drawn first, then the filled glyphs over it. Empty text draws
// nothing. The painter's state is left as it was found.
void draw(const QString& text, const Style& style, Point point, QPainter& painter,
          const std::optional<Rect>& frame = std::nullopt);

// Drops the calling thread's memoised sizes, line metrics and layouts (after fonts
// were added, or to time a cold measure).
void clearSizeCache();

// A text alignment as Qt lays out lines; left and right stay so in right-to-left text.
Qt::Alignment alignment(TextAlignment alignment);

// One line of text, for labels that are placed by their bounds (number badges, stamps,
// measure pills). Line breaks in the text are laid out as spaces.
struct LineMetrics {
    double advance = 0; // typographic width
    double ascent = 0;  // above the baseline, positive
    double descent = 0; // below the baseline, positive
    // The union of the glyph outlines relative to the baseline origin, y downward; null
    // when nothing has ink (blank text).
    Rect glyphBounds = Rect::null();

    // Relative to the baseline origin, y downward.
    Rect typographicBounds() const { return {0, -ascent, advance, ascent + descent}; }
    // The baseline origin that centres the glyph outlines on `center` (the line's own box
    // when it has no ink).
    Point originCenteringGlyphs(Point center) const;
    // The baseline origin that centres the typographic box on `center`.
    Point originCenteringTypographicBox(Point center) const;
};

LineMetrics lineMetrics(const QString& text, const QFont& font);

// Draws one line filled in `color` with its baseline starting at `baselineOrigin`.
void drawLine(const QString& text, const QFont& font, const RGBAColor& color, Point baselineOrigin, QPainter& painter);

} // namespace TextLayout

} // namespace vorlix
