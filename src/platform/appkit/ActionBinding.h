#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QAction;
class QMenu;
class Responder;

// Ties menu and toolbar actions to named actions: triggering one sends its name to the
// current first responder, and validation enables it as the responder chain answers.
//
// Enabling is kept fresh without anyone asking: every action is validated before a key
// press can match a shortcut, a menu's actions before it shows, and all of them once
// after the turn of the event loop in which a window was activated, the focus moved or
// the user pressed a key or a mouse button. An action takes the title the responder
// that handles it gives (Undo names the step it takes back, a template window names its
// pages), enabled or not, and gets its own back once another responder handles it.
class ActionBinding : public QObject {
    Q_OBJECT

public:
    using FirstResponderFunction = std::function<Responder*()>;

    explicit ActionBinding(FirstResponderFunction firstResponder, QObject* parent = nullptr);

    // Binding an action again gives it the new name. The sender the responder sees is
    // the action itself unless another is given (a toolbar item sends itself). With a
    // target the action goes to it alone, and it alone decides the enabling; the target
    // must outlive the binding of the action.
    void bind(QAction* action, const QString& selector, QObject* sender = nullptr,
              Responder* target = nullptr);
    void unbind(QAction* action);
    // Empty when the action is not bound here.
    QString selectorFor(const QAction* action) const;

    // Enables each action of the menu bound here by whether the chain validates it.
    void validateActions(QMenu* menu);
    // The same for every action bound here.
    void validateActions();
    // Validates the menu's actions each time it is about to show.
    void validateWhenShown(QMenu* menu);
    // Validates every action once the present turn of the event loop is over; calls in
    // the same turn share that one pass.
    void validateSoon();

protected:
    // Before a key press can match a shortcut, every action is validated afresh, so a
    // key equivalent works exactly when its menu item would.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Binding {
        QString selector;
        QPointer<QObject> sender;
        bool ownSender = true;
        Responder* target = nullptr;
    };

    Responder* currentFirstResponder() const;
    void validate(QAction* action, const Binding& binding, Responder* firstResponder);
    // The handler's title, or the action's own again when it gives none.
    void retitle(QAction* action, const QString& title);
    void trigger(QAction* action);

    FirstResponderFunction m_firstResponder;
    QHash<QAction*, Binding> m_bindings;
    // The own titles of the actions that show their handler's.
    QHash<QAction*, QString> m_ownTitles;
    bool m_validatedThisTurn = false;
    bool m_passPending = false;
};
