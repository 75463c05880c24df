#include "ActionRouter.h"

#include "Application.h"
#include "Responder.h"
#include "WindowController.h"

#include <QApplication>
#include <QSet>
#include <QVariant>
#include <QWidget>

namespace {
const char* const viewResponderProperty = "norvaViewResponder";
}

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
    if (!target || !target->validateAction(selector))
        return false;
    QSet<const Responder*> visited;
    for (Responder* responder = firstResponder; responder && !visited.contains(responder);
         responder = responder->nextResponder()) {
        if (!responder->permitsAction(selector))
            return false;
        visited.insert(responder);
    }
    return true;
}

void ActionRouter::setResponderForView(QWidget* view, Responder* responder)
{
    if (view)
        view->setProperty(viewResponderProperty,
                          responder ? QVariant::fromValue(static_cast<void*>(responder))
                                    : QVariant());
}

Responder* ActionRouter::responderForView(const QWidget* view)
{
    return view ? static_cast<Responder*>(view->property(viewResponderProperty).value<void*>())
                : nullptr;
}

namespace {

Responder* firstResponderFrom(QWidget* window, QWidget* focused)
{
    Responder* windowResponder = WindowController::controllerForWindow(window);
    if (!windowResponder)
        windowResponder = dynamic_cast<Responder*>(Application::shared().delegate());
    if (focused && focused->window() != window)
        focused = nullptr;
    for (QWidget* view = focused; view && view != window; view = view->parentWidget()) {
        if (Responder* own = ActionRouter::responderForView(view)) {
            own->setNextResponder(windowResponder);
            return own;
        }
    }
    return windowResponder;
}

} // namespace

Responder* ActionRouter::firstResponder()
{
    return firstResponderFrom(QApplication::activeWindow(), QApplication::focusWidget());
}

Responder* ActionRouter::firstResponderForWindow(QWidget* window)
{
    if (window)
        window = window->window();
    if (window && window == QApplication::activeWindow())
        return firstResponder();
    return firstResponderFrom(window, window ? window->focusWidget() : nullptr);
}
