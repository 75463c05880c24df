#pragma once

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QString>

#include <functional>
#include <optional>

class QTextBlockFormat;
class QTextCharFormat;
class QTextCursor;
class QTextDocument;
class QTextEdit;

// Edits of a Freeform Text the text commands make, on a text view's document or on a
// record's stored rich text alike.
namespace FreeformTextEdits {

// Each stretch of the range's text in its own format, changed; one step for undo.
void changeCharacterFormats(const QTextCursor& range,
                            const std::function<void(QTextCharFormat&)>& change);

// Each paragraph the range touches in its own format, changed; one step for undo.
void changeParagraphFormats(const QTextCursor& range,
                            const std::function<void(QTextBlockFormat&)>& change);

// The attributes the text shows at the selection's start: of the character there, at the
// text's end of the one before it, in an empty text those typing uses.
QTextCharFormat formatAtSelectionStart(const QTextEdit* view);

// Line feeds and carriage returns at the very start go; blank lines further down stay.
// Whether any went.
bool removeLeadingLineBreaks(QString& text);
bool removeLeadingLineBreaks(QTextDocument& document);

// Takes the background colour off the range (a cursor without a selection: nothing).
void removeBackgroundColors(QTextCursor range);
// The range in the font, without its own background and text colours and underline,
// and without shadows when asked.
void applyDefaultFont(QTextCursor range, const QFont& font, bool removeShadows);
// Over all of the document.
void removeBackgroundColors(QTextDocument& document);
void applyDefaultFont(QTextDocument& document, const QFont& font, bool removeShadows);

struct EditedText {
    QByteArray rtfd;
    QString plainText;
};
// Reads the flattened RTFD, applies the edit and writes it back with the same document
// attributes. Nothing when the rich text cannot be read or the edit says it changed
// nothing.
std::optional<EditedText> editRtfd(const QByteArray& rtfd,
                                   const std::function<bool(QTextDocument&)>& edit);

} // namespace FreeformTextEdits
