#pragma once
// PNG writing tuned for screenshots: one fixed row filter and a fast zlib setting instead
// of libpng's per-row filter search at level 6, which spends most of its time for a few
// per cent of size on flat interface pictures. Large pictures are compressed in bands of
// rows on several threads and joined into one zlib stream, so a full 5K screen encodes in
// a fraction of the time one thread takes.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>

namespace vorlix {

struct PngEncoderSettings {
    int filter;         // PNG_FILTER_* mask: one bit = a fixed filter, several = the best of them per row
    int zlibLevel;      // 0...9
    int zlibStrategy;   // Z_DEFAULT_STRATEGY, Z_FILTERED, Z_RLE...
    int maxThreads = 0; // threads compressing bands, the calling one included; 0: the global pool's size

    static PngEncoderSettings fast();     // what encode() uses
    static PngEncoderSettings thorough(); // libpng's defaults: adaptive filters, level 6
};

// Bytes of filtered rows (one filter byte and the pixels) each band holds at least: a
// picture of less than twice this is compressed by the calling thread alone.
inline constexpr qsizetype pngMinimumBandBytes = qsizetype(1) << 19;

// Opaque images are written as 8-bit RGB, others as 8-bit straight RGBA. pHYs records
// dotsPerInch in whole dots per metre; a non-empty description becomes a "Description"
// tEXt chunk (iTXt when it is not printable Latin-1). A colour space other than sRGB
// is embedded as its ICC profile. Callable from any thread, a pool thread included: the
// caller compresses bands itself and is helped by threads of the global pool, never
// waiting for a band no thread has started.
std::optional<QByteArray> encodePng(const QImage& image, double dotsPerInch, const QString& description,
                                    const PngEncoderSettings& settings = PngEncoderSettings::fast());

} // namespace vorlix
