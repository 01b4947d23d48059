#pragma once
// Copied annotations in canvas coordinates, detached from their panels, so a paste can
// give each shape to whatever panel lies under it. Its JSON is a small format of its own
// (version 1) that any program on the desktop can offer, so decoding checks everything.

#include "core/model/DocumentModel.h"
#include "core/shapes/CanvasShape.h"

#include <QByteArray>
#include <QUuid>

#include <optional>
#include <set>
#include <vector>

namespace vorlix {

struct AnnotationClipboard {
    static constexpr std::int64_t currentFormatVersion = 1;
    static constexpr double pasteOffset = 12;

    // What a pasted clipboard may hold at most; anything beyond is refused whole.
    static constexpr std::size_t maximumItems = 10'000;
    static constexpr std::size_t maximumPointsPerItem = 100'000;
    static constexpr std::size_t maximumPoints = 1'000'000;
    static constexpr qsizetype maximumTextLength = 100'000;

    struct Item {
        AnnotationKind kind = AnnotationKind::rectangle;
        std::vector<Point> points;
        QString text;
        Style style;

        bool operator==(const Item&) const = default;
    };

    std::int64_t formatVersion = currentFormatVersion;
    std::vector<Item> items;

    bool operator==(const AnnotationClipboard&) const = default;

    // The given annotations in draw order, in canvas form; unknown ids are ignored.
    static AnnotationClipboard copy(const DocumentModel& doc, const std::set<QUuid>& ids);
    Rect bounds() const;
    QByteArray encoded() const;
    // Nothing for data that is not a clipboard, a later format, or more than we take.
    static std::optional<AnnotationClipboard> decode(const QByteArray& data);
    // Adds every item moved by the offset, with new ids and owners; returns the ids.
    std::vector<QUuid> paste(DocumentModel& doc, Point offset) const;
    DocumentModel standaloneDocument() const;
    static CanvasShape shape(const Item& item, Point offset);
};

template <>
struct JsonCoding<AnnotationClipboard::Item> {
    static AnnotationClipboard::Item decode(const JsonValue& v);
    static Json encode(const AnnotationClipboard::Item& item);
};

} // namespace vorlix
