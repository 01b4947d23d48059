#include "app/editor/canvas/CanvasState.h"

namespace vorlix {

bool returnsToSelectWhenIdle(Tool tool)
{
    switch (tool) {
    case Tool::arrow:
    case Tool::line:
    case Tool::rectangle:
    case Tool::ellipse:
    case Tool::pencil:
    case Tool::highlighter:
    case Tool::number:
    case Tool::text:
    case Tool::callout:
    case Tool::stamp:
    case Tool::cursor:
    case Tool::pixelate:
    case Tool::spotlight:
    case Tool::lens:
        return true;
    case Tool::select:
    case Tool::colorPicker:
    case Tool::ruler:
    case Tool::crop:
    case Tool::cutStrip:
    case Tool::cutOut:
    case Tool::ocr:
        return false;
    }
    return false;
}

DocumentModel displayModel(const DocumentModel& model, const std::optional<CropSession>& cropSession)
{
    DocumentModel shown = model;
    if (!cropSession)
        return shown;
    for (Panel& panel : shown.panels) {
        if (panel.id == cropSession->panelID)
            panel = cropSession->preview;
    }
    return shown;
}

} // namespace vorlix
