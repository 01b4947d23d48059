#pragma once
// PNG writing straight through libpng, tuned for screenshots: one fixed row filter and
// a fast zlib setting instead of libpng's per-row filter search at level 6, which
// spends most of its time for a few per cent of size on flat interface pictures.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>

namespace vorlix {

struct PngEncoderSettings {
    int filter;       // PNG_FILTER_* mask (one bit = a fixed filter)
    int zlibLevel;    // 0...9
    int zlibStrategy; // Z_DEFAULT_STRATEGY, Z_FILTERED, Z_RLE...

    static PngEncoderSettings fast();     // what encode() uses
    static PngEncoderSettings thorough(); // libpng's defaults: adaptive filters, level 6
};

// Opaque images are written as 8-bit RGB, others as 8-bit straight RGBA. pHYs records
// dotsPerInch in whole dots per metre; a non-empty description becomes a "Description"
// tEXt chunk (iTXt when it is not printable Latin-1). A colour space other than sRGB
// is embedded as its ICC profile.
std::optional<QByteArray> encodePng(const QImage& image, double dotsPerInch, const QString& description,
                                    const PngEncoderSettings& settings = PngEncoderSettings::fast());

} // namespace vorlix
