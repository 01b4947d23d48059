#include "core/formats/ProjectPackage.h"
#include "core/formats/ProjectPackageReader.h"
#include "core/formats/ProjectPackageWriter.h"

#include "PackageFixtures.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace vorlix;
using namespace vorlix::test;
namespace Package = vorlix::ProjectPackage;

namespace {

// Runs `f` and returns the ReadError it throws; fails the test when it throws nothing.
Package::ReadError readErrorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Package::ReadError& e) {
        return e;
    }
    ADD_FAILURE() << "no ReadError";
    return Package::ReadError::missingDocument();
}

std::string documentText(std::int64_t version, const Json& extra = Json::object())
{
    Json json = encodeJson(DocumentModel{});
    json["formatVersion"] = version;
    json.update(extra);
    return json.dump();
}

// Every object's keys in the order the text has them, checked to be sorted.
void expectKeysSorted(const nlohmann::ordered_json& value, const std::string& path = "")
{
    if (value.is_object()) {
        std::string previous;
        for (auto it = value.begin(); it != value.end(); ++it) {
            EXPECT_LT(previous, it.key()) << "at " << path;
            previous = it.key();
            expectKeysSorted(it.value(), path + "." + it.key());
        }
    } else if (value.is_array()) {
        for (std::size_t i = 0; i < value.size(); ++i)
            expectKeysSorted(value[i], path + "[" + std::to_string(i) + "]");
    }
}

} // namespace

TEST(ProjectPackage, WrittenPackageReadsBackEqualWithOnlyTheUsedImages)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("Progetto.vorlix");
    const DocumentModel document = sampleDocument();
    const ImageStore store = sampleStore();
    Package::write(document, store, folder);

    EXPECT_EQ(entries(folder), QStringList({"document.json", "images"}));
    const QStringList images = entries(folder + "/images");
    EXPECT_EQ(images,
              QStringList({"00000000-0000-4000-8000-000000000101.png", "00000000-0000-4000-8000-000000000102.JPG",
                           "00000000-0000-4000-8000-000000000103.png"}));
    EXPECT_EQ(readBytes(folder + "/images/" + images[1]), store.asset(secondImage)->data);

    const Package::Project project = Package::read(folder);
    EXPECT_EQ(project.document, document);
    for (const QUuid& id : {firstImage, secondImage, cursorImage})
        EXPECT_EQ(project.images.asset(id), store.asset(id));
    EXPECT_FALSE(project.images.contains(unusedImage));
    EXPECT_FALSE(project.images.image(firstImage).isNull());
    EXPECT_EQ(entries(dir.path()), QStringList({"Progetto.vorlix"})); // nothing left beside it
}

TEST(ProjectPackage, DocumentTextIsIndentedWithSortedKeysAtEveryLevel)
{
    const QByteArray text = Package::encodeDocument(sampleDocument());
    EXPECT_TRUE(text.startsWith("{\n  \""));
    const auto parsed = nlohmann::ordered_json::parse(text.constData(), text.constData() + text.size());
    expectKeysSorted(parsed);
    EXPECT_EQ(Package::decodeDocument(text.toStdString()), sampleDocument());
}

TEST(ProjectPackage, PackageWithoutImagesHasAnEmptyImagesFolder)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("vuoto.vorlix");
    Package::write(DocumentModel{}, ImageStore{}, folder);
    EXPECT_EQ(entries(folder), QStringList({"document.json", "images"}));
    EXPECT_TRUE(entries(folder + "/images").isEmpty());
    EXPECT_EQ(Package::read(folder).document, DocumentModel{});
}

TEST(ProjectPackage, VersionOneClipsAnnotationsOfCroppedPanelsToTheCrop)
{
    DocumentModel old = sampleDocument();
    old.formatVersion = 1;
    old.panels[0].annotations.push_back(
        Annotation::make(uuid(20), AnnotationKind::rectangle, {{0, 0}, {1, 1}}, {}, std::nullopt, Rect(0, 0, 1, 1)));
    old.panels[1].annotations[0].cropClip = Rect(0, 0, 3, 3); // no crop on this panel
    const DocumentModel read = Package::decodeDocument(Package::encodeDocument(old).toStdString());

    EXPECT_EQ(read.formatVersion, 3);
    for (const Annotation& a : read.panels[0].annotations)
        EXPECT_EQ(a.cropClip, Rect(1, 0, 2, 3));
    EXPECT_EQ(read.panels[1].annotations[0].cropClip, Rect(0, 0, 3, 3));
    EXPECT_EQ(read.annotations[0].cropClip, std::nullopt);
    EXPECT_TRUE(read.annotations[0].style.lineDots); // version 1 also gets the version 2 step
}

TEST(ProjectPackage, VersionsBeforeThreeGiveEveryLineDottedEnds)
{
    for (std::int64_t version : {0, 1, 2, 3}) {
        SCOPED_TRACE(version);
        DocumentModel old = sampleDocument();
        old.formatVersion = version;
        old.panels[0].annotations.push_back(Annotation::make(uuid(21), AnnotationKind::line, {{0, 0}, {2, 2}}));
        for (Annotation* a : {&old.panels[0].annotations[0], &old.panels[0].annotations[1], &old.annotations[0]})
            a->style.lineDots = false;
        const DocumentModel read = Package::decodeDocument(Package::encodeDocument(old).toStdString());

        const bool upgraded = version < 3;
        EXPECT_EQ(read.formatVersion, 3);
        EXPECT_EQ(read.panels[0].annotations[1].style.lineDots, upgraded); // line on a panel
        EXPECT_EQ(read.annotations[0].style.lineDots, upgraded);           // line on the canvas
        EXPECT_FALSE(read.panels[0].annotations[0].style.lineDots);        // an arrow keeps its own
    }
}

TEST(ProjectPackage, DocumentWideStepNumbersBecomeNumberAnnotations)
{
    DocumentModel old = sampleDocument();
    old.showsStepNumbers = true;
    const DocumentModel read = Package::decodeDocument(Package::encodeDocument(old).toStdString());
    EXPECT_FALSE(read.showsStepNumbers);
    for (const Panel& panel : read.panels) {
        ASSERT_EQ(panel.annotations.size(), 2u);
        EXPECT_EQ(panel.annotations[1].kind, AnnotationKind::number);
        EXPECT_EQ(panel.annotations[1].style, Style::defaults(AnnotationKind::number));
    }

    old.showsStepNumbers = false;
    EXPECT_EQ(Package::decodeDocument(Package::encodeDocument(old).toStdString()), old);
}

TEST(ProjectPackage, NewerFormatIsRefusedNamingItsNumberBeforeAnythingElseIsDecoded)
{
    const Package::ReadError four = readErrorOf([] {
        Package::decodeDocument(documentText(4, {{"panels", "rotto"}}));
    });
    EXPECT_EQ(four, Package::ReadError::newerFormat(4));
    EXPECT_EQ(four.errorDescription(),
              QStringLiteral("Il progetto è stato salvato con una versione più recente dell'app (formato 4)."));

    const Package::ReadError huge = readErrorOf([] { Package::decodeDocument(R"({"formatVersion": 9000000000000})"); });
    EXPECT_EQ(huge, Package::ReadError::newerFormat(9'000'000'000'000));
}

TEST(ProjectPackage, DamagedDocumentTextFailsAsDecodingError)
{
    std::string deep = R"({"formatVersion": 3, "x": )";
    deep += std::string(100000, '[') + std::string(100000, ']') + "}";
    const std::string cases[] = {
        R"({"panels": []})",         // no version
        R"({"formatVersion": "3"})", // not a number
        R"({"formatVersion": 2.5})", // not a whole number
        R"({"formatVersion": 3, "panels": "x"})",
        R"([3])",
        "{\"formatVersion\": 3", // cut short
        deep,
    };
    for (const std::string& text : cases) {
        SCOPED_TRACE(text.substr(0, 60));
        EXPECT_THROW(Package::decodeDocument(text), DecodeError);
    }
}

TEST(ProjectPackage, ErrorsCarryTheirItalianTexts)
{
    struct Case {
        Package::ReadError error;
        const char* text;
    };
    const Case cases[] = {
        {Package::ReadError::newerFormat(12),
         "Il progetto è stato salvato con una versione più recente dell'app (formato 12)."},
        {Package::ReadError::missingImage(firstImage), "Il progetto è danneggiato: manca un'immagine."},
        {Package::ReadError::missingDocument(), "Il progetto è danneggiato: manca il documento."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.error.errorDescription(), QString::fromUtf8(c.text));
        EXPECT_STREQ(c.error.what(), c.text);
    }
    EXPECT_EQ(Package::ReadError::missingImage(firstImage).imageID(), firstImage);
    EXPECT_NE(Package::ReadError::missingImage(firstImage), Package::ReadError::missingImage(secondImage));
}

TEST(ProjectPackage, WritingWithAnImageMissingFromTheStoreWritesNothing)
{
    QTemporaryDir dir;
    ImageStore store = sampleStore();
    ImageStore withoutCursor;
    for (const QUuid& id : {firstImage, secondImage})
        withoutCursor.add(*store.asset(id), id);
    const QString folder = dir.filePath("p.vorlix");

    EXPECT_EQ(readErrorOf([&] { Package::write(sampleDocument(), withoutCursor, folder); }),
              Package::ReadError::missingImage(cursorImage));
    EXPECT_TRUE(entries(dir.path()).isEmpty());
}

TEST(ProjectPackage, DamagedPackagesGiveTheirErrors)
{
    QTemporaryDir dir;
    const QString good = dir.filePath("good.vorlix");
    Package::write(sampleDocument(), sampleStore(), good);
    const QString secondFile = "/images/00000000-0000-4000-8000-000000000102.JPG";

    struct Case {
        const char* name;
        std::function<void(const QString&)> damage;
        Package::ReadError expected;
    };
    const Case cases[] = {
        {"no document", [](const QString& f) { QFile::remove(f + "/document.json"); },
         Package::ReadError::missingDocument()},
        {"document is a folder",
         [](const QString& f) {
             QFile::remove(f + "/document.json");
             QDir(f).mkdir("document.json");
         },
         Package::ReadError::missingDocument()},
        {"an image gone", [&](const QString& f) { QFile::remove(f + secondFile); },
         Package::ReadError::missingImage(secondImage)},
        {"images folder gone", [](const QString& f) { QDir(f + "/images").removeRecursively(); },
         Package::ReadError::missingImage(firstImage)},
        {"images is a file",
         [](const QString& f) {
             QDir(f + "/images").removeRecursively();
             writeBytes(f + "/images", "x");
         },
         Package::ReadError::missingImage(firstImage)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString folder = dir.filePath(c.name);
        ASSERT_TRUE(QDir().mkpath(folder + "/images"));
        QFile::copy(good + "/document.json", folder + "/document.json");
        for (const QString& image : entries(good + "/images"))
            QFile::copy(good + "/images/" + image, folder + "/images/" + image);
        c.damage(folder);
        EXPECT_EQ(readErrorOf([&] { Package::read(folder); }), c.expected);
    }
    EXPECT_EQ(readErrorOf([&] { Package::read(dir.filePath("nowhere")); }), Package::ReadError::missingDocument());
}
