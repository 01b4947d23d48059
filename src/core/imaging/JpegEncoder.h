#pragma once
// JPEG writing straight through libjpeg(-turbo): no chroma subsampling (4:4:4) so thin
// coloured strokes and text keep their colour, JFIF density in dots per inch, and
// alpha flattened onto opaque white (JPEG has no alpha; dropping it from premultiplied
// pixels would darken every translucent pixel toward black).

#include <QByteArray>
#include <QImage>

#include <optional>

namespace vorlix {

// quality: 0...100. Nothing for a null image or one larger than JPEG's 65,500 pixels.
std::optional<QByteArray> encodeJpeg(const QImage& image, double dotsPerInch, int quality);

// The image as opaque RGB32 over white: each channel c of a premultiplied pixel with
// alpha a becomes c + (255 - a), exactly "source over white".
QImage flattenedOntoWhite(const QImage& image);

} // namespace vorlix
