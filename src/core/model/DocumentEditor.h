#pragma once
// The only way an open document changes. Every change (one `perform`, or one
// interaction from begin to end) that leaves the document different becomes
// exactly one named undo step; a change that leaves it equal records nothing.
// During an interaction every update is applied afresh to the document as it was
// when the interaction began. After every replacement of the model, `onChange` and
// then every subscriber, in the order they subscribed, hear of it with the model before
// and after. Main thread only.

#include "core/model/DocumentModel.h"
#include "core/model/UndoManager.h"

#include <QString>

#include <cstdint>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace vorlix {

// Why the model was replaced.
enum class ChangeCause { perform, interactionUpdate, interactionEnd, interactionCancel, undo, redo };

// One replacement of the model, as subscribers hear of it. The references are valid
// during the call only.
struct DocumentChange {
    const DocumentModel& before;
    const DocumentModel& after;
    QString actionName; // empty for interaction updates and cancels
    ChangeCause cause;
};

class DocumentEditor;

// Keeps a subscriber subscribed while it lives; it may outlive the editor.
class Subscription {
public:
    Subscription() = default;
    Subscription(Subscription&& other) noexcept;
    Subscription& operator=(Subscription&& other) noexcept;
    ~Subscription();

    void cancel();

private:
    friend class DocumentEditor;
    struct Listeners;
    Subscription(std::weak_ptr<Listeners> listeners, std::uint64_t id);

    std::weak_ptr<Listeners> m_listeners;
    std::uint64_t m_id = 0;
};

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

    using Listener = std::function<void(const DocumentChange&)>;
    // Subscribers added while a change is being told hear from the next one on; one
    // cancelled meanwhile hears no more.
    [[nodiscard]] Subscription subscribe(Listener listener);

    // The document differs from what was last saved (the undo manager's clean point).
    bool isModified() const { return !m_undoManager.isClean(); }
    // After a save: the present document is what is saved.
    void markSaved() { m_undoManager.markClean(); }

    void perform(const QString& actionName, const Mutation& mutate);

    void beginInteraction();
    // Opens an interaction that no later change may swallow: a `perform` or a
    // `beginInteraction` made while it is open first calls `finish`, which is to end it as
    // an undo step of its own, so the new change starts from its result.
    void beginInteraction(std::function<void()> finish);
    bool isInteracting() const { return m_interactionStart.has_value(); }
    void updateInteraction(const Mutation& mutate);
    void endInteraction(const QString& actionName);
    void cancelInteraction();

private:
    // A document as the undo history keeps it: each panel and the document-level
    // annotations in pieces shared with the neighbouring steps while they are equal, so a
    // step costs what it changed rather than a copy of the whole document.
    struct StoredDocument {
        DocumentModel rest; // every field but the panels and the document-level annotations
        std::vector<std::shared_ptr<const Panel>> panels;
        std::shared_ptr<const std::vector<Annotation>> annotations;

        DocumentModel model() const;
    };
    // `model` in pieces, reusing those of `previous` that are equal. `model` is given back
    // as it came; it is borrowed to copy its other fields alone.
    static StoredDocument stored(DocumentModel& model, const StoredDocument& previous);

    void apply(DocumentModel next, const QString& actionName, ChangeCause cause);
    void notify(const DocumentModel& before, const QString& actionName, ChangeCause cause);
    // Lets the open interaction's opener end it before another change starts.
    void finishOpenInteraction();

    std::shared_ptr<Subscription::Listeners> m_listeners;
    DocumentModel m_model;
    StoredDocument m_stored; // m_model as last recorded (before any open interaction)
    UndoManager& m_undoManager;
    std::optional<DocumentModel> m_interactionStart;
    std::function<void()> m_finishInteraction;
};

} // namespace vorlix
