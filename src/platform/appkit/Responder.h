#pragma once

#include <QHash>
#include <QString>

#include <functional>

class QObject;

// Something that handles named actions ("saveDocument:"), with the next responder to
// ask when it does not. Each subclass registers its actions by name, so tables keyed by
// the action's name work as they stand. The chain links do not own.
class Responder {
public:
    using Action = std::function<void(QObject* sender)>;

    virtual ~Responder() = default;

    // The one set, or the one the architecture gives this kind of responder (a window
    // controller hands on to its document, a document to the application's delegate).
    virtual Responder* nextResponder() const { return m_nextResponder; }
    void setNextResponder(Responder* next) { m_nextResponder = next; }

    // Replaces any action registered under that name.
    void registerAction(const QString& selector, Action action);
    bool respondsToAction(const QString& selector) const;
    // Runs the registered action; false when there is none by that name.
    bool performAction(const QString& selector, QObject* sender = nullptr);

    // Whether an action this responder handles may run now; asked before menus show.
    virtual bool validateAction(const QString& selector) const;
    // Whether an action that passes this responder on its way along the chain, whoever
    // handles it, may run now: a window rules the commands of its views and its document.
    virtual bool permitsAction(const QString& selector) const;
    // The title the action's menu items show now, when this responder handles it and says
    // what it would do ("Undo FTA Sort"); empty leaves them their own.
    virtual QString titleForAction(const QString& selector) const;

private:
    QHash<QString, Action> m_actions;
    Responder* m_nextResponder = nullptr;
};
