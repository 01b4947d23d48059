#pragma once
// What an imported picture file says about itself before its pixels are decoded: its
// pixel size as stored, the EXIF orientation turned into the orientation of the panel
// that shows it, and its density. Stateless; callable from any thread.

#include "core/model/Geometry.h"
#include "core/model/Panel.h"

#include <QByteArray>

#include <optional>

namespace vorlix::PhotoOrientation {

// EXIF orientation 1...8 as quarter turns clockwise and a horizontal flip (6, the
// picture needing a quarter turn clockwise to stand upright, gives one turn). Any
// other value is the identity.
PanelOrientation panelOrientation(int exif);

struct Properties {
    PanelOrientation orientation;
    Size pixelSize;            // as stored: not swapped for turned orientations (HEIF: as shown)
    double pixelsPerPoint = 1; // 2 when the file records 144 dots per inch or more, else 1

    bool operator==(const Properties&) const = default;
};

// Nothing when the data is no readable image.
std::optional<Properties> properties(const QByteArray& data);

// The orientation of `properties` alone, from the header; the identity when the data is
// no readable image. A HEIF picture is not opened at all: it decodes already turned.
PanelOrientation orientation(const QByteArray& data);

} // namespace vorlix::PhotoOrientation
