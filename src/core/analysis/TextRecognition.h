#pragma once
// Reading text and machine-readable codes out of analysis bitmaps.
//
// Images are QImages of any format; transparent pixels count as white. Every rectangle
// here is in the pixels of the image it was found in, origin at the top left, y down.
// Recognition never fails: whatever goes wrong, it only finds nothing.

#include "core/analysis/TextLineFinder.h"
#include "core/model/Geometry.h"

#include <QFuture>
#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QObject;

namespace vorlix::TextRecognition {

// The recognition languages as the engine names them, most preferred first (Italian,
// then English).
inline constexpr const char* languages = "ita+eng";

struct Result {
    QString text;      // the recognised lines joined with '\n'; empty when none was found
    QStringList codes; // barcode payloads, each once, in detection order

    bool operator==(const Result&) const = default;

    // The text (when not empty) followed by every code, one per line.
    QString combined() const;
    bool isEmpty() const { return text.isEmpty() && codes.isEmpty(); }
};

// Recognises text and barcodes on the calling thread. Safe to call from several threads
// at once: each call borrows its own engine from a shared pool of initialised ones.
Result recognizeNow(const QImage& image);

// Runs `recognizeNow` on a worker thread of the global thread pool.
QFuture<Result> recognize(const QImage& image);

// Runs `recognizeNow` on a worker thread and calls `onResult` exactly once, on the thread
// of `context` (normally the main thread), from its event loop. When `context` is
// destroyed first, `onResult` is never called. Call this on the thread of `context`.
void recognize(const QImage& image, QObject* context, std::function<void(const Result&)> onResult);

// ---- Building blocks, exposed for the recognition steps and their tests ----

// A recognised piece of text with its box.
struct Observation {
    QString text;
    Rect box;

    bool operator==(const Observation&) const = default;
};

// Reading order: pieces on one line joined by ' ' from left to right, lines joined by '\n'
// from top to bottom. Pieces with empty text are left out.
QString joinInReadingOrder(const std::vector<Observation>& observations);

// The first occurrence of each distinct, non-empty payload, keeping their order.
QStringList uniqueCodes(const QStringList& payloads);

} // namespace vorlix::TextRecognition
