#pragma once

#include <QString>

class QObject;
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
    // False when no responder handles it.
    static bool validateAction(const QString& selector, Responder* firstResponder);
};
