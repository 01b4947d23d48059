// Annotation clipboard JSON offered by any program: decoding refuses what it does not
// take; what it takes round-trips, has bounds and pastes into a small document.

#include "FuzzSupport.h"

#include "core/document/AnnotationClipboard.h"

#include <cstddef>
#include <cstdint>

using namespace vorlix;

namespace {

// One 400 × 300 pixel panel at the origin, so a paste meets both owners.
DocumentModel smallDocument()
{
    Panel panel;
    panel.id = QUuid("{00000000-0000-4000-8000-000000000001}");
    panel.imageID = QUuid("{00000000-0000-4000-8000-000000000002}");
    panel.pixelSize = {400, 300};
    DocumentModel doc;
    doc.panels = {panel};
    return doc;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<AnnotationClipboard> clipboard = AnnotationClipboard::decode(bytes);
    if (!clipboard)
        return 0;
    if (AnnotationClipboard::decode(clipboard->encoded()) != clipboard)
        fuzz::fail("decode(encoded()) differs from the clipboard");
    (void)clipboard->bounds();
    DocumentModel doc = smallDocument();
    const std::vector<QUuid> ids =
        clipboard->paste(doc, {AnnotationClipboard::pasteOffset, AnnotationClipboard::pasteOffset});
    if (ids.size() != clipboard->items.size())
        fuzz::fail("paste added a different number of annotations");
    return 0;
}
