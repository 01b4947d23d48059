#include "core/model/Panel.h"

namespace vorlix {

namespace {

constexpr auto stripFields = std::tuple{
    required("axis", &RemovedStrip::axis),
    required("lower", &RemovedStrip::lower),
    required("upper", &RemovedStrip::upper),
};

constexpr auto cursorFields = std::tuple{
    required("position", &CursorElement::position),  required("imageID", &CursorElement::imageID),
    required("hotspot", &CursorElement::hotspot),    field("isVisible", &CursorElement::isVisible),
    field("showsClick", &CursorElement::showsClick),
};

constexpr auto panelFields = std::tuple{
    required("id", &Panel::id),
    required("imageID", &Panel::imageID),
    required("pixelSize", &Panel::pixelSize),
    field("pixelsPerPoint", &Panel::pixelsPerPoint),
    field("crop", &Panel::crop),
    field("removedStrips", &Panel::removedStrips),
    field("orientation", &Panel::orientation),
    field("origin", &Panel::origin),
    field("scale", &Panel::scale),
    field("isManuallyPositioned", &Panel::isManuallyPositioned),
    field("stepNumber", &Panel::stepNumber),
    field("caption", &Panel::caption),
    field("cursor", &Panel::cursor),
    field("annotations", &Panel::annotations),
};

} // namespace

RemovedStrip JsonCoding<RemovedStrip>::decode(const JsonValue& v) { return decodeRecord<RemovedStrip>(v, stripFields); }
Json JsonCoding<RemovedStrip>::encode(const RemovedStrip& s) { return encodeRecord(s, stripFields); }

PanelOrientation JsonCoding<PanelOrientation>::decode(const JsonValue& v)
{
    // Files written by us never hold turns outside 0...3; anything else is brought
    // into that range so every mapping agrees on what it means.
    return PanelOrientation::make(v.key("quarterTurns").toInt64(), v.key("flippedHorizontally").toBool());
}

Json JsonCoding<PanelOrientation>::encode(const PanelOrientation& o)
{
    return Json{{"quarterTurns", o.quarterTurns}, {"flippedHorizontally", o.flippedHorizontally}};
}

CursorElement JsonCoding<CursorElement>::decode(const JsonValue& v)
{
    return decodeRecord<CursorElement>(v, cursorFields);
}
Json JsonCoding<CursorElement>::encode(const CursorElement& c) { return encodeRecord(c, cursorFields); }

Panel JsonCoding<Panel>::decode(const JsonValue& v) { return decodeRecord<Panel>(v, panelFields); }
Json JsonCoding<Panel>::encode(const Panel& p) { return encodeRecord(p, panelFields); }

} // namespace vorlix
