#pragma once
// Undo and redo stacks of named groups of undo handlers.
//
// Registrations made while undoing form the redo step, those made while redoing
// form the undo step again; any other registration starts a new undo step and
// forgets the redo stack. With `groupsByEvent` on (the default), registrations
// made in one turn of the event loop fall into one implicit group, closed on the
// next turn. Handlers are registered for a target so that an object going away can
// take its handlers with it.
//
// The clean point is the step the document was last saved at: the manager is clean
// while undo and redo have brought it back there, and modified otherwise; once a new
// step replaces the redo steps that led back to it, it stays modified until the next
// `markClean`.

#include <QObject>
#include <QString>

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

namespace vorlix {

class UndoManager : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void()>;

    explicit UndoManager(QObject* parent = nullptr);
    ~UndoManager() override;

    bool groupsByEvent() const { return m_groupsByEvent; }
    void setGroupsByEvent(bool on) { m_groupsByEvent = on; }

    void beginUndoGrouping();
    void endUndoGrouping();
    int groupingLevel() const { return m_groupingLevel; }

    void registerUndo(const void* target, Handler handler);
    // Names the step being recorded (or, with none open, the newest undo step).
    void setActionName(const QString& name);

    bool canUndo() const;
    bool canRedo() const { return !m_redoStack.empty(); }
    QString undoActionName() const;
    QString redoActionName() const;
    bool isUndoing() const { return m_undoing; }
    bool isRedoing() const { return m_redoing; }

    void undo();
    void redo();

    void removeAllActions();
    void removeAllActions(const void* target);

    // Makes the present step the clean point (after a save); closes open groups, so
    // that a later change is a step of its own.
    void markClean();
    bool isClean() const;

signals:
    // The stacks or their names changed: menus refresh from here.
    void changed();
    // The manager became clean or modified.
    void cleanChanged(bool clean);

private:
    struct Registration {
        const void* target;
        Handler handler;
    };
    struct Group {
        QString actionName;
        std::vector<Registration> registrations;
    };

    void closeOpenGroups();
    void closeEventGroup();
    void runGroup(Group group, bool undoing);
    // Steps done from the start: the undo steps, an open group with registrations counting as one.
    std::size_t depth() const;
    // Emits `changed`, and `cleanChanged` when the state differs from `wasClean`.
    void announce(bool wasClean);

    std::vector<Group> m_undoStack;
    std::vector<Group> m_redoStack;
    Group m_openGroup;
    int m_groupingLevel = 0;
    bool m_eventGroupOpen = false;
    bool m_groupsByEvent = true;
    bool m_undoing = false;
    bool m_redoing = false;
    Group* m_replayGroup = nullptr;              // the inverse step collected while undoing or redoing
    std::optional<std::size_t> m_cleanDepth = 0; // nothing: the clean step is gone
};

} // namespace vorlix
