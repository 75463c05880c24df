#include "UndoManager.h"

#include "InternalInconsistency.h"
#include "Localization.h"
#include "StringFormat.h"

#include <QTimer>

namespace {
const QString kUndoStrings = QStringLiteral("UndoStrings");
}

UndoManager::UndoManager() = default;
UndoManager::~UndoManager() = default;

std::vector<UndoManager::Group>& UndoManager::targetStack()
{
    return m_state == State::Undoing ? m_redoStack : m_undoStack;
}

void UndoManager::registerUndo(Action action)
{
    if (!action)
        return;
    if (m_level == 0) {
        if (!m_groupsByEvent)
            throw InternalInconsistency(
                QStringLiteral("must begin a group before registering undo"));
        beginUndoGrouping();
        m_openedByEvent = true;
        QTimer::singleShot(0, &m_eventContext, [this] { closeEventGroup(); });
    }
    if (m_state == State::Idle)
        m_redoStack.clear();
    m_open.actions.push_back(std::move(action));
}

void UndoManager::beginUndoGrouping()
{
    ++m_level;
}

void UndoManager::endUndoGrouping()
{
    if (m_level == 0)
        throw InternalInconsistency(
            QStringLiteral("endUndoGrouping called with no matching begin"));
    if (--m_level == 0)
        closeGroup();
}

void UndoManager::closeGroup()
{
    m_openedByEvent = false;
    Group group = std::exchange(m_open, Group());
    if (!group.actions.empty())
        targetStack().push_back(std::move(group));
}

void UndoManager::closeEventGroup()
{
    if (m_openedByEvent && m_level == 1)
        endUndoGrouping();
}

bool UndoManager::canUndo() const
{
    return !m_undoStack.empty() || (m_level > 0 && !m_open.actions.empty());
}

bool UndoManager::canRedo() const
{
    return !m_redoStack.empty();
}

void UndoManager::undo()
{
    closeEventGroup();
    if (m_level > 0)
        throw InternalInconsistency(
            QStringLiteral("undo was called with too many nested undo groups"));
    runStep(m_undoStack, State::Undoing);
}

void UndoManager::redo()
{
    closeEventGroup();
    if (m_level > 0)
        throw InternalInconsistency(
            QStringLiteral("redo was called with too many nested undo groups"));
    runStep(m_redoStack, State::Redoing);
}

void UndoManager::runStep(std::vector<Group>& from, State state)
{
    if (from.empty() || m_state != State::Idle)
        return;
    Group step = std::move(from.back());
    from.pop_back();
    m_state = state;
    // The inverses the actions register form the opposite step, under the same name.
    beginUndoGrouping();
    m_open.name = step.name;
    for (auto action = step.actions.rbegin(); action != step.actions.rend(); ++action)
        (*action)();
    endUndoGrouping();
    m_state = State::Idle;
}

void UndoManager::setActionName(const QString& key)
{
    nameStep(localized(key, kUndoStrings));
}

void UndoManager::setActionName(const QString& formatKey, const QString& argument)
{
    nameStep(stringWithFormat(localized(formatKey, kUndoStrings), argument));
}

void UndoManager::nameStep(const QString& name)
{
    if (m_level > 0)
        m_open.name = name;
    else if (!m_undoStack.empty())
        m_undoStack.back().name = name;
}

QString UndoManager::undoActionName() const
{
    if (m_level > 0 && !m_open.actions.empty())
        return m_open.name;
    return m_undoStack.empty() ? QString() : m_undoStack.back().name;
}

QString UndoManager::redoActionName() const
{
    return m_redoStack.empty() ? QString() : m_redoStack.back().name;
}

void UndoManager::removeAllActions()
{
    m_undoStack.clear();
    m_redoStack.clear();
    m_open = Group();
    m_level = 0;
    m_openedByEvent = false;
}
