#pragma once

#include "Responder.h"

#include <QList>
#include <QMap>
#include <QMetaObject>
#include <QString>

#include <functional>

class QPlainTextEdit;
class QTextDocument;
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
    // Undo and Redo say which step they take back or do again, when it has a name.
    QString titleForAction(const QString& selector) const override;

    // Names the step of the text's undo done last ("FTA Sort"); the name goes with the
    // step, and with it when a new edit takes its place.
    void setActionName(const QString& name);
    // The names of the steps Undo and Redo would take now; empty when unnamed.
    QString undoActionName() const;
    QString redoActionName() const;

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
    void registerCommands(QWidget* view, QTextDocument* document);

    QWidget* m_view;
    QTextDocument* m_document;
    std::function<State()> m_state;
    QList<int> m_stepEnds;
    QMap<int, QString> m_stepNames;
    QMetaObject::Connection m_stepAdded;
    QMetaObject::Connection m_undoEmptied;
    QMetaObject::Connection m_redoEmptied;
};
