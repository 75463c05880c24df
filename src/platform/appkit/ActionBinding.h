#pragma once

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QMenu;
class Responder;

// Ties menu and toolbar actions to named actions: triggering one sends its name to the
// current first responder, and validation enables it as the responder chain answers.
class ActionBinding : public QObject {
    Q_OBJECT

public:
    using FirstResponderFunction = std::function<Responder*()>;

    explicit ActionBinding(FirstResponderFunction firstResponder, QObject* parent = nullptr);

    // Binding an action again gives it the new name.
    void bind(QAction* action, const QString& selector);
    // Empty when the action is not bound here.
    QString selectorFor(const QAction* action) const;

    // Enables each action of the menu bound here by whether the chain validates it.
    void validateActions(QMenu* menu);
    // The same for every action bound here (toolbars have no moment before showing).
    void validateActions();
    // Validates the menu's actions each time it is about to show.
    void validateWhenShown(QMenu* menu);

protected:
    // Before a key press can match a shortcut, every action is validated afresh, so a
    // key equivalent works exactly when its menu item would.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Responder* currentFirstResponder() const;
    void validate(QAction* action, const QString& selector);
    void trigger(QAction* action);

    FirstResponderFunction m_firstResponder;
    QHash<QAction*, QString> m_selectors;
    bool m_validatedThisTurn = false;
};
