#include "FindBoxView.h"

#include <QKeyEvent>
#include <QTextCursor>

FindBoxView::FindBoxView(QWidget* parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(false);
    setAccessibleName(tr("Find Box"));
}

void FindBoxView::selectAllText()
{
    QTextCursor cursor(document());
    cursor.select(QTextCursor::Document);
    setTextCursor(cursor);
}

void FindBoxView::keyPressEvent(QKeyEvent* event)
{
    QString replacement;
    switch (event->key()) {
    case Qt::Key_Return:
        replacement = QStringLiteral("\n");
        break;
    case Qt::Key_Enter:
        replacement = QStringLiteral("\x03");
        break;
    case Qt::Key_Tab:
        replacement = QStringLiteral("\t");
        break;
    default:
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    if (!m_shouldChange || m_shouldChange(replacement, event->modifiers())) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    event->accept();
}
