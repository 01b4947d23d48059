#include "app/capture/SelectionPainter.h"

#include "app/support/AccentColor.h"
#include "app/support/TextPill.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QRadialGradient>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

constexpr double loupeSide = 85;
constexpr double loupeGap = 26;   // between the pointer and the loupe
constexpr double loupeMargin = 4; // kept free at the screen's right and bottom edges
constexpr double blockSide = 5;   // one picture pixel in the loupe
constexpr int sampleSide = 17;    // picture pixels across the loupe
constexpr double shadowBlur = 10; // the loupe's shadow, as a blur radius
constexpr double shadowDrop = 3;  // and how far it falls below the loupe
constexpr double windowRadius = 10;
constexpr double labelGap = 6;
constexpr double hintTop = 40;
// How far antialiasing and rounding may reach beyond a shape's outline.
constexpr double bleed = 2;

QColor withAlpha(QColor color, double alpha)
{
    color.setAlphaF(static_cast<float>(alpha));
    return color;
}

QColor black(double alpha) { return withAlpha(Qt::black, alpha); }
QColor white(double alpha) { return withAlpha(Qt::white, alpha); }
QColor systemAccent(double alpha) { return withAlpha(QGuiApplication::palette().color(QPalette::Highlight), alpha); }
QColor appAccent(double alpha) { return withAlpha(vorlixAccent(), alpha); }

QColor pillFill() { return black(0.75); }

QFont sized(QFont font, int pixelSize, QFont::Weight weight)
{
    font.setPixelSize(pixelSize); // the overlay's points are logical pixels
    font.setWeight(weight);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

bool hasTabularDigits(const QFont& font)
{
    const QFontMetricsF metrics(font);
    const double zero = metrics.horizontalAdvance(u'0');
    for (char16_t digit = u'1'; digit <= u'9'; ++digit) {
        if (metrics.horizontalAdvance(QChar(digit)) != zero)
            return false;
    }
    return true;
}

// Numbers that change while the pointer moves must not make their pill twitch: the
// interface font when its digits share one width, else the fixed-pitch font.
QFont numberFont(int pixelSize, QFont::Weight weight)
{
    const QFont interface = sized(QGuiApplication::font(), pixelSize, weight);
    if (hasTabularDigits(interface))
        return interface;
    return sized(QFontDatabase::systemFont(QFontDatabase::FixedFont), pixelSize, weight);
}

TextPill sizeLabelPill(const QString& text)
{
    return TextPill::make(text, numberFont(11, QFont::Medium), Qt::white, {6, 3}, pillFill(), 4.0);
}

TextPill coordinatesPill(QPointF mouse)
{
    const QString text = QString::number(std::int64_t(std::trunc(mouse.x()))) + u" × "_s +
                         QString::number(std::int64_t(std::trunc(mouse.y())));
    return TextPill::make(text, numberFont(11, QFont::DemiBold), Qt::white, {8, 2.5}, pillFill());
}

TextPill hintPill(const QString& text)
{
    return TextPill::make(text, sized(QGuiApplication::font(), 13, QFont::Medium), Qt::white, {14, 7}, pillFill(), 9.0);
}

QRectF labelRect(const QRectF& selection, const SelectionViewState& state)
{
    const TextPill pill = sizeLabelPill(sizeLabelText(selection, state.scale));
    return {labelOrigin(selection, pill.size, state.size), pill.size};
}

QPointF coordinatesOrigin(const QRectF& loupe, QSizeF pillSize)
{
    return {loupe.center().x() - pillSize.width() / 2, loupe.bottom() + labelGap};
}

QPointF hintOrigin(QSizeF pillSize, QSizeF bounds) { return {bounds.width() / 2 - pillSize.width() / 2, hintTop}; }

// Everything the loupe paints, its shadow and coordinates included.
QRectF loupeFootprint(QPointF mouse, QSizeF bounds)
{
    const QRectF loupe = loupeRect(mouse, bounds);
    const QRectF shadow =
        loupe.adjusted(-1.5 * shadowBlur, -1.5 * shadowBlur, 1.5 * shadowBlur, 1.5 * shadowBlur + shadowDrop);
    const TextPill pill = coordinatesPill(mouse);
    return shadow | QRectF(coordinatesOrigin(loupe, pill.size), pill.size);
}

QRectF grown(const QRectF& r, double by) { return r.adjusted(-by, -by, by, by); }

QRect roundedOut(const QRectF& r) { return r.toAlignedRect(); }

// The largest rectangle of whole points inside `r`.
QRect roundedIn(const QRectF& r)
{
    const int left = int(std::ceil(r.left()));
    const int top = int(std::ceil(r.top()));
    const int right = int(std::floor(r.right()));
    const int bottom = int(std::floor(r.bottom()));
    if (right <= left || bottom <= top)
        return {};
    return {left, top, right - left, bottom - top};
}

bool sameRect(const std::optional<QRectF>& a, const std::optional<QRectF>& b)
{
    if (!a || !b)
        return !a && !b;
    return a->x() == b->x() && a->y() == b->y() && a->width() == b->width() && a->height() == b->height();
}

bool sameWindow(const std::optional<CandidateWindow>& a, const std::optional<CandidateWindow>& b)
{
    if (!a || !b)
        return !a && !b;
    return a->id == b->id && sameRect(a->rect, b->rect);
}

// ---- Layers ---------------------------------------------------------------------------

// The pixels of `rect` of `image`, without copying them: painting a part of a large
// picture must not touch (or convert) the rest of it.
QImage pixelsOf(const QImage& image, const QRect& rect)
{
    const QRect inside = rect & image.rect();
    if (inside.isEmpty())
        return {};
    if (image.depth() % 8 != 0)
        return image.copy(inside);
    const uchar* first =
        image.constBits() + qsizetype(inside.y()) * image.bytesPerLine() + qsizetype(inside.x()) * (image.depth() / 8);
    return QImage(first, inside.width(), inside.height(), image.bytesPerLine(), image.format());
}

void drawFrozen(QPainter& painter, const SelectionViewState& state, const QRectF& area)
{
    painter.save();
    if (state.frozen.isNull()) {
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(area, Qt::transparent);
    } else {
        // An opaque picture covers what was there either way, and source-over blits faster.
        if (state.frozen.hasAlphaChannel())
            painter.setCompositionMode(QPainter::CompositionMode_Source);
        const double sx = state.frozen.width() / state.size.width();
        const double sy = state.frozen.height() / state.size.height();
        const QRectF source(area.x() * sx, area.y() * sy, area.width() * sx, area.height() * sy);
        const QRect pixels = source.toAlignedRect() & state.frozen.rect();
        const QImage part = pixelsOf(state.frozen, pixels);
        // Where the whole picture's pixels would land, so every part lines up with the rest.
        const QRectF target(pixels.x() / sx, pixels.y() / sy, pixels.width() / sx, pixels.height() / sy);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(target, part);
    }
    painter.restore();
}

bool onWholePixels(const QRectF& r, double scale)
{
    for (double edge : {r.left(), r.top(), r.right(), r.bottom()}) {
        if (edge * scale != std::round(edge * scale))
            return false;
    }
    return true;
}

void drawVeil(QPainter& painter, const SelectionViewState& state, const std::optional<QRectF>& selection,
              const QRectF& area)
{
    const QColor veil = black(veilOpacity);
    if (!selection || !selection->intersects(area)) {
        painter.fillRect(area, veil);
        return;
    }
    if (onWholePixels(*selection, state.scale)) {
        // The area around the cut-out in up to four plain rectangles: no edge to smooth.
        const QRectF cut = *selection & area;
        const std::array<QRectF, 4> around{
            QRectF(area.left(), area.top(), area.width(), cut.top() - area.top()),
            QRectF(area.left(), cut.bottom(), area.width(), area.bottom() - cut.bottom()),
            QRectF(area.left(), cut.top(), cut.left() - area.left(), cut.height()),
            QRectF(cut.right(), cut.top(), area.right() - cut.right(), cut.height()),
        };
        for (const QRectF& piece : around) {
            if (!piece.isEmpty())
                painter.fillRect(piece, veil);
        }
        return;
    }
    // Edges between pixels are smoothed. The outline stays within a point of the area, so
    // that rasterising it costs what the area does; the extra edges lie outside the area.
    const QRectF outer = grown(area, 1);
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    path.addRect(outer);
    path.addRect(*selection & outer);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(path, veil);
    painter.restore();
}

void drawWindow(QPainter& painter, const QRectF& rect, const QColor& fill, double lineWidth)
{
    QPainterPath path;
    path.addRoundedRect(rect, windowRadius, windowRadius);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(path, fill);
    painter.strokePath(path, QPen(systemAccent(1), lineWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.restore();
}

QRectF windowFootprint(const QRectF& rect) { return grown(rect, 1.5 + bleed); }

void drawWindows(QPainter& painter, const SelectionViewState& state, const QRectF& area)
{
    for (const CandidateWindow& window : state.windows) {
        if (state.chosen.contains(window.id) && windowFootprint(window.rect).intersects(area))
            drawWindow(painter, window.rect, systemAccent(0.28), 3);
    }
    if (const std::optional<CandidateWindow> hovered = state.hoveredWindow();
        hovered && windowFootprint(hovered->rect).intersects(area))
        drawWindow(painter, hovered->rect, systemAccent(0.16), 2);
}

void strokeRect(QPainter& painter, const QRectF& rect, const QColor& color, double width)
{
    painter.setPen(QPen(color, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect);
}

void drawSelectionFrame(QPainter& painter, const SelectionViewState& state, const QRectF& selection, const QRectF& area)
{
    // A band of one point just outside the selected pixels, so the frame never covers
    // what is captured.
    const QRectF outer = grown(selection, 1);
    if (grown(outer, bleed).intersects(area)) {
        if (onWholePixels(selection, state.scale) && onWholePixels(outer, state.scale)) {
            // Four plain rectangles: far cheaper than stroking a large outline for a small area.
            painter.fillRect(QRectF(outer.left(), outer.top(), outer.width(), 1), Qt::white);
            painter.fillRect(QRectF(outer.left(), selection.bottom(), outer.width(), 1), Qt::white);
            painter.fillRect(QRectF(outer.left(), selection.top(), 1, selection.height()), Qt::white);
            painter.fillRect(QRectF(selection.right(), selection.top(), 1, selection.height()), Qt::white);
        } else {
            painter.save();
            painter.setRenderHint(QPainter::Antialiasing);
            strokeRect(painter, grown(selection, 0.5), white(1), 1);
            painter.restore();
        }
    }
    const TextPill label = sizeLabelPill(sizeLabelText(selection, state.scale));
    const QPointF origin = labelOrigin(selection, label.size, state.size);
    if (grown(QRectF(origin, label.size), bleed).intersects(area))
        label.draw(painter, origin);
}

void drawLoupeShadow(QPainter& painter, const QRectF& loupe)
{
    // The disc blurred: its edge fades as a Gaussian of deviation blur / 2.
    const double radius = loupe.width() / 2;
    const double sigma = shadowBlur / 2;
    const double outer = radius + 1.5 * shadowBlur;
    QRadialGradient gradient(loupe.center() + QPointF(0, shadowDrop), outer);
    gradient.setColorAt(0, black(0.45));
    for (double r = radius - 1.5 * shadowBlur; r <= outer; r += 1.25) {
        const double distance = r - radius;
        const double coverage = 0.5 * std::erfc(distance / (sigma * std::sqrt(2.0)));
        gradient.setColorAt(std::clamp(r / outer, 0.0, 1.0), black(0.45 * coverage));
    }
    gradient.setColorAt(1, black(0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawEllipse(loupe.center() + QPointF(0, shadowDrop), outer, outer);
}

void drawLoupePixels(QPainter& painter, const QImage& frozen, QPointF mouse, double scale, const QRectF& loupe)
{
    const int px = int(std::trunc(mouse.x() * scale)) - sampleSide / 2;
    const int py = int(std::trunc(mouse.y() * scale)) - sampleSide / 2;
    const QRect visible = QRect(px, py, sampleSide, sampleSide) & frozen.rect();
    if (visible.isEmpty())
        return;
    const QRectF destination(loupe.left() + (visible.left() - px) * blockSide,
                             loupe.top() + (visible.top() - py) * blockSide, visible.width() * blockSide,
                             visible.height() * blockSide);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(destination, pixelsOf(frozen, visible));
    painter.restore();
}

// Thin lines are filled as rectangles: one fill of many small rectangles costs far less
// than stroking each line.
void addLine(QPainterPath& path, QPointF from, QPointF to, double width)
{
    const double half = width / 2;
    if (from.x() == to.x())
        path.addRect(QRectF(from.x() - half, from.y(), width, to.y() - from.y()));
    else
        path.addRect(QRectF(from.x(), from.y() - half, to.x() - from.x(), width));
}

// The outline of `rect` stroked with `width`, centred on its edges.
void addOutline(QPainterPath& path, const QRectF& rect, double width)
{
    path.addRect(grown(rect, width / 2));
    path.addRect(grown(rect, -width / 2));
}

void drawLoupeGrid(QPainter& painter, const QRectF& loupe)
{
    QPainterPath grid;
    grid.setFillRule(Qt::WindingFill);
    for (int i = 1; i < sampleSide; ++i) {
        const double x = loupe.left() + blockSide * i;
        const double y = loupe.top() + blockSide * i;
        addLine(grid, {x, loupe.top()}, {x, loupe.bottom()}, 0.5);
        addLine(grid, {loupe.left(), y}, {loupe.right(), y}, 0.5);
    }
    painter.fillPath(grid, black(0.12));
}

// Arms lead towards the block of the pixel under the pointer and stop short of it.
void drawLoupeCross(QPainter& painter, const QRectF& loupe)
{
    const double stop = 2.5;
    const QRectF centre(loupe.left() + 8 * blockSide, loupe.top() + 8 * blockSide, blockSide, blockSide);
    const std::array<QRectF, 4> arms{
        QRectF(loupe.left(), centre.top(), centre.left() - stop - loupe.left(), blockSide),
        QRectF(centre.right() + stop, centre.top(), loupe.right() - centre.right() - stop, blockSide),
        QRectF(centre.left(), loupe.top(), blockSide, centre.top() - stop - loupe.top()),
        QRectF(centre.left(), centre.bottom() + stop, blockSide, loupe.bottom() - centre.bottom() - stop),
    };
    QPainterPath armFill;
    QPainterPath lines;
    for (const QRectF& arm : arms) {
        armFill.addRect(arm);
        if (arm.width() <= arm.height())
            addLine(lines, {arm.center().x(), arm.top()}, {arm.center().x(), arm.bottom()}, 1);
        else
            addLine(lines, {arm.left(), arm.center().y()}, {arm.right(), arm.center().y()}, 1);
    }
    painter.fillPath(armFill, appAccent(0.22));
    painter.fillPath(lines, appAccent(0.9));
    QPainterPath outer;
    outer.setFillRule(Qt::OddEvenFill);
    addOutline(outer, grown(centre, 1), 1);
    painter.fillPath(outer, black(0.8));
    QPainterPath inner;
    inner.setFillRule(Qt::OddEvenFill);
    addOutline(inner, centre, 1);
    painter.fillPath(inner, white(1));
}

// The inside of the loupe, drawn apart on a small picture so that the disc's edge is
// smooth and the screen's painter needs no clip of its own.
QImage loupeInside(const SelectionViewState& state, QPointF mouse)
{
    const int side = int(std::ceil(loupeSide * state.scale));
    QImage inside(side, side, QImage::Format_ARGB32_Premultiplied);
    inside.setDevicePixelRatio(state.scale);
    inside.fill(Qt::transparent);
    const QRectF loupe(0, 0, loupeSide, loupeSide);
    QPainter painter(&inside);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawEllipse(loupe);
    painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    drawLoupePixels(painter, state.frozen, mouse, state.scale, loupe);
    drawLoupeGrid(painter, loupe);
    drawLoupeCross(painter, loupe);
    return inside;
}

void drawLoupe(QPainter& painter, const SelectionViewState& state, QPointF mouse, const QImage& inside)
{
    // On whole device pixels, so the picture of the inside is copied, never resampled.
    const QRectF exact = loupeRect(mouse, state.size);
    const QRectF loupe(QPointF(std::round(exact.x() * state.scale), std::round(exact.y() * state.scale)) / state.scale,
                       exact.size());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    drawLoupeShadow(painter, loupe);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(loupe.topLeft(), inside);

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(white(1), 3));
    painter.drawEllipse(grown(loupe, -1.5));
    painter.setPen(QPen(black(0.35), 1));
    painter.drawEllipse(grown(loupe, 0.5));
    painter.restore();

    const TextPill pill = coordinatesPill(mouse);
    pill.draw(painter, coordinatesOrigin(loupe, pill.size));
}

void drawHint(QPainter& painter, const SelectionViewState& state, const QRectF& area)
{
    const QString text = hintText(state);
    if (text.isEmpty())
        return;
    const TextPill pill = hintPill(text);
    const QPointF origin = hintOrigin(pill.size, state.size);
    if (grown(QRectF(origin, pill.size), bleed).intersects(area))
        pill.draw(painter, origin);
}

// One repaint of a state, over one or more areas: what every area needs is worked out
// once.
class SelectionPaint {
public:
    explicit SelectionPaint(const SelectionViewState& state) : m_state(state), m_selection(state.selection()) {}

    void paint(QPainter& painter, const QRectF& dirty)
    {
        const QRectF area = QRectF(roundedOut(dirty)) & m_state.bounds();
        if (area.isEmpty())
            return;
        painter.save();
        painter.setClipRect(area, Qt::IntersectClip);
        drawFrozen(painter, m_state, area);
        drawVeil(painter, m_state, m_selection, area);
        drawWindows(painter, m_state, area);
        if (m_selection)
            drawSelectionFrame(painter, m_state, *m_selection, area);
        if (m_state.showsLoupeNow() && grown(loupeFootprint(*m_state.mouse, m_state.size), bleed).intersects(area)) {
            if (m_loupeInside.isNull())
                m_loupeInside = loupeInside(m_state, *m_state.mouse);
            drawLoupe(painter, m_state, *m_state.mouse, m_loupeInside);
        }
        drawHint(painter, m_state, area);
        painter.restore();
    }

private:
    const SelectionViewState& m_state;
    const std::optional<QRectF> m_selection;
    QImage m_loupeInside;
};

// ---- Changes --------------------------------------------------------------------------

QRegion region(const QRectF& r) { return QRegion(roundedOut(r)); }

// The frame, the veil's edge and the label of one selection.
QRegion selectionOutline(const SelectionViewState& state, const std::optional<QRectF>& selection)
{
    if (!selection)
        return {};
    const QRegion ring = region(grown(*selection, 1 + bleed)) - QRegion(roundedIn(grown(*selection, -1)));
    return ring | region(grown(labelRect(*selection, state), bleed));
}

QRegion selectionChange(const SelectionViewState& before, const SelectionViewState& after)
{
    const std::optional<QRectF> old = before.selection();
    const std::optional<QRectF> now = after.selection();
    if (sameRect(old, now))
        return {};
    // Inside both rings a point is either wholly in a selection or wholly outside it.
    const QRegion oldInside = old ? region(*old) : QRegion();
    const QRegion nowInside = now ? region(*now) : QRegion();
    return (oldInside ^ nowInside) | selectionOutline(before, old) | selectionOutline(after, now);
}

QRegion loupeChange(const SelectionViewState& before, const SelectionViewState& after)
{
    const bool showedLoupe = before.showsLoupeNow();
    const bool showsLoupe = after.showsLoupeNow();
    if (showedLoupe == showsLoupe &&
        (!showsLoupe || (before.mouse->x() == after.mouse->x() && before.mouse->y() == after.mouse->y())))
        return {};
    QRegion changed;
    if (showedLoupe)
        changed |= region(grown(loupeFootprint(*before.mouse, before.size), bleed));
    if (showsLoupe)
        changed |= region(grown(loupeFootprint(*after.mouse, after.size), bleed));
    return changed;
}

QRegion windowsChange(const SelectionViewState& before, const SelectionViewState& after)
{
    QRegion changed;
    for (const CandidateWindow& window : after.windows) {
        if (before.chosen.contains(window.id) != after.chosen.contains(window.id))
            changed |= region(windowFootprint(window.rect));
    }
    const std::optional<CandidateWindow> oldHover = before.hoveredWindow();
    const std::optional<CandidateWindow> nowHover = after.hoveredWindow();
    if (!sameWindow(oldHover, nowHover)) {
        if (oldHover)
            changed |= region(windowFootprint(oldHover->rect));
        if (nowHover)
            changed |= region(windowFootprint(nowHover->rect));
    }
    return changed;
}

QRegion hintChange(const SelectionViewState& before, const SelectionViewState& after)
{
    const QString old = hintText(before);
    const QString now = hintText(after);
    if (old == now)
        return {};
    QRegion changed;
    for (const auto& [state, text] : {std::pair{&before, old}, std::pair{&after, now}}) {
        if (text.isEmpty())
            continue;
        const TextPill pill = hintPill(text);
        changed |= region(grown(QRectF(hintOrigin(pill.size, state->size), pill.size), bleed));
    }
    return changed;
}

// What everything else rests on; a change here repaints the whole screen.
bool sameScreen(const SelectionViewState& before, const SelectionViewState& after)
{
    return before.size == after.size && before.scale == after.scale && before.mode == after.mode &&
           before.windows == after.windows && before.frozen.cacheKey() == after.frozen.cacheKey();
}

} // namespace

QRectF loupeRect(QPointF mouse, QSizeF bounds)
{
    double x = mouse.x() + loupeGap;
    if (x + loupeSide > bounds.width() - loupeMargin)
        x = mouse.x() - loupeGap - loupeSide;
    // Below the loupe goes its coordinates pill, so it needs another gap of room.
    double y = mouse.y() + loupeGap;
    if (y + loupeSide + loupeGap > bounds.height() - loupeMargin)
        y = mouse.y() - loupeGap - loupeSide - loupeGap;
    return {x, y, loupeSide, loupeSide};
}

QPointF labelOrigin(const QRectF& selection, QSizeF labelSize, QSizeF bounds)
{
    QPointF origin(selection.left(), selection.bottom() + labelGap);
    if (bounds.height() < origin.y() + labelSize.height())
        origin.setY(selection.top() - labelSize.height() - labelGap);
    if (origin.y() < 0)
        origin = selection.topLeft() + QPointF(labelGap, labelGap);
    // A label cut off at the right edge would show a wrong number.
    origin.setX(std::max(0.0, std::min(origin.x(), bounds.width() - labelSize.width())));
    return origin;
}

QString sizeLabelText(const QRectF& selection, double scale)
{
    const auto pixels = [scale](double points) { return QString::number(std::int64_t(std::trunc(points * scale))); };
    return pixels(selection.width()) + u" × "_s + pixels(selection.height());
}

QString hintText(const SelectionViewState& state)
{
    switch (state.mode.kind) {
    case SelectionMode::Kind::area:
        return {};
    case SelectionMode::Kind::window:
        return u"Clic su una finestra per catturarla · Maiusc+clic per sceglierne più di una, poi Invio · Esc annulla"_s;
    case SelectionMode::Kind::allInOne:
        return u"Trascina per un'area · clic su una finestra · F per lo schermo intero · Esc annulla"_s;
    case SelectionMode::Kind::fixed:
        if (state.mode.size.ratioOnly)
            return u"Trascina: l'area resta in proporzione "_s + state.mode.size.title() + u" · Esc annulla"_s;
        if (state.mode.size.frame({0, 0}, state.scale, {state.size.width(), state.size.height()}))
            return u"Clic o Invio: scatta · Frecce: sposta di 1 pixel (Maiusc: 10) · Esc annulla"_s;
        return state.mode.size.title() + u" è più grande di questo schermo · Esc annulla"_s;
    }
    return {};
}

void paintSelection(QPainter& painter, const SelectionViewState& state, const QRectF& dirty)
{
    SelectionPaint(state).paint(painter, dirty);
}

void paintSelection(QPainter& painter, const SelectionViewState& state, const QRegion& dirty)
{
    SelectionPaint paint(state);
    for (const QRect& rect : dirty)
        paint.paint(painter, QRectF(rect));
}

QRegion changedRegion(const SelectionViewState& before, const SelectionViewState& after)
{
    const QRegion screen = region(before.bounds()) | region(after.bounds());
    if (!sameScreen(before, after))
        return screen;
    const QRegion changed = selectionChange(before, after) | loupeChange(before, after) | windowsChange(before, after) |
                            hintChange(before, after);
    return changed & screen;
}

} // namespace vorlix
