#pragma once
// A picture taken from clipboard or drop data that carries no file, and the density at
// which it joins a document. A picture whose pixels are at least half again as many as
// its points across (a shot of a dense screen, which records 108 dots per inch or more)
// is added at 2 pixels per point, anything else at 1.

#include <QImage>

#include <optional>

class QMimeData;

namespace vorlix {

struct PastedImage {
    QImage image; // upright: any EXIF orientation of the data applied
    double pixelsPerPoint = 1;

    // 2 when `pointWidth` is above 0 and `pixelWidth / pointWidth` is at least 1.5, else 1.
    static double pixelsPerPointFor(double pixelWidth, double pointWidth);

    // The first readable picture of the data: encoded image data ("image/png" first, then
    // the other image types), whose width in points follows the dots per inch it records
    // (72 when none); else an image object, whose points follow its device pixel ratio.
    // Nothing when the data holds no readable picture.
    static std::optional<PastedImage> read(const QMimeData& data);
};

} // namespace vorlix
