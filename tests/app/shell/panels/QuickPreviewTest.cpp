// The quick preview on the offscreen platform (one screen of 800 × 600): its panel, its
// actions and its hiding. The real desktop's placement, focus and pointer are in
// QuickPreviewDesktopTest.

#include "app/shell/panels/QuickPreview.h"

#include "app/shell/panels/PreviewThumbnail.h"
#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"
#include "support/EventLoopWaits.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

CapturedShot shotOf(QSize pixels, double pixelsPerPoint = 1, std::optional<QString> app = u"Terminale"_s)
{
    CapturedShot shot;
    shot.image = QImage(pixels, QImage::Format_RGB32);
    shot.image.fill(QColor(20, 120, 220));
    QBuffer buffer(&shot.pngData);
    buffer.open(QIODevice::WriteOnly);
    shot.image.save(&buffer, "PNG");
    shot.pixelsPerPoint = pixelsPerPoint;
    if (app)
        shot.sourceApp = SourceApplication{.pid = 42, .name = *app, .window = 7};
    return shot;
}

QPushButton* button(QWidget* panel, const QString& title)
{
    for (QPushButton* candidate : panel->findChildren<QPushButton*>())
        if (candidate->text() == title)
            return candidate;
    return nullptr;
}

QFileDialog* openFileDialog()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QFileDialog*>(window); dialog && dialog->isVisible())
            return dialog;
    return nullptr;
}

const QDateTime shotDate(QDate(2026, 3, 14), QTime(9, 26, 53), Qt::UTC);

class QuickPreviewTest : public testing::Test {
protected:
    QuickPreviewTest()
    {
        preview.setHooks({
            .openInEditor = [this](const CapturedShot& shot,
                                   const QDateTime& date) { opened.emplace_back(shot, date); },
            .showAsRegularApp = [this] { ++regularSwitches; },
        });
    }

    ~QuickPreviewTest() override
    {
        if (QFileDialog* dialog = openFileDialog())
            dialog->reject();
        preview.close();
        processEventsFor(10ms);
    }

    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    QuickPreview preview{settings};
    std::vector<std::pair<CapturedShot, QDateTime>> opened;
    int regularSwitches = 0;
};

} // namespace

TEST_F(QuickPreviewTest, ThePanelSitsAtTheBottomRightWithTheThumbnailNoteAndButtons)
{
    preview.show(shotOf({100, 40}), shotDate);
    QWidget* panel = preview.panel();
    ASSERT_TRUE(panel);
    EXPECT_TRUE(panel->isVisible());
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(panel->geometry(), QRect(available.right() + 1 - 16 - 260, available.bottom() + 1 - 16 - 124, 260, 124));
    EXPECT_TRUE(panel->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(panel->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(panel->testAttribute(Qt::WA_ShowWithoutActivating));

    ASSERT_TRUE(preview.thumbnail());
    EXPECT_EQ(preview.thumbnail()->size(), QSize(120, 60));
    EXPECT_EQ(preview.thumbnail()->toolTip(),
              u"Clic per modificare; trascina per mettere l'immagine in un'altra app"_s);
    const QList<QLabel*> labels = panel->findChildren<QLabel*>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(),
                            [](QLabel* label) { return label->text() == u"Copiato negli appunti"_s; }));
    for (const QString& title : {u"Modifica"_s, u"Salva…"_s, u"Chiudi"_s}) {
        SCOPED_TRACE(title.toStdString());
        ASSERT_TRUE(button(panel, title));
        EXPECT_EQ(button(panel, title)->focusPolicy(), Qt::NoFocus);
    }
    EXPECT_TRUE(preview.isHidePending());
}

TEST_F(QuickPreviewTest, ThumbnailPicturesAreScaledOnceToTheirFrame)
{
    const QImage big(5120, 2880, QImage::Format_RGB32);
    EXPECT_EQ(PreviewThumbnail::scaledPicture(big, {240, 135}).size(), QSize(240, 135));
    EXPECT_EQ(PreviewThumbnail::scaledPicture(QImage(100, 40, QImage::Format_RGB32), {120, 48}).size(), QSize(120, 48));
    EXPECT_TRUE(PreviewThumbnail::scaledPicture(QImage(), {120, 48}).isNull());

    QImage halves(4000, 2000, QImage::Format_RGB32);
    halves.fill(Qt::red);
    for (int y = 0; y < 2000; ++y)
        std::fill_n(reinterpret_cast<QRgb*>(halves.scanLine(y)) + 2000, 2000, qRgb(0, 0, 255));
    const QImage small = PreviewThumbnail::scaledPicture(halves, {200, 100});
    EXPECT_EQ(small.pixel(10, 50), qRgb(255, 0, 0));
    EXPECT_EQ(small.pixel(190, 50), qRgb(0, 0, 255));
}

TEST_F(QuickPreviewTest, ANewShotReplacesThePreviewAndRestartsTheDelay)
{
    preview.setHideDelay(300ms);
    preview.show(shotOf({100, 40}), shotDate);
    QPointer<QWidget> first = preview.panel();
    processEventsFor(200ms);
    preview.show(shotOf({2400, 1500}), shotDate.addSecs(5));
    EXPECT_TRUE(first.isNull() || !first->isVisible());
    ASSERT_TRUE(preview.panel());
    EXPECT_NE(preview.panel(), first.data());
    EXPECT_EQ(preview.panel()->size(), QSize(260, 214));
    EXPECT_EQ(preview.date(), shotDate.addSecs(5));
    processEventsFor(200ms);
    EXPECT_TRUE(preview.panel()) << "the second shot has its own delay";
    EXPECT_TRUE(waitUntil([&] { return preview.panel() == nullptr; }, 1s));
    processEventsFor(20ms);
    EXPECT_TRUE(first.isNull()) << "closed panels are deleted";
}

TEST_F(QuickPreviewTest, ThePointerOnThePanelHoldsItAndLeavingStartsTheDelayAgain)
{
    preview.setHideDelay(100ms);
    preview.show(shotOf({100, 40}), shotDate);
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(preview.panel(), &enter);
    EXPECT_FALSE(preview.isHidePending());
    processEventsFor(300ms);
    ASSERT_TRUE(preview.panel());

    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(preview.panel(), &leave);
    EXPECT_TRUE(preview.isHidePending());
    EXPECT_TRUE(waitUntil([&] { return preview.panel() == nullptr; }, 1s));
    ASSERT_TRUE(preview.shot());
    EXPECT_EQ(preview.shot()->image.size(), QSize(100, 40)) << "the shot stays after closing";
}

TEST_F(QuickPreviewTest, AClickOnTheThumbnailOrModificaOpensTheEditorAndCloses)
{
    const CapturedShot shot = shotOf({300, 200});
    preview.show(shot, shotDate);
    QTest::mouseClick(preview.thumbnail(), Qt::LeftButton, {}, QPoint(20, 20));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].first, shot);
    EXPECT_EQ(opened[0].second, shotDate);
    EXPECT_FALSE(preview.panel());

    preview.show(shot, shotDate);
    button(preview.panel(), u"Modifica"_s)->click();
    EXPECT_EQ(opened.size(), 2u);
    EXPECT_FALSE(preview.panel());
}

TEST_F(QuickPreviewTest, ChiudiClosesWithoutOpeningAnything)
{
    preview.show(shotOf({300, 200}), shotDate);
    QPointer<QWidget> panel = preview.panel();
    button(panel, u"Chiudi"_s)->click();
    EXPECT_FALSE(preview.panel());
    EXPECT_FALSE(preview.isHidePending());
    EXPECT_TRUE(opened.empty());
    processEventsFor(20ms);
    EXPECT_TRUE(panel.isNull());
}

TEST_F(QuickPreviewTest, DragDataIsTheShotNamedByTheImageTemplate)
{
    const CapturedShot shot = shotOf({300, 200});
    preview.show(shot, shotDate);
    ASSERT_TRUE(preview.thumbnail()->dragData);
    std::optional<PreviewThumbnail::DragData> data = preview.thumbnail()->dragData();
    ASSERT_TRUE(data);
    EXPECT_EQ(data->first, shot.pngData);
    EXPECT_EQ(data->second, u"Scatto 2026-03-14 alle 09.26.53"_s);

    settings.set(setting::imageFilenameTemplate, FilenameTemplate{u"{app} {data}"_s});
    EXPECT_EQ(preview.thumbnail()->dragData()->second, u"Terminale 2026-03-14"_s);
    preview.show(shotOf({300, 200}, 1, std::nullopt), shotDate);
    EXPECT_EQ(preview.thumbnail()->dragData()->second, u"2026-03-14"_s);
}

TEST_F(QuickPreviewTest, WithoutDragDataAPressAndMoveStaysAClick)
{
    preview.show(shotOf({300, 200}), shotDate);
    PreviewThumbnail* thumbnail = preview.thumbnail();
    thumbnail->dragData = [] { return std::optional<PreviewThumbnail::DragData>(); };
    QTest::mousePress(thumbnail, Qt::LeftButton, {}, QPoint(20, 20));
    QMouseEvent move(QEvent::MouseMove, QPointF(30, 25), thumbnail->mapToGlobal(QPointF(30, 25)), Qt::NoButton,
                     Qt::LeftButton, {});
    QCoreApplication::sendEvent(thumbnail, &move);
    EXPECT_TRUE(thumbnail->gesture().down.has_value());
    QTest::mouseRelease(thumbnail, Qt::LeftButton, {}, QPoint(30, 25));
    EXPECT_EQ(opened.size(), 1u);
}

TEST_F(QuickPreviewTest, SavingKeepsThePreviewWhileTheDialogIsOpenAndClosesItAfter)
{
    QTemporaryDir folder;
    const CapturedShot shot = shotOf({300, 200});
    preview.setHideDelay(100ms);
    preview.show(shot, shotDate);
    button(preview.panel(), u"Salva…"_s)->click();
    EXPECT_EQ(regularSwitches, 1);
    QFileDialog* dialog = openFileDialog();
    ASSERT_TRUE(dialog);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(preview.panel(), &leave);
    processEventsFor(300ms);
    ASSERT_TRUE(preview.panel()) << "no hiding while the dialog is open";
    EXPECT_TRUE(preview.panel()->isVisible());

    const QString path = folder.filePath(u"Scatto 2026-03-14 alle 09.26.53.png"_s);
    dialog->setDirectory(folder.path());
    ASSERT_EQ(dialog->selectedFiles(), QStringList{path});
    static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
    EXPECT_FALSE(preview.panel());
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), shot.pngData);

    // Cancelling writes nothing and closes too.
    preview.show(shot, shotDate);
    button(preview.panel(), u"Salva…"_s)->click();
    ASSERT_TRUE(openFileDialog());
    openFileDialog()->reject();
    EXPECT_FALSE(preview.panel());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(QuickPreviewTest, ASaveDialogAnsweredAfterANewShotLeavesTheNewPreview)
{
    preview.show(shotOf({300, 200}), shotDate);
    button(preview.panel(), u"Salva…"_s)->click();
    QFileDialog* dialog = openFileDialog();
    ASSERT_TRUE(dialog);
    preview.show(shotOf({400, 200}), shotDate.addSecs(1));
    dialog->reject();
    ASSERT_TRUE(preview.panel());
    EXPECT_TRUE(preview.isHidePending());
}
