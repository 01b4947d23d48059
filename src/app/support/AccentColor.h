#pragma once
// The application's own highlight colour (the capture overlay, the canvas and the editor
// window use it), as a Qt colour: the model's orange accent, #FF9F3F.

#include <QColor>

namespace vorlix {

// Made once, on first use.
const QColor& vorlixAccent();

} // namespace vorlix
