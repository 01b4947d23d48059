// The canvas as a drop target for pictures: image files from a file manager, or image
// data from another program. Each picture becomes a new panel of the document, placed
// where new panels go (not at the drop point), one undo step each.

#include "app/editor/canvas/CanvasView.h"

#include "app/editor/document/ProjectDocument.h"
#include "app/support/Beeper.h"
#include "app/support/Pasteboard.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace vorlix {

void CanvasView::setDocument(ProjectDocument* document) { m_document = document; }

bool CanvasView::canAcceptImages(const QMimeData& data, const QObject* source) const
{
    if (!m_document)
        return false;
    // A picture dragged out of this window is never dropped back into it.
    if (const auto* widget = qobject_cast<const QWidget*>(source); widget && widget->window() == window())
        return false;
    if (!Pasteboard::imageFileUrls(data).isEmpty())
        return true;
    const QStringList formats = data.formats();
    return data.hasImage() ||
           std::any_of(formats.begin(), formats.end(), [](const QString& f) { return f.startsWith(u"image/"_s); });
}

bool CanvasView::performDrop(const QMimeData& data)
{
    bool added = false;
    if (m_document) {
        const QList<QUrl> urls = Pasteboard::imageFileUrls(data);
        if (urls.isEmpty())
            added = m_document->addImage(data);
        for (const QUrl& url : urls) {
            QFile file(url.toLocalFile());
            if (!file.open(QIODevice::ReadOnly))
                continue; // unreadable: skipped
            const QByteArray bytes = file.readAll();
            const QString extension = QFileInfo(file).suffix().toLower();
            // A file that is no readable picture is skipped by the document.
            if (m_document->addImage(bytes, extension, std::nullopt, u"Aggiungi immagine"_s))
                added = true;
        }
    }
    // A drop that adds nothing is refused aloud rather than passed off as done.
    if (!added)
        Beeper::beep();
    return added;
}

void CanvasView::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData() && canAcceptImages(*event->mimeData(), event->source())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void CanvasView::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData() && canAcceptImages(*event->mimeData(), event->source())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void CanvasView::dropEvent(QDropEvent* event)
{
    if (!event->mimeData() || !canAcceptImages(*event->mimeData(), event->source())) {
        event->ignore();
        return;
    }
    if (performDrop(*event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

} // namespace vorlix
