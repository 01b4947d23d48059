#pragma once
// The colour of the finished picture under the pointer (annotations, filters and panel
// placement included) for the colour picker and the ruler's edge snapping, and two
// document queries that go with them: the panel under a point and whether the image
// under some points is dark.
//
// The sampler renders the whole document once, at its native density on a transparent
// background, and answers every query from that picture until `invalidate()`. The
// owner invalidates after every change of the document (and when it switches to
// another document: the sampler does not notice). Main thread only.

#include "core/model/DocumentModel.h"
#include "core/model/Geometry.h"
#include "core/render/ImageProviding.h"

#include <QImage>

#include <optional>
#include <vector>

namespace vorlix {

class PixelSampler {
public:
    // Drops the rendered picture; the next query renders again.
    void invalidate() { m_composite.reset(); }
    bool hasComposite() const { return m_composite.has_value(); }

    // The un-premultiplied, opaque colour at a canvas point; nothing where nothing is
    // drawn, outside the picture, or when the document cannot be rendered.
    std::optional<RGBAColor> color(Point point, const DocumentModel& document, const ImageProviding& images);

    // The canvas rectangle of the runs of pixels through the point, horizontally and
    // vertically, that differ from the point's pixel by at most `tolerance` in each
    // byte (R, G, B, A, premultiplied). Nothing where no pixel is drawn.
    std::optional<Rect> edges(Point point, const DocumentModel& document, const ImageProviding& images, int tolerance);

private:
    struct Composite {
        QImage image;     // RGBA8888_Premultiplied
        Point origin;     // canvas point of the top-left pixel's corner
        double scale = 1; // pixels per canvas point
    };

    const Composite* composite(const DocumentModel& document, const ImageProviding& images);
    std::optional<QPoint> pixel(const Composite& composite, Point point) const;

    std::optional<Composite> m_composite;
};

// The topmost panel (last in drawing order) whose frame holds the point (left and top
// edges inside, right and bottom outside); nothing when none does.
const Panel* panelAt(const DocumentModel& document, Point point);

// Whether the image under the canvas points is dark, judged on the panel under the
// first point with the margin (canvas points) converted to its image pixels. Nothing
// without points, without a panel there, or when the image cannot tell.
std::optional<bool> isDarkBackground(const DocumentModel& document, const std::vector<Point>& points, double margin,
                                     const ImageProviding& images);

} // namespace vorlix
