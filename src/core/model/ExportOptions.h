#pragma once
// How a whole document is rendered into a bitmap (export, copy, print, pin, guide steps,
// analysis renders), and the export density that follows from it: bitmap pixels per
// canvas point.

#include "core/model/DocumentModel.h"

#include <cstdint>
#include <optional>
#include <variant>

namespace vorlix {

// The file type of an encoded picture.
enum class ImageType { png, jpeg };

struct ExportOptions {
    // One canvas point becomes one pixel.
    struct Normal {
        bool operator==(const Normal&) const = default;
    };
    // As many pixels per point as the densest panel holds at its current scale.
    struct Native {
        bool operator==(const Native&) const = default;
    };
    // The native density, lowered so that the canvas is at most `width` pixels wide.
    struct MaxWidth {
        std::int64_t width = 0;
        bool operator==(const MaxWidth&) const = default;
    };
    // A fixed number of pixels per point, whatever the panels hold.
    struct Scale {
        double factor = 1;
        bool operator==(const Scale&) const = default;
    };
    using Resolution = std::variant<Normal, Native, MaxWidth, Scale>;

    // sRGB: the shared sRGB colour space; source: the first panel's image's RGB space.
    enum class ColorHandling { sRGB, source };

    struct Png {
        bool operator==(const Png&) const = default;
    };
    // quality: lossy compression quality, 0 to 1.
    struct Jpeg {
        double quality = 0.9;
        bool operator==(const Jpeg&) const = default;
    };
    using Format = std::variant<Png, Jpeg>;

    Resolution resolution = Normal{};
    ColorHandling color = ColorHandling::sRGB;
    Format format = Png{};
    // Painted behind the panels; nothing means the document's own background.
    std::optional<CanvasBackground> background;

    bool operator==(const ExportOptions&) const = default;
};

ImageType imageType(const ExportOptions::Format& format);

// The largest pixelsPerPoint / max(scale, 0.0001) over the document's panels; 1 without panels.
double nativePixelsPerPoint(const DocumentModel& document);

// Bitmap pixels per canvas point for the options' resolution. `canvasBounds` (the
// document's canvas bounds, computed by the caller) is read only for a width cap, which
// never raises the density. A cap below one pixel, or a canvas without width, caps nothing.
double exportPixelsPerPoint(const DocumentModel& document, const ExportOptions& options, const Rect& canvasBounds);

} // namespace vorlix
