#include "StopKeyMonitor.h"

#include <QCoreApplication>
#include <QKeyEvent>

StopKeyMonitor::StopKeyMonitor()
{
    QCoreApplication::instance()->installEventFilter(this);
}

StopKeyMonitor::~StopKeyMonitor()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

bool StopKeyMonitor::eventFilter(QObject*, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        event->accept(); // no menu shortcut either
        return true;
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if ((key->key() == Qt::Key_Escape && modifiers == Qt::NoModifier) ||
            (key->key() == Qt::Key_Period && modifiers == Qt::ControlModifier))
            m_stopped.store(true, std::memory_order_relaxed);
        return true;
    }
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
        return true;
    default:
        return false;
    }
}
