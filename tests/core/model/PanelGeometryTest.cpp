#include "core/model/PanelGeometry.h"

#include "support/ModelBuilders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>

using namespace vorlix;

namespace {

using Axis = RemovedStrip::Axis;

Panel makePanel(Size pixelSize, std::vector<RemovedStrip> strips = {}, std::optional<Rect> crop = std::nullopt)
{
    Panel p;
    p.id = test::uuid(1);
    p.imageID = test::uuid(2);
    p.pixelSize = pixelSize;
    p.removedStrips = std::move(strips);
    p.crop = crop;
    return p;
}

void expectNear(Point actual, Point expected, double tolerance = 1e-9)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
}

void expectNear(const Rect& actual, const Rect& expected, double tolerance = 1e-9)
{
    EXPECT_NEAR(actual.minX(), expected.minX(), tolerance);
    EXPECT_NEAR(actual.minY(), expected.minY(), tolerance);
    EXPECT_NEAR(actual.maxX(), expected.maxX(), tolerance);
    EXPECT_NEAR(actual.maxY(), expected.maxY(), tolerance);
}

// Extents as the shape code would give them, here simply the box of the mapped points
// (and for the clip test, the box of the first two points only, as a lens's source).
ShapeExtents pointBoxExtents(const Panel& panel, const Annotation& a)
{
    Rect box = Rect::null();
    for (const Point& p : a.points)
        box = box.united(Rect(canvasPointFromImage(panel, p), Size{}));
    if (a.kind != AnnotationKind::lens)
        return {box, box};
    const Rect source =
        Rect::corner(canvasPointFromImage(panel, a.points[0]), canvasPointFromImage(panel, a.points[1]));
    return {box, source};
}

} // namespace

TEST(PanelGeometry, PlainPanelScalesByDensityAndMovesToItsOrigin)
{
    Panel p = makePanel({400, 300});
    p.pixelsPerPoint = 2;
    p.origin = {10, 20};
    EXPECT_EQ(displaySize(p), (Size{200, 150}));
    EXPECT_EQ(frame(p), Rect(10, 20, 200, 150));
    EXPECT_EQ(canvasPointFromImage(p, {100, 50}), (Point{60, 45}));
    EXPECT_EQ(imagePointFromCanvas(p, {60, 45}), (Point{100, 50}));

    p.pixelsPerPoint = 0;
    EXPECT_DOUBLE_EQ(pointsPerPixel(p), 1 / minimumDivisor);
    p.pixelsPerPoint = -3;
    EXPECT_DOUBLE_EQ(pointsPerPixel(p), 1 / minimumDivisor);
}

TEST(PanelGeometry, CropRectangleIsStandardisedAndIgnoredWhenItShowsNothing)
{
    struct Case {
        const char* name;
        std::optional<Rect> crop;
        Rect expected;
    };
    const Rect whole(0, 0, 200, 100);
    const Case cases[] = {
        {"no crop", std::nullopt, whole},
        {"inside", Rect(10, 20, 30, 40), Rect(10, 20, 30, 40)},
        {"negative width", Rect(40, 20, -30, 40), Rect(10, 20, 30, 40)},
        {"zero area", Rect(10, 20, 0, 40), whole},
        {"wholly outside", Rect(300, 0, 50, 50), whole},
        {"only touching the right edge", Rect(200, 0, 50, 50), whole},
        {"partly outside, kept unclipped", Rect(-10, 90, 50, 50), Rect(-10, 90, 50, 50)},
        {"null", Rect::null(), whole},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(cropRect(makePanel({200, 100}, {}, c.crop)), c.expected);
    }
}

TEST(PanelGeometry, RemovedIntervalsAreClippedSortedAndMerged)
{
    struct Case {
        const char* name;
        std::vector<RemovedStrip> strips;
        std::optional<Rect> crop;
        std::vector<Interval> expectedRows;
    };
    const Case cases[] = {
        {"overlapping", {{Axis::rows, 100, 200}, {Axis::rows, 150, 300}}, std::nullopt, {{100, 300}}},
        {"touching merge, out of order",
         {{Axis::rows, 250, 260}, {Axis::rows, 10, 20}, {Axis::rows, 20, 30}},
         std::nullopt,
         {{10, 30}, {250, 260}}},
        {"contained", {{Axis::rows, 10, 100}, {Axis::rows, 20, 30}}, std::nullopt, {{10, 100}}},
        {"reversed or empty dropped", {{Axis::rows, 50, 40}, {Axis::rows, 60, 60}}, std::nullopt, {}},
        {"relative to the crop and clipped to it",
         {{Axis::rows, 0, 120}, {Axis::rows, 180, 500}, {Axis::columns, 0, 5}},
         Rect(0, 100, 50, 100),
         {{0, 20}, {80, 100}}},
        {"outside the crop dropped", {{Axis::rows, 0, 100}}, Rect(0, 100, 50, 100), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(removedIntervals(makePanel({400, 400}, c.strips, c.crop), Axis::rows), c.expectedRows);
    }
}

TEST(PanelGeometry, OverlappingRowStripsRemoveTheirUnionAndLeaveOneSeam)
{
    const Panel p = makePanel({300, 400}, {{Axis::rows, 100, 200}, {Axis::rows, 150, 300}});
    EXPECT_EQ(contentPixelSize(p), (Size{300, 200}));
    EXPECT_EQ(stripSeams(p), (std::vector<StripSeam>{{{0, 100}, {300, 100}}}));
    // A rectangle across the band closes up to the rows on either side.
    EXPECT_EQ(canvasRectFromImage(p, Rect(10, 50, 20, 300)), Rect(10, 50, 20, 100));
}

TEST(PanelGeometry, PointsInsideABandLandOnItsSeamAndComeBackAtItsLowerEdge)
{
    const Panel p = makePanel({300, 400}, {{Axis::rows, 0, 50}, {Axis::rows, 100, 200}, {Axis::columns, 10, 20}});
    struct Case {
        Point image;
        Point content;
        Point back;
    };
    const Case cases[] = {
        {{5, 25}, {5, 0}, {5, 0}},      // in the leading band: onto the crop's edge
        {{5, 100}, {5, 50}, {5, 100}},  // exactly at a band's lower edge: unchanged
        {{5, 150}, {5, 50}, {5, 100}},  // inside: onto the seam, back to the lower edge
        {{5, 200}, {5, 50}, {5, 100}},  // the upper edge belongs to the band
        {{5, 250}, {5, 100}, {5, 250}}, // beyond: moved back by both bands
        {{15, 10}, {10, 0}, {10, 0}},   // inside a column band
        {{25, 260}, {15, 110}, {25, 260}},
        {{-7, -3}, {-7, -3}, {-7, -3}}, // outside the crop: not clamped
        {{310, 420}, {300, 270}, {310, 420}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.image.x << "," << c.image.y);
        EXPECT_EQ(contentPointFromImage(p, c.image), c.content);
        EXPECT_EQ(imagePointFromContent(p, c.content), c.back);
    }
    // The band at the first rows leaves no seam; the others leave one each.
    EXPECT_EQ(stripSeams(p), (std::vector<StripSeam>{{{0, 50}, {290, 50}}, {{10, 0}, {10, 250}}}));
}

TEST(PanelGeometry, TurnsAndMirrorPlaceTheContentCornersOnTheFrame)
{
    // Content 40 x 30 at one point per pixel; where content (0, 0) and (1, 0) land.
    struct Case {
        int turns;
        bool flipped;
        Size oriented;
        Point origin;
        Point unitX;
    };
    const Case cases[] = {
        {0, false, {40, 30}, {0, 0}, {1, 0}},     {1, false, {30, 40}, {30, 0}, {30, 1}},
        {2, false, {40, 30}, {40, 30}, {39, 30}}, {3, false, {30, 40}, {0, 40}, {0, 39}},
        {0, true, {40, 30}, {40, 0}, {39, 0}},    {1, true, {30, 40}, {0, 0}, {0, 1}},
        {2, true, {40, 30}, {0, 30}, {1, 30}},    {3, true, {30, 40}, {30, 40}, {30, 39}},
        {5, false, {30, 40}, {0, 0}, {1, 0}}, // not a turn the mappings know, but the size swaps
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.turns << (c.flipped ? " mirrored" : ""));
        Panel p = makePanel({40, 30});
        p.orientation = {c.turns, c.flipped};
        EXPECT_EQ(orientedPixelSize(p), c.oriented);
        const AffineTransform t = contentToCanvas(p);
        EXPECT_EQ(t.apply(Point{0, 0}), c.origin);
        EXPECT_EQ(t.apply(Point{1, 0}), c.unitX);
    }
}

TEST(PanelGeometry, RandomPanelsRoundTripAndFillTheirFrame)
{
    std::mt19937_64 rng(20240611);
    const auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    const auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    for (int n = 0; n < 400; ++n) {
        const double w = std::floor(uniform(20, 2000));
        const double h = std::floor(uniform(20, 2000));
        std::optional<Rect> crop;
        if (below(4) != 0) {
            const double cw = uniform(1, 1.4 * w);
            const double ch = uniform(1, 1.4 * h);
            crop = Rect(uniform(-0.3 * w, w), uniform(-0.3 * h, h), cw, ch);
            if (below(3) == 0) // stored with its corners the other way round
                crop = Rect(crop->maxX(), crop->maxY(), -cw, -ch);
        }
        std::vector<RemovedStrip> strips;
        for (int s = below(4); s > 0; --s) {
            const Axis axis = below(2) == 0 ? Axis::rows : Axis::columns;
            const double extent = axis == Axis::rows ? h : w;
            const double lower = uniform(-0.2 * extent, extent);
            strips.push_back({axis, lower, lower + uniform(1, 0.4 * extent)});
        }
        Panel p = makePanel({w, h}, strips, crop);
        p.orientation = {below(4), below(2) == 0};
        p.pixelsPerPoint = std::array{1.0, 1.5, 2.0, 3.0}[static_cast<std::size_t>(below(4))];
        p.scale = uniform(0.25, 3);
        p.origin = {uniform(-500, 500), uniform(-500, 500)};
        SCOPED_TRACE(testing::Message() << "panel " << n);

        const Size content = contentPixelSize(p);
        const Rect f = frame(p);
        const double tolerance = 1e-9 * (1 + std::abs(f.maxX()) + std::abs(f.maxY()));
        expectNear(contentToCanvas(p).apply(Rect(0, 0, content.width, content.height)), f, tolerance);
        expectNear(canvasRectFromImage(p, cropRect(p)), f, tolerance);

        const Rect c = cropRect(p);
        const auto columns = removedIntervals(p, Axis::columns);
        const auto rows = removedIntervals(p, Axis::rows);
        const auto inBand = [](double v, const std::vector<Interval>& intervals) {
            return std::any_of(intervals.begin(), intervals.end(),
                               [&](const Interval& i) { return v > i.lower - 1e-3 && v <= i.upper + 1e-3; });
        };
        for (int k = 0; k < 20; ++k) {
            const Point image{uniform(-0.2 * w, 1.2 * w), uniform(-0.2 * h, 1.2 * h)};
            if (inBand(image.x - c.minX(), columns) || inBand(image.y - c.minY(), rows))
                continue;
            expectNear(imagePointFromCanvas(p, canvasPointFromImage(p, image)), image, 1e-6);
        }
    }
}

TEST(PanelGeometry, ZeroScaleHasNoInverseButMapsBackToFinitePoints)
{
    Panel p = makePanel({100, 80}, {{Axis::columns, 10, 20}});
    p.scale = 0;
    p.origin = {5, 7};
    EXPECT_EQ(frame(p), Rect(5, 7, 0, 0));
    EXPECT_EQ(canvasPointFromImage(p, {50, 50}), (Point{5, 7}));
    const Point back = imagePointFromCanvas(p, {123, -45});
    EXPECT_TRUE(std::isfinite(back.x) && std::isfinite(back.y));
    const Rect r = imageRectFromCanvas(p, Rect(0, 0, 300, 300));
    EXPECT_TRUE(std::isfinite(r.minX()) && std::isfinite(r.maxY()));
}

TEST(PanelGeometry, VisibleSegmentsCutPiecesAtTheImageEdgeInRowMajorOrder)
{
    // A 100 x 80 image, cropped from 10 left of it to 20 right of it, with one column band
    // and one row band: four pieces, each cut at the image edge.
    const Panel p = makePanel({100, 80}, {{Axis::columns, 30, 50}, {Axis::rows, 20, 30}}, Rect(-10, 0, 130, 80));
    EXPECT_EQ(contentPixelSize(p), (Size{110, 70}));
    const std::vector<VisibleSegment> expected = {
        {Rect(0, 0, 30, 20), Rect(10, 0, 30, 20)},
        {Rect(50, 0, 50, 20), Rect(40, 0, 50, 20)},
        {Rect(0, 30, 30, 50), Rect(10, 20, 30, 50)},
        {Rect(50, 30, 50, 50), Rect(40, 20, 50, 50)},
    };
    EXPECT_EQ(visibleSegments(p), expected);

    // A kept piece wholly left of the image is skipped, but still takes its content width.
    const Panel q = makePanel({100, 80}, {{Axis::columns, -20, -10}}, Rect(-50, 0, 150, 80));
    EXPECT_EQ(visibleSegments(q), (std::vector<VisibleSegment>{{Rect(0, 0, 100, 80), Rect(40, 0, 100, 80)}}));

    // Every row removed: nothing to draw.
    const Panel r = makePanel({100, 80}, {{Axis::rows, 0, 80}});
    EXPECT_TRUE(visibleSegments(r).empty());
}

TEST(PanelGeometry, SeamsFollowTheTurn)
{
    Panel p = makePanel({40, 30}, {{Axis::rows, 10, 15}});
    p.orientation = {1, false};
    p.pixelsPerPoint = 2;
    // Content 40 x 25; the row seam at content y 10 becomes a vertical line at x (25 - 10) / 2.
    EXPECT_EQ(stripSeams(p), (std::vector<StripSeam>{{{7.5, 0}, {7.5, 20}}}));
}

TEST(PanelGeometry, AnnotationsLyingInOneRemovedBandAreHidden)
{
    const Panel p = makePanel({300, 200}, {{Axis::columns, 100, 150}, {Axis::rows, 20, 40}}, Rect(10, 0, 280, 200));
    struct Case {
        const char* name;
        std::vector<Point> points;
        bool hidden;
    };
    const Case cases[] = {
        {"inside the column band", {{115, 10}, {140, 190}}, true},
        {"on both edges of the column band", {{100, 10}, {150, 190}}, true},
        {"past the band's right edge", {{115, 10}, {151, 190}}, false},
        {"before the band's left edge", {{99, 10}, {140, 190}}, false},
        {"inside the row band", {{0, 25}, {300, 35}}, true},
        {"across both bands", {{115, 25}, {200, 100}}, false},
        {"no points", {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Annotation a = Annotation::make(test::uuid(9), AnnotationKind::rectangle, c.points);
        EXPECT_EQ(liesInRemovedBand(p, a), c.hidden);
        EXPECT_EQ(isHidden(p, a, pointBoxExtents), c.hidden);
    }
    EXPECT_FALSE(
        liesInRemovedBand(makePanel({300, 200}), Annotation::make(test::uuid(9), AnnotationKind::text, {{115, 10}})));
}

TEST(PanelGeometry, CropClipHidesWhatNoLongerMeetsIt)
{
    Panel p = makePanel({400, 300});
    p.pixelsPerPoint = 2;
    p.origin = {100, 0};
    const Rect clip(0, 0, 200, 100);
    struct Case {
        const char* name;
        AnnotationKind kind;
        std::vector<Point> points;
        std::optional<Rect> clip;
        bool outside;
    };
    const Case cases[] = {
        {"inside the clip", AnnotationKind::rectangle, {{10, 10}, {50, 50}}, clip, false},
        {"reaching into the clip", AnnotationKind::rectangle, {{150, 50}, {300, 200}}, clip, false},
        {"wholly beyond the clip", AnnotationKind::rectangle, {{250, 150}, {300, 200}}, clip, true},
        {"without a clip", AnnotationKind::rectangle, {{250, 150}, {300, 200}}, std::nullopt, false},
        {"without points", AnnotationKind::rectangle, {}, clip, false},
        // A lens is judged by the area it enlarges, not by where it shows it.
        {"lens enlarging outside", AnnotationKind::lens, {{250, 150}, {300, 200}, {10, 10}, {60, 60}}, clip, true},
        {"lens enlarging inside", AnnotationKind::lens, {{10, 10}, {50, 50}, {250, 150}, {300, 200}}, clip, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Annotation a = Annotation::make(test::uuid(9), c.kind, c.points, {}, std::nullopt, c.clip);
        EXPECT_EQ(isOutsideCrop(p, a, pointBoxExtents), c.outside);
        EXPECT_EQ(isHidden(p, a, pointBoxExtents), c.outside);
    }
    const Annotation a = Annotation::make(test::uuid(9), AnnotationKind::rectangle, {{0, 0}}, {}, std::nullopt, clip);
    EXPECT_EQ(clipRect(p, a), Rect(100, 0, 100, 50));
    EXPECT_EQ(clipRect(p, Annotation::make(test::uuid(9), AnnotationKind::rectangle, {{0, 0}})), std::nullopt);

    const auto nothing = [](const Panel&, const Annotation&) { return ShapeExtents{}; };
    EXPECT_TRUE(isOutsideCrop(p, a, nothing));
}

TEST(PanelGeometry, WorkAreaReachesOverVisibleAnnotationsOnly)
{
    Panel p = makePanel({200, 100}, {{Axis::columns, 150, 180}});
    p.origin = {10, 10};
    p.annotations = {
        Annotation::make(test::uuid(3), AnnotationKind::rectangle, {{-20, 10}, {50, 50}}),
        // hidden in the band
        Annotation::make(test::uuid(4), AnnotationKind::rectangle, {{160, 500}, {170, 600}}),
        // hidden by its clip
        Annotation::make(test::uuid(5), AnnotationKind::rectangle, {{0, 300}, {10, 400}}, {}, std::nullopt,
                         Rect(0, 0, 200, 100)),
        Annotation::make(test::uuid(6), AnnotationKind::rectangle, {{190, 20}, {230, 150}}),
    };
    // Frame (10, 10, 170, 100); the last annotation's x 230 collapses to 200, canvas 210.
    EXPECT_EQ(workArea(p, pointBoxExtents), Rect::corner({-10, 10}, {210, 160}));

    const auto nothing = [](const Panel&, const Annotation&) { return ShapeExtents{}; };
    EXPECT_EQ(workArea(p, nothing), frame(p));
}
