#pragma once
// Finding the text lines of an image by its ink alone, without reading it: used to align
// highlighter strokes and to cut recognition into bands between lines.
//
// Rectangles are in the pixels of the image they were found in, origin at the top left,
// y down. Transparent pixels count as white.

#include "core/model/Geometry.h"

#include <QImage>

#include <cstddef>
#include <vector>

namespace vorlix::TextRecognition {

// The text lines of an image, top to bottom: text rectangles found by ink projection,
// sorted by minX, merged into lines, the lines sorted by minY.
std::vector<Rect> textLines(const QImage& image);

// Groups boxes into lines. Boxes are taken in order of minX (stably); each joins the first
// line so far whose vertical centre differs from its own by less than half the smaller of
// the two heights, and that line grows to the union of both; otherwise it starts a line.
// Returns, per line, the indices of its boxes sorted by minX; lines sorted by minY (stably).
// A plain procedure rather than a comparison sort: pairwise "same line" is not transitive.
std::vector<std::vector<std::size_t>> groupIntoLines(const std::vector<Rect>& boxes);

// The union rectangle of each line of `groupIntoLines`, in the same order.
std::vector<Rect> mergeIntoLines(const std::vector<Rect>& boxes);

// The image flattened over white into 8-bit luma (ITU-R BT.709 weights), as the analyses
// read it.
QImage flattenedLuma(const QImage& image); // an 8-bit grayscale image is returned as it is

} // namespace vorlix::TextRecognition
