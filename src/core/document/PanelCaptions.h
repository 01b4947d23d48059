#pragma once
// Panel captions: a line of text under a panel, left-aligned with it, 8 points below.

#include "core/model/DocumentModel.h"

#include <QString>

#include <optional>

namespace vorlix {

inline constexpr double captionGap = 8;

// The fixed caption look: 15-point regular text in "#3C3C43".
const Style& baseCaptionStyle();
// The caption look on a given background: white text on dark colours. The renderer
// passes the background it actually draws, which an export may override.
Style captionStyle(const CanvasBackground& background);
Style captionStyle(const DocumentModel& doc);
// Trimmed; nothing when no text is left.
std::optional<QString> captionText(const Panel& panel);
// Measured with the caption font, unwrapped: it may be wider than the panel.
std::optional<Rect> captionFrame(const Panel& panel);

} // namespace vorlix
