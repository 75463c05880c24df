#include "TextViewResponder.h"

#include "ActionRouter.h"
#include "Localization.h"

#include <QMetaObject>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>

template <typename View> TextViewResponder::State TextViewResponder::stateOf(const View* view)
{
    const QTextDocument* document = view->document();
    return State{!view->isReadOnly(),          view->textCursor().hasSelection(),
                 view->canPaste(),             document->isUndoAvailable(),
                 document->isRedoAvailable(),  document->isEmpty()};
}

TextViewResponder::TextViewResponder(QTextEdit* view)
    : m_view(view), m_document(view->document()), m_state([view] { return stateOf(view); })
{
    registerCommands(view, m_document);
}

TextViewResponder::TextViewResponder(QPlainTextEdit* view)
    : m_view(view), m_document(view->document()), m_state([view] { return stateOf(view); })
{
    registerCommands(view, m_document);
}

TextViewResponder::~TextViewResponder()
{
    for (const QMetaObject::Connection& connection : {m_stepAdded, m_undoEmptied, m_redoEmptied})
        QObject::disconnect(connection);
    ActionRouter::setResponderForView(m_view, nullptr);
}

void TextViewResponder::registerCommands(QWidget* view, QTextDocument* document)
{
    // The text's undo counts its changes, several to a step: each step is known by the
    // count at its end. A new step takes the place of every step that could be redone.
    m_stepAdded = QObject::connect(document, &QTextDocument::undoCommandAdded, view, [this] {
        const int end = m_document->availableUndoSteps();
        while (!m_stepEnds.isEmpty() && m_stepEnds.last() >= end)
            m_stepEnds.removeLast();
        m_stepEnds.append(end);
        m_stepNames.removeIf([end](const auto& step) { return step.key() >= end; });
    });
    // Emptied (a text loaded anew), the undo forgets its steps.
    const auto forgetWhenEmpty = [this] {
        if (!m_document->isUndoAvailable() && !m_document->isRedoAvailable()) {
            m_stepEnds.clear();
            m_stepNames.clear();
        }
    };
    m_undoEmptied = QObject::connect(document, &QTextDocument::undoAvailable, view, forgetWhenEmpty);
    m_redoEmptied = QObject::connect(document, &QTextDocument::redoAvailable, view, forgetWhenEmpty);
    for (const char* command : {"cut", "copy", "paste", "selectAll", "undo", "redo"}) {
        registerAction(QString::fromLatin1(command) + QLatin1Char(':'), [view, command](QObject*) {
            QMetaObject::invokeMethod(view, command);
        });
    }
    ActionRouter::setResponderForView(view, this);
}

bool TextViewResponder::validateAction(const QString& selector) const
{
    const State state = m_state();
    if (selector == QLatin1String("cut:"))
        return state.editable && state.hasSelection;
    if (selector == QLatin1String("copy:"))
        return state.hasSelection;
    if (selector == QLatin1String("paste:"))
        return state.editable && state.canPaste;
    if (selector == QLatin1String("selectAll:"))
        return !state.empty;
    if (selector == QLatin1String("undo:"))
        return state.editable && state.undoAvailable;
    if (selector == QLatin1String("redo:"))
        return state.editable && state.redoAvailable;
    return Responder::validateAction(selector);
}

void TextViewResponder::setActionName(const QString& name)
{
    if (m_document->isUndoAvailable())
        m_stepNames.insert(m_document->availableUndoSteps(), name);
}

QString TextViewResponder::undoActionName() const
{
    return m_document->isUndoAvailable() ? m_stepNames.value(m_document->availableUndoSteps())
                                         : QString();
}

QString TextViewResponder::redoActionName() const
{
    if (!m_document->isRedoAvailable())
        return {};
    const auto next =
        std::upper_bound(m_stepEnds.cbegin(), m_stepEnds.cend(), m_document->availableUndoSteps());
    return next == m_stepEnds.cend() ? QString() : m_stepNames.value(*next);
}

QString TextViewResponder::titleForAction(const QString& selector) const
{
    const bool undo = selector == QLatin1String("undo:");
    if (!undo && selector != QLatin1String("redo:"))
        return {};
    const QString name = undo ? undoActionName() : redoActionName();
    if (name.isEmpty())
        return {};
    return localized(undo ? QStringLiteral("Undo") : QStringLiteral("Redo")) + u' ' + name;
}
