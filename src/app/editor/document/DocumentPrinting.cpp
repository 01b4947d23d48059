#include "app/editor/document/DocumentPrinting.h"

#include "core/document/DocumentAnnotations.h"
#include "core/imaging/Exporter.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <variant>

namespace vorlix::DocumentPrinting {

using namespace Qt::StringLiterals;

namespace {

constexpr double pointsPerInch = 72;

} // namespace

Rect placement(Size pictureSize, const Rect& area)
{
    double scale = 1;
    if (pictureSize.width > 0 && pictureSize.height > 0)
        scale = std::min({1.0, area.size.width / pictureSize.width, area.size.height / pictureSize.height});
    const Size placed{pictureSize.width * scale, pictureSize.height * scale};
    return Rect(area.origin.x + (area.size.width - placed.width) / 2,
                area.origin.y + (area.size.height - placed.height) / 2, placed.width, placed.height);
}

std::optional<QString> print(const DocumentModel& document, const ImageStore& images, const ExportOptions& options,
                             const QString& jobName, QPrinter& printer)
{
    std::variant<QImage, Exporter::RenderFailure> rendered = Exporter::render(document, images, options);
    if (const auto* failure = std::get_if<Exporter::RenderFailure>(&rendered))
        return Exporter::failureMessage(*failure);
    const QImage& picture = std::get<QImage>(rendered);

    const Rect canvas = canvasBounds(document);
    printer.setPageOrientation(canvas.size.width > canvas.size.height ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setDocName(jobName);

    QPainter painter;
    if (!painter.begin(&printer))
        return u"Impossibile stampare il documento."_s;
    // Work in points: the painter's device units are the printer's dots.
    const double dotsPerPoint = printer.resolution() / pointsPerInch;
    painter.scale(dotsPerPoint, dotsPerPoint);
    const QRectF page = printer.pageLayout().paintRect(QPageLayout::Point);
    // The painter's origin is the top-left corner of the printable area.
    const Rect target = placement(canvas.size, Rect(0, 0, page.width(), page.height()));
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(target.origin.x, target.origin.y, target.size.width, target.size.height), picture);
    painter.end();
    return std::nullopt;
}

} // namespace vorlix::DocumentPrinting
