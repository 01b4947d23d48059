#pragma once
// HEIC and HEIF pictures, as phones take them, read by libheif in a small helper program
// (vorlix-heif-decode): a file that stalls or crashes the decoder cannot take the program
// with it, and a program that never meets such a picture never maps the codecs.
// Stateless; callable from any thread (each call waits for its own helper process).

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <chrono>
#include <optional>

namespace vorlix::HeifDecoder {

// Whether the data is an ISO media file that names a HEIF still-image brand ("heic",
// "mif1", …). Reads only the file-type box.
bool isHeif(const QByteArray& data);

// The primary image's size as it shows, its turn and mirroring applied, read from the
// header. Nothing when the data is unreadable or the helper is missing.
std::optional<QSize> size(const QByteArray& data);

// This system's libheif can spend minutes on a few hundred crafted bytes; a 48-megapixel
// photo decodes in a few seconds even on a slow machine.
inline constexpr std::chrono::milliseconds decodeTimeout{20000};

// The primary image turned and mirrored as the file says, in RGBA8888 or RGB888; null
// when the data is unreadable, the helper is missing or takes longer than `timeout`, or
// the image has more than `maximumPixels` pixels (checked before any pixel is decoded).
QImage decode(const QByteArray& data, qint64 maximumPixels, std::chrono::milliseconds timeout = decodeTimeout);

} // namespace vorlix::HeifDecoder
