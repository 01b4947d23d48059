#pragma once
// A short confirmation of a copy or a similar quick action ("Immagine copiata"): a small dark
// pill that fades in over a window (or the screen under the pointer), holds for a moment and
// fades out. It never takes focus or clicks; only one notice is on screen at a time.

#include <QString>

class QWidget;

namespace vorlix::CopyNotice {

// Shows `text`, replacing any notice still on screen. With a window the notice is centred on
// it, 36 points above its bottom edge, and moves with it; without one it sits on the
// available area of the screen under the pointer.
void show(const QString& text, QWidget* window);

} // namespace vorlix::CopyNotice
