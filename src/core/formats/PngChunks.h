#pragma once
// Reading and writing the chunks of PNG data without touching its pixels.
//
// A PNG file is an 8-byte signature followed by chunks: a 4-byte big-endian body
// length, a 4-byte type, the body and a CRC-32 of type and body. The header chunks
// (IHDR first, then pHYs, text chunks, ...) come before the first IDAT, which starts
// the compressed pixels. Everything here reads the header chunks only, so metadata
// costs a few KiB of reading however large the picture is.
//
// Every function takes arbitrary bytes (or any readable device) and never trusts a
// length: a chunk that would run past the end of the data ends the walk, text chunks
// are limited to `maximumTextChunkLength` bytes, a header holds at most
// `maximumHeaderChunks` chunks, and ancillary chunks whose CRC does not match are
// ignored. Nothing throws.

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>

#include <optional>

namespace vorlix::PngChunks {

// Longest text chunk body that is read; larger ones are skipped unread.
inline constexpr qint64 maximumTextChunkLength = qint64(16) << 20;
// Chunks walked before the pixels; a header with more is treated as damaged.
inline constexpr int maximumHeaderChunks = 4096;

// What the header chunks say about the picture.
struct Header {
    int width = 0; // pixels, from IHDR (1 ... 2^31 - 1)
    int height = 0;
    std::optional<QString> description; // the "Description" text (tEXt, zTXt or iTXt)
    std::optional<double> dotsPerInch;  // from pHYs, rounded to whole dots per inch

    bool operator==(const Header&) const = default;
};

// The CRC-32 that closes a chunk of this type and body.
quint32 chunkCRC(QByteArrayView type, QByteArrayView body);

// One whole chunk (length, type, body, CRC) ready to be written.
QByteArray chunk(QByteArrayView type, QByteArrayView body);

// A text chunk with this keyword (1 to 79 Latin-1 characters): tEXt when the text is
// printable Latin-1 (line feeds allowed), else an uncompressed iTXt holding UTF-8.
QByteArray textChunk(QByteArrayView keyword, const QString& text);

// The signature and the header chunks of `device`, read from its current position
// up to the first IDAT: only IHDR, pHYs and text chunks with a matching CRC are kept
// (in their order), every other body is skipped without reading it. The result is
// itself the start of a PNG and can be given to `readHeader`. Nothing when the data
// does not start with the PNG signature.
std::optional<QByteArray> headerChunks(QIODevice& device);

// The header of PNG data, which may be the whole file or only its beginning. Nothing
// unless the data starts with the signature and a well-formed IHDR chunk.
std::optional<Header> readHeader(const QByteArray& data);

// The header of the PNG file that `device` reads, reading only its header chunks.
std::optional<Header> readHeader(QIODevice& device);

// The PNG data with `text` as its only "Description" text: a new text chunk is put
// right after IHDR and earlier "Description" chunks are dropped; every other byte,
// the compressed pixels included, is copied unchanged. Nothing unless the data is a
// whole PNG: signature, IHDR with a matching CRC, chunks within the data, and IEND.
std::optional<QByteArray> withDescription(const QByteArray& png, const QString& text);

} // namespace vorlix::PngChunks
