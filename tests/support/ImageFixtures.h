#pragma once
// Small pictures and encoded files for image coding tests.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>

namespace vorlix::test {

// The picture as PNG data, as Qt writes it.
inline QByteArray pngOf(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A w × h opaque picture whose four corners differ: red top-left, green top-right,
// blue bottom-left, white bottom-right, grey elsewhere. Shows turns and flips.
inline QImage cornerImage(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(128, 128, 128));
    image.setPixelColor(0, 0, Qt::red);
    image.setPixelColor(w - 1, 0, Qt::green);
    image.setPixelColor(0, h - 1, Qt::blue);
    image.setPixelColor(w - 1, h - 1, Qt::white);
    return image;
}

// JPEG data with an EXIF segment recording the orientation, put right after the
// start-of-image marker (before JFIF, as cameras write it).
inline QByteArray withExifOrientation(const QByteArray& jpeg, int orientation)
{
    QByteArray tiff("II*\0\x08\0\0\0", 8);             // little-endian TIFF, IFD0 at offset 8
    tiff += QByteArray("\x01\0", 2);                   // one entry
    tiff += QByteArray("\x12\x01\x03\0\x01\0\0\0", 8); // 0x0112 Orientation, SHORT, count 1
    tiff += char(orientation);
    tiff += QByteArray(3, '\0');
    tiff += QByteArray(4, '\0'); // no next IFD
    const QByteArray body = QByteArray("Exif\0\0", 6) + tiff;
    const int length = int(body.size()) + 2;
    QByteArray segment("\xff\xe1", 2);
    segment += char(length >> 8);
    segment += char(length & 0xff);
    segment += body;
    return jpeg.left(2) + segment + jpeg.mid(2);
}

} // namespace vorlix::test
