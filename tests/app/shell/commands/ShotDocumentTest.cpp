// One-image documents from shots, files and clipboard pictures: density, orientation,
// stamp and window look as the opening state, and shots added as undo steps.

#include "app/shell/commands/ShotDocument.h"

#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"
#include "core/imaging/ImageCoding.h"
#include "support/ImageFixtures.h"

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;

namespace {

QByteArray pngAt(int dpi, QSize size = QSize(40, 20))
{
    QImage image = cornerImage(size.width(), size.height());
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    return pngOf(image);
}

CapturedShot shotOf(CaptureKind kind, QSize size = QSize(40, 20))
{
    CapturedShot shot;
    shot.image = cornerImage(size.width(), size.height());
    shot.pngData = pngAt(144, size);
    shot.pixelsPerPoint = 2;
    shot.kind = kind;
    shot.sourceApp = SourceApplication{42, QStringLiteral("Terminale"), 7};
    return shot;
}

class ShotDocumentTest : public testing::Test {
protected:
    NotificationCenter center;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), center};
    const QDateTime date = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9), Qt::UTC);
};

TEST_F(ShotDocumentTest, DensityFollowsTheRecordedDotsPerInch)
{
    EXPECT_EQ(ShotDocument::pixelsPerPointOf(pngAt(144)), 2);
    EXPECT_EQ(ShotDocument::pixelsPerPointOf(pngAt(143)), 1);
    EXPECT_EQ(ShotDocument::pixelsPerPointOf(pngAt(72)), 1);
    EXPECT_EQ(ShotDocument::pixelsPerPointOf(QByteArray("no image")), 1);
}

TEST_F(ShotDocumentTest, AFileOpensAsOneCleanPanelWithItsBytesAndOrientation)
{
    const QByteArray jpeg =
        withExifOrientation(ImageCoding::encode(cornerImage(40, 20), ImageType::jpeg, 1, 0.9).value(), 6);
    ShotDocument::Details details;
    details.fileExtension = QStringLiteral("JPG");
    details.createdAt = date;
    const auto document = ShotDocument::make(jpeg, details, settings);

    ASSERT_TRUE(document);
    ASSERT_EQ(document->model().panels.size(), 1u);
    const Panel& panel = document->model().panels.front();
    EXPECT_EQ(panel.pixelSize, (Size{40, 20}));
    EXPECT_EQ(panel.orientation.quarterTurns, 1);
    EXPECT_EQ(panel.origin, (Point{0, 0}));
    const std::optional<ImageAsset> asset = document->images().asset(panel.imageID);
    ASSERT_TRUE(asset);
    EXPECT_EQ(asset->data, jpeg);
    EXPECT_EQ(asset->fileExtension, QStringLiteral("jpg"));
    EXPECT_FALSE(document->isEdited());
    EXPECT_FALSE(document->undoManager().canUndo());
    EXPECT_EQ(document->createdAt, date);
    EXPECT_FALSE(ShotDocument::make(QByteArray("broken"), details, settings));
}

TEST_F(ShotDocumentTest, AShotDocumentCarriesItsStampAndWindowLookWithoutUndoSteps)
{
    settings.set(setting::timestampOnShots, true);
    for (CaptureKind kind : {CaptureKind::area, CaptureKind::window}) {
        SCOPED_TRACE(int(kind));
        const auto document = ShotDocument::make(shotOf(kind), date, settings);
        ASSERT_TRUE(document);
        const DocumentModel& model = document->model();
        ASSERT_EQ(model.panels.size(), 1u);
        EXPECT_EQ(model.panels.front().pixelsPerPoint, 2);
        EXPECT_EQ(model.panels.front().annotations.size() + model.annotations.size(), 1u); // the stamp
        EXPECT_EQ(model.padding, kind == CaptureKind::window ? 40 : 0);
        EXPECT_EQ(model.panelShadow, kind == CaptureKind::window);
        EXPECT_EQ(document->sourceAppName, QStringLiteral("Terminale"));
        EXPECT_FALSE(document->undoManager().canUndo());
        EXPECT_FALSE(document->isEdited());
    }
}

TEST_F(ShotDocumentTest, AnAddedShotIsOneUndoStep)
{
    const auto document = ShotDocument::make(shotOf(CaptureKind::area), date, settings);
    ASSERT_TRUE(document);
    EXPECT_TRUE(ShotDocument::add(shotOf(CaptureKind::area, QSize(30, 30)), *document));
    EXPECT_EQ(document->model().panels.size(), 2u);
    EXPECT_EQ(document->undoManager().undoActionName(), QStringLiteral("Aggiungi scatto"));
    document->undoManager().undo();
    EXPECT_EQ(document->model().panels.size(), 1u);

    CapturedShot broken = shotOf(CaptureKind::area);
    broken.pngData = "broken";
    EXPECT_FALSE(ShotDocument::add(broken, *document));
}

} // namespace
