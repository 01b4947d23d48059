// The cut-out session: a region of the annotated document rendered once, its background
// removed by flood fills from its edges and from the seeds the user clicks, previewed in
// place over a checkerboard. Nothing in the document changes until the result is placed
// as a new panel; copying leaves the session running.
//
// Every seed, take-back and sensitivity step runs the whole removal again on this thread,
// over the kept rendering: the region is never rendered twice.

#include "app/editor/canvas/CanvasView.h"

#include "app/editor/canvas/CanvasOverlays.h"
#include "app/editor/document/ProjectDocument.h"
#include "app/support/Beeper.h"
#include "app/support/Pasteboard.h"
#include "core/imaging/ImageCoding.h"
#include "core/imaging/RegionRender.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <utility>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

// Narrower or lower regions (in canvas points) start no session.
constexpr double smallestRegion = 4;

std::optional<CutOut::Result> removeBackground(const CutOutSession& session, double sensitivity)
{
    return CutOut::removeBackground(session.source, sensitivity, session.holes);
}

// A dark rounded label with white text, its top-left corner at `at`, kept at the same size
// on screen at every zoom.
void drawLabel(QPainter& painter, const QString& text, Point at, double magnification)
{
    QFont font = painter.font();
    font.setPixelSize(11);
    font.setHintingPreference(QFont::PreferNoHinting);
    const QFontMetricsF metrics(font);
    const QStringList lines = text.split(u'\n');
    double width = 0;
    for (const QString& line : lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    const double padX = 8, padY = 4;
    const QRectF box(0, 0, width + 2 * padX, metrics.lineSpacing() * lines.size() + 2 * padY);
    painter.save();
    painter.translate(at.toQt());
    painter.scale(1 / magnification, 1 / magnification);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 180));
    painter.drawRoundedRect(box, 5, 5);
    painter.setFont(font);
    painter.setPen(Qt::white);
    for (qsizetype i = 0; i < lines.size(); ++i)
        painter.drawText(QPointF(padX, padY + metrics.ascent() + metrics.lineSpacing() * double(i)), lines[i]);
    painter.restore();
}

} // namespace

void CanvasView::beginCutOut(const Rect& rect)
{
    viewport()->update();
    if (rect.width() < smallestRegion || rect.height() < smallestRegion)
        return;
    std::optional<AlignedRegion> rendered = renderAlignedRegion(m_editor.model(), rect, m_images);
    if (!rendered)
        return;
    CutOutSession session;
    session.region = rendered->rect;
    session.source = std::move(rendered->image);
    session.pixelsPerPoint = rendered->pixelsPerPoint;
    session.result = removeBackground(session, m_state.cutOutSensitivity);
    if (!session.result)
        Beeper::beep(); // the session starts all the same and says that nothing remains
    setCutOutSession(std::move(session));
}

void CanvasView::recomputeCutOut(CutOutSession session)
{
    session.result = removeBackground(session, m_state.cutOutSensitivity);
    setCutOutSession(std::move(session));
}

void CanvasView::addCutOutHole(Point point, bool everywhere)
{
    if (!m_state.cutOutSession)
        return;
    CutOutSession session = *m_state.cutOutSession;
    const Point pixel{std::trunc(session.pixelsPerPoint * (point.x - session.region.minX())),
                      std::trunc(session.pixelsPerPoint * (point.y - session.region.minY()))};
    // The first click of a double click has already left a plain seed here: the double
    // click replaces it rather than adding a second seed.
    if (everywhere && !session.holes.empty() && session.holes.back().point == pixel)
        session.holes.pop_back();
    session.holes.push_back({pixel, everywhere});
    recomputeCutOut(std::move(session));
}

void CanvasView::removeLastCutOutHole()
{
    if (!m_state.cutOutSession || m_state.cutOutSession->holes.empty()) {
        Beeper::beep();
        return;
    }
    CutOutSession session = *m_state.cutOutSession;
    session.holes.pop_back();
    recomputeCutOut(std::move(session));
}

void CanvasView::setCutOutSensitivity(double value)
{
    noteActivity();
    const double clamped = std::isnan(value) || value <= 0 ? 0.0 : std::min(value, 1.0);
    m_state.cutOutSensitivity = clamped;
    m_settings.set(setting::cutOutSensitivity, clamped);
    if (m_state.cutOutSession)
        recomputeCutOut(*m_state.cutOutSession);
    else
        stateChanged();
}

std::optional<CanvasView::CutOutPNG> CanvasView::cutOutPNG() const
{
    if (!m_state.cutOutSession || !m_state.cutOutSession->result)
        return std::nullopt;
    const CutOutSession& session = *m_state.cutOutSession;
    std::optional<QByteArray> png =
        ImageCoding::encode(session.result->image, ImageType::png, session.pixelsPerPoint, 0.9);
    if (!png)
        return std::nullopt;
    const QString base = m_document ? m_document->imageName() : QString();
    return CutOutPNG{std::move(*png), (base + u" scontornato"_s).trimmed()};
}

bool CanvasView::copyCutOut()
{
    const std::optional<CutOutPNG> png = cutOutPNG();
    if (!png) {
        Beeper::beep();
        return false;
    }
    // Receivers wanting another type than PNG get it decoded from the PNG.
    Pasteboard::copyPNG(png->data, std::nullopt, u"Scontorno copiato"_s, window());
    return true;
}

void CanvasView::placeCutOut()
{
    std::optional<CutOutPNG> png = cutOutPNG();
    // Pictures are added through the document, which keeps the images.
    if (!png || !m_document) {
        Beeper::beep();
        return;
    }
    const CutOutSession session = *std::exchange(m_state.cutOutSession, std::nullopt);
    setCutOutSession(std::nullopt);
    endContinuousChange();
    // An unreadable PNG adds nothing; the session is over all the same.
    if (!m_document->addImage(png->data, u"png"_s, session.pixelsPerPoint, u"Scontorna"_s, session.result->image))
        return;
    setTool(Tool::select);
    const std::vector<vorlix::Panel>& panels = m_editor.model().panels;
    if (!panels.empty())
        setSelectedPanel(panels.back().id);
}

void CanvasView::drawCutOut(QPainter& painter, const Rect& dirty) const
{
    if (!m_state.cutOutSession)
        return;
    const CutOutSession& session = *m_state.cutOutSession;
    const Rect& region = session.region;
    const double m = magnification();
    const CanvasOverlays::Colors colors = CanvasOverlays::Colors::from(palette());
    painter.save();

    // Everything but the region darkened.
    const ScrollGeometry& geometry = scrollGeometry();
    const Rect everything = Rect(geometry.boundsOrigin, geometry.frameSize).united(visibleRect());
    QPainterPath veil;
    veil.setFillRule(Qt::OddEvenFill);
    veil.addRect(everything.toQt());
    veil.addRect(region.toQt());
    painter.fillPath(veil, QColor(0, 0, 0, int(0.35 * 255)));

    painter.fillRect(region.toQt(), palette().color(QPalette::Window));
    if (region.intersects(dirty))
        CanvasOverlays::fillCheckerboard(painter, region, region.intersection(dirty), m, colors);

    QString firstLine;
    if (const std::optional<CutOut::Result>& result = session.result) {
        const double ppp = session.pixelsPerPoint;
        const QRectF target(region.minX() + result->bounds.minX() / ppp, region.minY() + result->bounds.minY() / ppp,
                            result->bounds.width() / ppp, result->bounds.height() / ppp);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, result->image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(colors.accent, 1 / m));
        painter.drawRect(target);
        firstLine = QString::number(qint64(result->bounds.width())) + u" × "_s +
                    QString::number(qint64(result->bounds.height())) + u" px"_s;
    } else {
        firstLine = u"Non resta nulla: abbassa la sensibilità"_s;
    }
    painter.restore();

    CanvasOverlays::drawRegion(painter, region, false, m, colors);
    drawLabel(painter,
              firstLine + u'\n' + u"Clic: toglie un pezzo di sfondo   Doppio clic: ovunque   Canc: annulla il clic"_s,
              Point{region.minX(), region.maxY() + 6 / m}, m);
}

} // namespace vorlix
