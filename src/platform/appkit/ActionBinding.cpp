#include "ActionBinding.h"

#include "ActionRouter.h"
#include "Responder.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QTimer>
#include <QWindow>

ActionBinding::ActionBinding(FirstResponderFunction firstResponder, QObject* parent)
    : QObject(parent), m_firstResponder(std::move(firstResponder))
{
    if (QCoreApplication* application = QCoreApplication::instance())
        application->installEventFilter(this);
    // What the first responder is, and so what may run, changes with the active window
    // and the focused view.
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(gui, &QGuiApplication::focusWindowChanged, this, [this] { validateSoon(); });
    if (auto* widgets = qobject_cast<QApplication*>(QCoreApplication::instance()))
        connect(widgets, &QApplication::focusChanged, this, [this] { validateSoon(); });
}

bool ActionBinding::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // One key press is offered to the focused widget and then to its parents: one pass.
        if (!m_validatedThisTurn) {
            m_validatedThisTurn = true;
            QTimer::singleShot(0, this, [this] { m_validatedThisTurn = false; });
            validateActions();
        }
        break;
    // Whatever the user did may have changed what the commands can do (a selection, an
    // edit); each event reaches several widgets, but one pass after them all will do.
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::Drop:
    case QEvent::WindowActivate:
        validateSoon();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void ActionBinding::validateSoon()
{
    if (m_passPending)
        return;
    m_passPending = true;
    QTimer::singleShot(0, this, [this] {
        m_passPending = false;
        validateActions();
    });
}

void ActionBinding::bind(QAction* action, const QString& selector, QObject* sender,
                         Responder* target)
{
    if (!m_bindings.contains(action)) {
        connect(action, &QAction::triggered, this, [this, action]() { trigger(action); });
        connect(action, &QObject::destroyed, this, [this, action]() {
            m_bindings.remove(action);
            m_ownTitles.remove(action);
        });
    }
    m_bindings.insert(action, Binding{selector, sender, sender == nullptr, target});
}

void ActionBinding::unbind(QAction* action)
{
    retitle(action, QString());
    if (m_bindings.remove(action))
        disconnect(action, nullptr, this, nullptr);
}

QString ActionBinding::selectorFor(const QAction* action) const
{
    return m_bindings.value(const_cast<QAction*>(action)).selector;
}

void ActionBinding::validateActions(QMenu* menu)
{
    Responder* firstResponder = currentFirstResponder();
    const QList<QAction*> actions = menu->actions();
    for (QAction* action : actions) {
        const auto found = m_bindings.constFind(action);
        if (found != m_bindings.cend())
            validate(action, found.value(), firstResponder);
    }
}

void ActionBinding::validateActions()
{
    Responder* firstResponder = currentFirstResponder();
    // A copy: enabling an action may run code that binds or drops another.
    const QHash<QAction*, Binding> bindings = m_bindings;
    for (auto it = bindings.cbegin(); it != bindings.cend(); ++it) {
        if (m_bindings.contains(it.key()))
            validate(it.key(), it.value(), firstResponder);
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

void ActionBinding::validate(QAction* action, const Binding& binding, Responder* firstResponder)
{
    const bool enabled = binding.target
                             ? binding.target->respondsToAction(binding.selector) &&
                                   binding.target->validateAction(binding.selector)
                             : ActionRouter::validateAction(binding.selector, firstResponder);
    action->setEnabled(enabled);
    // A disabled item reads as its handler says too: the item is the handler's own.
    const Responder* handler =
        binding.target ? binding.target
                       : ActionRouter::targetForAction(binding.selector, firstResponder);
    retitle(action, handler ? handler->titleForAction(binding.selector) : QString());
}

void ActionBinding::retitle(QAction* action, const QString& title)
{
    const auto own = m_ownTitles.constFind(action);
    if (title.isEmpty()) {
        if (own != m_ownTitles.cend()) {
            action->setText(own.value());
            m_ownTitles.erase(own);
        }
        return;
    }
    if (own == m_ownTitles.cend())
        m_ownTitles.insert(action, action->text());
    if (action->text() != title)
        action->setText(title);
}

void ActionBinding::trigger(QAction* action)
{
    const auto found = m_bindings.constFind(action);
    if (found == m_bindings.cend())
        return;
    const Binding binding = found.value();
    QObject* sender = binding.ownSender ? action : binding.sender.data();
    if (!binding.ownSender && !sender)
        return;
    if (binding.target) {
        if (binding.target->validateAction(binding.selector))
            binding.target->performAction(binding.selector, sender);
        return;
    }
    Responder* firstResponder = currentFirstResponder();
    // A shortcut can fire while its menu was last validated under other circumstances.
    if (ActionRouter::validateAction(binding.selector, firstResponder))
        ActionRouter::sendAction(binding.selector, firstResponder, sender);
}
