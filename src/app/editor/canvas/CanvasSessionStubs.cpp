// Stand-ins for the crop and ruler entry points that the keys and the Edit menu
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

void CanvasView::pinMeasure()
{
    if (!m_state.measurement)
        Beeper::beep();
}

} // namespace vorlix
