#pragma once
// The arithmetic of one pixel ruler along the canvas's visible area: which ticks to draw
// and which to label, and the pixel under the pointer. The ruler counts pixels of the
// exported image from the image's top-left corner (`zero`), whatever the zoom.
//
// Three coordinate spaces meet here: canvas points (the document), image pixels
// ((canvas − zero) × pixelsPerPoint) and ruler positions (screen points along the ruler,
// 0 where the visible canvas starts: (canvas − visibleStart) × magnification).

#include <QString>

#include <optional>
#include <vector>

namespace vorlix {

struct RulerTick {
    double position = 0; // along the ruler
    long long pixel = 0;
    int level = 0; // 0 labelled, 1 middle, 2 small
    bool operator==(const RulerTick&) const = default;
};

struct PixelRulerScale {
    // Labels stand at least this far apart, ticks at least `minimumTickSpacing`.
    static constexpr double minimumLabelSpacing = 50;
    static constexpr double minimumTickSpacing = 5;

    double zero = 0;           // canvas coordinate of the image's first pixel on this axis
    double pixelsPerPoint = 1; // image pixels per canvas point
    double magnification = 1;  // screen points per canvas point
    double visibleStart = 0;   // canvas coordinate at the ruler's start

    bool operator==(const PixelRulerScale&) const = default;

    double rulerPosition(double canvas) const { return (canvas - visibleStart) * magnification; }
    double canvasCoordinate(double position) const { return visibleStart + position / magnification; }
    // The pixel under a canvas coordinate, truncated toward zero: the first pixel and the
    // half-pixel before it both read 0.
    long long pixelAt(double canvas) const;
    // "101 px".
    QString markText(double canvas) const;

    // Pixels between labelled ticks: the first step of 1, 2, 10, 20, 100, 200 … (the
    // steps grow by 2 and 5 in turn) that leaves room for a label.
    long long labelStep() const;
    // The steps of the labelled, middle and small ticks, coarsest first; the finer ones
    // only while they stay apart and at least one pixel.
    std::vector<long long> tickSteps() const;
    // The ticks of a ruler `length` long, in order.
    std::vector<RulerTick> ticks(double length) const;
};

// Where the pointer's label starts along a ruler `length` long, for a mark at `position`
// and a label `labelLength` long: 3 past the mark, or 3 before it when it would overrun
// the end.
double markLabelStart(double position, double labelLength, double length);

} // namespace vorlix
