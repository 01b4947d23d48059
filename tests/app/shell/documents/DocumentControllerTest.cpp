#include "app/shell/documents/DocumentController.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace Qt::StringLiterals;

namespace {

using Kind = DocumentController::Kind;

} // namespace

TEST(DocumentController, TellsProjectsAndImagesFromOtherFilesByName)
{
    QTemporaryDir folder;
    const QString renamedPackage = folder.filePath(u"Viaggio.bak"_s);
    ASSERT_TRUE(QDir().mkpath(renamedPackage));
    QFile document(renamedPackage + u"/document.json"_s);
    ASSERT_TRUE(document.open(QIODevice::WriteOnly));
    document.close();

    struct Case {
        QString path;
        Kind kind;
    };
    const Case cases[] = {
        {u"/progetti/Viaggio.vorlix"_s, Kind::project},
        {u"/progetti/Viaggio.VORLIX"_s, Kind::project},
        {u"/progetti/Viaggio.Vorlix"_s, Kind::project},
        {u"/progetti/Viaggio.png.vorlix"_s, Kind::project},
        {u"/progetti/Viaggio.vorlix/document.json"_s, Kind::project},
        {renamedPackage, Kind::project},
        {u"/foto/spiaggia.png"_s, Kind::image},
        {u"/foto/spiaggia.PNG"_s, Kind::image},
        {u"/foto/spiaggia.jpeg"_s, Kind::image},
        {u"/foto/spiaggia.tiff"_s, Kind::image},
        {u"/foto/spiaggia.heic"_s, Kind::image},
        {u"/foto/spiaggia.vorlix.webp"_s, Kind::image},
        {u"/documenti/fattura.pdf"_s, Kind::other},
        {u"/documenti/appunti.txt"_s, Kind::other},
        {u"/documenti/installa.sh"_s, Kind::other},
        {u"/documenti/avvia.desktop"_s, Kind::other},
        {u"/documenti/senza-estensione"_s, Kind::other},
        {folder.path(), Kind::other},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(DocumentController::kind(c.path), c.kind);
    }
}

TEST(DocumentController, EachFileGoesOneWay)
{
    QStringList calls;
    const DocumentController controller({
        .openProject = [&](const QString& path) { calls << u"progetto "_s + path; },
        .openImage = [&](const QString& path) { calls << u"immagine "_s + path; },
        .refuse = [&](const QString& path) { calls << u"rifiuto "_s + path; },
    });
    for (const QString& path : {u"/a/Uno.VORLIX"_s, u"/a/due.png"_s, u"/a/tre.sh"_s})
        controller.openDocument(path);
    EXPECT_EQ(calls, (QStringList{u"progetto /a/Uno.VORLIX"_s, u"immagine /a/due.png"_s, u"rifiuto /a/tre.sh"_s}));
}
