#include "app/capture/SelectionPainter.h"

namespace vorlix {
void paintSelection(QPainter& painter, const SelectionViewState& state, const QRectF& dirty)
{
    if (!state.frozen.isNull())
        painter.drawImage(state.bounds(), state.frozen);
    QPainterPath veil;
    veil.addRect(state.bounds());
    if (const auto s = state.selection())
        veil.addRect(*s);
    veil.setFillRule(Qt::OddEvenFill);
    painter.fillPath(veil, QColor(0, 0, 0, 64));
    (void)dirty;
}
QRegion changedRegion(const SelectionViewState&, const SelectionViewState& after)
{
    return QRegion(after.bounds().toAlignedRect());
}
} // namespace vorlix
