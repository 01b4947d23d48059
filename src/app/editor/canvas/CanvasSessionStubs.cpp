// Stand-ins for the crop, cut-out and ruler entry points that the keys and the Edit menu
// call, until those sessions are built: each ends or declines its session without
// changing the document.

#include "app/editor/canvas/CanvasView.h"
#include "app/support/Beeper.h"

namespace vorlix {

void CanvasView::applyCrop()
{
    m_state.cropSession.reset();
    stateChanged();
}

void CanvasView::cancelCrop()
{
    m_state.cropSession.reset();
    stateChanged();
}

void CanvasView::placeCutOut() { setCutOutSession(std::nullopt); }

void CanvasView::removeLastCutOutHole() {}

bool CanvasView::copyCutOut() { return false; }

void CanvasView::pinMeasure()
{
    if (!m_state.measurement)
        Beeper::beep();
}

} // namespace vorlix
