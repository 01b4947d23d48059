#pragma once
// One drawn object of a document. Its points are in its owner's space: a panel's
// source-image pixels for a panel's annotations, canvas points for the document's.
// Point layout by kind: arrow/line p0 start, p1 end, optional p2 bend; rectangular
// kinds two opposite corners; text p0 top-left; callout p0 box top-left, p1 tail tip,
// optional p2 box bottom-right; highlighter the two ends; pencil the polyline;
// number/stamp the centre; cursor the tip; lens source corners then view corners.

#include "core/model/AnnotationKind.h"
#include "core/model/Geometry.h"
#include "core/model/Style.h"

#include <QString>
#include <QUuid>

#include <optional>
#include <vector>

namespace vorlix {

struct Annotation {
    QUuid id;
    AnnotationKind kind = AnnotationKind::arrow;
    std::vector<Point> points;
    QString text;
    Style style;
    // Clip, in the owning panel's image space, for drawing and visibility.
    std::optional<Rect> cropClip;

    bool operator==(const Annotation&) const = default;

    // A missing style is the kind's default style.
    static Annotation make(QUuid id, AnnotationKind kind, std::vector<Point> points, QString text = {},
                           std::optional<Style> style = std::nullopt, std::optional<Rect> cropClip = std::nullopt);

    // "N px" for a measuring line: the length p0-p1 times the unit, rounded half away
    // from zero; nothing for any other annotation.
    std::optional<QString> measureText(double pixelsPerUnit) const;
};

// The label of a measured length in pixels: "13 px". Saturates rather than overflows.
QString measureLabel(double pixels);

template <>
struct JsonCoding<Annotation> {
    static Annotation decode(const JsonValue& v);
    static Json encode(const Annotation& a);
};

} // namespace vorlix
