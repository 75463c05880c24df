#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

// Undo and redo as closures, one group per user action. A registration with no group
// open opens one that closes when control returns to the event loop, so everything one
// user action changes is one step. Registrations made while undoing go to the redo stack,
// those made while redoing to the undo stack; any other registration forgets what could
// be redone. A group that registered nothing is dropped.
class UndoManager {
public:
    using Action = std::function<void()>;

    UndoManager();
    ~UndoManager();
    UndoManager(const UndoManager&) = delete;
    UndoManager& operator=(const UndoManager&) = delete;

    void registerUndo(Action action);

    // Groups nest; the outermost end closes the step. An end without a begin is a fault.
    void beginUndoGrouping();
    void endUndoGrouping();
    int groupingLevel() const { return m_level; }
    // Whether a registration with no group open opens one of its own (the default).
    void setGroupsByEvent(bool groupsByEvent) { m_groupsByEvent = groupsByEvent; }
    bool groupsByEvent() const { return m_groupsByEvent; }

    bool canUndo() const;
    bool canRedo() const;
    // Runs the last step's actions, newest first. The group opened for the current event
    // is closed first; a group opened explicitly and still open is a fault.
    void undo();
    void redo();
    bool isUndoing() const { return m_state == State::Undoing; }
    bool isRedoing() const { return m_state == State::Redoing; }

    // Names the step being recorded (or, with none open, the last one) with the text of
    // the key in the "UndoStrings" table.
    void setActionName(const QString& key);
    // The same for a format key of that table ("Create %@") filled with one text.
    void setActionName(const QString& formatKey, const QString& argument);
    // The names of the steps Undo and Redo would take; empty when unnamed or none.
    QString undoActionName() const;
    QString redoActionName() const;

    void removeAllActions();

private:
    struct Group {
        std::vector<Action> actions;
        QString name;
    };
    enum class State { Idle, Undoing, Redoing };

    std::vector<Group>& targetStack();
    void closeGroup();
    void nameStep(const QString& name);
    void closeEventGroup();
    void runStep(std::vector<Group>& from, State state);

    std::vector<Group> m_undoStack;
    std::vector<Group> m_redoStack;
    Group m_open;
    int m_level = 0;
    bool m_openedByEvent = false;
    bool m_groupsByEvent = true;
    State m_state = State::Idle;
    // Context of the deferred close of the event's group; gone with the manager.
    QObject m_eventContext;
};
