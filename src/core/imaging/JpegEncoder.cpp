#include "core/imaging/JpegEncoder.h"

#include <QColorSpace>

#include <cstdio> // jpeglib.h needs FILE
#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdlib>
#include <vector>

namespace vorlix {

namespace {

struct ErrorJump {
    jpeg_error_mgr manager; // first member: libjpeg hands back a pointer to it
    std::jmp_buf jump;
};

[[noreturn]] void jumpOnError(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorJump*>(info->err)->jump, 1); }

void printNothing(j_common_ptr) {}

} // namespace

QImage flattenedOntoWhite(const QImage& image)
{
    if (!image.hasAlphaChannel())
        return image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
    QImage flat = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const qsizetype width = flat.width();
    for (int y = 0; y < flat.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(flat.scanLine(y));
        for (qsizetype x = 0; x < width; ++x) {
            const QRgb p = row[x];
            const uint cover = 255 - qAlpha(p); // white's share, premultiplied channels add it
            row[x] = qRgb(int(qRed(p) + cover), int(qGreen(p) + cover), int(qBlue(p) + cover));
        }
    }
    flat.reinterpretAsFormat(QImage::Format_RGB32);
    return flat;
}

namespace {

// The compressor's state, owned by the caller so that nothing the error jump could
// leave indeterminate lives in the frame that calls setjmp.
struct Compression {
    jpeg_compress_struct info{};
    ErrorJump error{};
    unsigned char* buffer = nullptr; // malloc'd by libjpeg's memory destination
    unsigned long size = 0;
};

bool compress(Compression& c, const std::vector<JSAMPROW>& rows, JDIMENSION width, int quality, UINT16 density,
              const QByteArray& icc)
{
    c.info.err = jpeg_std_error(&c.error.manager);
    c.error.manager.error_exit = jumpOnError;
    c.error.manager.output_message = printNothing;
    if (setjmp(c.error.jump))
        return false;
    jpeg_create_compress(&c.info);
    jpeg_mem_dest(&c.info, &c.buffer, &c.size);

    c.info.image_width = width;
    c.info.image_height = static_cast<JDIMENSION>(rows.size());
    c.info.input_components = 4;
    c.info.in_color_space = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB; // RGB32 in memory
    jpeg_set_defaults(&c.info);
    jpeg_set_quality(&c.info, quality, TRUE);
    for (int i = 0; i < c.info.num_components; ++i) {
        c.info.comp_info[i].h_samp_factor = 1;
        c.info.comp_info[i].v_samp_factor = 1;
    }
    c.info.write_JFIF_header = TRUE;
    c.info.density_unit = 1; // dots per inch
    c.info.X_density = density;
    c.info.Y_density = density;

    jpeg_start_compress(&c.info, TRUE);
    if (!icc.isEmpty())
        jpeg_write_icc_profile(&c.info, reinterpret_cast<const JOCTET*>(icc.constData()),
                               static_cast<unsigned int>(icc.size()));
    while (c.info.next_scanline < c.info.image_height)
        jpeg_write_scanlines(&c.info, const_cast<JSAMPARRAY>(rows.data()) + c.info.next_scanline,
                             c.info.image_height - c.info.next_scanline);
    jpeg_finish_compress(&c.info);
    return true;
}

} // namespace

std::optional<QByteArray> encodeJpeg(const QImage& image, double dotsPerInch, int quality)
{
    if (image.isNull())
        return std::nullopt;
    const QImage flat = flattenedOntoWhite(image);
    std::vector<JSAMPROW> rows(static_cast<std::size_t>(flat.height()));
    for (int y = 0; y < flat.height(); ++y)
        rows[static_cast<std::size_t>(y)] = const_cast<JSAMPROW>(flat.constScanLine(y));
    const QColorSpace space = flat.colorSpace();
    const QByteArray icc =
        space.isValid() && space != QColorSpace(QColorSpace::SRgb) ? space.iccProfile() : QByteArray();
    const auto density = static_cast<UINT16>(std::clamp(std::round(dotsPerInch), 1.0, 65535.0));

    Compression c;
    const bool ok = compress(c, rows, static_cast<JDIMENSION>(flat.width()), std::clamp(quality, 0, 100), density, icc);
    jpeg_destroy_compress(&c.info);
    std::optional<QByteArray> out;
    if (ok)
        out = QByteArray(reinterpret_cast<const char*>(c.buffer), static_cast<qsizetype>(c.size));
    std::free(c.buffer);
    return out;
}

} // namespace vorlix
