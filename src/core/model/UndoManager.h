#pragma once
// Undo and redo stacks of named groups of undo handlers.
//
// Registrations made while undoing form the redo step, those made while redoing
// form the undo step again; any other registration starts a new undo step and
// forgets the redo stack. With `groupsByEvent` on (the default), registrations
// made in one turn of the event loop fall into one implicit group, closed on the
// next turn. Handlers are registered for a target so that an object going away can
// take its handlers with it.

#include <QObject>
#include <QString>

#include <functional>
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

signals:
    // The stacks or their names changed: menus refresh from here.
    void changed();

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

    std::vector<Group> m_undoStack;
    std::vector<Group> m_redoStack;
    Group m_openGroup;
    int m_groupingLevel = 0;
    bool m_eventGroupOpen = false;
    bool m_groupsByEvent = true;
    bool m_undoing = false;
    bool m_redoing = false;
    Group* m_replayGroup = nullptr; // the inverse step collected while undoing or redoing
};

} // namespace vorlix
