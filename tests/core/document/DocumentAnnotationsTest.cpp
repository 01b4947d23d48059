#include "core/document/DocumentAnnotations.h"

#include "core/document/StepNumbers.h"
#include "core/model/PanelGeometry.h"
#include "support/ModelBuilders.h"

#include <gtest/gtest.h>

#include <limits>

using namespace vorlix;
using test::uuid;

namespace {

Panel panelAt(int id, Point origin, Size size = {200, 100})
{
    Panel p;
    p.id = uuid(id);
    p.imageID = uuid(id + 100);
    p.pixelSize = size;
    p.origin = origin;
    return p;
}

DocumentModel twoPanels()
{
    DocumentModel d;
    d.panels = {panelAt(1, {0, 0}), panelAt(2, {200, 0})};
    return d;
}

CanvasShape line(Point a, Point b)
{
    return CanvasShape{AnnotationKind::line, {a, b}, {}, Style::defaults(AnnotationKind::line)};
}

} // namespace

TEST(DocumentAnnotations, OwnerOfNewShapes)
{
    struct Case {
        const char* name;
        DocumentModel doc;
        std::vector<Point> points;
        std::optional<AnnotationKind> kind;
        AnnotationOwner expected;
    };
    DocumentModel one;
    one.panels = {panelAt(1, {0, 0})};
    DocumentModel overlapping = twoPanels();
    overlapping.panels[1].origin = {100, 0};
    const Case cases[] = {
        {"no panels", DocumentModel{}, {{5, 5}}, AnnotationKind::arrow, AnnotationOwner::document()},
        {"only panel, outside", one, {{500, 500}, {600, 600}}, AnnotationKind::arrow, AnnotationOwner::panel(uuid(1))},
        {"across two panels", twoPanels(), {{10, 10}, {210, 10}}, AnnotationKind::line, AnnotationOwner::document()},
        {"ends outside", twoPanels(), {{10, 10}, {10, 500}}, AnnotationKind::line, AnnotationOwner::panel(uuid(1))},
        {"overlap goes to the later",
         overlapping,
         {{150, 10}, {160, 20}},
         AnnotationKind::rectangle,
         AnnotationOwner::panel(uuid(2))},
        {"blur outside", twoPanels(), {{900, 900}}, AnnotationKind::blur, AnnotationOwner::panel(uuid(1))},
        {"blur without panels", DocumentModel{}, {{5, 5}}, AnnotationKind::blur, AnnotationOwner::document()},
        {"right edge is outside",
         twoPanels(),
         {{199.999, 10}, {200, 10}},
         AnnotationKind::line,
         AnnotationOwner::document()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ownerForNewShape(c.doc, c.points, c.kind), c.expected);
    }
}

TEST(DocumentAnnotations, InsertConvertsIntoTheOwnersSpace)
{
    DocumentModel d;
    d.panels = {panelAt(1, {10, 20})};
    d.panels[0].pixelsPerPoint = 2;
    const Annotation a = insert(d, line({10, 20}, {60, 70}), uuid(9));
    EXPECT_EQ(a.points, (std::vector<Point>{{0, 0}, {100, 100}}));
    EXPECT_EQ(owner(d, uuid(9)), AnnotationOwner::panel(uuid(1)));
    EXPECT_EQ(canvasShape(d, uuid(9))->points, (std::vector<Point>{{10, 20}, {60, 70}}));
    setCanvasPoints(d, uuid(9), {{10, 20}, {11, 21}});
    EXPECT_EQ(annotation(d, uuid(9))->points[1], (Point{2, 2}));
}

TEST(DocumentAnnotations, DrawOrderHitsAndNumbers)
{
    DocumentModel d = twoPanels();
    d.numberingStart = 5;
    Panel& p = d.panels[0];
    for (int i = 0; i < 3; ++i)
        p.annotations.push_back(Annotation::make(uuid(10 + i), AnnotationKind::number, {{20.0 + 50 * i, 50}}));
    d.annotations.push_back(Annotation::make(uuid(20), AnnotationKind::number, {{300, 50}}));
    EXPECT_EQ(numberValues(d),
              (std::map<QUuid, long long>{{uuid(10), 5}, {uuid(11), 6}, {uuid(12), 7}, {uuid(20), 8}}));
    p.removedStrips = {{RemovedStrip::Axis::columns, 60, 80}};
    EXPECT_EQ(numberValues(d), (std::map<QUuid, long long>{{uuid(10), 5}, {uuid(12), 6}, {uuid(20), 7}}));
    EXPECT_EQ(annotationIDsInDrawOrder(d), (std::vector<QUuid>{uuid(10), uuid(12), uuid(20)}));
    // A start at the top of the range (a file may hold any 64-bit start) does not overflow.
    d.numberingStart = std::numeric_limits<std::int64_t>::max() - 1;
    EXPECT_EQ(numberValues(d),
              (std::map<QUuid, long long>{
                  {uuid(10), d.numberingStart}, {uuid(12), d.numberingStart + 1}, {uuid(20), d.numberingStart + 1}}));
    d.numberingStart = 5;

    d.annotations.push_back(Annotation::make(uuid(21), AnnotationKind::rectangle, {{0, 0}, {40, 100}}));
    d.annotations.back().style.fill = FillMode::solid;
    EXPECT_EQ(topmostAnnotation(d, {20, 50}, 2), uuid(21));
    removeAnnotations(d, {uuid(21), uuid(10)});
    EXPECT_EQ(topmostAnnotation(d, {20, 50}, 2), std::nullopt);
    EXPECT_EQ(removeStepNumbers(d), 3);
    EXPECT_FALSE(hasNumbers(d));
}

TEST(DocumentAnnotations, CanvasBounds)
{
    EXPECT_EQ(canvasBounds(DocumentModel{}), Rect(0, 0, 0, 0));
    DocumentModel d;
    d.panels = {panelAt(1, {10.2, 10.7})};
    EXPECT_EQ(canvasBounds(d).origin, (Point{10, 10}));
    d.padding = 40;
    EXPECT_EQ(canvasBounds(d).origin, (Point{-30, -30}));

    // A clipped annotation counts only inside its clip.
    d.padding = 0;
    d.panels[0].origin = {0, 0};
    Annotation wide = Annotation::make(uuid(5), AnnotationKind::rectangle, {{50, 10}, {400, 50}});
    wide.cropClip = Rect(0, 0, 200, 100);
    d.panels[0].annotations = {wide};
    EXPECT_EQ(canvasBounds(d), Rect(0, 0, 200, 100));
    EXPECT_EQ(referencedImageIDs(d), (std::set<QUuid>{uuid(101)}));
}

TEST(StepNumbers, BadgesSitInsideTheTopLeftCorner)
{
    DocumentModel d;
    d.panels = {panelAt(1, {100, 50})};
    Style s = Style::defaults(AnnotationKind::number);
    s.fontSize = 20;
    EXPECT_EQ(addStepNumbers(d, s), 1);
    EXPECT_EQ(canvasShape(d, d.panels[0].annotations[0].id)->points[0], (Point{124, 74}));
    EXPECT_EQ(addStepNumbers(d, s), 0);
    // A number outside the crop no longer counts.
    d.panels[0].annotations[0].cropClip = Rect(150, 80, 10, 10);
    EXPECT_EQ(addStepNumbers(d, s), 1);
}
