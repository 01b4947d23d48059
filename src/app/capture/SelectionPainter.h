#pragma once
// The drawing of one selection overlay window, as plain functions of its state: the
// frozen picture, the veil with the selection cut out, the picked and hovered windows,
// the selection frame with its size in pixels, the loupe and the hint of the mode.
//
// Everything is in the view's points (origin at the screen's top-left corner, y
// downwards). The painter may paint on a device with a device pixel ratio (the screen's
// scale); the frozen picture is in device pixels and is drawn into the view's bounds.
//
// A redraw need not cover the whole screen: `changedRegion` tells which points two
// states draw differently, and painting the newer state clipped to that region over the
// older picture gives the same pixels as painting the newer state whole.

#include "app/capture/SelectionViewState.h"

#include <QPointF>
#include <QRectF>
#include <QRegion>
#include <QSizeF>
#include <QString>

class QPainter;

namespace vorlix {

// How dark the veil over the screen outside the selection is: the opacity of its black.
constexpr double veilOpacity = 0.25;

// Paints every layer of `state` that meets `dirty`, clipped to `dirty` rounded out to
// whole points. Without a frozen picture the area is cleared to transparent first, so
// the live screen shows through a translucent window.
void paintSelection(QPainter& painter, const SelectionViewState& state, const QRectF& dirty);
// The same, rectangle by rectangle of `dirty`.
void paintSelection(QPainter& painter, const SelectionViewState& state, const QRegion& dirty);

// The points, whole and with a margin for antialiasing and shadows, that `before` and
// `after` draw differently. Empty when they draw the same picture.
QRegion changedRegion(const SelectionViewState& before, const SelectionViewState& after);

// The loupe's 85 × 85 square for a pointer at `mouse`: below and to the right of the
// pointer, moved to its left near the right edge and above it (leaving room for the
// coordinates under the loupe) near the bottom edge.
QRectF loupeRect(QPointF mouse, QSizeF bounds);

// Where the size label of `selection` goes: below it, above it when there is no room
// below, inside its top-left corner when there is none above either; kept within the
// screen's width.
QPointF labelOrigin(const QRectF& selection, QSizeF labelSize, QSizeF bounds);

// "W × H": the selection's size in pixels, fractions dropped.
QString sizeLabelText(const QRectF& selection, double scale);

// What the mode asks of the user on this screen; empty when the mode shows no hint.
QString hintText(const SelectionViewState& state);

} // namespace vorlix
