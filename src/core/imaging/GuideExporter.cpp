#include "core/imaging/GuideExporter.h"

#include "core/document/DocumentAnnotations.h"
#include "core/imaging/Exporter.h"
#include "core/imaging/ImageCoding.h"
#include "core/model/ExportOptions.h"
#include "core/model/PanelGeometry.h"
#include "core/shapes/QtConversions.h"
#include "core/shapes/TextLayout.h"

#include <QBuffer>
#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace vorlix::GuideExporter {

namespace {

constexpr double titleSize = 22;
constexpr double titleGap = 18;
constexpr double headingSize = 15;
constexpr double headingGap = 6;
constexpr double captionSize = 12;
constexpr double captionGap = 8;
constexpr double imageGap = 22;
constexpr double borderWidth = 0.5;
constexpr double borderGrey = 0.8;
constexpr double textGrey = 0.12;

std::optional<QString> trimmedCaption(const std::optional<QString>& caption)
{
    if (!caption)
        return std::nullopt;
    QString trimmed = caption->trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    return trimmed;
}

QString headingText(const Step& step) { return u"Passaggio "_s + QString::number(step.number); }

// The style the guide's text is measured and drawn with: the system font, dark grey, no
// box. TextLayout pads a box on every side; textHeight and drawText add that padding
// around the column and take it off again, so the text wraps at exactly 499 points.
Style textStyle(double size, bool bold)
{
    Style style;
    style.strokeColor = RGBAColor{textGrey, textGrey, textGrey, 1};
    style.fontName = std::nullopt;
    style.fontSize = size;
    style.fontBold = bold;
    style.textOutline = false;
    style.textAlignment = TextAlignment::left;
    style.textBoxBorder = false;
    style.fill = FillMode::none;
    return style;
}

// The height of text wrapped in the column, rounded up to a whole point; 0 for no text.
double textHeight(const QString& text, const Style& style)
{
    if (text.isEmpty())
        return 0;
    const double p = TextLayout::padding(style);
    return TextLayout::size(text, style, columnWidth + 2 * p).height - 2 * p;
}

void drawText(const QString& text, const Style& style, const Rect& rect, QPainter& painter)
{
    if (text.isEmpty())
        return;
    const double p = TextLayout::padding(style);
    const Rect box(rect.minX() - p, rect.minY() - p, rect.width() + 2 * p, rect.height() + 2 * p);
    TextLayout::draw(text, style, box.origin, painter, box);
}

// The Markdown lines; a step whose `linked` entry is false gets no picture link.
QString markdownText(const QString& title, const std::vector<Step>& steps, const std::vector<bool>& linked)
{
    QStringList lines{u"# "_s + title, QString()};
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        const QString number = QString::number(step.number);
        lines << u"## Passaggio "_s + number << QString();
        if (step.caption)
            lines << *step.caption << QString();
        if (linked[i])
            lines << u"![Passaggio "_s + number + u"]("_s + imageFileName(step) + u")"_s << QString();
    }
    return lines.join(u'\n');
}

FolderError folderError(FolderError::Kind kind, const QString& path, const QString& reason)
{
    switch (kind) {
    case FolderError::Kind::createFolder:
        return {kind, path, u"Impossibile creare la cartella della guida «%1»: %2"_s.arg(path, reason)};
    case FolderError::Kind::write:
        return {kind, path, u"Impossibile scrivere «%1»: %2"_s.arg(path, reason)};
    }
    return {kind, path, reason};
}

std::optional<FolderError> writeAtomically(const QString& path, const QByteArray& data)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        return folderError(FolderError::Kind::write, path, file.errorString());
    return std::nullopt;
}

} // namespace

std::vector<Step> steps(const DocumentModel& document, const ImageProviding& images)
{
    ExportOptions options;
    options.resolution = ExportOptions::Native{};
    options.color = ExportOptions::ColorHandling::sRGB;
    options.format = ExportOptions::Png{};
    options.background = ColorBackground{RGBAColor::white()};
    const std::optional<QImage> rendered = Exporter::renderImage(document, images, options);
    if (!rendered || rendered->isNull())
        return {};

    const Rect bounds = canvasBounds(document);
    if (bounds.isEmpty())
        return {};
    const double s = rendered->width() / bounds.width();
    const Rect imageBounds(0, 0, rendered->width(), rendered->height());

    std::vector<Step> result;
    for (std::size_t i = 0; i < document.panels.size(); ++i) {
        const Panel& panel = document.panels[i];
        const Rect area = frame(panel).intersection(bounds);
        if (area.isEmpty())
            continue;
        // Outward to whole pixels, then clipped to the bitmap as a cut-out is.
        const Rect pixels = Rect(s * (area.minX() - bounds.minX()), s * (area.minY() - bounds.minY()), s * area.width(),
                                 s * area.height())
                                .integral()
                                .intersection(imageBounds);
        if (pixels.isEmpty() || !std::isfinite(pixels.minX()) || !std::isfinite(pixels.minY()) ||
            !std::isfinite(pixels.width()) || !std::isfinite(pixels.height()))
            continue;
        const QImage piece =
            rendered->copy(QRect(int(pixels.minX()), int(pixels.minY()), int(pixels.width()), int(pixels.height())));
        if (piece.isNull())
            continue;
        result.push_back(Step{std::int64_t(i) + 1, trimmedCaption(panel.caption), piece, s});
    }
    return result;
}

QString imageFileName(const Step& step)
{
    return QString::asprintf("passaggio-%02lld.png", static_cast<long long>(step.number));
}

QString markdown(const QString& title, const std::vector<Step>& steps)
{
    return markdownText(title, steps, std::vector<bool>(steps.size(), true));
}

Size fittedImageSize(const Step& step, double maxWidth, double maxHeight)
{
    // A density that is not a positive number would make the size infinite.
    const double density = step.pixelsPerPoint > minimumDivisor ? step.pixelsPerPoint : minimumDivisor;
    const double w = step.image.width() / density;
    const double h = step.image.height() / density;
    const double sx = w <= 1 ? maxWidth : maxWidth / w;
    const double sy = h <= 1 ? maxHeight : maxHeight / h;
    const double k = std::min({1.0, sx, sy});
    return {w * k, h * k};
}

std::vector<PdfBlock> pdfLayout(const QString& title, const std::vector<Step>& steps)
{
    std::vector<PdfBlock> blocks;
    int page = 0;
    double y = 0; // downward from the top of the content
    auto place = [&](PdfBlock::Kind kind, std::size_t index, double width, double height) {
        blocks.push_back(PdfBlock{kind, index, page, Rect(pageMargin, pageMargin + y, width, height)});
    };

    const double titleHeight = textHeight(title, textStyle(titleSize, true));
    place(PdfBlock::Kind::title, 0, columnWidth, titleHeight);
    y = titleHeight + titleGap;

    const Style headingStyle = textStyle(headingSize, true);
    const Style captionStyle = textStyle(captionSize, false);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        const Size image = fittedImageSize(step, columnWidth, maximumImageHeight);
        const double hh = textHeight(headingText(step), headingStyle);
        const double hcap = step.caption ? textHeight(*step.caption, captionStyle) : 0;
        const double hc = step.caption ? hcap + captionGap : 0;
        if (y > 0 && y + hh + headingGap + hc + image.height + imageGap > usableHeight) {
            ++page;
            y = 0;
        }
        place(PdfBlock::Kind::heading, i, columnWidth, hh);
        y += hh + headingGap;
        if (step.caption) {
            place(PdfBlock::Kind::caption, i, columnWidth, hcap);
            y += hcap + captionGap;
        }
        place(PdfBlock::Kind::image, i, image.width, image.height);
        y += image.height + imageGap;
    }
    return blocks;
}

std::optional<QByteArray> pdf(const QString& title, const std::vector<Step>& steps)
{
    QByteArray data;
    QBuffer buffer(&data);
    if (!buffer.open(QIODevice::WriteOnly))
        return std::nullopt;
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(
            QPageSize(QSizeF(pageWidth, pageHeight), QPageSize::Point, QString(), QPageSize::ExactMatch));
        writer.setPageOrientation(QPageLayout::Portrait);
        writer.setResolution(72); // one device unit is one point
        writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
        writer.setTitle(title);

        QPainter painter;
        if (!painter.begin(&writer))
            return std::nullopt;
        // Screenshots are embedded as they are: without this Qt stores them as JPEG.
        painter.setRenderHint(QPainter::LosslessImageRendering);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setRenderHint(QPainter::Antialiasing);

        const Style titleStyle = textStyle(titleSize, true);
        const Style headingStyle = textStyle(headingSize, true);
        const Style captionStyle = textStyle(captionSize, false);
        QPen border(QColor::fromRgbF(borderGrey, borderGrey, borderGrey, 1), borderWidth);
        border.setJoinStyle(Qt::MiterJoin);

        int page = 0;
        for (const PdfBlock& block : pdfLayout(title, steps)) {
            while (page < block.page) {
                if (!writer.newPage())
                    return std::nullopt;
                ++page;
            }
            switch (block.kind) {
            case PdfBlock::Kind::title:
                drawText(title, titleStyle, block.rect, painter);
                break;
            case PdfBlock::Kind::heading:
                drawText(headingText(steps[block.stepIndex]), headingStyle, block.rect, painter);
                break;
            case PdfBlock::Kind::caption:
                drawText(steps[block.stepIndex].caption.value_or(QString()), captionStyle, block.rect, painter);
                break;
            case PdfBlock::Kind::image: {
                const QRectF target = block.rect.toQt();
                const QImage& image = steps[block.stepIndex].image;
                if (!image.isNull())
                    painter.drawImage(target, image);
                painter.setPen(border);
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(target);
                break;
            }
            }
        }
        if (!painter.end())
            return std::nullopt;
    }
    return data;
}

QString FolderReport::message() const
{
    if (stepsWithoutPicture.empty())
        return {};
    QStringList numbers;
    for (const std::int64_t n : stepsWithoutPicture)
        numbers << QString::number(n);
    if (numbers.size() == 1)
        return u"Non è stato possibile salvare l'immagine del passaggio %1: la guida lo riporta senza immagine."_s.arg(
            numbers.front());
    return u"Non è stato possibile salvare le immagini dei passaggi %1: la guida li riporta senza immagine."_s.arg(
        numbers.join(u", "_s));
}

std::variant<FolderReport, FolderError> writeFolder(const QString& folder, const QString& title,
                                                    const std::vector<Step>& steps)
{
    const QDir dir(folder);
    if (!QDir().mkpath(folder) || !dir.exists())
        return folderError(FolderError::Kind::createFolder, folder, u"la cartella non può essere creata"_s);

    FolderReport report;
    std::vector<bool> linked(steps.size(), false);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        const std::optional<QByteArray> png = ImageCoding::encode(step.image, ImageType::png, step.pixelsPerPoint, 0.9);
        if (!png) {
            report.stepsWithoutPicture.push_back(step.number);
            continue;
        }
        if (const auto error = writeAtomically(dir.filePath(imageFileName(step)), *png))
            return *error;
        linked[i] = true;
    }
    if (const auto error = writeAtomically(dir.filePath(QString::fromLatin1(markdownFileName)),
                                           markdownText(title, steps, linked).toUtf8()))
        return *error;
    return report;
}

} // namespace vorlix::GuideExporter
