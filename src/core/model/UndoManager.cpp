#include "core/model/UndoManager.h"

#include <QTimer>

#include <algorithm>
#include <utility>

namespace vorlix {

UndoManager::UndoManager(QObject* parent) : QObject(parent) {}

UndoManager::~UndoManager() = default;

void UndoManager::beginUndoGrouping()
{
    if (m_groupingLevel == 0)
        m_openGroup = Group{};
    ++m_groupingLevel;
}

void UndoManager::endUndoGrouping()
{
    if (m_groupingLevel == 0)
        return;
    if (--m_groupingLevel > 0)
        return;
    if (m_eventGroupOpen)
        m_eventGroupOpen = false;
    if (!m_openGroup.registrations.empty()) {
        // The open group already counted as a step: the depth does not change.
        m_undoStack.push_back(std::move(m_openGroup));
        m_openGroup = Group{};
        announce(isClean());
    }
    m_openGroup = Group{};
}

void UndoManager::closeEventGroup()
{
    if (m_eventGroupOpen && m_groupingLevel == 1)
        endUndoGrouping();
}

void UndoManager::closeOpenGroups()
{
    while (m_groupingLevel > 0)
        endUndoGrouping();
}

void UndoManager::registerUndo(const void* target, Handler handler)
{
    if (m_replayGroup) {
        m_replayGroup->registrations.push_back({target, std::move(handler)});
        return;
    }
    const bool wasClean = isClean();
    // A clean step among the redo steps cannot be reached again.
    if (!m_redoStack.empty() && m_cleanDepth && *m_cleanDepth > depth())
        m_cleanDepth.reset();
    if (m_groupingLevel == 0 && m_groupsByEvent) {
        beginUndoGrouping();
        m_eventGroupOpen = true;
        QTimer::singleShot(0, this, &UndoManager::closeEventGroup);
    }
    if (m_groupingLevel == 0) {
        // Outside any group: a step of its own.
        m_undoStack.push_back(Group{{}, {{target, std::move(handler)}}});
    } else {
        m_openGroup.registrations.push_back({target, std::move(handler)});
    }
    if (!m_redoStack.empty()) {
        m_redoStack.clear();
    }
    announce(wasClean);
}

void UndoManager::setActionName(const QString& name)
{
    if (m_replayGroup)
        m_replayGroup->actionName = name;
    else if (m_groupingLevel > 0)
        m_openGroup.actionName = name;
    else if (!m_undoStack.empty())
        m_undoStack.back().actionName = name;
    emit changed();
}

bool UndoManager::canUndo() const { return !m_undoStack.empty() || !m_openGroup.registrations.empty(); }

QString UndoManager::undoActionName() const
{
    if (!m_openGroup.registrations.empty())
        return m_openGroup.actionName;
    return m_undoStack.empty() ? QString() : m_undoStack.back().actionName;
}

QString UndoManager::redoActionName() const { return m_redoStack.empty() ? QString() : m_redoStack.back().actionName; }

void UndoManager::runGroup(Group group, bool undoing)
{
    // The group was taken off its stack already: an undone step no longer counts.
    const bool wasClean = m_cleanDepth && *m_cleanDepth == depth() + (undoing ? 1 : 0);
    Group inverse{group.actionName, {}};
    m_replayGroup = &inverse;
    (undoing ? m_undoing : m_redoing) = true;
    for (auto it = group.registrations.rbegin(); it != group.registrations.rend(); ++it)
        it->handler();
    (undoing ? m_undoing : m_redoing) = false;
    m_replayGroup = nullptr;
    if (!inverse.registrations.empty())
        (undoing ? m_redoStack : m_undoStack).push_back(std::move(inverse));
    announce(wasClean);
}

void UndoManager::undo()
{
    if (m_replayGroup)
        return;
    closeOpenGroups();
    if (m_undoStack.empty())
        return;
    Group group = std::move(m_undoStack.back());
    m_undoStack.pop_back();
    runGroup(std::move(group), true);
}

void UndoManager::redo()
{
    if (m_replayGroup)
        return;
    closeOpenGroups();
    if (m_redoStack.empty())
        return;
    Group group = std::move(m_redoStack.back());
    m_redoStack.pop_back();
    runGroup(std::move(group), false);
}

void UndoManager::removeAllActions()
{
    const bool wasClean = isClean();
    m_undoStack.clear();
    m_redoStack.clear();
    m_openGroup.registrations.clear();
    m_cleanDepth = wasClean ? std::optional<std::size_t>(0) : std::nullopt;
    announce(wasClean);
}

void UndoManager::removeAllActions(const void* target)
{
    const bool wasClean = isClean();
    const auto strip = [target](Group& g) {
        std::erase_if(g.registrations, [target](const Registration& r) { return r.target == target; });
    };
    const auto isEmpty = [](const Group& g) { return g.registrations.empty(); };
    for (Group& g : m_undoStack)
        strip(g);
    for (Group& g : m_redoStack)
        strip(g);
    strip(m_openGroup);
    std::erase_if(m_undoStack, isEmpty);
    std::erase_if(m_redoStack, isEmpty);
    // Steps were taken out from anywhere: only a clean present stays known.
    m_cleanDepth = wasClean ? std::optional<std::size_t>(depth()) : std::nullopt;
    announce(wasClean);
}

void UndoManager::markClean()
{
    const bool wasClean = isClean();
    closeOpenGroups();
    m_cleanDepth = depth();
    announce(wasClean);
}

bool UndoManager::isClean() const { return m_cleanDepth && *m_cleanDepth == depth(); }

std::size_t UndoManager::depth() const { return m_undoStack.size() + (m_openGroup.registrations.empty() ? 0 : 1); }

void UndoManager::announce(bool wasClean)
{
    emit changed();
    if (const bool clean = isClean(); clean != wasClean)
        emit cleanChanged(clean);
}

} // namespace vorlix
