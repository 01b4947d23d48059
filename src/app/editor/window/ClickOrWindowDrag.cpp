#include "app/editor/window/ClickOrWindowDrag.h"

#include <QWidget>
#include <QWindow>

#include <utility>

namespace vorlix {

bool ClickOrWindowDrag::moveStartsWindowDrag(QPointF windowPos)
{
    if (!down)
        return false;
    const QPointF delta = windowPos - *down;
    if (QPointF::dotProduct(delta, delta) <= dragDistance * dragDistance)
        return false;
    down.reset();
    return true;
}

bool ClickOrWindowDrag::releaseFires(bool inside) { return std::exchange(down, std::nullopt).has_value() && inside; }

void ClickOrWindowDrag::startWindowDrag(QWidget* control)
{
    if (QWindow* window = control ? control->window()->windowHandle() : nullptr)
        window->startSystemMove();
}

} // namespace vorlix
