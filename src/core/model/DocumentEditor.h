#pragma once
// The only way an open document changes. Every change (one `perform`, or one
// interaction from begin to end) that leaves the document different becomes
// exactly one named undo step; a change that leaves it equal records nothing.
// During an interaction every update is applied afresh to the document as it was
// when the interaction began. `onChange` runs after every replacement of the model.
// Main thread only.

#include "core/model/DocumentModel.h"
#include "core/model/UndoManager.h"

#include <QString>

#include <functional>
#include <optional>

namespace vorlix {

class DocumentEditor {
public:
    using Mutation = std::function<void(DocumentModel&)>;

    DocumentEditor(DocumentModel model, UndoManager& undoManager);
    ~DocumentEditor();
    DocumentEditor(const DocumentEditor&) = delete;
    DocumentEditor& operator=(const DocumentEditor&) = delete;

    const DocumentModel& model() const { return m_model; }
    UndoManager& undoManager() const { return m_undoManager; }

    std::function<void()> onChange;

    void perform(const QString& actionName, const Mutation& mutate);

    void beginInteraction();
    bool isInteracting() const { return m_interactionStart.has_value(); }
    void updateInteraction(const Mutation& mutate);
    void endInteraction(const QString& actionName);
    void cancelInteraction();

private:
    void apply(DocumentModel next, const QString& actionName);
    void notify();

    DocumentModel m_model;
    UndoManager& m_undoManager;
    std::optional<DocumentModel> m_interactionStart;
};

} // namespace vorlix
