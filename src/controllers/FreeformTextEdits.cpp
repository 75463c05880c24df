#include "FreeformTextEdits.h"

#include "RichText.h"
#include "RtfTextProperty.h"

#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace FreeformTextEdits {

namespace {

bool isLineBreak(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::ParagraphSeparator;
}

// Clearing a property through a merge needs the property present: an invalid value
// removes it.
void clearCharProperties(QTextCursor& range, std::initializer_list<int> properties)
{
    QTextCharFormat cleared;
    for (const int property : properties)
        cleared.setProperty(property, QVariant());
    // mergeCharFormat ignores invalid values, so each fragment is rewritten.
    const int start = range.selectionStart();
    const int end = range.selectionEnd();
    QTextDocument* document = range.document();
    for (QTextBlock block = document->findBlock(start); block.isValid() && block.position() <= end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int from = std::max(start, fragment.position());
            const int to = std::min(end, fragment.position() + fragment.length());
            if (from >= to)
                continue;
            QTextCharFormat format = fragment.charFormat();
            bool changed = false;
            for (const int property : properties) {
                if (format.hasProperty(property)) {
                    format.clearProperty(property);
                    changed = true;
                }
            }
            if (!changed)
                continue;
            QTextCursor part(document);
            part.setPosition(from);
            part.setPosition(to, QTextCursor::KeepAnchor);
            part.setCharFormat(format);
        }
    }
}

QTextCursor wholeDocument(QTextDocument& document)
{
    QTextCursor cursor(&document);
    cursor.select(QTextCursor::Document);
    return cursor;
}

} // namespace

bool removeLeadingLineBreaks(QString& text)
{
    qsizetype count = 0;
    while (count < text.size() && isLineBreak(text[count]))
        ++count;
    text.remove(0, count);
    return count > 0;
}

bool removeLeadingLineBreaks(QTextDocument& document)
{
    bool removed = false;
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    while (document.characterCount() > 1 && isLineBreak(document.characterAt(0))) {
        // An empty first paragraph goes with its own format: the text that follows keeps
        // the paragraph style it had.
        const QTextBlock first = document.firstBlock();
        const bool emptyParagraph = first.length() == 1 && first.next().isValid();
        const QTextBlockFormat following = emptyParagraph ? first.next().blockFormat() : QTextBlockFormat();
        const QTextCharFormat followingCharacters =
            emptyParagraph ? first.next().charFormat() : QTextCharFormat();
        cursor.setPosition(0);
        cursor.deleteChar();
        if (emptyParagraph) {
            cursor.setBlockFormat(following);
            cursor.setBlockCharFormat(followingCharacters);
        }
        removed = true;
    }
    cursor.endEditBlock();
    return removed;
}

void removeBackgroundColors(QTextCursor range)
{
    if (range.hasSelection())
        clearCharProperties(range, {QTextFormat::BackgroundBrush});
}

void applyDefaultFont(QTextCursor range, const QFont& font, bool removeShadows)
{
    if (!range.hasSelection())
        return;
    range.beginEditBlock();
    QTextCharFormat fontFormat;
    fontFormat.setFont(font, QTextCharFormat::FontPropertiesAll);
    range.mergeCharFormat(fontFormat);
    std::initializer_list<int> attributes = {QTextFormat::BackgroundBrush, QTextFormat::ForegroundBrush,
                                             QTextFormat::TextUnderlineStyle, QTextFormat::FontUnderline};
    std::initializer_list<int> withShadows = {QTextFormat::BackgroundBrush, QTextFormat::ForegroundBrush,
                                              QTextFormat::TextUnderlineStyle, QTextFormat::FontUnderline,
                                              RtfTextProperty::Shadow};
    clearCharProperties(range, removeShadows ? withShadows : attributes);
    range.endEditBlock();
}

void removeBackgroundColors(QTextDocument& document)
{
    removeBackgroundColors(wholeDocument(document));
}

void applyDefaultFont(QTextDocument& document, const QFont& font, bool removeShadows)
{
    applyDefaultFont(wholeDocument(document), font, removeShadows);
}

std::optional<EditedText> editRtfd(const QByteArray& rtfd,
                                   const std::function<bool(QTextDocument&)>& edit)
{
    const RichTextResult rich = RichText::fromRtfd(rtfd);
    if (!rich.ok() || !edit(*rich.document))
        return std::nullopt;
    return EditedText{RichText::toRtfd(*rich.document, rich.attributes),
                      RichText::plainText(*rich.document)};
}

} // namespace FreeformTextEdits
