#include "LinkLook.h"

#include <QTextCursor>

QTextEdit::ExtraSelection linkLook(QTextDocument* document, int start, int end,
                                   const QPalette& palette)
{
    QTextCharFormat look;
    look.setForeground(palette.link());
    look.setFontUnderline(true);
    QTextCursor cursor(document);
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    return {cursor, look};
}
