#pragma once
// The small floating window that confirms the text recognised after a "Riconosci
// testo/QR" capture: a TextResultView in a utility window that stays on top, at the
// bottom-right of the primary screen's available area, 16 pixels inside it. It appears
// without taking the focus from the window the user works in.
//
// One panel at a time: a new result closes the panel on screen and shows a new one.
// Closing ("Chiudi", Escape or the title bar's close box) deletes the panel; it is never
// shown again. Main thread only.

#include "core/analysis/TextRecognition.h"

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace vorlix::TextResultPanel {

inline constexpr int screenInset = 16;

void show(const TextRecognition::Result& result);
// The panel on screen; null when none is.
QWidget* current();

// Where a window frame of `frameSize` goes so that its bottom-right corner is 16 pixels
// inside that of `available`.
QPoint bottomRightPosition(const QRect& available, QSize frameSize);

} // namespace vorlix::TextResultPanel
