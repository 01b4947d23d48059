#include "core/document/PanelComposition.h"

#include "core/document/CropAndStrips.h"
#include "core/document/PanelCaptions.h"
#include "core/model/PanelGeometry.h"
#include "core/shapes/TextLayout.h"
#include "support/ModelBuilders.h"

#include <gtest/gtest.h>

using namespace vorlix;

namespace {
DocumentModel withPanels(PanelLayout::Mode mode, std::vector<Size> sizes, double spacing = 20)
{
    DocumentModel d;
    d.layout = {mode, spacing};
    for (Size s : sizes)
        addPanel(d, QUuid::createUuid(), s, 1, PanelOrientation::identity());
    return d;
}
} // namespace

TEST(PanelComposition, ColumnsMakeRoomForCaptions)
{
    DocumentModel d = withPanels(PanelLayout::Mode::vertical, {{400, 300}, {400, 300}});
    EXPECT_EQ(d.panels[0].origin, Point{});
    d.panels[0].caption = QStringLiteral("Didascalia");
    layoutAutomaticPanels(d);
    const double captionHeight = captionFrame(d.panels[0])->height();
    EXPECT_EQ(d.panels[1].origin, (Point{0, 300 + 8 + captionHeight + 20}));
    d.panels[0].caption = QStringLiteral(" \n ");
    layoutAutomaticPanels(d);
    EXPECT_EQ(d.panels[1].origin, (Point{0, 320}));
}

TEST(PanelComposition, GridCellsAreEqual)
{
    DocumentModel d = withPanels(PanelLayout::Mode::grid, {{100, 50}, {80, 70}, {60, 40}, {90, 60}, {30, 30}}, 10);
    arrangePanels(d);
    EXPECT_EQ(d.panels[4].origin, (Point{110, 80}));
    EXPECT_EQ(gridOrigins({}, 10, {}), std::vector<Point>{});
}

TEST(PanelComposition, ManualPanelsStayAndOthersCloseUp)
{
    DocumentModel d = withPanels(PanelLayout::Mode::vertical, {{100, 100}, {100, 100}, {100, 100}});
    movePanel(d, d.panels[1].id, {500, 500});
    layoutAutomaticPanels(d);
    EXPECT_EQ(d.panels[1].origin, (Point{500, 500}));
    EXPECT_EQ(d.panels[2].origin, (Point{0, 120}));
}

TEST(PanelComposition, TurnsAndMirrors)
{
    DocumentModel d = withPanels(PanelLayout::Mode::vertical, {{100, 50}});
    const QUuid id = d.panels[0].id;
    for (int i = 0; i < 4; ++i)
        rotatePanel(d, id, true);
    EXPECT_EQ(d.panels[0].orientation.quarterTurns, 0);
    d.panels[0].orientation.flippedHorizontally = true;
    rotatePanel(d, id, true);
    EXPECT_EQ(d.panels[0].orientation.quarterTurns, 3);
    d.panels[0].orientation = {};
    flipPanel(d, id, false);
    EXPECT_EQ(d.panels[0].orientation, (PanelOrientation{2, true}));
    const DocumentModel before = d;
    removePanel(d, QUuid::createUuid());
    EXPECT_EQ(d, before);
}

TEST(PanelCaptions, ColourFollowsTheBackground)
{
    EXPECT_EQ(captionStyle(CanvasBackground{TransparentBackground{}}).strokeColor, RGBAColor::hex("#3C3C43"));
    EXPECT_EQ(captionStyle(CanvasBackground{ColorBackground{RGBAColor::black()}}).strokeColor, RGBAColor::white());
    EXPECT_EQ(captionStyle(CanvasBackground{ColorBackground{RGBAColor::white()}}).strokeColor,
              RGBAColor::hex("#3C3C43"));
    Panel p;
    p.pixelSize = {400, 300};
    p.caption = QStringLiteral("  Passo  ");
    const Rect f = *captionFrame(p);
    EXPECT_EQ(f.origin, (Point{0, 308}));
    EXPECT_EQ(f.size, TextLayout::size(QStringLiteral("Passo"), baseCaptionStyle(), std::nullopt));
}

TEST(CropAndStrips, CropsKeepTheImageCentreAndClipAnnotations)
{
    DocumentModel d = withPanels(PanelLayout::Mode::vertical, {{400, 300}});
    d.annotations = {Annotation::make(QUuid::createUuid(), AnnotationKind::arrow, {{10, 10}, {50, 50}})};
    const QUuid id = d.panels[0].id;
    const Point centre = canvasPointFromImage(d.panels[0], {200, 150});
    applyCrop(d, Rect(10.4, 10.6, 99.2, 50.1), id);
    EXPECT_EQ(d.panels[0].crop, Rect(10, 10, 100, 51));
    EXPECT_TRUE(d.annotations.empty());
    ASSERT_EQ(d.panels[0].annotations.size(), 1u);
    EXPECT_EQ(d.panels[0].annotations[0].cropClip, d.panels[0].crop);
    const Point after = canvasPointFromImage(d.panels[0], {200, 150});
    EXPECT_NEAR(after.x, centre.x, 1e-9);
    EXPECT_NEAR(after.y, centre.y, 1e-9);
    applyCrop(d, Rect(0, 0, 400, 300), id);
    EXPECT_FALSE(d.panels[0].crop);
    EXPECT_FALSE(d.panels[0].annotations[0].cropClip);
}

TEST(CropAndStrips, CropBesideTheImageIsNoCrop)
{
    DocumentModel d = withPanels(PanelLayout::Mode::vertical, {{400, 300}});
    d.panels[0].annotations = {Annotation::make(QUuid::createUuid(), AnnotationKind::arrow, {{500, 10}, {550, 50}})};
    for (const Rect& crop : {Rect(500, 0, 100, 100), Rect(10, 10, 0, 50)}) {
        applyCrop(d, crop, d.panels[0].id);
        EXPECT_FALSE(d.panels[0].crop);
        EXPECT_FALSE(d.panels[0].annotations[0].cropClip);
    }
}

TEST(CropAndStrips, StripsFollowTheDragAndCarryDocumentAnnotations)
{
    DocumentModel d = withPanels(PanelLayout::Mode::vertical, {{200, 100}, {200, 100}});
    const QUuid a = d.panels[0].id;
    EXPECT_FALSE(removeStrip(d, a, {10, 50}, {11.5, 50}));
    d.annotations = {Annotation::make(QUuid::createUuid(), AnnotationKind::line, {{100, 90}, {100, 160}, {900, 900}})};
    EXPECT_TRUE(removeStrip(d, a, {100, 10}, {100, 40}));
    EXPECT_EQ(d.panels[0].removedStrips.back().axis, RemovedStrip::Axis::rows);
    EXPECT_EQ(d.panels[1].origin, (Point{0, 90}));
    const auto& points = d.annotations[0].points;
    EXPECT_EQ(points[0], (Point{100, 60}));
    EXPECT_EQ(points[1], (Point{100, 130}));
    EXPECT_EQ(points[2], (Point{900, 900}));

    rotatePanel(d, a, true);
    const Rect f = frame(d.panels[0]);
    EXPECT_TRUE(removeStrip(d, a, {f.midX(), f.minY() + 5}, {f.midX(), f.minY() + 30}));
    EXPECT_EQ(d.panels[0].removedStrips.back().axis, RemovedStrip::Axis::columns);
    restoreStrips(d, a);
    EXPECT_TRUE(d.panels[0].removedStrips.empty());
}
