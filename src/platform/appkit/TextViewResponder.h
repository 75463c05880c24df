#pragma once

#include "Responder.h"

#include <functional>

class QPlainTextEdit;
class QTextEdit;
class QWidget;

// The standard text commands (cut:, copy:, paste:, selectAll:, undo:, redo:) of a text
// view, answered by the view itself while it has the focus. A view that holds one is
// found by ActionRouter::firstResponder().
class TextViewResponder : public Responder {
public:
    explicit TextViewResponder(QTextEdit* view);
    explicit TextViewResponder(QPlainTextEdit* view);
    ~TextViewResponder() override;

    bool validateAction(const QString& selector) const override;

private:
    struct State {
        bool editable = false;
        bool hasSelection = false;
        bool canPaste = false;
        bool undoAvailable = false;
        bool redoAvailable = false;
        bool empty = true;
    };
    template <typename View> static State stateOf(const View* view);
    void registerCommands(QWidget* view);

    QWidget* m_view;
    std::function<State()> m_state;
};
