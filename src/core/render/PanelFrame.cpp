#include "core/render/PanelFrame.h"

#include "core/model/PanelGeometry.h"

#include <QImage>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace vorlix::Renderer {

QPainterPath roundedRectPath(const Rect& rect, double radius)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    if (radius > 0)
        path.addRoundedRect(rect.toQt(), radius, radius);
    else
        path.addRect(rect.toQt());
    return path;
}

double panelRadius(const DocumentModel& document, const Panel& panel)
{
    const Rect f = frame(panel);
    return std::max(0.0, std::min({document.panelCornerRadius, f.width() / 2, f.height() / 2}));
}

double panelShadowReach()
{
    return 1.5 * panelShadowLook.blur + std::abs(panelShadowLook.offset.x) + std::abs(panelShadowLook.offset.y);
}

// The panel's shadow, then its white frame. The shadow of a large rounded rectangle is
// the same all along each straight edge, so it is blurred once for a small frame with
// the same corners and stretched: nine patches, of which the centre is left out (the
// opaque frame covers it). The cost follows the blur, not the panel's size. The frame
// leaves out `covered`, where the panel's opaque image will hide it.
void drawPanelShadow(const Rect& panelFrame, double radius, const QPainterPath& framePath,
                     const std::optional<QRectF>& covered, QPainter& painter)
{
    const auto fill = [](const QPainterPath& path) {
        return [path](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            p.drawPath(path);
        };
    };
    const QTransform device = painter.deviceTransform();
    const double s = std::sqrt(std::abs(device.determinant()));
    // Device pixels: the blur's reach (3 sigma, sigma = blur / 2) plus the offset, and
    // the smallest frame whose corners do not meet.
    const int pad = int(std::ceil((panelShadowLook.blur * 1.5 + std::abs(panelShadowLook.offset.x) +
                                   std::abs(panelShadowLook.offset.y)) *
                                  s)) +
                    2;
    const int m = 2 * (pad + int(std::ceil(radius * s))) + 2;
    const double deviceWidth = panelFrame.width() * s;
    const double deviceHeight = panelFrame.height() * s;
    if (device.type() > QTransform::TxScale || !(s > 0) || deviceWidth < m + 2 || deviceHeight < m + 2 ||
        !std::isfinite(deviceWidth * deviceHeight)) {
        drawPathShadow(painter, panelShadowLook, framePath, Qt::white);
    } else {
        const int total = m + 2 * pad;
        QImage patch(total, total, QImage::Format_ARGB32_Premultiplied);
        patch.fill(Qt::transparent);
        {
            QPainter p(&patch);
            p.setRenderHints(painter.renderHints());
            p.scale(s, s);
            const Rect small(pad / s, pad / s, m / s, m / s);
            drawPathShadow(p, panelShadowLook, roundedRectPath(small, radius), Qt::white);
        }
        // Patch columns and rows: [0, half) before, [half, half + 1) stretched, the rest after.
        const int half = pad + m / 2;
        const double stretchX = (deviceWidth - m) / s;
        const double stretchY = (deviceHeight - m) / s;
        const double x0 = panelFrame.minX() - pad / s;
        const double y0 = panelFrame.minY() - pad / s;
        const double xs[] = {x0, x0 + half / s, x0 + (half + 1) / s + stretchX};
        const double ws[] = {half / s, 1 / s + stretchX, (total - half - 1) / s};
        const double ys[] = {y0, y0 + half / s, y0 + (half + 1) / s + stretchY};
        const double hs[] = {half / s, 1 / s + stretchY, (total - half - 1) / s};
        const int sx[] = {0, half, half + 1};
        const int sw[] = {half, 1, total - half - 1};
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 3; ++column) {
                if (row == 1 && column == 1)
                    continue;
                painter.drawImage(QRectF(xs[column], ys[row], ws[column], hs[row]), patch,
                                  QRectF(sx[column], sx[row], sw[column], sw[row]));
            }
        }
        painter.restore();
    }
    QPainterPath visibleFrame = framePath;
    if (covered) {
        // The covered rectangle lies inside the frame: even-odd cuts it out.
        visibleFrame.setFillRule(Qt::OddEvenFill);
        visibleFrame.addRect(*covered);
    }
    painter.save();
    fill(visibleFrame)(painter);
    painter.restore();
}

} // namespace vorlix::Renderer
