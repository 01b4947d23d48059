#include "core/imaging/GuideExporter.h"

#include "core/imaging/ImageCoding.h"
#include "support/RenderFixtures.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

using namespace vorlix;
using namespace vorlix::test;
using GuideExporter::PdfBlock;
using GuideExporter::Step;

namespace {

// Pixels that any lossy coding would change.
QImage noiseImage(int w, int h, unsigned seed)
{
    std::mt19937 random(seed);
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(random() & 0xff, random() & 0xff, random() & 0xff));
    return image;
}

Step step(std::int64_t number, std::optional<QString> caption = std::nullopt,
          QImage image = solidImage(40, 20, Qt::red), double pixelsPerPoint = 1)
{
    return Step{number, std::move(caption), std::move(image), pixelsPerPoint};
}

QString readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Runs a poppler tool and gives its standard output.
QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " failed: " << process.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A PDF written into a temporary folder, with what pdfinfo and pdfimages report.
struct PdfFile {
    QTemporaryDir dir;
    QString path;

    explicit PdfFile(const QByteArray& data) : path(dir.filePath(QStringLiteral("guida.pdf")))
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
    }

    // pdfinfo's "Key: value" lines, with the size of every page as "Page N size".
    std::map<QString, QString> info() const
    {
        std::map<QString, QString> fields;
        const QString text = run(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"),
                                                             QStringLiteral("-l"), QStringLiteral("999"), path});
        for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts)) {
            const qsizetype colon = line.indexOf(u':');
            if (colon > 0)
                fields[line.left(colon).simplified()] = line.mid(colon + 1).trimmed();
        }
        return fields;
    }

    struct Image {
        int page = 0; // from 1
        int width = 0;
        int height = 0;
        QString encoding;
    };
    // The images (not their soft masks) that pdfimages lists.
    std::vector<Image> images() const
    {
        std::vector<Image> result;
        const QStringList lines = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path}).split(u'\n');
        for (const QString& line : lines.mid(2)) {
            const QStringList c = line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
            if (c.size() >= 10 && c[2] == u"image")
                result.push_back({c[0].toInt(), c[3].toInt(), c[4].toInt(), c[8]});
        }
        return result;
    }

    int pageCount() const { return info()[QStringLiteral("Pages")].toInt(); }
};

std::vector<int> imagePages(const std::vector<PdfBlock>& layout)
{
    std::vector<int> pages;
    for (const PdfBlock& block : layout)
        if (block.kind == PdfBlock::Kind::image)
            pages.push_back(block.page + 1);
    return pages;
}

const PdfBlock& blockOf(const std::vector<PdfBlock>& layout, PdfBlock::Kind kind, std::size_t stepIndex = 0)
{
    for (const PdfBlock& block : layout)
        if (block.kind == kind && block.stepIndex == stepIndex)
            return block;
    throw std::runtime_error("no such block");
}

QString lines(int n)
{
    QStringList list;
    for (int i = 1; i <= n; ++i)
        list << QStringLiteral("Riga %1 della didascalia").arg(i);
    return list.join(u'\n');
}

} // namespace

TEST(GuideExporter, MarkdownHasTheExactLineLayout)
{
    struct Case {
        const char* name;
        QString title;
        std::vector<Step> steps;
        QString expected;
    };
    const std::vector<Case> cases = {
        {"no steps", QStringLiteral("Guida"), {}, QStringLiteral("# Guida\n")},
        {"empty title", QString(), {}, QStringLiteral("# \n")},
        {"captions and gaps",
         QStringLiteral("Installazione"),
         {step(1, QStringLiteral("Apri il menu")), step(3)},
         QStringLiteral("# Installazione\n\n"
                        "## Passaggio 1\n\nApri il menu\n\n![Passaggio 1](passaggio-01.png)\n\n"
                        "## Passaggio 3\n\n![Passaggio 3](passaggio-03.png)\n")},
        {"caption written unchanged, three-digit number",
         QStringLiteral("*Guida* [1]"),
         {step(100, QStringLiteral("Premi *Salva*\n_poi_ [OK]"))},
         QStringLiteral("# *Guida* [1]\n\n## Passaggio 100\n\nPremi *Salva*\n_poi_ [OK]\n\n"
                        "![Passaggio 100](passaggio-100.png)\n")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GuideExporter::markdown(c.title, c.steps), c.expected);
    }
}

TEST(GuideExporter, ImageFileNamesHaveAtLeastTwoDigits)
{
    const std::pair<std::int64_t, const char*> cases[] = {
        {1, "passaggio-01.png"}, {7, "passaggio-07.png"}, {12, "passaggio-12.png"}, {100, "passaggio-100.png"}};
    for (const auto& [number, expected] : cases)
        EXPECT_EQ(GuideExporter::imageFileName(step(number)), QString::fromLatin1(expected));
}

TEST(GuideExporter, PicturesShrinkToTheColumnButNeverGrow)
{
    struct Case {
        QSize pixels;
        double pixelsPerPoint;
        Size expected;
    };
    const Case cases[] = {
        {{2000, 400}, 2, {499, 99.8}},                 // wider than the column
        {{200, 100}, 2, {100, 50}},                    // small: its size in points
        {{100, 2088}, 1, {100 * 522.2 / 2088, 522.2}}, // taller than seven tenths of a page
        {{1, 1}, 1, {1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pixels.width() << "x" << c.pixels.height());
        const Size size = GuideExporter::fittedImageSize(
            step(1, std::nullopt, solidImage(c.pixels.width(), c.pixels.height(), Qt::red), c.pixelsPerPoint),
            GuideExporter::columnWidth, GuideExporter::maximumImageHeight);
        EXPECT_NEAR(size.width, c.expected.width, 1e-9);
        EXPECT_NEAR(size.height, c.expected.height, 1e-9);
    }
}

TEST(GuideExporter, StepsAreCutFromOneWhiteRendering)
{
    TestImages images;
    DocumentModel doc;
    doc.background = TransparentBackground{};
    doc.panels = {imagePanel(1, {0, 0}, {40, 30}), imagePanel(2, {0, 60}, {40, 30}),
                  imagePanel(3, {60, 0}, {40, 20}, 2)};
    doc.panels[0].caption = QStringLiteral("  Apri il menu \n");
    doc.panels[1].pixelSize = {0, 0}; // shows nothing, so it has no area to cut
    doc.panels[1].caption = QStringLiteral("Nascosto");
    doc.panels[2].caption = QStringLiteral(" \n\t ");
    images.add(doc.panels[0].imageID, solidImage(40, 30, Qt::red));
    images.add(doc.panels[1].imageID, solidImage(40, 30, Qt::green));
    images.add(doc.panels[2].imageID, solidImage(40, 20, Qt::blue));

    const std::vector<Step> steps = GuideExporter::steps(doc, images);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].number, 1);
    EXPECT_EQ(steps[1].number, 3);
    EXPECT_EQ(steps[0].caption, QStringLiteral("Apri il menu"));
    EXPECT_EQ(steps[1].caption, std::nullopt);
    // The densest panel sets the density: 2 pixels per point for both steps.
    struct Expected {
        QSize size;
        QColor colour;
    };
    const Expected expected[] = {{{80, 60}, Qt::red}, {{40, 20}, Qt::blue}};
    for (std::size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(i);
        const QImage& image = steps[i].image;
        EXPECT_DOUBLE_EQ(steps[i].pixelsPerPoint, 2);
        EXPECT_EQ(image.size(), expected[i].size);
        EXPECT_TRUE(near(image.pixelColor(image.width() / 2, image.height() / 2), expected[i].colour));
        // The transparent document background becomes white: every pixel is opaque.
        for (const QPoint corner : {QPoint(0, 0), QPoint(image.width() - 1, image.height() - 1)})
            EXPECT_EQ(image.pixelColor(corner).alpha(), 255);
    }
    EXPECT_EQ(GuideExporter::markdown(QStringLiteral("G"), steps),
              QStringLiteral("# G\n\n## Passaggio 1\n\nApri il menu\n\n![Passaggio 1](passaggio-01.png)\n\n"
                             "## Passaggio 3\n\n![Passaggio 3](passaggio-03.png)\n"));

    EXPECT_TRUE(GuideExporter::steps(DocumentModel{}, images).empty()); // nothing to render
}

TEST(GuideExporter, PdfBlocksStackFromTheTopOfTheColumn)
{
    const std::vector<Step> steps = {step(1, QStringLiteral("Apri il menu"), solidImage(2000, 400, Qt::red), 2),
                                     step(2, std::nullopt, solidImage(200, 100, Qt::blue), 2)};
    const std::vector<PdfBlock> layout = GuideExporter::pdfLayout(QStringLiteral("Guida"), steps);
    ASSERT_EQ(layout.size(), 6u);
    const Rect title = blockOf(layout, PdfBlock::Kind::title).rect;
    const Rect heading = blockOf(layout, PdfBlock::Kind::heading, 0).rect;
    const Rect caption = blockOf(layout, PdfBlock::Kind::caption, 0).rect;
    const Rect image = blockOf(layout, PdfBlock::Kind::image, 0).rect;
    const Rect nextHeading = blockOf(layout, PdfBlock::Kind::heading, 1).rect;
    const Rect nextImage = blockOf(layout, PdfBlock::Kind::image, 1).rect;

    EXPECT_EQ(title.origin, (Point{48, 48}));
    EXPECT_EQ(title.width(), 499);
    // Text heights are whole points, larger text taller.
    for (const Rect& text : {title, heading, caption}) {
        EXPECT_EQ(text.height(), std::ceil(text.height()));
        EXPECT_GT(text.height(), 0);
    }
    EXPECT_GT(title.height(), heading.height());
    EXPECT_GT(heading.height(), caption.height());
    EXPECT_EQ(heading.minY(), title.maxY() + 18);
    EXPECT_EQ(caption.minY(), heading.maxY() + 6);
    EXPECT_EQ(image, Rect(48, caption.maxY() + 8, 499, 99.8));
    EXPECT_EQ(nextHeading.minY(), image.maxY() + 22);
    EXPECT_EQ(nextImage, Rect(48, nextHeading.maxY() + 6, 100, 50));
    for (const PdfBlock& block : layout)
        EXPECT_EQ(block.page, 0);
}

TEST(GuideExporter, PdfPagesBreakBeforeAStepThatDoesNotFit)
{
    // Measure the fixed heights once, to build blocks that end exactly at the bottom.
    const std::vector<PdfBlock> probe = GuideExporter::pdfLayout(QStringLiteral("Guida"), {step(1)});
    const double headingTop = blockOf(probe, PdfBlock::Kind::heading).rect.minY() - 48;
    const double hh = blockOf(probe, PdfBlock::Kind::heading).rect.height();
    // A first step of 300 points, then a second that fills what is left to the point.
    const double afterFirst = headingTop + hh + 6 + 300 + 22;
    const double fill = 746 - afterFirst - hh - 6 - 22;
    ASSERT_GT(fill, 10);
    ASSERT_LE(fill, 522.2);

    struct Case {
        const char* name;
        std::vector<Step> steps;
        std::vector<int> imagePages;
    };
    const std::vector<Case> cases = {
        {"a block that just reaches the bottom stays",
         {step(1, std::nullopt, solidImage(40, 300, Qt::red)),
          step(2, std::nullopt, solidImage(40, int(fill), Qt::blue))},
         {1, 1}},
        {"one point more moves to a new page",
         {step(1, std::nullopt, solidImage(40, 300, Qt::red)),
          step(2, std::nullopt, solidImage(40, int(fill) + 1, Qt::blue))},
         {1, 2}},
        {"a first step that does not fit below the title starts on page two",
         {step(1, lines(14), solidImage(40, 500, Qt::red))},
         {2}},
        {"a step taller than a page stays at the top of its page",
         {step(1, lines(70), solidImage(40, 500, Qt::red)), step(2, std::nullopt, solidImage(40, 20, Qt::blue))},
         {2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<PdfBlock> layout = GuideExporter::pdfLayout(QStringLiteral("Guida"), c.steps);
        EXPECT_EQ(imagePages(layout), c.imagePages);
        for (const PdfBlock& block : layout) {
            if (block.kind == PdfBlock::Kind::heading && block.page > 0) {
                EXPECT_EQ(block.rect.minY(), 48); // a new page starts at the top margin
            }
        }

        const std::optional<QByteArray> data = GuideExporter::pdf(QStringLiteral("Guida"), c.steps);
        ASSERT_TRUE(data);
        const PdfFile file(*data);
        EXPECT_EQ(file.pageCount(), c.imagePages.back());
        std::vector<int> pages;
        for (const PdfFile::Image& image : file.images())
            pages.push_back(image.page);
        EXPECT_EQ(pages, c.imagePages);
    }
}

TEST(GuideExporter, PdfHasA4PagesTheTitleAndLosslessPictures)
{
    const QString title = QStringLiteral("Collegare la stampante è semplice");
    const std::vector<Step> steps = {step(1, QStringLiteral("Apri le impostazioni"), noiseImage(64, 48, 1), 2),
                                     step(2, std::nullopt, noiseImage(300, 900, 2), 1),
                                     step(4, QStringLiteral("Fatto"), noiseImage(33, 17, 3), 1)};
    const std::optional<QByteArray> data = GuideExporter::pdf(title, steps);
    ASSERT_TRUE(data);
    const PdfFile file(*data);

    std::map<QString, QString> info = file.info();
    EXPECT_EQ(info[QStringLiteral("Title")], title);
    const int pages = info[QStringLiteral("Pages")].toInt();
    EXPECT_EQ(pages, 2); // the last step does not fit below the tall second picture
    for (int page = 1; page <= pages; ++page) {
        const QString size = info[QStringLiteral("Page %1 size").arg(page)];
        EXPECT_TRUE(size.startsWith(QStringLiteral("595 x 842 pts"))) << size.toStdString();
    }

    const std::vector<PdfFile::Image> listed = file.images();
    ASSERT_EQ(listed.size(), steps.size());
    for (std::size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(listed[i].width, steps[i].image.width());
        EXPECT_EQ(listed[i].height, steps[i].image.height());
        EXPECT_EQ(listed[i].encoding, QStringLiteral("image")); // Flate, not JPEG ("jpeg")
    }

    // The embedded pixels are the step's pixels, exactly.
    run(QStringLiteral("pdfimages"), {QStringLiteral("-png"), file.path, file.dir.filePath(QStringLiteral("img"))});
    for (std::size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(i);
        const QImage extracted(file.dir.filePath(QStringLiteral("img-%1.png").arg(i, 3, 10, QChar(u'0'))));
        EXPECT_EQ(extracted.convertToFormat(QImage::Format_RGB32),
                  steps[i].image.convertToFormat(QImage::Format_RGB32));
    }

    // The text is real text, in reading order.
    const QString text = run(QStringLiteral("pdftotext"), {file.path, QStringLiteral("-")});
    for (const QString& expected : {title, QStringLiteral("Passaggio 1"), QStringLiteral("Apri le impostazioni"),
                                    QStringLiteral("Passaggio 4"), QStringLiteral("Fatto")})
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString();
}

TEST(GuideExporter, PdfDrawsBlocksWhereTheLayoutPutsThem)
{
    const std::vector<Step> steps = {step(1, QStringLiteral("Apri"), solidImage(200, 100, QColor(0, 0, 255)), 1)};
    const std::vector<PdfBlock> layout = GuideExporter::pdfLayout(QStringLiteral("Guida"), steps);
    const std::optional<QByteArray> data = GuideExporter::pdf(QStringLiteral("Guida"), steps);
    ASSERT_TRUE(data);
    const PdfFile file(*data);
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-png"), QStringLiteral("-singlefile"), file.path,
         file.dir.filePath(QStringLiteral("page"))});
    const QImage page(file.dir.filePath(QStringLiteral("page.png")));
    ASSERT_EQ(page.size(), QSize(595, 842));

    const QRect image = blockOf(layout, PdfBlock::Kind::image).rect.toQt().toRect();
    EXPECT_TRUE(near(page.pixelColor(image.center()), QColor(0, 0, 255)));
    EXPECT_TRUE(near(page.pixelColor(image.left() + 2, image.top() + 2), QColor(0, 0, 255)));
    EXPECT_TRUE(near(page.pixelColor(image.left() - 3, image.top() + 2), Qt::white));
    EXPECT_TRUE(near(page.pixelColor(image.center().x(), image.bottom() + 4), Qt::white));

    // Text is dark grey (0.12) and lies inside its block.
    for (const PdfBlock::Kind kind : {PdfBlock::Kind::title, PdfBlock::Kind::heading, PdfBlock::Kind::caption}) {
        const QRect box = blockOf(layout, kind).rect.toQt().toAlignedRect();
        int darkest = 255;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                darkest = std::min(darkest, qGray(page.pixel(x, y)));
        EXPECT_NEAR(darkest, 31, 4) << int(kind);
    }
    // Nothing above the title.
    for (int x = 0; x < 595; x += 5)
        EXPECT_EQ(page.pixelColor(x, 40), QColor(Qt::white));
}

TEST(GuideExporter, FolderHoldsTheMarkdownAndEveryPicture)
{
    QTemporaryDir temp;
    const QString folder = temp.filePath(QStringLiteral("nuova/Guida"));
    const std::vector<Step> steps = {step(1, QStringLiteral("Apri"), noiseImage(30, 20, 4), 2),
                                     step(3, std::nullopt, noiseImage(10, 10, 5), 1)};
    const auto result = GuideExporter::writeFolder(folder, QStringLiteral("Guida"), steps);
    ASSERT_TRUE(std::holds_alternative<GuideExporter::FolderReport>(result));
    EXPECT_EQ(std::get<GuideExporter::FolderReport>(result), GuideExporter::FolderReport{});
    EXPECT_TRUE(std::get<GuideExporter::FolderReport>(result).message().isEmpty());

    EXPECT_EQ(readAll(QDir(folder).filePath(QStringLiteral("guida.md"))),
              GuideExporter::markdown(QStringLiteral("Guida"), steps));
    for (const Step& s : steps) {
        SCOPED_TRACE(s.number);
        QFile file(QDir(folder).filePath(GuideExporter::imageFileName(s)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray png = file.readAll();
        EXPECT_EQ(ImageCoding::decode(png).convertToFormat(QImage::Format_RGB32), s.image);
        EXPECT_NEAR(ImageCoding::dotsPerInch(png).value_or(0), 72 * s.pixelsPerPoint, 0.5);
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 3);

    // Writing again into the existing folder replaces the files.
    EXPECT_TRUE(std::holds_alternative<GuideExporter::FolderReport>(
        GuideExporter::writeFolder(folder, QStringLiteral("Altra"), steps)));
    EXPECT_TRUE(readAll(QDir(folder).filePath(QStringLiteral("guida.md"))).startsWith(QStringLiteral("# Altra\n")));
}

TEST(GuideExporter, APictureThatCannotBeEncodedIsReportedAndNotLinked)
{
    QTemporaryDir temp;
    const std::vector<Step> steps = {step(1, QStringLiteral("Apri")), step(2, QStringLiteral("Scegli"), QImage()),
                                     step(3)};
    const auto result = GuideExporter::writeFolder(temp.path(), QStringLiteral("Guida"), steps);
    ASSERT_TRUE(std::holds_alternative<GuideExporter::FolderReport>(result));
    const auto& report = std::get<GuideExporter::FolderReport>(result);
    EXPECT_EQ(report.stepsWithoutPicture, std::vector<std::int64_t>{2});
    EXPECT_TRUE(report.message().contains(QStringLiteral("passaggio 2")));

    EXPECT_TRUE(QFile::exists(temp.filePath(QStringLiteral("passaggio-01.png"))));
    EXPECT_FALSE(QFile::exists(temp.filePath(QStringLiteral("passaggio-02.png"))));
    EXPECT_TRUE(QFile::exists(temp.filePath(QStringLiteral("passaggio-03.png"))));
    EXPECT_EQ(readAll(temp.filePath(QStringLiteral("guida.md"))),
              QStringLiteral("# Guida\n\n"
                             "## Passaggio 1\n\nApri\n\n![Passaggio 1](passaggio-01.png)\n\n"
                             "## Passaggio 2\n\nScegli\n\n"
                             "## Passaggio 3\n\n![Passaggio 3](passaggio-03.png)\n"));
}

TEST(GuideExporter, FolderAndFileErrorsStopTheWriting)
{
    QTemporaryDir temp;
    QFile blocker(temp.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    // A folder where the first picture should go makes its write fail.
    const QString blocked = temp.filePath(QStringLiteral("bloccata"));
    ASSERT_TRUE(QDir().mkpath(blocked + QStringLiteral("/passaggio-01.png")));

    struct Case {
        const char* name;
        QString folder;
        GuideExporter::FolderError::Kind kind;
        QString path;
    };
    const Case cases[] = {
        {"folder under a file", temp.filePath(QStringLiteral("file/guida")),
         GuideExporter::FolderError::Kind::createFolder, temp.filePath(QStringLiteral("file/guida"))},
        {"picture cannot be written", blocked, GuideExporter::FolderError::Kind::write,
         blocked + QStringLiteral("/passaggio-01.png")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result = GuideExporter::writeFolder(c.folder, QStringLiteral("Guida"), {step(1), step(2)});
        ASSERT_TRUE(std::holds_alternative<GuideExporter::FolderError>(result));
        const auto& error = std::get<GuideExporter::FolderError>(result);
        EXPECT_EQ(error.kind, c.kind);
        EXPECT_EQ(error.path, c.path);
        EXPECT_TRUE(error.message.startsWith(QStringLiteral("Impossibile")));
        EXPECT_FALSE(QFile::exists(c.folder + QStringLiteral("/guida.md")));
        EXPECT_FALSE(QFile::exists(c.folder + QStringLiteral("/passaggio-02.png")));
    }
}
