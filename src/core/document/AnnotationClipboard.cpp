#include "core/document/AnnotationClipboard.h"

#include "core/document/DocumentAnnotations.h"

#include <cmath>

namespace vorlix {

namespace {

constexpr auto itemFields = std::tuple{
    required("kind", &AnnotationClipboard::Item::kind),
    required("points", &AnnotationClipboard::Item::points),
    required("text", &AnnotationClipboard::Item::text),
    required("style", &AnnotationClipboard::Item::style),
};

constexpr auto clipboardFields = std::tuple{
    required("formatVersion", &AnnotationClipboard::formatVersion),
    required("items", &AnnotationClipboard::items),
};

// Sizes a shape may have before drawing it becomes unreasonable (fonts and strokes of
// thousands of points make the text and path engines allocate without bound).
bool hasSaneStyle(const Style& s)
{
    const auto within = [](double v, double low, double high) { return v >= low && v <= high; };
    return within(s.lineWidth, -1000, 1000) && within(s.fontSize, -1000, 1000) &&
           within(s.filterIntensity, -1000, 1000) && within(s.cornerRadius, -1e5, 1e5) &&
           within(s.arrowHeadScale, -100, 100);
}

} // namespace

AnnotationClipboard AnnotationClipboard::copy(const DocumentModel& doc, const std::set<QUuid>& ids)
{
    AnnotationClipboard clipboard;
    for (const QUuid& id : annotationIDsInDrawOrder(doc)) {
        if (!ids.contains(id))
            continue;
        const auto o = owner(doc, id);
        const auto a = annotation(doc, id);
        if (!o || !a)
            continue;
        CanvasShape s = canvasShape(doc, *a, *o);
        clipboard.items.push_back({s.kind, std::move(s.points), std::move(s.text), std::move(s.style)});
    }
    return clipboard;
}

CanvasShape AnnotationClipboard::shape(const Item& item, Point offset)
{
    CanvasShape s{item.kind, item.points, item.text, item.style};
    for (Point& p : s.points)
        p = p + offset;
    return s;
}

Rect AnnotationClipboard::bounds() const
{
    Rect r = Rect::null();
    for (const Item& item : items)
        r = r.united(shape(item, {}).bounds());
    return r;
}

QByteArray AnnotationClipboard::encoded() const
{
    const std::string text = encodeRecord(*this, clipboardFields).dump();
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

std::optional<AnnotationClipboard> AnnotationClipboard::decode(const QByteArray& data)
{
    try {
        const Json json = parseJson(std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
        const JsonValue root(json);
        // Check the version and the sizes before decoding anything large.
        if (root.key("formatVersion").toInt64() > currentFormatVersion)
            return std::nullopt;
        if (root.key("items").arraySize() > maximumItems)
            return std::nullopt;
        AnnotationClipboard clipboard = decodeRecord<AnnotationClipboard>(root, clipboardFields);
        std::size_t totalPoints = 0;
        for (const Item& item : clipboard.items) {
            totalPoints += item.points.size();
            if (item.points.size() > maximumPointsPerItem || totalPoints > maximumPoints ||
                item.text.size() > maximumTextLength || !hasSaneStyle(item.style))
                return std::nullopt;
        }
        return clipboard;
    } catch (const DecodeError&) {
        return std::nullopt;
    }
}

std::vector<QUuid> AnnotationClipboard::paste(DocumentModel& doc, Point offset) const
{
    std::vector<QUuid> ids;
    for (const Item& item : items) {
        const CanvasShape s = shape(item, offset);
        const QUuid id = QUuid::createUuid();
        const AnnotationOwner o = ownerForNewShape(doc, s.points, s.kind);
        insert(doc, Annotation{id, s.kind, convertFromCanvas(doc, s.points, o), s.text, s.style, std::nullopt}, o);
        ids.push_back(id);
    }
    return ids;
}

DocumentModel AnnotationClipboard::standaloneDocument() const
{
    DocumentModel doc;
    for (const Item& item : items)
        doc.annotations.push_back(
            Annotation{QUuid::createUuid(), item.kind, item.points, item.text, item.style, std::nullopt});
    return doc;
}

AnnotationClipboard::Item JsonCoding<AnnotationClipboard::Item>::decode(const JsonValue& v)
{
    return decodeRecord<AnnotationClipboard::Item>(v, itemFields);
}

Json JsonCoding<AnnotationClipboard::Item>::encode(const AnnotationClipboard::Item& item)
{
    return encodeRecord(item, itemFields);
}

} // namespace vorlix
