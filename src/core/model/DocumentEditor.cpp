#include "core/model/DocumentEditor.h"

#include <algorithm>
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
    : m_listeners(std::make_shared<Subscription::Listeners>()),
      m_model(std::move(model)),
      m_stored(stored(m_model, {})),
      m_undoManager(undoManager)
{
}

DocumentModel DocumentEditor::StoredDocument::model() const
{
    DocumentModel model = rest;
    model.panels.reserve(panels.size());
    for (const std::shared_ptr<const Panel>& panel : panels)
        model.panels.push_back(*panel);
    model.annotations = *annotations;
    return model;
}

DocumentEditor::StoredDocument DocumentEditor::stored(DocumentModel& model, const StoredDocument& previous)
{
    StoredDocument out;
    // Every other field, without copying the panels and annotations on the way.
    std::vector<Panel> panels = std::move(model.panels);
    std::vector<Annotation> annotations = std::move(model.annotations);
    out.rest = model;
    model.panels = std::move(panels);
    model.annotations = std::move(annotations);
    // Panels mostly keep their places: look at the same place first, then by id.
    out.panels.reserve(model.panels.size());
    for (std::size_t i = 0; i < model.panels.size(); ++i) {
        const Panel& panel = model.panels[i];
        std::shared_ptr<const Panel> reused;
        if (i < previous.panels.size() && previous.panels[i]->id == panel.id) {
            reused = previous.panels[i];
        } else {
            const auto same = std::find_if(previous.panels.begin(), previous.panels.end(),
                                           [&](const auto& p) { return p->id == panel.id; });
            if (same != previous.panels.end())
                reused = *same;
        }
        out.panels.push_back(reused && *reused == panel ? reused : std::make_shared<const Panel>(panel));
    }
    out.annotations = previous.annotations && *previous.annotations == model.annotations
                          ? previous.annotations
                          : std::make_shared<const std::vector<Annotation>>(model.annotations);
    return out;
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
    const DocumentModel old = std::exchange(m_model, std::move(next));
    auto oldStored = std::make_shared<const StoredDocument>(std::exchange(m_stored, stored(m_model, m_stored)));
    const bool ownGroup = !m_undoManager.groupsByEvent();
    if (ownGroup)
        m_undoManager.beginUndoGrouping();
    // Undoing re-applies the old document, which registers the redo step in turn.
    m_undoManager.registerUndo(this, [this, oldStored, actionName] {
        apply(oldStored->model(), actionName, m_undoManager.isUndoing() ? ChangeCause::undo : ChangeCause::redo);
    });
    m_undoManager.setActionName(actionName);
    if (ownGroup)
        m_undoManager.endUndoGrouping();
    notify(old, actionName, cause);
}

void DocumentEditor::finishOpenInteraction()
{
    if (!m_interactionStart || !m_finishInteraction)
        return;
    const std::function<void()> finish = std::exchange(m_finishInteraction, nullptr);
    finish();
}

void DocumentEditor::perform(const QString& actionName, const Mutation& mutate)
{
    finishOpenInteraction();
    cancelInteraction();
    DocumentModel next = m_model;
    mutate(next);
    if (next == m_model)
        return;
    apply(std::move(next), actionName, ChangeCause::perform);
}

void DocumentEditor::beginInteraction()
{
    finishOpenInteraction();
    if (!m_interactionStart)
        m_interactionStart = m_model;
}

void DocumentEditor::beginInteraction(std::function<void()> finish)
{
    beginInteraction();
    m_finishInteraction = std::move(finish);
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
    m_finishInteraction = nullptr;
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
    m_finishInteraction = nullptr;
    if (!m_interactionStart)
        return;
    const DocumentModel previous = std::exchange(m_model, std::move(*m_interactionStart));
    m_interactionStart.reset();
    notify(previous, {}, ChangeCause::interactionCancel);
}

} // namespace vorlix
