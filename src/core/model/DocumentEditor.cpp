#include "core/model/DocumentEditor.h"

#include <utility>

namespace vorlix {

struct Subscription::Listeners {
    std::vector<std::pair<std::uint64_t, DocumentEditor::Listener>> entries; // cancelled ones are empty
    std::uint64_t nextID = 1;
    int telling = 0; // nesting of notifications under way: entries are erased only outside them

    void cancel(std::uint64_t id)
    {
        for (auto& [entryID, listener] : entries) {
            if (entryID == id)
                listener = nullptr;
        }
        if (telling == 0)
            std::erase_if(entries, [](const auto& entry) { return !entry.second; });
    }
};

Subscription::Subscription(std::weak_ptr<Listeners> listeners, std::uint64_t id)
    : m_listeners(std::move(listeners)), m_id(id)
{
}

Subscription::Subscription(Subscription&& other) noexcept
    : m_listeners(std::move(other.m_listeners)), m_id(std::exchange(other.m_id, 0))
{
}

Subscription& Subscription::operator=(Subscription&& other) noexcept
{
    if (this != &other) {
        cancel();
        m_listeners = std::move(other.m_listeners);
        m_id = std::exchange(other.m_id, 0);
    }
    return *this;
}

Subscription::~Subscription() { cancel(); }

void Subscription::cancel()
{
    if (const std::shared_ptr<Listeners> listeners = m_listeners.lock())
        listeners->cancel(m_id);
    m_listeners.reset();
    m_id = 0;
}

DocumentEditor::DocumentEditor(DocumentModel model, UndoManager& undoManager)
    : m_listeners(std::make_shared<Subscription::Listeners>()), m_model(std::move(model)), m_undoManager(undoManager)
{
}

Subscription DocumentEditor::subscribe(Listener listener)
{
    const std::uint64_t id = m_listeners->nextID++;
    m_listeners->entries.emplace_back(id, std::move(listener));
    return Subscription(m_listeners, id);
}

DocumentEditor::~DocumentEditor() { m_undoManager.removeAllActions(this); }

void DocumentEditor::notify(const DocumentModel& before, const QString& actionName, ChangeCause cause)
{
    if (onChange)
        onChange();
    // Held here, so a subscriber that destroys the editor does not pull the list away.
    const std::shared_ptr<Subscription::Listeners> listeners = m_listeners;
    const DocumentChange change{before, m_model, actionName, cause};
    ++listeners->telling;
    const std::size_t count = listeners->entries.size();
    for (std::size_t i = 0; i < count; ++i) {
        // Copied: the listener may cancel itself, or subscribe others, while it runs.
        if (const Listener listener = listeners->entries[i].second)
            listener(change);
    }
    if (--listeners->telling == 0)
        std::erase_if(listeners->entries, [](const auto& entry) { return !entry.second; });
}

void DocumentEditor::apply(DocumentModel next, const QString& actionName, ChangeCause cause)
{
    auto old = std::make_shared<const DocumentModel>(std::exchange(m_model, std::move(next)));
    const bool ownGroup = !m_undoManager.groupsByEvent();
    if (ownGroup)
        m_undoManager.beginUndoGrouping();
    // Undoing re-applies the old document, which registers the redo step in turn.
    m_undoManager.registerUndo(this, [this, old, actionName] {
        apply(*old, actionName, m_undoManager.isUndoing() ? ChangeCause::undo : ChangeCause::redo);
    });
    m_undoManager.setActionName(actionName);
    if (ownGroup)
        m_undoManager.endUndoGrouping();
    notify(*old, actionName, cause);
}

void DocumentEditor::perform(const QString& actionName, const Mutation& mutate)
{
    cancelInteraction();
    DocumentModel next = m_model;
    mutate(next);
    if (next == m_model)
        return;
    apply(std::move(next), actionName, ChangeCause::perform);
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
    const DocumentModel previous = std::exchange(m_model, std::move(next));
    notify(previous, {}, ChangeCause::interactionUpdate);
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
    apply(std::move(final), actionName, ChangeCause::interactionEnd);
}

void DocumentEditor::cancelInteraction()
{
    if (!m_interactionStart)
        return;
    const DocumentModel previous = std::exchange(m_model, std::move(*m_interactionStart));
    m_interactionStart.reset();
    notify(previous, {}, ChangeCause::interactionCancel);
}

} // namespace vorlix
