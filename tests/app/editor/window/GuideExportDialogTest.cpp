// The guide export dialog: the name and type it proposes, and the PDF and the Markdown
// folder it writes for a document of three panels, which are the guide exporter's own.

#include "app/editor/window/GuideExportDialog.h"
#include "app/editor/document/ProjectDocument.h"
#include "app/support/Beeper.h"
#include "app/support/DefaultsStore.h"
#include "app/support/NotificationCenter.h"
#include "app/support/Settings.h"
#include "core/imaging/ImageCoding.h"
#include "support/ImageFixtures.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;
using namespace Qt::StringLiterals;

namespace {

struct GuideExportTest : testing::Test {
    QTemporaryDir folder;
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    ProjectDocument document{settings};
    QWidget window;

    std::vector<GuideExporter::Step> threeSteps()
    {
        for (const QColor colour : {QColor(200, 40, 40), QColor(40, 200, 40), QColor(40, 40, 200)}) {
            QImage image(120, 80, QImage::Format_RGB32);
            image.fill(colour);
            EXPECT_TRUE(document.addImage(pngOf(image), u"png"_s, 1.0, u"Aggiungi immagine"_s));
        }
        return GuideExporter::steps(document.model(), document.images());
    }

    QByteArray read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QList<QMessageBox*> alerts() { return window.findChildren<QMessageBox*>(); }
};

// The PDF less its creation date and its identifier, which differ between two runs.
QByteArray withoutStamps(QByteArray pdf)
{
    QString text = QString::fromLatin1(pdf);
    text.remove(QRegularExpression(u"/CreationDate \\([^)]*\\)"_s));
    text.remove(QRegularExpression(u"/ID \\[[^\\]]*\\]"_s));
    return text.toLatin1();
}

TEST_F(GuideExportTest, TheDialogProposesTheImageNameAsAGuideAndATypeOnlyForPdf)
{
    GuideExportDialog dialog(document);
    EXPECT_EQ(dialog.windowTitle(), u"Esporta come guida"_s);
    ASSERT_EQ(dialog.formatBox()->count(), 2);
    EXPECT_EQ(dialog.formatBox()->itemText(1), u"Markdown (cartella con le immagini)"_s);
    EXPECT_EQ(dialog.chosenFormat(), GuideExportDialog::Format::pdf);
    EXPECT_EQ(dialog.defaultSuffix(), u"pdf"_s);
    const QString proposed = document.imageName() + u" - guida"_s;
    EXPECT_EQ(QFileInfo(dialog.selectedFiles().value(0)).fileName(), proposed + u".pdf"_s);

    dialog.formatBox()->setCurrentIndex(1);
    EXPECT_EQ(dialog.chosenFormat(), GuideExportDialog::Format::markdown);
    EXPECT_EQ(dialog.defaultSuffix(), QString());
    EXPECT_EQ(QFileInfo(dialog.selectedFiles().value(0)).fileName(), proposed);
}

TEST_F(GuideExportTest, ThePdfIsTheGuideExportersTitledWithTheFileName)
{
    const auto steps = threeSteps();
    ASSERT_EQ(steps.size(), 3u);
    const QString path = folder.filePath(u"Procedura.pdf"_s);
    ASSERT_TRUE(GuideExportDialog::write(steps, path, GuideExportDialog::Format::pdf, &window));
    EXPECT_EQ(withoutStamps(read(path)), withoutStamps(*GuideExporter::pdf(u"Procedura"_s, steps)));
    EXPECT_TRUE(alerts().isEmpty());
}

TEST_F(GuideExportTest, TheMarkdownFolderHoldsEveryPictureAndTheGuideAndKeepsOtherFiles)
{
    const auto steps = threeSteps();
    const QString path = folder.filePath(u"Procedura"_s);
    ASSERT_TRUE(QDir().mkpath(path));
    QFile other(path + u"/appunti.txt"_s);
    ASSERT_TRUE(other.open(QIODevice::WriteOnly) && other.write("resta") == 5);
    other.close();
    QFile old(path + u"/guida.md"_s);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("vecchia") == 7);
    old.close();

    ASSERT_TRUE(GuideExportDialog::write(steps, path, GuideExportDialog::Format::markdown, &window));
    EXPECT_EQ(QDir(path).entryList(QDir::Files, QDir::Name),
              (QStringList{u"appunti.txt"_s, u"guida.md"_s, u"passaggio-01.png"_s, u"passaggio-02.png"_s,
                           u"passaggio-03.png"_s}));
    EXPECT_EQ(QString::fromUtf8(read(path + u"/guida.md"_s)), GuideExporter::markdown(u"Procedura"_s, steps));
    for (const auto& step : steps)
        EXPECT_EQ(read(path + u'/' + GuideExporter::imageFileName(step)),
                  *ImageCoding::encode(step.image, ImageType::png, step.pixelsPerPoint, 0.9));
    EXPECT_EQ(read(path + u"/appunti.txt"_s), "resta");
    EXPECT_TRUE(alerts().isEmpty());
}

TEST_F(GuideExportTest, AStepWithoutAPictureIsReportedAndNotLinked)
{
    auto steps = threeSteps();
    steps[1].image = QImage();
    const QString path = folder.filePath(u"Incompleta"_s);
    ASSERT_TRUE(GuideExportDialog::write(steps, path, GuideExportDialog::Format::markdown, &window));
    EXPECT_FALSE(QFile::exists(path + u"/passaggio-02.png"_s));
    const QString markdown = QString::fromUtf8(read(path + u"/guida.md"_s));
    EXPECT_TRUE(markdown.contains(u"## Passaggio 2"_s));
    EXPECT_FALSE(markdown.contains(u"passaggio-02.png"_s));
    EXPECT_TRUE(markdown.contains(u"passaggio-03.png"_s));
    const auto boxes = alerts();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes.front()->text(), (GuideExporter::FolderReport{{2}}.message()));
}

TEST_F(GuideExportTest, NoStepsBeepAndAFolderInTheWayIsAnAlert)
{
    int beeps = 0;
    Beeper::Override countBeeps{[&] { ++beeps; }};
    for (const auto format : {GuideExportDialog::Format::pdf, GuideExportDialog::Format::markdown})
        EXPECT_FALSE(GuideExportDialog::write({}, folder.filePath(u"vuota"_s), format, &window));
    EXPECT_EQ(beeps, 2);
    EXPECT_TRUE(QDir(folder.path()).isEmpty());

    // A file where the folder should be: nothing can be made there.
    const auto steps = threeSteps();
    QFile blocker(folder.filePath(u"occupato"_s));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(GuideExportDialog::write(steps, blocker.fileName(), GuideExportDialog::Format::markdown, &window));
    EXPECT_FALSE(GuideExportDialog::write(steps, blocker.fileName() + u"/dentro.pdf"_s, GuideExportDialog::Format::pdf,
                                          &window));
    EXPECT_EQ(alerts().size(), 2);
    EXPECT_EQ(beeps, 2);
}

} // namespace
