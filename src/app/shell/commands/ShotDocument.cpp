#include "app/shell/commands/ShotDocument.h"

#include "app/support/Settings.h"
#include "core/document/PanelComposition.h"
#include "core/formats/PhotoOrientation.h"
#include "core/formats/TimestampFormat.h"
#include "core/imaging/ImageCoding.h"

#include <QUuid>

using namespace Qt::StringLiterals;

namespace vorlix::ShotDocument {

double pixelsPerPointOf(const QByteArray& data)
{
    const std::optional<double> dpi = ImageCoding::dotsPerInch(data);
    return dpi && *dpi >= 144 ? 2 : 1;
}

std::unique_ptr<ProjectDocument> make(const QByteArray& data, const Details& details, Settings& settings)
{
    const QImage decoded = ImageCoding::decode(data);
    if (decoded.isNull())
        return nullptr;
    const PanelOrientation orientation = PhotoOrientation::orientation(data);

    auto document = std::make_unique<ProjectDocument>(settings);
    const QUuid imageID = QUuid::createUuid();
    // The store would decode the bytes just as above.
    document->images().add(ImageAsset{data, details.fileExtension.toLower()}, imageID, decoded);
    document->editor().perform(QString(), [&](DocumentModel& model) {
        addPanel(model, imageID, Size{double(decoded.width()), double(decoded.height())}, details.pixelsPerPoint,
                 orientation);
        if (details.timestamp)
            addTimestamp(model, *details.timestamp, timestampStyle());
    });
    document->undoManager().removeAllActions();
    document->undoManager().markClean();
    document->createdAt = details.createdAt;
    document->sourceAppName = details.sourceAppName;
    return document;
}

std::unique_ptr<ProjectDocument> make(const CapturedShot& shot, const QDateTime& date, Settings& settings)
{
    Details details;
    details.pixelsPerPoint = shot.pixelsPerPoint;
    details.createdAt = date;
    if (shot.sourceApp && !shot.sourceApp->name.isEmpty())
        details.sourceAppName = shot.sourceApp->name;
    details.timestamp = settings.timestamp(date);
    std::unique_ptr<ProjectDocument> document = make(shot.pngData, details, settings);
    if (document && shot.kind == CaptureKind::window)
        document->applyWindowFrame();
    return document;
}

bool add(const CapturedShot& shot, ProjectDocument& document)
{
    return document.addImage(shot.pngData, u"png"_s, shot.pixelsPerPoint, u"Aggiungi scatto"_s);
}

} // namespace vorlix::ShotDocument
