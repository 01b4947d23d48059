#include "app/editor/window/PixelRulerScale.h"

#include <algorithm>
#include <cmath>

namespace vorlix {

namespace {

// 1, 2, 10, 20, 100 …: the step after `step` on the ruler's ladder.
long long nextStep(long long step, int index) { return step * (index % 2 == 0 ? 2 : 5); }

double screenPerPixel(const PixelRulerScale& scale)
{
    return scale.magnification / std::max(scale.pixelsPerPoint, 0.01);
}

} // namespace

long long PixelRulerScale::pixelAt(double canvas) const
{
    return static_cast<long long>(std::trunc((canvas - zero) * pixelsPerPoint));
}

QString PixelRulerScale::markText(double canvas) const
{
    return QString::number(pixelAt(canvas)) + QStringLiteral(" px");
}

long long PixelRulerScale::labelStep() const
{
    const double perPixel = screenPerPixel(*this);
    long long step = 1;
    for (int i = 0; step * perPixel < minimumLabelSpacing && step < (1LL << 40); ++i)
        step = nextStep(step, i);
    return step;
}

std::vector<long long> PixelRulerScale::tickSteps() const
{
    const double perPixel = screenPerPixel(*this);
    std::vector<long long> ladder{1};
    for (int i = 0; ladder.back() < labelStep(); ++i)
        ladder.push_back(nextStep(ladder.back(), i));
    std::vector<long long> steps{ladder.back()};
    for (auto it = ladder.rbegin() + 1; it != ladder.rend() && steps.size() < 3; ++it) {
        if (*it * perPixel < minimumTickSpacing)
            break;
        steps.push_back(*it);
    }
    return steps;
}

std::vector<RulerTick> PixelRulerScale::ticks(double length) const
{
    const std::vector<long long> steps = tickSteps();
    const long long finest = steps.back();
    const double first = (canvasCoordinate(0) - zero) * pixelsPerPoint;
    const double last = (canvasCoordinate(length) - zero) * pixelsPerPoint;
    std::vector<RulerTick> result;
    for (auto k = static_cast<long long>(std::ceil(first / double(finest))); double(k * finest) <= last; ++k) {
        const long long pixel = k * finest;
        int level = int(steps.size()) - 1;
        while (level > 0 && pixel % steps[level - 1] == 0)
            --level;
        // Two levels of steps draw as labelled and small ticks.
        const int drawn = (steps.size() == 2 && level == 1) ? 2 : level;
        result.push_back({rulerPosition(zero + double(pixel) / pixelsPerPoint), pixel, drawn});
    }
    return result;
}

double markLabelStart(double position, double labelLength, double length)
{
    const double after = position + 3;
    return after + labelLength > length ? position - 3 - labelLength : after;
}

} // namespace vorlix
