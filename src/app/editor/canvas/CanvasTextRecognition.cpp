// Text recognition of a region drawn with the OCR tool: the region is rendered here, read
// on a worker thread, and what was found goes to the clipboard and into a popover under
// the region. Only the result of the region still shown opens a popover; a result that
// arrives after the window closed still reaches the clipboard (the user asked for it)
// but never touches the canvas.

#include "app/editor/canvas/CanvasView.h"

#include "app/editor/canvas/TextRegionPopover.h"
#include "core/analysis/TextRecognition.h"
#include "core/imaging/RegionRender.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>

#include <utility>

namespace vorlix {

namespace {

// Smaller regions hold no readable text; they are taken for a click.
constexpr double smallestRegion = 4;

} // namespace

void CanvasView::recognizeText()
{
    const std::optional<Rect> region = m_state.textRegion;
    if (!region || region->width() < smallestRegion || region->height() < smallestRegion) {
        setTextRegion(std::nullopt);
        return;
    }
    std::optional<AlignedRegion> rendered = renderAlignedRegion(m_editor.model(), *region, m_images);
    if (!rendered) {
        setTextRegion(std::nullopt);
        return;
    }
    // The hand-back is tied to the application, not to the canvas, so that the clipboard
    // gets the text even when the window closed meanwhile; the canvas is reached only
    // through a guard and only while it still shows this very region.
    const QPointer<CanvasView> canvas(this);
    const Rect started = *region;
    TextRecognition::recognize(std::move(rendered->image), QCoreApplication::instance(),
                               [canvas, started](const TextRecognition::Result& result) {
                                   if (!result.isEmpty()) {
                                       QClipboard* clipboard = QGuiApplication::clipboard();
                                       clipboard->clear();
                                       clipboard->setText(result.combined());
                                   }
                                   if (canvas)
                                       canvas->showTextResult(result, started);
                               });
}

void CanvasView::showTextResult(const TextRecognition::Result& result, const Rect& region)
{
    if (m_isTornDown || m_state.textRegion != region || !window()->isVisible())
        return;
    closeTextPopover();
    auto* popover = new TextRegionPopover(result, this);
    popover->onClosed = [this] { popoverDidClose(); };
    m_textPopover = popover;
    m_textPopoverRegion = region;
    const QPointF below = toViewport(Point{region.midX(), region.maxY()});
    popover->showBelow(viewport()->mapToGlobal(below.toPoint()));
}

QWidget* CanvasView::textPopover() const { return m_textPopover; }

void CanvasView::popoverDidClose()
{
    m_textPopover = nullptr;
    setTextRegion(std::nullopt);
}

void CanvasView::closeTextPopover()
{
    if (QPointer<TextRegionPopover> popover = std::exchange(m_textPopover, nullptr)) {
        popover->onClosed = nullptr;
        popover->close();
    }
}

} // namespace vorlix
