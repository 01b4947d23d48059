#include "core/document/PanelCaptions.h"

#include "core/model/PanelGeometry.h"
#include "core/shapes/TextLayout.h"

namespace vorlix {

const Style& baseCaptionStyle()
{
    static const Style style = [] {
        Style s;
        s.strokeColor = RGBAColor::hex("#3C3C43");
        s.fontSize = 15;
        s.fontBold = false;
        return s;
    }();
    return style;
}

Style captionStyle(const CanvasBackground& background)
{
    Style s = baseCaptionStyle();
    if (const auto* color = std::get_if<ColorBackground>(&background); color && color->color.luma() <= 0.55)
        s.strokeColor = RGBAColor::white();
    return s;
}

Style captionStyle(const DocumentModel& doc) { return captionStyle(doc.background); }

std::optional<QString> captionText(const Panel& panel)
{
    if (!panel.caption)
        return std::nullopt;
    QString text = panel.caption->trimmed();
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

std::optional<Rect> captionFrame(const Panel& panel)
{
    const auto text = captionText(panel);
    if (!text)
        return std::nullopt;
    // Only the colour depends on the background, so the base style measures alike.
    const Rect f = frame(panel);
    return Rect(Point{f.minX(), f.maxY() + captionGap}, TextLayout::size(*text, baseCaptionStyle(), std::nullopt));
}

} // namespace vorlix
