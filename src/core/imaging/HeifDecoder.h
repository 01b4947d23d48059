#pragma once
// HEIC and HEIF pictures, as phones take them, decoded with libheif. The library and
// its codecs are loaded by the first such picture: a program that never meets one never
// maps them. Stateless; callable from any thread.

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <optional>

namespace vorlix::HeifDecoder {

// Whether the data is an ISO media file that names a HEIF still-image brand ("heic",
// "mif1", …). Reads only the file-type box.
bool isHeif(const QByteArray& data);

// The primary image's size as it shows, its turn and mirroring applied, read from the
// header. Nothing when the data is unreadable or libheif is missing.
std::optional<QSize> size(const QByteArray& data);

// The primary image turned and mirrored as the file says, in RGBA8888 or RGB888; null
// when the data is unreadable, libheif is missing or the image has more than
// `maximumPixels` pixels (checked before any pixel memory is taken).
QImage decode(const QByteArray& data, qint64 maximumPixels);

} // namespace vorlix::HeifDecoder
