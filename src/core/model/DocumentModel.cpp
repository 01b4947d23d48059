#include "core/model/DocumentModel.h"

namespace vorlix {

namespace {

constexpr auto layoutFields = std::tuple{
    required("mode", &PanelLayout::mode),
    required("spacing", &PanelLayout::spacing),
};

constexpr auto documentFields = std::tuple{
    required("formatVersion", &DocumentModel::formatVersion),
    field("panels", &DocumentModel::panels),
    field("annotations", &DocumentModel::annotations),
    field("background", &DocumentModel::background),
    field("padding", &DocumentModel::padding),
    field("layout", &DocumentModel::layout),
    field("numberingStart", &DocumentModel::numberingStart),
    field("showsStepNumbers", &DocumentModel::showsStepNumbers),
    field("panelShadow", &DocumentModel::panelShadow),
    field("panelCornerRadius", &DocumentModel::panelCornerRadius),
    field("cutMark", &DocumentModel::cutMark),
};

} // namespace

CanvasBackground JsonCoding<CanvasBackground>::decode(const JsonValue& v)
{
    v.expectObject();
    const bool transparent = v.hasKey("transparent");
    const bool color = v.hasKey("color");
    if (transparent == color)
        v.fail(DecodeErrorKind::typeMismatch, "Invalid number of keys found, expected one.");
    if (transparent) {
        v.key("transparent").expectObject();
        return TransparentBackground{};
    }
    const JsonValue payload = v.key("color");
    return ColorBackground{decodeJson<RGBAColor>(payload.key("_0"))};
}

Json JsonCoding<CanvasBackground>::encode(const CanvasBackground& b)
{
    if (const auto* c = std::get_if<ColorBackground>(&b))
        return Json{{"color", Json{{"_0", encodeJson(c->color)}}}};
    return Json{{"transparent", Json::object()}};
}

PanelLayout JsonCoding<PanelLayout>::decode(const JsonValue& v) { return decodeRecord<PanelLayout>(v, layoutFields); }
Json JsonCoding<PanelLayout>::encode(const PanelLayout& l) { return encodeRecord(l, layoutFields); }

DocumentModel JsonCoding<DocumentModel>::decode(const JsonValue& v)
{
    return decodeRecord<DocumentModel>(v, documentFields);
}

Json JsonCoding<DocumentModel>::encode(const DocumentModel& d) { return encodeRecord(d, documentFields); }

const Panel* findPanel(const DocumentModel& doc, const QUuid& panelID)
{
    for (const Panel& p : doc.panels)
        if (p.id == panelID)
            return &p;
    return nullptr;
}

Panel* findPanel(DocumentModel& doc, const QUuid& panelID)
{
    for (Panel& p : doc.panels)
        if (p.id == panelID)
            return &p;
    return nullptr;
}

DocumentModel decodeDocument(std::string_view jsonText)
{
    const Json json = parseJson(jsonText);
    return decodeJson<DocumentModel>(JsonValue(json));
}

} // namespace vorlix
