#include "ActionRouter.h"

#include "Responder.h"

#include <QSet>

Responder* ActionRouter::targetForAction(const QString& selector, Responder* firstResponder)
{
    // A chain linked back onto itself ends at the first responder met twice.
    QSet<const Responder*> visited;
    for (Responder* responder = firstResponder; responder && !visited.contains(responder);
         responder = responder->nextResponder()) {
        if (responder->respondsToAction(selector)) {
            return responder;
        }
        visited.insert(responder);
    }
    return nullptr;
}

bool ActionRouter::sendAction(const QString& selector, Responder* firstResponder, QObject* sender)
{
    Responder* target = targetForAction(selector, firstResponder);
    return target && target->performAction(selector, sender);
}

bool ActionRouter::validateAction(const QString& selector, Responder* firstResponder)
{
    Responder* target = targetForAction(selector, firstResponder);
    return target && target->validateAction(selector);
}
