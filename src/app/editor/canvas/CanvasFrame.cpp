#include "app/editor/canvas/CanvasFrame.h"

#include <algorithm>

namespace vorlix {

namespace {

bool isPositive(Size size) { return size.width > 0 && size.height > 0; }

} // namespace

FramePlan planFrame(const FrameRequest& request)
{
    const Rect& bounds = request.canvasBounds;
    const Rect base = bounds.isEmpty() ? Rect(0, 0, 100, 100) : bounds;
    const Rect padded = base.insetBy(-FrameRequest::emptyMargin, -FrameRequest::emptyMargin);
    const Rect content = bounds.isEmpty() ? padded : bounds;
    const Size clip = request.clipSize;
    const Rect& visible = request.visibleRect;

    FramePlan plan;
    plan.lastClipSize = clip;
    plan.didInitialScroll = request.didInitialScroll;
    if (clip != request.lastClipSize || visible.isEmpty())
        plan.mode = FramePlan::Mode::centre;
    else if (request.isInteracting)
        return plan; // keep: no frame changes during a gesture
    else
        plan.mode = FramePlan::Mode::grow;

    if (plan.mode == FramePlan::Mode::grow) {
        plan.bounds = request.currentBounds.united(content);
    } else if (isPositive(clip)) {
        const double width = std::max(content.width(), clip.width);
        const double height = std::max(content.height(), clip.height);
        plan.bounds = Rect(content.midX() - width / 2, content.midY() - height / 2, width, height);
    } else {
        plan.bounds = padded;
    }

    if (request.inWindow && isPositive(clip)) {
        if (!request.didInitialScroll) {
            plan.didInitialScroll = true;
            plan.scrollTo = plan.bounds->origin;
        } else if (!visible.isEmpty()) {
            plan.scrollTo = visible.origin; // what the user saw stays in place
        }
    }
    return plan;
}

int refitFrame(bool& isUpdatingFrame, const std::function<void()>& apply, const std::function<bool()>& clipSizeChanged)
{
    if (isUpdatingFrame)
        return 0;
    isUpdatingFrame = true;
    int passes = 0;
    do {
        apply();
        ++passes;
    } while (passes < 3 && clipSizeChanged());
    isUpdatingFrame = false;
    return passes;
}

} // namespace vorlix
