#include "Responder.h"

void Responder::registerAction(const QString& selector, Action action)
{
    m_actions.insert(selector, std::move(action));
}

bool Responder::respondsToAction(const QString& selector) const
{
    return m_actions.contains(selector);
}

bool Responder::performAction(const QString& selector, QObject* sender)
{
    const auto found = m_actions.constFind(selector);
    if (found == m_actions.cend()) {
        return false;
    }
    // A copy: the action may destroy this responder (closing its window) while it runs.
    const Action action = found.value();
    if (action) {
        action(sender);
    }
    return true;
}

bool Responder::validateAction(const QString&) const
{
    return true;
}

bool Responder::permitsAction(const QString&) const
{
    return true;
}

QString Responder::titleForAction(const QString&) const
{
    return {};
}
