#pragma once

#include <QString>

class QObject;
class QWidget;
class Responder;

// Sends named actions along a responder chain: the first responder that handles the
// action performs it, and that same responder decides whether it is enabled.
class ActionRouter {
public:
    // The first responder along the chain from firstResponder that handles the action;
    // nullptr when none does.
    static Responder* targetForAction(const QString& selector, Responder* firstResponder);
    // Whether a responder performed it.
    static bool sendAction(const QString& selector, Responder* firstResponder, QObject* sender);
    // The handler's answer, unless a responder of the chain does not permit it; false
    // when no responder handles it.
    static bool validateAction(const QString& selector, Responder* firstResponder);

    // Where the user's commands go first: the focused view of the active window when it
    // answers commands of its own, else the window's controller, else the application's
    // delegate. The chain goes on from there to the document and the application.
    static Responder* firstResponder();
    // The same for a given window, active or not: its focused view (the one that gets the
    // focus back when the window is activated), its controller, the application's
    // delegate. A window's toolbar sends its commands here.
    static Responder* firstResponderForWindow(QWidget* window);
    // A view's own responder; nullptr takes it away. The responder must outlive the entry.
    static void setResponderForView(QWidget* view, Responder* responder);
    static Responder* responderForView(const QWidget* view);
};
