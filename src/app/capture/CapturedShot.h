#pragma once
// The result of one capture: the picture, its PNG bytes, the scale of the screen it came
// from (device pixels per logical pixel) and how it was taken, with the program it belongs
// to. Passed on to the history, the quick preview and the editor.

#include "core/formats/HistoryEntry.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>
#include <optional>

namespace vorlix {

// The program a shot belongs to: the owner of the window that was active when the capture
// began, or of the captured window.
struct SourceApplication {
    std::optional<std::int64_t> pid;
    QString name;
    std::uint32_t window = 0;

    bool operator==(const SourceApplication&) const = default;
};

struct CapturedShot {
    QImage image;
    QByteArray pngData; // `image` as PNG, recording 72 × pixelsPerPoint dots per inch
    double pixelsPerPoint = 1;
    CaptureKind kind = CaptureKind::area;
    std::optional<SourceApplication> sourceApp; // none when the shot is of this program itself

    bool operator==(const CapturedShot&) const = default;
};

} // namespace vorlix
