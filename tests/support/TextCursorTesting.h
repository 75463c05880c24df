#pragma once

// Selecting in a text view and reading its text's attributes, as tests of text commands do.
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

inline void selectText(QTextEdit* view, int from, int to)
{
    QTextCursor cursor(view->document());
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    view->setTextCursor(cursor);
}

// The attributes of the character at the position.
inline QTextCharFormat formatAt(const QTextDocument* document, int position)
{
    QTextCursor cursor(const_cast<QTextDocument*>(document));
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

inline QTextCharFormat formatAt(const QTextEdit* view, int position)
{
    return formatAt(view->document(), position);
}
