#include "core/model/DocumentEditor.h"

#include <utility>

namespace vorlix {

DocumentEditor::DocumentEditor(DocumentModel model, UndoManager& undoManager)
    : m_model(std::move(model)), m_undoManager(undoManager)
{
}

DocumentEditor::~DocumentEditor() { m_undoManager.removeAllActions(this); }

void DocumentEditor::notify()
{
    if (onChange)
        onChange();
}

void DocumentEditor::apply(DocumentModel next, const QString& actionName)
{
    DocumentModel old = std::exchange(m_model, std::move(next));
    const bool ownGroup = !m_undoManager.groupsByEvent();
    if (ownGroup)
        m_undoManager.beginUndoGrouping();
    // Undoing re-applies the old document, which registers the redo step in turn.
    m_undoManager.registerUndo(this, [this, old = std::move(old), actionName] { apply(old, actionName); });
    m_undoManager.setActionName(actionName);
    if (ownGroup)
        m_undoManager.endUndoGrouping();
    notify();
}

void DocumentEditor::perform(const QString& actionName, const Mutation& mutate)
{
    cancelInteraction();
    DocumentModel next = m_model;
    mutate(next);
    if (next == m_model)
        return;
    apply(std::move(next), actionName);
}

void DocumentEditor::beginInteraction()
{
    if (!m_interactionStart)
        m_interactionStart = m_model;
}

void DocumentEditor::updateInteraction(const Mutation& mutate)
{
    if (!m_interactionStart)
        return;
    DocumentModel next = *m_interactionStart;
    mutate(next);
    m_model = std::move(next);
    notify();
}

void DocumentEditor::endInteraction(const QString& actionName)
{
    if (!m_interactionStart)
        return;
    DocumentModel start = std::move(*m_interactionStart);
    m_interactionStart.reset();
    if (m_model == start)
        return;
    DocumentModel final = std::exchange(m_model, std::move(start));
    apply(std::move(final), actionName);
}

void DocumentEditor::cancelInteraction()
{
    if (!m_interactionStart)
        return;
    m_model = std::move(*m_interactionStart);
    m_interactionStart.reset();
    notify();
}

} // namespace vorlix
