#include "TextViewResponder.h"

#include "ActionRouter.h"

#include <QMetaObject>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextEdit>

template <typename View> TextViewResponder::State TextViewResponder::stateOf(const View* view)
{
    const QTextDocument* document = view->document();
    return State{!view->isReadOnly(),          view->textCursor().hasSelection(),
                 view->canPaste(),             document->isUndoAvailable(),
                 document->isRedoAvailable(),  document->isEmpty()};
}

TextViewResponder::TextViewResponder(QTextEdit* view)
    : m_view(view), m_state([view] { return stateOf(view); })
{
    registerCommands(view);
}

TextViewResponder::TextViewResponder(QPlainTextEdit* view)
    : m_view(view), m_state([view] { return stateOf(view); })
{
    registerCommands(view);
}

TextViewResponder::~TextViewResponder()
{
    ActionRouter::setResponderForView(m_view, nullptr);
}

void TextViewResponder::registerCommands(QWidget* view)
{
    // Both kinds of text view have these slots by the same names.
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
