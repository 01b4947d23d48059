// PNG files found in the history folder, ours or not: the header reader and the
// description rewriter take any bytes; the record in a description decodes or throws
// a DecodeError, and a decoded record round-trips.

#include "FuzzSupport.h"

#include "core/formats/HistoryEntry.h"
#include "core/formats/PngChunks.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

using namespace vorlix;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<PngChunks::Header> header = PngChunks::readHeader(bytes);

    // The kept header chunks say the same as the whole data.
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    if (const std::optional<QByteArray> head = PngChunks::headerChunks(buffer)) {
        if (PngChunks::readHeader(*head) != header)
            fuzz::fail("the header chunks read differently from the whole data");
    } else if (header) {
        fuzz::fail("a header was read from data without header chunks");
    }

    if (header && header->description) {
        try {
            const HistoryEntry entry = decodeHistoryEntry(header->description->toStdString());
            if (decodeHistoryEntry(encodeHistoryEntry(entry)) != entry)
                fuzz::fail("a history record does not round-trip");
        } catch (const DecodeError&) {
        }
    }

    // A rewritten description is the one a reader then finds.
    const QString text = QStringLiteral("{\"id\":\"è ✓\"}");
    if (const std::optional<QByteArray> rewritten = PngChunks::withDescription(bytes, text)) {
        const std::optional<PngChunks::Header> again = PngChunks::readHeader(*rewritten);
        if (again && again->description != text)
            fuzz::fail("withDescription's text is not the description read back");
    }
    return 0;
}
