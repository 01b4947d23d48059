#pragma once
// New one-image project documents, from a shot, an image file's bytes or a clipboard
// picture, and shots added to an open document. The picture is stored byte for byte;
// the document opens clean, with nothing to undo.

#include "app/capture/CapturedShot.h"
#include "app/editor/document/ProjectDocument.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>

namespace vorlix {

class Settings;

namespace ShotDocument {

// What a new one-image document holds besides its picture.
struct Details {
    QString fileExtension = QStringLiteral("png");
    double pixelsPerPoint = 1;
    QDateTime createdAt;
    std::optional<QString> sourceAppName;
    std::optional<QString> timestamp; // stamped on the picture as part of the opening state
};

// 2 when the image records at least 144 dots per inch across, else 1.
double pixelsPerPointOf(const QByteArray& data);

// A document of one panel showing `data` at the details' density, in the orientation
// the data records; nothing when the data is no readable image.
std::unique_ptr<ProjectDocument> make(const QByteArray& data, const Details& details, Settings& settings);

// The document of a shot taken at `date`: the shot's program, the timestamp when stamps
// are on, and the window-frame look for a window shot; nothing when its PNG is unreadable.
std::unique_ptr<ProjectDocument> make(const CapturedShot& shot, const QDateTime& date, Settings& settings);

// Adds the shot as a new panel in one undo step "Aggiungi scatto"; false, and nothing
// changes, when its PNG is unreadable.
bool add(const CapturedShot& shot, ProjectDocument& document);

} // namespace ShotDocument

} // namespace vorlix
