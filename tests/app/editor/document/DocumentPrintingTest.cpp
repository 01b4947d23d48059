// Printing: placement on the page, orientation and the printed pixels, through a PDF.

#include "app/editor/document/DocumentPrinting.h"

#include "DocumentFixtures.h"

#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace vorlix;
using namespace vorlix::test;
using namespace Qt::StringLiterals;

namespace {

constexpr double rasterDotsPerInch = 36;

// The first page of the PDF as a picture, through poppler's pdftoppm.
QImage rasterised(const QString& pdf, const QString& folder)
{
    const QString prefix = folder + u"/page"_s;
    QProcess::execute(u"pdftoppm"_s,
                      {u"-r"_s, QString::number(rasterDotsPerInch), u"-png"_s, u"-singlefile"_s, pdf, prefix});
    return QImage(prefix + u".png"_s).convertToFormat(QImage::Format_RGB32);
}

bool nearly(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) < 24 && std::abs(a.green() - b.green()) < 24 &&
           std::abs(a.blue() - b.blue()) < 24;
}

// The first and last columns of the middle row that hold the colour.
std::pair<int, int> extentOnMiddleRow(const QImage& page, QColor colour)
{
    int first = -1;
    int last = -1;
    for (int x = 0; x < page.width(); ++x)
        if (nearly(page.pixelColor(x, page.height() / 2), colour)) {
            if (first < 0)
                first = x;
            last = x;
        }
    return {first, last};
}

} // namespace

TEST(DocumentPrinting, APictureKeepsItsSizeWhenItFitsAndShrinksWhenNotCentredAlways)
{
    const Rect area(10, 20, 500, 300);
    const struct {
        Size picture;
        Rect expected;
    } cases[] = {
        {{100, 50}, Rect(210, 145, 100, 50)},    {{1000, 300}, Rect(10, 95, 500, 150)},
        {{250, 600}, Rect(197.5, 20, 125, 300)}, {{500, 300}, area},
        {{0, 0}, Rect(260, 170, 0, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.picture.width << " x " << c.picture.height);
        EXPECT_EQ(DocumentPrinting::placement(c.picture, area), c.expected);
    }
}

TEST_F(DocumentTest, PrintsOnePageTurnedToTheCanvasWithTheDocumentsPixels)
{
    if (QStandardPaths::findExecutable(u"pdftoppm"_s).isEmpty())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    settings.set(setting::imageFilenameTemplate, FilenameTemplate{u"Stampa"_s});
    const QColor colour(220, 40, 30);
    const struct {
        int width;
        int height;
        QPageLayout::Orientation orientation;
    } cases[] = {
        {300, 100, QPageLayout::Landscape},
        {100, 300, QPageLayout::Portrait},
        {3000, 1000, QPageLayout::Landscape},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        ProjectDocument project(settings);
        ASSERT_TRUE(project.addImage(solidPng(colour, c.width, c.height), u"png"_s, std::nullopt, u"Incolla"_s));
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(u"stampa.pdf"_s));

        ASSERT_EQ(project.print(printer), std::nullopt);
        EXPECT_EQ(printer.pageLayout().orientation(), c.orientation);
        EXPECT_EQ(printer.docName(), u"Stampa"_s);

        const QImage page = rasterised(printer.outputFileName(), dir.path());
        ASSERT_FALSE(page.isNull());
        EXPECT_EQ(page.width() > page.height(), c.orientation == QPageLayout::Landscape);
        EXPECT_TRUE(nearly(page.pixelColor(page.width() / 2, page.height() / 2), colour));
        EXPECT_TRUE(nearly(page.pixelColor(2, 2), Qt::white));

        // Across the middle row the picture spans where placement puts it on the page.
        const QRectF paint = printer.pageLayout().paintRect(QPageLayout::Point);
        const Rect placed =
            DocumentPrinting::placement({double(c.width), double(c.height)}, Rect(0, 0, paint.width(), paint.height()));
        const double pixelsPerPoint = rasterDotsPerInch / 72;
        const auto [first, last] = extentOnMiddleRow(page, colour);
        EXPECT_NEAR(first, (paint.left() + placed.origin.x) * pixelsPerPoint, 2);
        EXPECT_NEAR(last + 1, (paint.left() + placed.origin.x + placed.size.width) * pixelsPerPoint, 2);
    }
}

TEST_F(DocumentTest, AnEmptyDocumentPrintsNothingAndSaysWhy)
{
    QTemporaryDir dir;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(u"vuoto.pdf"_s));
    EXPECT_EQ(document.print(printer), u"Il documento è vuoto: non c'è niente da esportare."_s);
    EXPECT_FALSE(QFileInfo::exists(printer.outputFileName()));
}
