// The image export dialog: the pixel sizes it lists are the sizes of the files it writes,
// the JPEG quality control, the remembered size, a transparent picture as JPEG, and a
// folder that cannot be written.

#include "app/editor/window/ImageExportPanel.h"
#include "app/editor/document/ProjectDocument.h"
#include "app/support/Beeper.h"
#include "app/support/DefaultsStore.h"
#include "app/support/NotificationCenter.h"
#include "app/support/Settings.h"
#include "support/EventLoopWaits.h"
#include "support/ImageFixtures.h"

#include <QComboBox>
#include <QDir>
#include <QImageReader>
#include <QLabel>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSlider>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace vorlix;
using namespace vorlix::test;
using namespace Qt::StringLiterals;

namespace {

struct ImageExportTest : testing::Test {
    QTemporaryDir folder;
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    ProjectDocument document{settings};
    QWidget window;

    // One picture of 2400 × 1350 pixels at 2 pixels per point; the left half transparent.
    void addPicture()
    {
        QImage image(2400, 1350, QImage::Format_ARGB32);
        image.fill(QColor(30, 90, 160));
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < 1200; ++x)
                image.setPixel(x, y, 0);
        ASSERT_TRUE(document.addImage(pngOf(image), u"png"_s, 2.0, u"Aggiungi immagine"_s));
    }

    // Opens the dialog on the window, lets `choose` set it up and confirms it with `path`.
    std::optional<ImageExportOutcome> exportThroughDialog(const QString& path,
                                                          const std::function<void(ImageExportPanel&)>& choose = {})
    {
        std::optional<ImageExportOutcome> outcome;
        ImageExportPanel* panel = ImageExportPanel::open(document, settings, &window,
                                                         [&](const ImageExportOutcome& result) { outcome = result; });
        if (choose)
            choose(*panel);
        panel->selectFile(path);
        static_cast<QDialog*>(panel)->accept(); // as the dialog's own button does
        waitUntil([&] { return outcome.has_value(); });
        return outcome;
    }
};

QSize sizeInTitle(const QString& title)
{
    const QRegularExpressionMatch match = QRegularExpression(u"— (\\d+) × (\\d+)$"_s).match(title);
    return match.hasMatch() ? QSize(match.captured(1).toInt(), match.captured(2).toInt()) : QSize();
}

TEST_F(ImageExportTest, EachSizeAndFormatWritesThePixelSizeTheDialogShows)
{
    addPicture();
    ImageExportPanel panel(document, settings);
    ASSERT_EQ(panel.sizeBox()->count(), 4);
    EXPECT_EQ(panel.sizeBox()->itemText(0), u"Originale — 2400 × 1350"_s);
    const QSize expected[] = {{2400, 1350}, {1200, 675}, {1200, 675}, {800, 450}};
    const QString titles[] = {u"Originale"_s, u"Normale"_s, u"Larghezza massima 1200 px"_s,
                              u"Larghezza massima 800 px"_s};
    for (int format = 0; format < 2; ++format)
        for (int size = 0; size < 4; ++size) {
            SCOPED_TRACE(testing::Message() << "format " << format << ", size " << size);
            panel.formatBox()->setCurrentIndex(format);
            panel.sizeBox()->setCurrentIndex(size);
            const QString title = panel.sizeBox()->itemText(size);
            EXPECT_TRUE(title.startsWith(titles[size] + u" — "_s)) << title.toStdString();
            EXPECT_EQ(sizeInTitle(title), expected[size]);
            const QString path = folder.filePath(u"uscita-%1-%2"_s.arg(format).arg(size));
            const ImageExportOutcome outcome =
                ImageExportPanel::exportNow(document.model(), document.images(), panel.chosenOptions(), path);
            ASSERT_EQ(outcome.kind, ImageExportOutcome::Kind::written);
            QImageReader reader(path);
            EXPECT_EQ(reader.format(), format == 0 ? "png" : "jpeg");
            EXPECT_EQ(reader.size(), sizeInTitle(title));
        }
}

TEST_F(ImageExportTest, TheQualitySliderRunsFrom30To100PercentAndServesOnlyJpeg)
{
    addPicture();
    ImageExportPanel panel(document, settings);
    QSlider* slider = panel.qualitySlider();
    EXPECT_EQ(slider->minimum(), 30);
    EXPECT_EQ(slider->maximum(), 100);
    EXPECT_EQ(slider->value(), 85);
    EXPECT_EQ(panel.qualityValue()->text(), u"85%"_s);
    EXPECT_EQ(panel.formatBox()->currentText(), u"PNG"_s);
    EXPECT_FALSE(slider->isEnabled());
    EXPECT_FALSE(panel.qualityLabel()->isEnabled());
    EXPECT_EQ(panel.defaultSuffix(), u"png"_s);
    EXPECT_EQ(panel.chosenOptions().format, ExportOptions::Format{ExportOptions::Png{}});

    panel.formatBox()->setCurrentIndex(1);
    EXPECT_TRUE(slider->isEnabled());
    EXPECT_TRUE(panel.qualityValue()->isEnabled());
    EXPECT_EQ(panel.defaultSuffix(), u"jpg"_s);
    EXPECT_EQ(panel.chosenOptions().format, ExportOptions::Format{ExportOptions::Jpeg{0.85}});
    for (const auto& [value, text] : {std::pair{30, u"30%"_s}, std::pair{100, u"100%"_s}}) {
        slider->setValue(value);
        EXPECT_EQ(panel.qualityValue()->text(), text);
    }
    EXPECT_EQ(panel.chosenOptions().format, ExportOptions::Format{ExportOptions::Jpeg{1.0}});

    panel.formatBox()->setCurrentIndex(0);
    EXPECT_FALSE(slider->isEnabled());
    EXPECT_FALSE(panel.qualityValue()->isEnabled());
}

TEST_F(ImageExportTest, TheChosenSizeIsRememberedOnlyWhenTheDialogIsConfirmed)
{
    addPicture();
    settings.set(setting::exportSize, ExportSize::maxWidth800);
    EXPECT_EQ(ImageExportPanel(document, settings).sizeBox()->currentIndex(), 3);

    ImageExportPanel* cancelled = ImageExportPanel::open(document, settings, &window);
    cancelled->sizeBox()->setCurrentIndex(1);
    cancelled->reject();
    EXPECT_EQ(settings.get(setting::exportSize), ExportSize::maxWidth800);

    const auto outcome = exportThroughDialog(folder.filePath(u"scelta"_s),
                                             [](ImageExportPanel& panel) { panel.sizeBox()->setCurrentIndex(2); });
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->kind, ImageExportOutcome::Kind::written);
    EXPECT_EQ(outcome->path, folder.filePath(u"scelta.png"_s));
    EXPECT_EQ(QImageReader(outcome->path).size(), QSize(1200, 675));
    EXPECT_EQ(settings.get(setting::exportSize), ExportSize::maxWidth1200);
    EXPECT_EQ(ImageExportPanel(document, settings).sizeBox()->currentIndex(), 2);
}

TEST_F(ImageExportTest, TransparencyBecomesWhiteInAJpegAndStaysInAPng)
{
    addPicture();
    for (const int format : {0, 1}) {
        const auto outcome = exportThroughDialog(folder.filePath(u"trasparente-%1"_s.arg(format)), [&](auto& panel) {
            panel.formatBox()->setCurrentIndex(format);
            panel.sizeBox()->setCurrentIndex(3);
            panel.backgroundBox()->setCurrentIndex(1); // "Trasparente"
        });
        ASSERT_TRUE(outcome);
        ASSERT_EQ(outcome->kind, ImageExportOutcome::Kind::written);
        const QImage written(outcome->path);
        ASSERT_EQ(written.size(), QSize(800, 450));
        const QColor left = written.pixelColor(100, 225);
        const QColor right = written.pixelColor(700, 225);
        if (format == 0) {
            EXPECT_EQ(left.alpha(), 0);
        } else {
            EXPECT_TRUE(outcome->path.endsWith(u".jpg"_s));
            EXPECT_GE(std::min({left.red(), left.green(), left.blue()}), 250) << "flattened onto white";
            EXPECT_NEAR(right.blue(), 160, 6);
        }
    }
}

// Runs as another user while it lives when the tests run as root, who may write anywhere.
struct Unprivileged {
    bool switched = ::geteuid() == 0;
    Unprivileged()
    {
        if (switched && ::seteuid(65534) != 0)
            switched = false;
    }
    ~Unprivileged()
    {
        if (switched)
            (void)::seteuid(0);
    }
};

TEST_F(ImageExportTest, AFolderThatCannotBeWrittenShowsTheAlertAndLeavesNoFile)
{
    addPicture();
    const QString locked = folder.filePath(u"sola-lettura"_s);
    ASSERT_TRUE(QDir().mkpath(locked));
    ASSERT_TRUE(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                                         QFile::ExeOther | QFile::WriteOwner));
    ASSERT_TRUE(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
    std::optional<ImageExportOutcome> outcome;
    {
        Unprivileged user;
        if (::geteuid() == 0)
            GTEST_SKIP() << "cannot give up root here";
        outcome = exportThroughDialog(locked + u"/bloccato.png"_s);
    }
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->kind, ImageExportOutcome::Kind::writeFailed);
    EXPECT_FALSE(outcome->error.isEmpty());
    EXPECT_TRUE(
        QDir(locked).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot).isEmpty());
    const auto boxes = window.findChildren<QMessageBox*>();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes.front()->text(), u"Impossibile salvare «bloccato.png»."_s);
    EXPECT_EQ(boxes.front()->informativeText(), outcome->error);
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(ImageExportTest, ADocumentWithNothingToDrawBeepsAndWritesNothing)
{
    int beeps = 0;
    Beeper::Override countBeeps{[&] { ++beeps; }};
    const auto outcome = exportThroughDialog(folder.filePath(u"vuoto.png"_s));
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->kind, ImageExportOutcome::Kind::noData);
    EXPECT_EQ(beeps, 1);
    EXPECT_FALSE(QFile::exists(folder.filePath(u"vuoto.png"_s)));
}

} // namespace
