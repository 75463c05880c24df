#include "ActionBinding.h"

#include "ActionRouter.h"
#include "Responder.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QMenu>
#include <QTimer>

ActionBinding::ActionBinding(FirstResponderFunction firstResponder, QObject* parent)
    : QObject(parent), m_firstResponder(std::move(firstResponder))
{
    if (QCoreApplication* application = QCoreApplication::instance())
        application->installEventFilter(this);
}

bool ActionBinding::eventFilter(QObject* watched, QEvent* event)
{
    // One key press is offered to the focused widget and then to its parents: one pass.
    if (event->type() == QEvent::ShortcutOverride && !m_validatedThisTurn) {
        m_validatedThisTurn = true;
        QTimer::singleShot(0, this, [this] { m_validatedThisTurn = false; });
        validateActions();
    }
    return QObject::eventFilter(watched, event);
}

void ActionBinding::bind(QAction* action, const QString& selector)
{
    if (!m_selectors.contains(action)) {
        connect(action, &QAction::triggered, this, [this, action]() { trigger(action); });
        connect(action, &QObject::destroyed, this,
                [this, action]() { m_selectors.remove(action); });
    }
    m_selectors.insert(action, selector);
}

QString ActionBinding::selectorFor(const QAction* action) const
{
    return m_selectors.value(const_cast<QAction*>(action));
}

void ActionBinding::validateActions(QMenu* menu)
{
    const QList<QAction*> actions = menu->actions();
    for (QAction* action : actions) {
        const auto found = m_selectors.constFind(action);
        if (found != m_selectors.cend()) {
            validate(action, found.value());
        }
    }
}

void ActionBinding::validateActions()
{
    for (auto it = m_selectors.cbegin(); it != m_selectors.cend(); ++it) {
        validate(it.key(), it.value());
    }
}

void ActionBinding::validateWhenShown(QMenu* menu)
{
    connect(menu, &QMenu::aboutToShow, this, [this, menu]() { validateActions(menu); });
}

Responder* ActionBinding::currentFirstResponder() const
{
    return m_firstResponder ? m_firstResponder() : nullptr;
}

void ActionBinding::validate(QAction* action, const QString& selector)
{
    action->setEnabled(ActionRouter::validateAction(selector, currentFirstResponder()));
}

void ActionBinding::trigger(QAction* action)
{
    const QString selector = m_selectors.value(action);
    Responder* firstResponder = currentFirstResponder();
    // A shortcut can fire while its menu was last validated under other circumstances.
    if (ActionRouter::validateAction(selector, firstResponder)) {
        ActionRouter::sendAction(selector, firstResponder, action);
    }
}
