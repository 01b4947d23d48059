#include "app/capture/SelectionPainter.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <functional>

using namespace vorlix;

namespace {

// Every pixel of the picture its own colour, so a shifted or stretched copy shows.
QImage patternedPicture(QSize pixels)
{
    QImage picture(pixels, QImage::Format_RGB32);
    for (int y = 0; y < pixels.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < pixels.width(); ++x)
            line[x] = qRgb((x * 7) % 256, (y * 13) % 256, ((x + y) * 3 + 40) % 256);
    }
    return picture;
}

SelectionViewState screenOf(SelectionMode mode, double scale = 1, QSizeF size = {400, 300})
{
    SelectionViewState state;
    state.size = size;
    state.scale = scale;
    state.mode = mode;
    state.frozen = patternedPicture((size * scale).toSize());
    return state;
}

QImage blankTarget(const SelectionViewState& state)
{
    QImage target((state.size * state.scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    target.setDevicePixelRatio(state.scale);
    target.fill(Qt::magenta);
    return target;
}

QImage paintWhole(const SelectionViewState& state)
{
    QImage target = blankTarget(state);
    QPainter painter(&target);
    paintSelection(painter, state, state.bounds());
    return target;
}

// The pixel of the device at view point `p`.
QRgb at(const QImage& image, const SelectionViewState& state, QPointF p)
{
    return image.pixel(int(p.x() * state.scale), int(p.y() * state.scale));
}

int dimmed(int channel) { return channel * 3 / 4; }

} // namespace

TEST(SelectionPainter, LoupeSitsBesideThePointerAndTurnsAtTheEdges)
{
    struct Case {
        QPointF mouse;
        QPointF expected;
    };
    const QSizeF bounds(400, 300);
    const Case cases[] = {
        {{100, 100}, {126, 126}},     {{285, 100}, {311, 126}}, // 311 + 85 is exactly the 4-point margin
        {{285.5, 100}, {174.5, 126}},                           // left of the pointer
        {{100, 159}, {126, 185}},                               // room for the loupe and its coordinates below
        {{100, 160}, {126, 23}},                                // above the pointer, the coordinates between
        {{399, 299}, {288, 162}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mouse.x() << ", " << c.mouse.y());
        EXPECT_EQ(loupeRect(c.mouse, bounds), QRectF(c.expected, QSizeF(85, 85)));
    }
}

TEST(SelectionPainter, SizeLabelGoesBelowAboveOrInsideAndReadsPixels)
{
    struct Case {
        const char* what;
        QRectF selection;
        QPointF expected;
    };
    const QSizeF bounds(400, 300);
    const QSizeF label(80, 20);
    const Case cases[] = {
        {"below", {10, 20, 100, 50}, {10, 76}},
        {"above, no room below", {10, 100, 100, 180}, {10, 74}},
        {"inside, no room either way", {10, 10, 100, 280}, {16, 16}},
        {"kept on the screen", {390, 20, 10, 10}, {320, 36}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(labelOrigin(c.selection, label, bounds), c.expected);
    }

    EXPECT_EQ(sizeLabelText(QRectF(3, 4, 100, 50), 2), u"200 × 100");
    EXPECT_EQ(sizeLabelText(QRectF(0, 0, 100.75, 0.4), 2), u"201 × 0") << "fractions of pixels are dropped";
}

TEST(SelectionPainter, HintTellsWhatTheModeExpectsOnThisScreen)
{
    struct Case {
        SelectionMode mode;
        double scale;
        const char16_t* expected;
    };
    const Case cases[] = {
        {SelectionMode::area(), 1, u""},
        {SelectionMode::window(), 1,
         u"Clic su una finestra per catturarla · Maiusc+clic per sceglierne più di una, poi Invio · Esc annulla"},
        {SelectionMode::allInOne(), 1,
         u"Trascina per un'area · clic su una finestra · F per lo schermo intero · Esc annulla"},
        {SelectionMode::fixed({.width = 16, .height = 9, .ratioOnly = true}), 1,
         u"Trascina: l'area resta in proporzione 16 : 9 · Esc annulla"},
        {SelectionMode::fixed({.width = 400, .height = 300}), 1,
         u"Clic o Invio: scatta · Frecce: sposta di 1 pixel (Maiusc: 10) · Esc annulla"},
        {SelectionMode::fixed({.width = 800, .height = 600}), 1,
         u"800 × 600 px è più grande di questo schermo · Esc annulla"},
        {SelectionMode::fixed({.width = 800, .height = 600}), 2,
         u"Clic o Invio: scatta · Frecce: sposta di 1 pixel (Maiusc: 10) · Esc annulla"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mode.size.title().toStdString() << " at " << c.scale);
        EXPECT_EQ(hintText(screenOf(c.mode, c.scale)), QString::fromUtf16(c.expected));
    }
}

TEST(SelectionPainter, VeilDimsAllButTheSelection)
{
    for (double scale : {1.0, 2.0}) {
        SCOPED_TRACE(scale);
        SelectionViewState state = screenOf(SelectionMode::area(), scale);
        const QPointF inside(120, 110);
        const QPointF outside(300, 250);

        QImage picture = paintWhole(state);
        for (QPointF p : {inside, outside}) {
            const QRgb frozen = at(state.frozen, state, p);
            EXPECT_NEAR(qRed(at(picture, state, p)), dimmed(qRed(frozen)), 1) << "no selection: all dimmed";
        }

        state.start = QPointF(100, 100);
        state.current = QPointF(200, 150);
        picture = paintWhole(state);
        EXPECT_EQ(at(picture, state, inside), at(state.frozen, state, inside));
        const QRgb frozen = at(state.frozen, state, outside);
        EXPECT_NEAR(qGreen(at(picture, state, outside)), dimmed(qGreen(frozen)), 1);
        EXPECT_EQ(at(picture, state, QPointF(99.5, 120)), qRgb(255, 255, 255)) << "the frame lies outside";
        EXPECT_EQ(at(picture, state, QPointF(100, 120)), at(state.frozen, state, QPointF(100, 120)));
    }
}

TEST(SelectionPainter, LoupeShowsPictureBlocksAndBlackBeyondItsEdge)
{
    for (double scale : {1.0, 2.0}) {
        SCOPED_TRACE(scale);
        SelectionViewState state = screenOf(SelectionMode::area(), scale);
        struct Probe {
            QPointF mouse;
            int column; // block in the loupe, 0 … 16, 8 under the pointer
            int row;
        };
        for (const Probe probe : {Probe{{100, 100}, 5, 5}, Probe{{100 + 1 / scale, 60}, 11, 6}, Probe{{1, 2}, 2, 4},
                                  Probe{{1, 2}, 10, 10}, Probe{{399.5, 299.5}, 12, 6}}) {
            SCOPED_TRACE(testing::Message() << probe.mouse.x() << ", " << probe.mouse.y() << " block " << probe.column
                                            << ", " << probe.row);
            state.mouse = probe.mouse;
            const QImage picture = paintWhole(state);
            const QRectF loupe = loupeRect(probe.mouse, state.size);
            const QPoint pixel(int(probe.mouse.x() * scale) - 8 + probe.column,
                               int(probe.mouse.y() * scale) - 8 + probe.row);
            const QRgb expected = state.frozen.rect().contains(pixel) ? state.frozen.pixel(pixel) : qRgb(0, 0, 0);
            // The block's inside, clear of the grid lines on its edges.
            const QPointF block = loupe.topLeft() + QPointF(5 * probe.column, 5 * probe.row);
            for (double dy : {1.0, 2.5, 3.5}) {
                for (double dx : {1.0, 2.5, 3.5})
                    EXPECT_EQ(at(picture, state, block + QPointF(dx, dy)), expected) << dx << ", " << dy;
            }
        }
    }
}

TEST(SelectionPainter, LoupeOnlyWithAPointerAFrozenPictureTheSettingAndOutsideTheWindowMode)
{
    SelectionViewState shown = screenOf(SelectionMode::area());
    shown.mouse = QPointF(100, 100);
    SelectionViewState without = shown;
    without.mouse.reset();
    EXPECT_NE(paintWhole(shown), paintWhole(without));

    const std::pair<const char*, std::function<void(SelectionViewState&)>> cases[] = {
        {"setting off", [](SelectionViewState& s) { s.showsLoupe = false; }},
        {"window mode", [](SelectionViewState& s) { s.mode = SelectionMode::window(); }},
        {"no frozen picture", [](SelectionViewState& s) { s.frozen = QImage(); }},
    };
    for (const auto& [what, change] : cases) {
        SCOPED_TRACE(what);
        SelectionViewState withPointer = shown;
        change(withPointer);
        SelectionViewState withoutPointer = without;
        change(withoutPointer);
        EXPECT_EQ(paintWhole(withPointer), paintWhole(withoutPointer));
    }
}

TEST(SelectionPainter, HoveredWindowThatIsPickedIsDrawnAsPickedOnly)
{
    SelectionViewState state = screenOf(SelectionMode::window());
    state.windows = {{.id = 7, .rect = QRectF(50, 50, 200, 150)}};
    state.chosen = {7};
    SelectionViewState hovering = state;
    hovering.mouse = QPointF(100, 100);
    EXPECT_EQ(paintWhole(hovering), paintWhole(state));

    SelectionViewState hoveringOnly = hovering;
    hoveringOnly.chosen.clear();
    const QImage picked = paintWhole(state);
    const QImage hovered = paintWhole(hoveringOnly);
    const QPointF inside(150, 120);
    const QRgb frozen = at(state.frozen, state, inside);
    // The accent tints the picked window more than the hovered one.
    const auto distance = [&](QRgb c) {
        return std::abs(qRed(c) - dimmed(qRed(frozen))) + std::abs(qGreen(c) - dimmed(qGreen(frozen))) +
               std::abs(qBlue(c) - dimmed(qBlue(frozen)));
    };
    EXPECT_GT(distance(at(picked, state, inside)), distance(at(hovered, state, inside)));
    EXPECT_GT(distance(at(hovered, state, inside)), 0);
}

// Painting the newer state over the older picture, only where they differ, must give
// the picture of the newer state painted whole.
TEST(SelectionPainter, RepaintingTheChangedRegionGivesTheWholePicture)
{
    using Change = std::function<void(SelectionViewState&)>;
    struct Case {
        const char* what;
        SelectionMode mode;
        Change before;
        Change after;
        bool frozen = true;
    };
    const std::vector<CandidateWindow> windows{{.id = 1, .rect = QRectF(30, 40, 150, 120)},
                                               {.id = 2, .rect = QRectF(160, 90, 200, 160)}};
    const auto pointer = [](QPointF p) { return [p](SelectionViewState& s) { s.mouse = p; }; };
    const auto press = [](QPointF from, QPointF to) {
        return [from, to](SelectionViewState& s) {
            s.start = from;
            s.current = to;
            s.mouse = to;
        };
    };
    const Case cases[] = {
        {"pointer moves", SelectionMode::area(), pointer({100, 100}), pointer({103, 101})},
        {"pointer moves by a pixel", SelectionMode::area(), pointer({100, 100}), pointer({100.5, 100})},
        {"loupe turns at the right edge", SelectionMode::area(), pointer({280, 100}), pointer({300, 100})},
        {"loupe over the picture's edge", SelectionMode::area(), pointer({5, 8}), pointer({2, 1})},
        {"pointer arrives", SelectionMode::area(), [](SelectionViewState&) {}, pointer({200, 150})},
        {"pointer leaves", SelectionMode::area(), pointer({100, 100}), [](SelectionViewState& s) { s.mouse.reset(); }},
        {"press begins", SelectionMode::area(), pointer({50, 50}), press({50, 50}, {50, 50})},
        {"drag grows", SelectionMode::area(), press({50, 50}, {150, 120}), press({50, 50}, {160, 140})},
        {"drag shrinks", SelectionMode::area(), press({50, 50}, {150, 120}), press({50, 50}, {120, 90})},
        {"drag turns over its start", SelectionMode::area(), press({50, 50}, {150, 120}), press({50, 50}, {30, 20})},
        {"label moves above", SelectionMode::area(), press({50, 150}, {150, 260}), press({50, 150}, {150, 285})},
        {"press ends", SelectionMode::area(), press({50, 50}, {150, 120}), pointer({150, 120})},
        {"loupe toggled", SelectionMode::area(), pointer({100, 100}),
         [](SelectionViewState& s) {
             s.mouse = QPointF(100, 100);
             s.showsLoupe = false;
         }},
        {"hover moves to another window", SelectionMode::allInOne(), pointer({60, 60}), pointer({300, 200})},
        {"hover leaves the windows", SelectionMode::window(), pointer({60, 60}), pointer({390, 290})},
        {"window picked", SelectionMode::window(), pointer({60, 60}),
         [](SelectionViewState& s) {
             s.mouse = QPointF(60, 60);
             s.chosen = {1};
         }},
        {"selection hides the hover", SelectionMode::allInOne(), pointer({60, 60}), press({60, 60}, {90, 80})},
        {"fixed frame follows the pointer", SelectionMode::fixed({.width = 120, .height = 80}), pointer({100, 100}),
         pointer({107, 95})},
        {"proportion with fractional edges", SelectionMode::fixed({.width = 7, .height = 3, .ratioOnly = true}),
         press({40, 40}, {150, 100}), press({40, 40}, {171, 113})},
        {"drag over the live screen", SelectionMode::area(), press({50, 50}, {150, 120}), press({50, 50}, {160, 140}),
         false},
    };
    for (double scale : {1.0, 2.0}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.what << " at scale " << scale);
            SelectionViewState before = screenOf(c.mode, scale);
            before.windows = windows;
            if (!c.frozen)
                before.frozen = QImage();
            SelectionViewState after = before;
            c.before(before);
            c.after(after);

            const QRegion changed = changedRegion(before, after);
            EXPECT_FALSE(changed.isEmpty());
            QImage repainted = paintWhole(before);
            {
                QPainter painter(&repainted);
                paintSelection(painter, after, changed);
            }
            const QImage expected = paintWhole(after);
            if (repainted != expected) {
                int wrong = 0;
                QPoint first(-1, -1);
                for (int y = 0; y < expected.height(); ++y) {
                    for (int x = 0; x < expected.width(); ++x) {
                        if (repainted.pixel(x, y) != expected.pixel(x, y) && wrong++ == 0)
                            first = QPoint(x, y);
                    }
                }
                ADD_FAILURE() << wrong << " pixels differ, the first at device pixel " << first.x() << ", "
                              << first.y();
            }
        }
    }
}

TEST(SelectionPainter, PointerMoveRepaintsAroundTheLoupeOnly)
{
    SelectionViewState state = screenOf(SelectionMode::allInOne(), 2, {2560, 1440});
    state.mouse = QPointF(1000, 700);
    SelectionViewState keyboard = state;
    keyboard.keyboardPoint = state.mouse; // not drawn
    EXPECT_TRUE(changedRegion(state, keyboard).isEmpty());

    SelectionViewState moved = state;
    moved.mouse = QPointF(1003, 702);
    const QRect changed = changedRegion(state, moved).boundingRect();
    EXPECT_TRUE(changed.contains(loupeRect(*moved.mouse, moved.size).toAlignedRect()));
    EXPECT_LE(changed.width(), 130);
    EXPECT_LE(changed.height(), 140);
}
