#include "app/editor/canvas/CanvasOverlays.h"

#include "support/ModelBuilders.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace vorlix;

TEST(CanvasOverlaysTest, CheckerboardKeepsItsPhaseAtEveryMagnificationAndDirtyArea)
{
    const CanvasOverlays::Colors colors{Qt::black, Qt::blue, Qt::magenta};
    const Rect rect(10, 20, 40, 40);
    const int base = qAlpha(QColor(0, 0, 0, 13).rgba()); // 0.05 of black
    for (const double m : {1.0, 2.0, 0.5}) {
        SCOPED_TRACE(m);
        // A dirty area that starts and ends mid-cell: the partial cells are painted too,
        // nothing outside it is.
        const Rect dirty(14, 20, 30, 20);
        QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.scale(m, m);
            painter.setRenderHint(QPainter::SmoothPixmapTransform); // callers may leave it on
            CanvasOverlays::fillCheckerboard(painter, rect, dirty, m, colors);
        }
        const double cell = 8 / m; // eight view points a cell
        // The alpha at the middle of the cell (column, row) counted from rect's corner.
        const auto alphaOfCell = [&](int column, int row) {
            const double x = rect.minX() + (column + 0.5) * cell;
            const double y = rect.minY() + (row + 0.5) * cell;
            return qAlpha(image.pixel(int(x * m), int(y * m)));
        };
        const auto isInDirty = [&](int column, int row) {
            return dirty.contains({rect.minX() + (column + 0.5) * cell, rect.minY() + (row + 0.5) * cell});
        };
        for (int row = 0; row * cell < rect.height(); ++row)
            for (int column = 0; column * cell < rect.width(); ++column) {
                SCOPED_TRACE(testing::Message() << column << "," << row);
                if (!isInDirty(column, row))
                    EXPECT_EQ(alphaOfCell(column, row), 0);
                else if ((column + row) % 2 == 0)
                    EXPECT_GT(alphaOfCell(column, row), base + 10);
                else
                    EXPECT_EQ(alphaOfCell(column, row), base);
            }
    }
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

TEST(CanvasOverlaysTest, AStripBandCrossesThePanelAlongTheSmallerMovement)
{
    const Rect frame(10, 20, 200, 100);
    struct Case {
        Point start, current;
        Rect expected;
    };
    const Case cases[] = {
        {{50, 40}, {55, 70}, {10, 40, 200, 30}},    // mostly vertical: a horizontal band
        {{50, 40}, {90, 45}, {50, 20, 40, 100}},    // mostly horizontal: a vertical band
        {{90, 70}, {60, 40}, {10, 40, 200, 30}},    // exactly diagonal: horizontal
        {{50, 100}, {55, 200}, {10, 100, 200, 20}}, // cut at the panel's edge
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start.x << ", " << c.start.y);
        EXPECT_EQ(CanvasOverlays::stripBand(frame, c.start, c.current), c.expected);
    }
    EXPECT_TRUE(CanvasOverlays::stripBand(frame, {50, 300}, {55, 400}).isNull());
}
