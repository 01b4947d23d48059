#include "core/formats/PngChunks.h"

#include "core/imaging/ImageCoding.h"

#include <QBuffer>
#include <QtEndian>

#include <zlib.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace vorlix::PngChunks {

namespace {

constexpr QByteArrayView signature("\x89PNG\r\n\x1a\n", 8);
constexpr QByteArrayView descriptionKeyword("Description");
// The PNG format limits every chunk length to 2^31 - 1.
constexpr quint32 maximumChunkLength = 0x7fffffff;
constexpr qint64 ihdrLength = 13;

quint32 bigEndian32(const char* p) { return qFromBigEndian<quint32>(p); }

void appendBigEndian32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToBigEndian(value, bytes);
    out.append(bytes, 4);
}

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool isChunkType(QByteArrayView type) { return type.size() == 4 && std::all_of(type.begin(), type.end(), isLetter); }

bool isTextType(QByteArrayView type) { return type == "tEXt" || type == "zTXt" || type == "iTXt"; }

bool isDescriptionChunk(QByteArrayView type, QByteArrayView body)
{
    return isTextType(type) && body.size() > descriptionKeyword.size() && body.startsWith(descriptionKeyword) &&
           body[descriptionKeyword.size()] == '\0';
}

bool isPrintableLatin1(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return u == u'\n' || (u >= 0x20 && u <= 0x7e) || (u >= 0xa1 && u <= 0xff);
    });
}

// Moves past `count` bytes; false when the device ends first.
bool skip(QIODevice& device, qint64 count)
{
    if (!device.isSequential())
        return device.seek(device.pos() + count);
    char scratch[4096];
    while (count > 0) {
        const qint64 n = device.read(scratch, std::min<qint64>(count, sizeof scratch));
        if (n <= 0)
            return false;
        count -= n;
    }
    return true;
}

} // namespace

quint32 chunkCRC(QByteArrayView type, QByteArrayView body)
{
    uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(type.data()), uInt(type.size()));
    // zlib takes uInt lengths; feed long bodies in pieces.
    const char* p = body.data();
    qsizetype left = body.size();
    while (left > 0) {
        const uInt n = uInt(std::min<qsizetype>(left, qsizetype(1) << 30));
        crc = crc32(crc, reinterpret_cast<const Bytef*>(p), n);
        p += n;
        left -= n;
    }
    return quint32(crc);
}

QByteArray chunk(QByteArrayView type, QByteArrayView body)
{
    QByteArray out;
    out.reserve(12 + body.size());
    appendBigEndian32(out, quint32(body.size()));
    out.append(type);
    out.append(body);
    appendBigEndian32(out, chunkCRC(type, body));
    return out;
}

QByteArray textChunk(QByteArrayView keyword, const QString& text)
{
    QByteArray body(keyword.data(), keyword.size());
    body.append('\0');
    if (isPrintableLatin1(text)) {
        body.append(text.toLatin1());
        return chunk("tEXt", body);
    }
    // compression flag 0, method 0, empty language tag, empty translated keyword
    body.append("\0\0\0\0", 4);
    body.append(text.toUtf8());
    return chunk("iTXt", body);
}

std::optional<QByteArray> headerChunks(QIODevice& device)
{
    QByteArray out = device.read(signature.size());
    if (out != signature)
        return std::nullopt;
    const qint64 size = device.isSequential() ? -1 : device.size();
    for (int index = 0; index < maximumHeaderChunks; ++index) {
        char head[8];
        if (device.read(head, 8) != 8)
            break;
        const quint32 length = bigEndian32(head);
        const QByteArrayView type(head + 4, 4);
        if (length > maximumChunkLength || !isChunkType(type))
            break;
        if (size >= 0 && qint64(length) + 4 > size - device.pos())
            break;
        if (type == "IDAT" || type == "IEND")
            break;
        // IHDR comes first, or the data is no PNG a decoder would open.
        const bool first = index == 0;
        if (first && (type != "IHDR" || length != ihdrLength))
            break;
        const bool wanted = first || type == "pHYs" || (isTextType(type) && length <= maximumTextChunkLength);
        if (!wanted) {
            if (!skip(device, qint64(length) + 4))
                break;
            continue;
        }
        const QByteArray rest = device.read(qint64(length) + 4);
        if (rest.size() != qint64(length) + 4)
            break;
        const QByteArrayView body(rest.constData(), length);
        if (bigEndian32(rest.constData() + length) != chunkCRC(type, body)) {
            if (first)
                break;
            continue; // a damaged ancillary chunk is ignored, as decoders do
        }
        out.append(head, 8);
        out.append(rest);
    }
    return out;
}

std::optional<Header> readHeader(QIODevice& device)
{
    const std::optional<QByteArray> head = headerChunks(device);
    if (!head || head->size() < signature.size() + 12 + ihdrLength)
        return std::nullopt;
    const char* ihdr = head->constData() + signature.size() + 8;
    const quint32 width = bigEndian32(ihdr);
    const quint32 height = bigEndian32(ihdr + 4);
    if (width == 0 || height == 0 || width > maximumChunkLength || height > maximumChunkLength)
        return std::nullopt;
    return Header{int(width), int(height), ImageCoding::description(*head), ImageCoding::dotsPerInch(*head)};
}

std::optional<Header> readHeader(const QByteArray& data)
{
    QBuffer buffer;
    buffer.setData(data);
    if (!buffer.open(QIODevice::ReadOnly))
        return std::nullopt;
    return readHeader(buffer);
}

std::optional<QByteArray> withDescription(const QByteArray& png, const QString& text)
{
    const qsizetype size = png.size();
    const char* bytes = png.constData();
    constexpr qsizetype ihdrEnd = 8 + 12 + ihdrLength;
    if (size < ihdrEnd || !QByteArrayView(png).startsWith(signature))
        return std::nullopt;
    if (bigEndian32(bytes + 8) != ihdrLength || QByteArrayView(bytes + 12, 4) != "IHDR" ||
        bigEndian32(bytes + 8 + 8 + ihdrLength) != chunkCRC("IHDR", QByteArrayView(bytes + 16, ihdrLength)))
        return std::nullopt;

    const QByteArray descriptionChunk = textChunk(descriptionKeyword, text);
    QByteArray out;
    out.reserve(size + descriptionChunk.size());
    out.append(bytes, ihdrEnd);
    out.append(descriptionChunk);

    // Kept chunks are copied in runs, so the pixel data moves in a few large copies.
    qsizetype pos = ihdrEnd;
    qsizetype runStart = pos;
    while (size - pos >= 12) {
        const quint32 length = bigEndian32(bytes + pos);
        const QByteArrayView type(bytes + pos + 4, 4);
        if (length > maximumChunkLength || qsizetype(length) > size - pos - 12 || !isChunkType(type))
            return std::nullopt;
        const qsizetype next = pos + 12 + qsizetype(length);
        if (isDescriptionChunk(type, QByteArrayView(bytes + pos + 8, length))) {
            out.append(bytes + runStart, pos - runStart);
            runStart = next;
        } else if (type == "IEND") {
            out.append(bytes + runStart, next - runStart);
            return out; // anything after IEND is no part of the picture
        }
        pos = next;
    }
    return std::nullopt;
}

} // namespace vorlix::PngChunks
