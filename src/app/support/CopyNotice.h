#pragma once
// A short confirmation of a copy or a similar quick action ("Immagine copiata"): a small dark
// pill that fades in over a window (or the screen under the pointer), holds for a moment and
// fades out. It never takes focus or clicks; only one notice is on screen at a time.
//
// Timeline of one notice: `fadeIn` to full opacity, visible until `hold` after it was shown,
// then `fadeOut` to nothing, then closed. A new notice closes the one still shown at once.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <chrono>

class QWidget;

namespace vorlix::CopyNotice {

inline constexpr std::chrono::milliseconds fadeIn{120};
inline constexpr std::chrono::milliseconds hold{1500};
inline constexpr std::chrono::milliseconds fadeOut{250};
// Between the bottom edges of the anchor and of the notice.
inline constexpr int bottomDistance = 36;

// Shows `text`, replacing any notice still on screen. With a window the notice is centred on
// it, 36 points above its bottom edge, and moves with it; without one it sits on the
// available area of the screen under the pointer.
void show(const QString& text, QWidget* window);

// Top-left corner of a notice of `size` for the anchor rectangle (global coordinates, y
// down): centred horizontally, its bottom edge `bottomDistance` above the anchor's.
QPoint placement(QSize size, const QRect& anchor);

// The notice on screen now (fading in, holding or fading out), or null.
QWidget* current();

} // namespace vorlix::CopyNotice
