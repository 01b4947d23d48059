#pragma once
// Dragging the current image out of the program into a file manager, a mail or a chat.
// Receivers differ in what they take, so a drag offers both a PNG file, written into a
// private temporary folder, and the PNG data itself.
//
// Files stay in the folder after the drop (many receivers read them later); each new file
// removes those modified more than an hour before. Sizes of the dragging image are in
// logical pixels. Main thread only.

#include <QByteArray>
#include <QPixmap>
#include <QPoint>
#include <QSize>
#include <QString>

#include <memory>
#include <optional>
#include <utility>

class QMimeData;
class QWidget;

namespace vorlix::ImageDrag {

// Files older than this are removed when the next one is written.
inline constexpr int maximumAgeSeconds = 3600;
// The longer side of the dragging image; an image that does not decode shows an empty
// square of the fallback side.
inline constexpr int dragImageSide = 160;
inline constexpr int fallbackDragImageSide = 64;

// "Trascinamenti" inside the system's temporary folder.
QString defaultFolder();

// The base name a file gets for `fileName`: "/" becomes "-", control characters and line
// breaks become spaces, the ends are trimmed, leading dots go (no hidden files, no "."
// or ".."), the UTF-8 form is cut to leave room for ".png" within the 255 bytes a name
// may have, and nothing left gives "Immagine".
QString safeBaseName(const QString& fileName);

// Writes `png` as "<safe name>.png" into `folder` (made when missing), replacing a file of
// that name, after removing the folder's files older than an hour. Returns the file's
// absolute path; nothing, after a beep, when it cannot be written.
std::optional<QString> temporaryFile(const QByteArray& png, const QString& fileName,
                                     const QString& folder = defaultFolder());

// The size of the dragging image for `png`: the longer side scaled to exactly 160 (small
// images are enlarged), or 64 × 64 when the data does not decode.
QSize dragImageSize(const QByteArray& png);
// The dragging image at `devicePixelRatio`; transparent when the data does not decode.
QPixmap dragPixmap(const QByteArray& png, qreal devicePixelRatio = 1.0);
// What a drag carries: the file's URL, and the PNG data as "image/png".
std::unique_ptr<QMimeData> mimeData(const QString& file, const QByteArray& png);

// Writes the temporary file and drags it from `view`, with the dragging image centred on
// `pressPos` (view coordinates) where the pointer went down. Returns when the drag ends,
// with the action the receiver took; nothing, after a beep, when no file could be written
// (no drag starts then). `actions` are those the caller allows.
std::optional<Qt::DropAction> begin(QWidget* view, QPoint pressPos, const QByteArray& png, const QString& fileName,
                                    Qt::DropActions actions = Qt::CopyAction);

// What a view that drags its image keeps between mouse-down and the first move. There is
// no distance threshold: the first move with the button down starts the drag.
struct Gesture {
    std::optional<QPoint> down; // where the button went down; nothing when no drag is pending

    void press(QPoint pos) { down = pos; }
    // On a move: the press position when this move starts a drag, which the gesture then
    // forgets; nothing when no drag is pending.
    std::optional<QPoint> takeDragStart() { return std::exchange(down, std::nullopt); }
    // On release: the press goes on to the view's ordinary click handling.
    void release() { down.reset(); }

    bool operator==(const Gesture&) const = default;
};

} // namespace vorlix::ImageDrag
