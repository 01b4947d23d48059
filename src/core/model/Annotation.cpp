#include "core/model/Annotation.h"

namespace vorlix {

Annotation Annotation::make(QUuid id, AnnotationKind kind, std::vector<Point> points, QString text,
                            std::optional<Style> style, std::optional<Rect> cropClip)
{
    return Annotation{id, kind, std::move(points), std::move(text), style.value_or(Style::defaults(kind)), cropClip};
}

QString measureLabel(double pixels)
{
    // Integer after rounding, so -0.4 prints "0 px", never "-0 px".
    return QString::number(roundedInt64(pixels)) + QStringLiteral(" px");
}

std::optional<QString> Annotation::measureText(double pixelsPerUnit) const
{
    if (kind != AnnotationKind::line || !style.showsMeasure || points.size() < 2)
        return std::nullopt;
    return measureLabel(points[0].distance(points[1]) * pixelsPerUnit);
}

namespace {

constexpr auto annotationFields = std::tuple{
    required("id", &Annotation::id),
    required("kind", &Annotation::kind),
    required("points", &Annotation::points),
    field("text", &Annotation::text),
};

} // namespace

Annotation JsonCoding<Annotation>::decode(const JsonValue& v)
{
    Annotation a;
    decodeFields(v, a, annotationFields);
    if (auto style = v.optionalKey("style"))
        a.style = decodeJson<Style>(*style);
    else
        a.style = Style::defaults(a.kind);
    if (auto clip = v.optionalKey("cropClip"))
        a.cropClip = clip->toRect();
    return a;
}

Json JsonCoding<Annotation>::encode(const Annotation& a)
{
    Json out = Json::object();
    encodeFields(out, a, annotationFields);
    out["style"] = encodeJson(a.style);
    if (a.cropClip)
        out["cropClip"] = encodeRect(*a.cropClip);
    return out;
}

} // namespace vorlix
