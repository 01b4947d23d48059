#pragma once
// The two effects of the outlinable kinds (arrow, line, rectangle, ellipse, pencil) and
// the cursor preview image. Shapes are in canvas points on a painter whose world
// transform maps canvas points to the device; every function leaves the painter's state
// as it found it.
//
// - Outline halo: the shape drawn over a white or black halo of 32 shifted copies of
//   its stroke, so that it stays readable on any background.
// - Chalk: four slightly shifted, thinner copies of the shape, with specks and streaks
//   erased by two generated textures, applied together as one combined tile. The
//   textures come from fixed seeds, so every run and every machine draws the same chalk;
//   they are made once, on first use, and kept for the rest of the run.

#include "core/shapes/CanvasShape.h"

#include <QImage>
#include <QPainter>

#include <cstdint>

namespace vorlix::Renderer {

// The shape over its contrasting halo; at opacity below 1 halo and shape are composited
// together, once. Called by `draw` for outlined shapes; copies keep their chalk flag.
void drawWithOutline(QPainter& painter, const CanvasShape& shape);

// The shape in chalk. Called by `draw` for chalk shapes without an outline.
void drawChalk(QPainter& painter, const CanvasShape& shape);

// One mouse-cursor shape in red, centred in a square of `size` points, as an image of
// round(size × scale) pixels square (premultiplied RGBA, sRGB). A null image when that
// rounds to less than one pixel or is not a sensible image size.
QImage cursorPreview(CursorShape shape, double size, double scale);

// The chalk textures, made on first use: blotches are 192 pixels square and tile every
// 96 points, grain is 96 pixels square and tiles every 48 points. Only their alpha
// matters: it is what the chalk loses.
const QImage& chalkBlotches();
const QImage& chalkGrain();

// The generator of the chalk textures: a 64-bit linear congruential state advanced
// before every draw, each draw giving the state's top 24 bits as a value in [0, 1).
class ChalkRandom {
public:
    explicit ChalkRandom(std::uint64_t seed) : m_state(seed) {}
    double next()
    {
        m_state = m_state * 0x5851F42D4C957F2DULL + 0x14057B7EF767814FULL;
        return static_cast<double>(m_state >> 40) / 16777216.0;
    }

private:
    std::uint64_t m_state;
};

} // namespace vorlix::Renderer
