#pragma once
// (stand-in until the painter lands)
#include "app/capture/SelectionViewState.h"

#include <QPainter>
#include <QPainterPath>
#include <QRegion>

namespace vorlix {
void paintSelection(QPainter& painter, const SelectionViewState& state, const QRectF& dirty);
QRegion changedRegion(const SelectionViewState& before, const SelectionViewState& after);
} // namespace vorlix
