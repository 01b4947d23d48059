#include "app/editor/canvas/CanvasView.h"
#include "app/support/Pasteboard.h"
#include "core/model/PanelGeometry.h"

#include "DocumentCanvas.h"

#include <QClipboard>
#include <QMimeData>
#include <QPainter>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// A second panel at two pixels per point: a white picture holding a light grey square ring with a
// white pocket inside, which the fill from the edges cannot reach. `subject` is its frame.
struct CanvasCutOutTest : test::DocumentCanvas {
    CanvasCutOutTest()
    {
        QImage image(200, 200, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.fillRect(40, 40, 120, 120, QColor(220, 220, 225));
            painter.fillRect(80, 80, 40, 40, Qt::white);
        }
        document.addImage(*ImageCoding::encode(image, ImageType::png, 2, 0.9), u"png"_s, 2, u"Aggiungi"_s);
        undo().removeAllActions();
        subject = frame(editor().model().panels.back());
        view->setTool(Tool::cutOut);
        view->zoomToFit();
    }

    const std::optional<CutOutSession>& session() const { return view->state().cutOutSession; }
    // A canvas point inside the subject, from picture pixels.
    Point at(double x, double y) const { return subject.origin + Point{x / 2, y / 2}; }
    static QRgb pixel(const CutOut::Result& result, int x, int y)
    {
        return result.image.pixel(x - int(result.bounds.minX()), y - int(result.bounds.minY()));
    }

    Rect subject;
};

TEST_F(CanvasCutOutTest, DraggedRegionStartsASessionThatRemovesTheBackground)
{
    view->beginCutOut(Rect(subject.origin, Size{3, 50}));
    EXPECT_FALSE(session());

    drag(subject.origin, {subject.maxX(), subject.maxY()});
    ASSERT_TRUE(session());
    EXPECT_EQ(session()->pixelsPerPoint, 2);
    EXPECT_EQ(session()->source.size(), QSize(200, 200));
    ASSERT_TRUE(session()->result);
    EXPECT_EQ(session()->result->bounds, Rect(40, 40, 120, 120));
    EXPECT_EQ(qAlpha(pixel(*session()->result, 100, 100)), 255); // the pocket stays
    EXPECT_EQ(editor().model().panels.size(), 2u);               // nothing placed yet

    // A press outside the region ends the session.
    click(Point{subject.minX() - 20, subject.minY() - 20});
    EXPECT_FALSE(session());
    EXPECT_FALSE(undo().canUndo());
}

TEST_F(CanvasCutOutTest, SeedsAreAddedAndTakenBack)
{
    view->beginCutOut(subject);
    ASSERT_TRUE(session() && session()->result);
    const CutOut::Result untouched = *session()->result;
    const Rect region = session()->region;

    key(Qt::Key_Delete);
    EXPECT_EQ(beeps, 1); // no seed to take back

    // A click in the pocket removes it.
    click(at(100.6, 100.2));
    ASSERT_EQ(session()->holes, (std::vector<CutOut::Hole>{{{100, 100}, false}}));
    EXPECT_EQ(qAlpha(pixel(*session()->result, 100, 100)), 0);

    // A double click on the ring leaves one seed that removes its colour everywhere.
    click(at(50, 50));
    click(at(50, 50), 50ms);
    ASSERT_EQ(session()->holes.size(), 2u);
    EXPECT_EQ(session()->holes.back(), (CutOut::Hole{{50, 50}, true}));
    EXPECT_FALSE(session()->result);

    key(Qt::Key_Delete);
    key(Qt::Key_Backspace);
    EXPECT_TRUE(session()->holes.empty());
    EXPECT_EQ(session()->result, untouched);
    EXPECT_EQ(session()->region, region);
    EXPECT_EQ(beeps, 1);
}

TEST_F(CanvasCutOutTest, SensitivityIsClampedAndKeptForTheNextSession)
{
    for (const auto& [given, kept] : {std::pair{1.4, 1.0}, {-0.2, 0.0}, {0.3, 0.3}}) {
        view->setCutOutSensitivity(given);
        EXPECT_EQ(view->state().cutOutSensitivity, kept);
        EXPECT_EQ(settings.get(setting::cutOutSensitivity), kept);
    }
    // A running session follows the slider: at 1 the light ring counts as background too.
    view->setCutOutSensitivity(CutOut::defaultSensitivity);
    view->beginCutOut(subject);
    ASSERT_TRUE(session() && session()->result);
    view->setCutOutSensitivity(1);
    EXPECT_FALSE(session()->result);

    CanvasView next(editor(), document.images(), settings);
    EXPECT_EQ(next.state().cutOutSensitivity, 1);
}

TEST_F(CanvasCutOutTest, ResultIsCopiedAsPngAndPlacedAsANewSelectedPanel)
{
    EXPECT_FALSE(view->copyCutOut());
    EXPECT_EQ(beeps, 1);
    view->placeCutOut();
    EXPECT_EQ(beeps, 2);

    view->beginCutOut(subject);
    ASSERT_TRUE(session() && session()->result);
    const std::optional<CanvasView::CutOutPNG> png = view->cutOutPNG();
    ASSERT_TRUE(png);
    EXPECT_EQ(png->fileName, document.imageName() + u" scontornato"_s);

    ASSERT_TRUE(view->copyCutOut());
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(copied);
    EXPECT_EQ(copied->data(QString::fromLatin1(Pasteboard::pngType)), png->data);
    EXPECT_TRUE(session()); // copying keeps the session

    key(Qt::Key_Return);
    EXPECT_FALSE(session());
    const DocumentModel& model = editor().model();
    ASSERT_EQ(model.panels.size(), 3u);
    EXPECT_EQ(model.panels.back().pixelsPerPoint, 2);
    EXPECT_EQ(model.panels.back().pixelSize, (Size{120, 120}));
    EXPECT_EQ(undoNames(), std::vector<QString>{u"Scontorna"_s});
    EXPECT_EQ(view->tool(), Tool::select);
    EXPECT_EQ(view->state().selectedPanel, editor().model().panels.back().id);
    EXPECT_EQ(beeps, 2);
}

} // namespace
