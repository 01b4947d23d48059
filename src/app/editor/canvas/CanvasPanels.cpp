// The canvas's operations on panels and on the document as a whole, for the editor
// window and the property bar: which panel a command acts on, removing a panel, showing
// the document's settings and changing them, a dragged slider as one undo step.

#include "app/editor/canvas/CanvasView.h"

#include "app/support/Beeper.h"
#include "core/document/PanelComposition.h"

using namespace Qt::StringLiterals;

namespace vorlix {

std::optional<QUuid> CanvasView::targetPanelID() const
{
    if (m_state.selectedPanel)
        return m_state.selectedPanel;
    const std::vector<vorlix::Panel>& panels = m_editor.model().panels;
    if (panels.empty())
        return std::nullopt;
    return panels.front().id;
}

std::optional<vorlix::Panel> CanvasView::selectedPanelModel() const
{
    if (!m_state.selectedPanel)
        return std::nullopt;
    for (const vorlix::Panel& panel : m_editor.model().panels) {
        if (panel.id == *m_state.selectedPanel)
            return panel;
    }
    return std::nullopt;
}

void CanvasView::removeSelectedPanel(const QUuid& id)
{
    if (m_editor.model().panels.size() < 2) {
        Beeper::beep(); // a document keeps its last panel
        return;
    }
    m_editor.perform(u"Rimuovi pannello"_s, [&](DocumentModel& doc) { removePanel(doc, id); });
    setSelectedPanel(std::nullopt);
}

bool CanvasView::showsDocumentSettings() const
{
    return m_state.tool == Tool::select && m_state.selection.empty() && !m_state.selectedPanel &&
           !m_state.textSession && !m_state.cropSession;
}

void CanvasView::showDocumentSettings()
{
    setTool(Tool::select);
    setSelection({});
    setSelectedPanel(std::nullopt);
    stateChanged();
}

void CanvasView::changeDocument(const QString& actionName, bool continuous, const DocumentEditor::Mutation& change)
{
    // A gesture ended elsewhere (an undo, another interaction) is no longer ours to end.
    if (m_state.isChangingDocument && !m_editor.isInteracting())
        m_state.isChangingDocument = false;
    if (continuous) {
        if (!m_state.isChangingDocument) {
            // Whatever edits the document next ends the slider's gesture first, as its own step.
            m_state.continuousChangeName = actionName;
            m_editor.beginInteraction([this] { endContinuousChange(); });
            m_state.isChangingDocument = true;
        }
        m_editor.updateInteraction(change);
    } else if (m_state.isChangingDocument) {
        // The release of a dragged slider: the whole drag becomes one step.
        m_editor.updateInteraction(change);
        m_state.isChangingDocument = false;
        m_state.continuousChangeName.clear();
        m_editor.endInteraction(actionName);
    } else {
        m_editor.perform(actionName, change);
    }
    updateFrameForCanvas();
}

} // namespace vorlix
