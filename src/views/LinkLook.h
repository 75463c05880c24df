#pragma once

#include <QTextEdit>

// How the text editors show a link: underlined in the palette's link colour, as an
// extra selection over its range, so that the look never enters the text's own formats.
// The selection's cursor follows later edits of the text.
QTextEdit::ExtraSelection linkLook(QTextDocument* document, int start, int end,
                                   const QPalette& palette);
