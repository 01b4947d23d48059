#pragma once
// HEIC files made for the tests by libheif's own encoder. Programs that include this
// link libheif (see vorlix_link_heif_encoder in tests/CMakeLists.txt).

#include <QByteArray>
#include <QImage>

#include <libheif/heif.h>

#include <cstring>

namespace vorlix::test {

// HEIC data of the opaque picture, encoded at high quality, its display turned as
// `orientation` says (the EXIF numbering). Empty when the encoder fails.
inline QByteArray encodedHeic(const QImage& picture, heif_orientation orientation = heif_orientation_normal)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    heif_image* image = nullptr;
    heif_encoding_options* options = heif_encoding_options_alloc();
    QByteArray data;
    const auto ok = [](heif_error error) { return error.code == heif_error_Ok; };
    if (ok(heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder)) &&
        ok(heif_encoder_set_lossy_quality(encoder, 95)) &&
        ok(heif_image_create(rgb.width(), rgb.height(), heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image)) &&
        ok(heif_image_add_plane(image, heif_channel_interleaved, rgb.width(), rgb.height(), 8))) {
        int stride = 0;
        uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
        for (int y = 0; y < rgb.height(); ++y)
            std::memcpy(plane + qsizetype(y) * stride, rgb.constScanLine(y), size_t(rgb.width()) * 3);
        options->image_orientation = orientation;
        heif_writer writer{};
        writer.writer_api_version = 1;
        writer.write = [](heif_context*, const void* bytes, size_t size, void* target) {
            static_cast<QByteArray*>(target)->append(static_cast<const char*>(bytes), qsizetype(size));
            return heif_error{heif_error_Ok, heif_suberror_Unspecified, ""};
        };
        if (ok(heif_context_encode_image(context, image, encoder, options, nullptr)))
            heif_context_write(context, &writer, &data);
    }
    heif_encoding_options_free(options);
    if (image)
        heif_image_release(image);
    if (encoder)
        heif_encoder_release(encoder);
    heif_context_free(context);
    return data;
}

} // namespace vorlix::test
