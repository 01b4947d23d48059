// The project document: its empty start, saving and opening packages, the edited state,
// names, the window-frame look and added images.

#include "app/editor/document/ProjectDocument.h"

#include "DocumentFixtures.h"

#include "app/support/Beeper.h"
#include "app/support/Pasteboard.h"

#include "core/document/PanelComposition.h"
#include "core/formats/PackageFileSystem.h"
#include "core/formats/ProjectPackage.h"

#include "support/FaultyFileSystem.h"
#include "support/ImageFixtures.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimeZone>

#include <cerrno>

using namespace vorlix;
using namespace vorlix::test;
using namespace Qt::StringLiterals;

namespace {

void addArrow(ProjectDocument& document, const QUuid& id = QUuid::createUuid())
{
    document.editor().perform(u"Aggiungi freccia"_s, [&](DocumentModel& doc) {
        doc.annotations.push_back(Annotation::make(id, AnnotationKind::arrow, {{0, 0}, {30, 20}}));
    });
}

std::unique_ptr<ProjectDocument> opened(const QString& path, Settings& settings)
{
    auto result = ProjectDocument::open(path, settings);
    if (auto* error = std::get_if<QString>(&result)) {
        ADD_FAILURE() << error->toStdString();
        return nullptr;
    }
    return std::move(std::get<std::unique_ptr<ProjectDocument>>(result));
}

} // namespace

TEST_F(DocumentTest, ANewDocumentHoldsTheEmptyModelAndIsNotEdited)
{
    DocumentModel expected;
    expected.formatVersion = 3;
    expected.background = TransparentBackground{};
    expected.layout = PanelLayout{PanelLayout::Mode::vertical, 24};
    expected.cutMark = CutMark::lightning;
    EXPECT_EQ(document.model(), expected);
    EXPECT_FALSE(document.isEdited());
    EXPECT_FALSE(document.filePath());
    EXPECT_FALSE(document.undoManager().canUndo());
    EXPECT_FALSE(document.sourceAppName);
    EXPECT_LE(std::abs(document.createdAt.secsTo(QDateTime::currentDateTime())), 5);
}

TEST_F(DocumentTest, SavedThenOpenedGivesTheSameModelAndTheSameImageBytes)
{
    const QByteArray jpeg = withExifOrientation(*ImageCoding::encode(cornerImage(6, 4), ImageType::jpeg, 1, 0.8), 6);
    ASSERT_TRUE(document.addImage(solidPng(Qt::red, 20, 10, 2), u"png"_s, std::nullopt, u"Aggiungi immagine"_s));
    ASSERT_TRUE(document.addImage(jpeg, u"jpeg"_s, std::nullopt, u"Aggiungi immagine"_s));
    addArrow(document);
    ASSERT_TRUE(document.isEdited());

    QTemporaryDir dir;
    const QString path = dir.filePath(u"Lavoro.vorlix"_s);
    QSignalSpy pathChanges(&document, &ProjectDocument::filePathChanged);
    ASSERT_EQ(document.saveAs(path), std::nullopt);
    EXPECT_FALSE(document.isEdited());
    EXPECT_EQ(document.filePath(), path);
    EXPECT_EQ(pathChanges.count(), 1);

    for (const QString& openPath : {path, path + u"/document.json"_s}) {
        SCOPED_TRACE(openPath.toStdString());
        const std::unique_ptr<ProjectDocument> copy = opened(openPath, settings);
        ASSERT_TRUE(copy);
        EXPECT_EQ(copy->model(), document.model());
        EXPECT_EQ(copy->filePath(), path);
        EXPECT_FALSE(copy->isEdited());
        EXPECT_FALSE(copy->undoManager().canUndo());
        ASSERT_EQ(copy->model().panels.size(), 2u);
        for (const Panel& panel : copy->model().panels)
            EXPECT_EQ(copy->images().asset(panel.imageID), document.images().asset(panel.imageID));
        EXPECT_EQ(copy->images().asset(copy->model().panels[1].imageID)->data, jpeg);
    }
}

TEST_F(DocumentTest, AFailedSaveLeavesThePreviousPackageAndTheDocumentAsTheyWere)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"p.vorlix"_s);
    ASSERT_TRUE(document.addImage(solidPng(Qt::green, 8, 8), u"png"_s, std::nullopt, u"Aggiungi immagine"_s));
    {
        // Nowhere to save yet: refused, and never in the working folder (here a spare one).
        QTemporaryDir spare;
        const QString working = QDir::currentPath();
        QDir::setCurrent(spare.path());
        EXPECT_NE(document.save(), std::nullopt);
        EXPECT_NE(document.saveAs(u""_s), std::nullopt);
        QDir::setCurrent(working);
        EXPECT_TRUE(QDir(spare.path()).isEmpty());
        EXPECT_FALSE(document.filePath());
        EXPECT_TRUE(document.isEdited());
    }
    ASSERT_EQ(document.saveAs(path), std::nullopt);
    const DocumentModel saved = document.model();

    for (int failAt = 1;; ++failAt) {
        SCOPED_TRACE(failAt);
        ProjectDocument changed(settings);
        ASSERT_EQ(changed.read(path), std::nullopt);
        addArrow(changed);
        const DocumentModel edited = changed.model();

        FaultyFileSystem fileSystem(failAt);
        const std::optional<QString> error = changed.save(fileSystem);
        const std::unique_ptr<ProjectDocument> onDisk = opened(path, settings);
        ASSERT_TRUE(onDisk);
        if (!fileSystem.reachedFault()) {
            EXPECT_EQ(error, std::nullopt);
            EXPECT_EQ(onDisk->model(), edited);
            break;
        }
        if (error) {
            EXPECT_TRUE(error->startsWith(u"Impossibile salvare il progetto: "_s)) << error->toStdString();
            EXPECT_EQ(onDisk->model(), saved);
            EXPECT_TRUE(changed.isEdited());
            EXPECT_EQ(changed.model(), edited);
        } else {
            // A failure after the new package is in place (tidying up) is no failed save.
            EXPECT_EQ(onDisk->model(), edited);
            EXPECT_FALSE(changed.isEdited());
        }
        ASSERT_EQ(document.saveAs(path), std::nullopt); // the old package back for the next step
    }
}

TEST_F(DocumentTest, AnUnreadablePackageGivesTheItalianReasonAndChangesNothing)
{
    QTemporaryDir dir;
    const QString saved = dir.filePath(u"buono.vorlix"_s);
    addArrow(document);
    ASSERT_EQ(document.saveAs(saved), std::nullopt);
    addArrow(document);
    const DocumentModel before = document.model();

    const auto packageWith = [&](const QString& name, const QByteArray& json) {
        const QString folder = dir.filePath(name);
        QDir().mkpath(folder);
        if (!json.isNull()) {
            QFile file(folder + u"/document.json"_s);
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(json);
        }
        return folder;
    };
    QByteArray newer = ProjectPackage::encodeDocument(DocumentModel{});
    newer.replace("\"formatVersion\": 3", "\"formatVersion\": 4");
    const struct {
        QString path;
        QString error;
    } cases[] = {
        {dir.filePath(u"assente.vorlix"_s), u"Il progetto è danneggiato: manca il documento."_s},
        {packageWith(u"vuoto.vorlix"_s, {}), u"Il progetto è danneggiato: manca il documento."_s},
        {packageWith(u"nuovo.vorlix"_s, newer),
         u"Il progetto è stato salvato con una versione più recente dell'app (formato 4)."_s},
        {packageWith(u"rotto.vorlix"_s, "{\"formatVersion\": 3, \"panels\": ["),
         u"Il progetto è danneggiato: il documento non è leggibile."_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const auto result = ProjectDocument::open(c.path, settings);
        ASSERT_TRUE(std::holds_alternative<QString>(result));
        EXPECT_EQ(std::get<QString>(result), c.error);

        QSignalSpy replaced(&document, &ProjectDocument::editorReplaced);
        EXPECT_EQ(document.read(c.path), c.error);
        EXPECT_EQ(document.model(), before);
        EXPECT_EQ(document.filePath(), saved);
        EXPECT_TRUE(document.isEdited());
        EXPECT_TRUE(document.undoManager().canUndo());
        EXPECT_EQ(replaced.count(), 0);
    }
}

TEST_F(DocumentTest, TheEditedStateFollowsUndoRedoAndSave)
{
    QSignalSpy changes(&document, &ProjectDocument::editedChanged);
    const auto signalled = [&] {
        std::vector<bool> values;
        for (const QList<QVariant>& args : changes)
            values.push_back(args.at(0).toBool());
        changes.clear();
        return values;
    };
    addArrow(document);
    addArrow(document);
    EXPECT_TRUE(document.isEdited());
    EXPECT_EQ(signalled(), std::vector<bool>{true});

    document.undoManager().undo();
    EXPECT_TRUE(document.isEdited()) << "one step is still done";
    document.undoManager().undo();
    EXPECT_FALSE(document.isEdited());
    document.undoManager().redo();
    EXPECT_TRUE(document.isEdited());
    EXPECT_EQ(signalled(), (std::vector<bool>{false, true}));

    QTemporaryDir dir;
    ASSERT_EQ(document.saveAs(dir.filePath(u"p.vorlix"_s)), std::nullopt);
    EXPECT_FALSE(document.isEdited());
    document.undoManager().undo();
    EXPECT_TRUE(document.isEdited());
    document.undoManager().redo();
    EXPECT_FALSE(document.isEdited()) << "back at the saved step";
    EXPECT_EQ(signalled(), (std::vector<bool>{false, true, false}));

    // A new change after undoing past the save can never come back to it.
    document.undoManager().undo();
    addArrow(document);
    document.undoManager().undo();
    EXPECT_TRUE(document.isEdited());
}

TEST_F(DocumentTest, NamesFollowTheTemplatesUntilSavedThenTheFileName)
{
    settings.set(setting::filenameTemplate, FilenameTemplate{u"Progetto {app} {data}"_s});
    settings.set(setting::imageFilenameTemplate, FilenameTemplate{u"Scatto {data} {ora}"_s});
    document.createdAt = QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7), QTimeZone::systemTimeZone());
    document.sourceAppName = u"Terminale"_s;
    EXPECT_EQ(document.displayName(), u"Progetto Terminale 2026-03-04"_s);
    EXPECT_EQ(document.imageName(), u"Scatto 2026-03-04 05.06.07"_s);

    // Read again on every call.
    settings.set(setting::imageFilenameTemplate, FilenameTemplate{u"{app}"_s});
    EXPECT_EQ(document.imageName(), u"Terminale"_s);

    QTemporaryDir dir;
    ASSERT_EQ(document.saveAs(dir.filePath(u"Mio lavoro.v2.vorlix"_s)), std::nullopt);
    EXPECT_EQ(document.displayName(), u"Mio lavoro.v2"_s);
    EXPECT_EQ(document.imageName(), u"Mio lavoro.v2"_s);
}

TEST_F(DocumentTest, TheWindowFrameLookKeepsTheContentAndLeavesNothingToUndo)
{
    ASSERT_TRUE(document.addImage(solidPng(Qt::blue, 10, 10), u"png"_s, std::nullopt, u"Aggiungi immagine"_s));
    DocumentModel expected = document.model();
    expected.padding = 40;
    expected.panelShadow = true;
    expected.panelCornerRadius = 12;
    QSignalSpy replaced(&document, &ProjectDocument::editorReplaced);

    document.applyWindowFrame();
    EXPECT_EQ(document.model(), expected);
    EXPECT_FALSE(document.undoManager().canUndo());
    EXPECT_EQ(replaced.count(), 1);

    // The new editor records later changes as usual.
    addArrow(document);
    document.undoManager().undo();
    EXPECT_EQ(document.model(), expected);
}

TEST_F(DocumentTest, AnAddedImageIsOneStepWithItsBytesKeptAndItsOrientationRead)
{
    QSignalSpy added(&document, &ProjectDocument::imageAdded);
    const QByteArray jpeg = withExifOrientation(*ImageCoding::encode(cornerImage(6, 4), ImageType::jpeg, 1, 0.8), 6);
    struct Case {
        QByteArray data;
        std::optional<double> pixelsPerPoint;
        double expectedDensity;
        PanelOrientation expectedOrientation;
    };
    const Case cases[] = {
        {solidPng(Qt::red, 20, 10, 2), std::nullopt, 2, PanelOrientation::identity()},
        {solidPng(Qt::red, 20, 10, 2), 1, 1, PanelOrientation::identity()},
        {solidPng(Qt::red, 20, 10), std::nan(""), 1, PanelOrientation::identity()},
        {jpeg, std::nullopt, 1, PanelOrientation{1, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expectedDensity);
        added.clear();
        const std::size_t before = document.model().panels.size();
        ASSERT_TRUE(document.addImage(c.data, u"jpeg"_s, c.pixelsPerPoint, u"Incolla"_s));
        ASSERT_EQ(document.model().panels.size(), before + 1);
        const Panel& panel = document.model().panels.back();
        EXPECT_EQ(panel.pixelsPerPoint, c.expectedDensity);
        EXPECT_EQ(panel.orientation, c.expectedOrientation);
        EXPECT_EQ(document.images().asset(panel.imageID), (ImageAsset{c.data, u"jpeg"_s}));
        EXPECT_EQ(document.undoManager().undoActionName(), u"Incolla"_s);
        EXPECT_EQ(added.count(), 1);
    }

    document.undoManager().undo();
    EXPECT_EQ(document.model().panels.size(), std::size(cases) - 1);

    added.clear();
    const DocumentModel before = document.model();
    EXPECT_FALSE(document.addImage("not a picture", u"png"_s, std::nullopt, u"Incolla"_s));
    EXPECT_EQ(document.model(), before);
    EXPECT_EQ(added.count(), 0);
}

TEST_F(DocumentTest, APastedImageIsAddedAsPngAtThePastedDensity)
{
    QMimeData dense;
    dense.setData(u"image/png"_s, solidPng(Qt::red, 30, 20, 2));
    ASSERT_TRUE(document.addImage(dense));
    const Panel& panel = document.model().panels.back();
    EXPECT_EQ(panel.pixelsPerPoint, 2);
    EXPECT_EQ(panel.pixelSize, (Size{30, 20}));
    const std::optional<ImageAsset> asset = document.images().asset(panel.imageID);
    ASSERT_TRUE(asset);
    EXPECT_EQ(asset->fileExtension, u"png"_s);
    EXPECT_EQ(ImageCoding::dotsPerInch(asset->data), 144);
    EXPECT_EQ(document.undoManager().undoActionName(), u"Aggiungi immagine"_s);

    QMimeData text;
    text.setText(u"ciao"_s);
    const DocumentModel before = document.model();
    EXPECT_FALSE(document.addImage(text));
    EXPECT_EQ(document.model(), before);
}

TEST_F(DocumentTest, CopyingPutsTheRenderedPictureOnTheClipboardOrBeeps)
{
    int beeps = 0;
    Beeper::Override countBeeps{[&] { ++beeps; }};
    QGuiApplication::clipboard()->setText(u"prima"_s);
    document.copyImageToPasteboard(nullptr);
    EXPECT_EQ(beeps, 1) << "an empty document has no picture";
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"prima"_s);

    ASSERT_TRUE(document.addImage(solidPng(QColor(10, 200, 30), 12, 8, 2), u"png"_s, std::nullopt, u"Incolla"_s));
    document.copyImageToPasteboard(nullptr);
    EXPECT_EQ(beeps, 1);
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(copied);
    const QByteArray png = copied->data(QString::fromLatin1(Pasteboard::pngType));
    const QImage picture = ImageCoding::decode(png);
    EXPECT_EQ(picture.size(), QSize(12, 8)) << "native density: the panel's own pixels";
    EXPECT_EQ(picture.pixelColor(6, 4), QColor(10, 200, 30));
    EXPECT_EQ(ImageCoding::dotsPerInch(png), 144);
    EXPECT_EQ(png, document.exportData(ProjectDocument::pictureOptions()));

    ExportOptions jpeg;
    jpeg.format = ExportOptions::Jpeg{0.5};
    const std::optional<QByteArray> exported = document.exportData(jpeg);
    ASSERT_TRUE(exported);
    EXPECT_TRUE(exported->startsWith("\xff\xd8"));
    EXPECT_EQ(ImageCoding::decode(*exported).size(), QSize(6, 4)) << "normal size: one pixel a point";
}
