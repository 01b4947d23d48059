#pragma once
// The arithmetic of the editor window's size and zoom, as plain values: the size and
// magnification a window opens with so that its canvas fits the screen, the width the
// toolbar asks for, and the magnification of each zoom command. Sizes are in points
// (logical pixels); magnification 1 shows one canvas point per screen point.

#include <QRectF>
#include <QSizeF>

#include <optional>

namespace vorlix {

struct EditorZoom {
    static constexpr double minimum = 0.05;
    static constexpr double maximum = 8.0;
    static constexpr double step = 1.25;

    static double clamped(double magnification);
    static double zoomedIn(double magnification) { return clamped(magnification * step); }
    static double zoomedOut(double magnification) { return clamped(magnification / step); }
    // The magnification at which the whole canvas fits `visible`; it may enlarge a small
    // canvas (up to the maximum) as well as shrink a big one. 1 for an empty canvas.
    static double toFit(QSizeF canvas, QSizeF visible);
};

struct EditorWindowSizing {
    static constexpr double initialPreferredWidth = 900;
    static constexpr double minimumWidth = 420;
    static constexpr double minimumHeight = 320;
    // Room left around the window on the screen, and beside the canvas for the scrollers.
    static constexpr double screenMargin = 30;
    static constexpr double canvasMargin = 56;
    static constexpr double minimumContentHeight = 300;

    struct Opening {
        QSizeF contentSize;
        double magnification = 1;
        bool operator==(const Opening&) const = default;
    };

    // The content size and magnification of a window opening on a screen whose available
    // area is `available`, for a canvas of `canvas` points: the canvas at 1 when it fits,
    // smaller when it does not (never below the minimum zoom), in a window at least
    // `preferredWidth` wide and 300 points high. `chrome` is what the window's frame,
    // title and toolbar add around the content.
    static Opening opening(const QRectF& available, QSizeF chrome, QSizeF canvas, double preferredWidth);

    // The width the window wants so that every tool shows: at least 900.
    static double preferredWidth(double toolbarWindowWidth);
};

} // namespace vorlix
