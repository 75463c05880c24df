#pragma once

#include <QByteArray>
#include <QString>

class QMimeData;

// The kinds of data the program puts on the clipboard. Flattened RTFD goes under a type of
// our own, since no other Linux program reads it; RTF and plain text go beside it for them.
namespace Pasteboard {

inline const QString RtfdType = QStringLiteral("application/x-norva-rtfd");
inline const QString RtfType = QStringLiteral("text/rtf");

// Rich text for the clipboard: the RTFD, its RTF and its plain text.
QMimeData* richTextData(const QByteArray& rtfd, const QByteArray& rtf, const QString& plainText);

// Whether the clipboard holds text. The answer is kept until the clipboard changes, so
// that enabling the menu items at every key press asks no other program.
bool hasText();

} // namespace Pasteboard
