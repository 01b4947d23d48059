#include "app/editor/canvas/CanvasOverlays.h"

#include "support/ModelBuilders.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace vorlix;

TEST(CanvasOverlaysTest, CheckerboardCellsKeepTheirPhaseAndCoverPartialCells)
{
    const Rect rect(10, 20, 40, 40);
    // A dirty area starting and ending mid-cell still gets the partial cells at both ends.
    const std::vector<Rect> cells = CanvasOverlays::checkerboardCells(rect, Rect(14, 20, 14, 4), 8);
    EXPECT_EQ(cells, (std::vector<Rect>{Rect(10, 20, 8, 8), Rect(26, 20, 8, 8)}));
    // Row 1 starts with the dark cell: its light cells are the odd columns.
    const std::vector<Rect> second = CanvasOverlays::checkerboardCells(rect, Rect(10, 28, 16, 8), 8);
    EXPECT_EQ(second, (std::vector<Rect>{Rect(18, 28, 8, 8)}));
    EXPECT_TRUE(CanvasOverlays::checkerboardCells(rect, Rect::null(), 8).empty());
}

TEST(CanvasOverlaysTest, OneSelectedShapeShowsHandlesSeveralShowDashedBoxes)
{
    DocumentModel document;
    document.annotations = {Annotation::make(test::uuid(1), AnnotationKind::rectangle, {{20, 20}, {80, 60}}),
                            Annotation::make(test::uuid(2), AnnotationKind::arrow, {{120, 20}, {180, 60}})};
    const CanvasOverlays::Colors colors{Qt::black, QColor(0, 0, 255), Qt::magenta};
    const auto draw = [&](std::set<QUuid> selection, bool textSession = false) {
        QImage image(200, 100, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        CanvasOverlays::drawSelection(painter, document, selection, textSession, 1, colors);
        return image;
    };
    // The rectangle's top-left handle: a white dot rimmed in the accent colour.
    const QImage one = draw({test::uuid(1)});
    EXPECT_EQ(one.pixelColor(20, 20), QColor(Qt::white));
    // Two shapes: dashed boxes 2 points outside the bounds, no dots.
    const QImage two = draw({test::uuid(1), test::uuid(2)});
    EXPECT_EQ(two.pixelColor(20, 20).alpha(), 0);
    // Editing text with one selected: nothing at all.
    const QImage editing = draw({test::uuid(1)}, true);
    EXPECT_EQ(editing.pixelColor(20, 20).alpha(), 0);
}
