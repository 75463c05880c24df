#pragma once

#include <QByteArray>
#include <QString>

class QMimeData;

// The kinds of data the program puts on the clipboard. Flattened RTFD goes under a type of
// our own, since no other Linux program reads it; RTF and plain text go beside it for them.
namespace Pasteboard {

inline const QString RtfdType = QStringLiteral("application/x-norva-rtfd");
inline const QString RtfType = QStringLiteral("text/rtf");
// Graphics of a template design, as old-style property-list text.
inline const QString DesignPboardType = QStringLiteral("application/x-norva-design");
inline const QString TiffType = QStringLiteral("image/tiff");

// Rich text for the clipboard: the RTFD, its RTF and its plain text.
QMimeData* richTextData(const QByteArray& rtfd, const QByteArray& rtf, const QString& plainText);

// Whether the clipboard holds text. The answer is kept until the clipboard changes, so
// that enabling the menu items at every key press asks no other program.
bool hasText();

// Raised at every change of the clipboard, by this program or another, so that a user of
// the clipboard can tell whether its contents are still those it saw.
quint64 changeCount();
// Puts the data on the clipboard, which takes it; the change count has moved on when this
// returns.
void setData(QMimeData* data);
// What the clipboard holds now; nullptr without a clipboard.
const QMimeData* data();

} // namespace Pasteboard
