// The Edit menu's Copy, Cut and Paste on the canvas, and which Edit items it offers.
//
// Copied annotations go on the clipboard twice: as our own JSON, which any program on the
// desktop could also have written (so decoding checks everything), and as a picture of
// the copied shapes alone for other programs. The picture is offered only when there is
// one: a receiver must never find the PNG type announced without data.

#include "app/editor/canvas/CanvasHandles.h"
#include "app/editor/canvas/CanvasView.h"
#include "app/editor/document/ProjectDocument.h"
#include "app/support/Beeper.h"
#include "app/support/CopyNotice.h"
#include "app/support/Pasteboard.h"
#include "core/document/AnnotationClipboard.h"
#include "core/document/DocumentAnnotations.h"
#include "core/imaging/Exporter.h"
#include "core/imaging/ImageCoding.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

// The copied shapes' picture at the source document's own pixel density, on nothing.
std::optional<QByteArray> clipboardPicture(const AnnotationClipboard& clipboard, const DocumentModel& source,
                                           const ImageProviding& images)
{
    ExportOptions native;
    native.resolution = ExportOptions::Native{};
    const double density = Exporter::pixelsPerPoint(source, native);

    ExportOptions options;
    options.resolution = ExportOptions::Scale{density};
    options.background = TransparentBackground{};
    const DocumentModel standalone = clipboard.standaloneDocument();
    const std::optional<QImage> image = Exporter::renderImage(standalone, images, options);
    if (!image)
        return std::nullopt;
    return ImageCoding::encode(*image, ImageType::png, Exporter::pixelsPerPoint(standalone, options), 0.9);
}

const QMimeData* clipboardData() { return QGuiApplication::clipboard()->mimeData(); }

// Whether the data holds a picture that a paste could add: image data of any type, or
// image files.
bool offersImage(const QMimeData& data)
{
    const QStringList formats = data.formats();
    return data.hasImage() ||
           std::ranges::any_of(formats, [](const QString& f) { return f.startsWith(u"image/"_s); }) ||
           !Pasteboard::imageFileUrls(data).isEmpty();
}

} // namespace

QString CanvasView::annotationsPasteboardType() { return u"application/x-org.vorlix.Vorlix.annotations"_s; }

void CanvasView::writeSelectionToPasteboard()
{
    const AnnotationClipboard clipboard = AnnotationClipboard::copy(m_editor.model(), m_state.selection);
    const std::optional<QByteArray> png = clipboardPicture(clipboard, m_editor.model(), m_images);
    std::unique_ptr<QMimeData> data = png ? Pasteboard::pngMimeData(*png, std::nullopt) : std::make_unique<QMimeData>();
    data->setData(annotationsPasteboardType(), clipboard.encoded());
    Pasteboard::setMimeData(std::move(data));
    m_state.pasteSequence = {Pasteboard::changeCount(), 0};
}

void CanvasView::copy()
{
    commitTextEditing();
    if (m_state.cutOutSession && copyCutOut())
        return;
    if (m_state.selection.empty()) {
        if (m_document)
            m_document->copyImageToPasteboard(window());
        else
            Beeper::beep();
        return;
    }
    writeSelectionToPasteboard();
    const std::size_t count = m_state.selection.size();
    CopyNotice::show(count == 1 ? u"Oggetto copiato"_s : QString::number(count) + u" oggetti copiati"_s, window());
}

void CanvasView::cut()
{
    if (m_state.selection.empty())
        return;
    endContinuousChange();
    writeSelectionToPasteboard();
    const std::set<QUuid> ids = m_state.selection;
    m_editor.perform(u"Taglia "_s + vorlix::objectName(m_editor.model(), ids),
                     [&](DocumentModel& doc) { removeAnnotations(doc, ids); });
    setSelection({});
}

void CanvasView::paste()
{
    commitTextEditing();
    endContinuousChange();
    const QMimeData* data = clipboardData();
    const std::optional<AnnotationClipboard> clipboard =
        data && data->hasFormat(annotationsPasteboardType())
            ? AnnotationClipboard::decode(data->data(annotationsPasteboardType()))
            : std::nullopt;
    if (!clipboard) {
        if (!data || !m_document || !m_document->addImage(*data))
            Beeper::beep();
        return;
    }
    const std::int64_t changeCount = Pasteboard::changeCount();
    PasteSequence& sequence = m_state.pasteSequence;
    sequence = sequence.changeCount == changeCount ? PasteSequence{changeCount, sequence.count + 1}
                                                   : PasteSequence{changeCount, 1};
    const double step = double(sequence.count) * AnnotationClipboard::pasteOffset;
    Point offset{step, step};
    const Rect bounds = clipboard->bounds();
    const Rect visible = visibleRect();
    if (!bounds.offsetBy(offset.x, offset.y).intersects(visible))
        offset = {visible.midX() - bounds.midX(), visible.midY() - bounds.midY()};

    std::vector<QUuid> ids;
    m_editor.perform(u"Incolla"_s, [&](DocumentModel& doc) { ids = clipboard->paste(doc, offset); });
    setSelection({ids.begin(), ids.end()});
}

bool CanvasView::validateMenuItem(EditAction action) const
{
    const DocumentModel& model = m_editor.model();
    switch (action) {
    case EditAction::cut:
        return !m_state.selection.empty();
    case EditAction::paste: {
        const QMimeData* data = clipboardData();
        return data && (data->hasFormat(annotationsPasteboardType()) || offersImage(*data));
    }
    case EditAction::deleteSelection:
        return !m_state.selection.empty() || (m_state.selectedPanel && model.panels.size() > 1);
    case EditAction::selectAll:
        return !annotationIDsInDrawOrder(model).empty();
    case EditAction::copy:
        return true;
    }
    return true;
}

} // namespace vorlix
