#include "FreeformTextEdits.h"

#include "RichText.h"
#include "RtfTextProperty.h"

#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <tuple>

namespace FreeformTextEdits {

namespace {

bool isLineBreak(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::ParagraphSeparator;
}

void clearCharProperties(const QTextCursor& range, const QList<int>& properties)
{
    changeCharacterFormats(range, [&](QTextCharFormat& format) {
        for (const int property : properties)
            format.clearProperty(property);
    });
}

QTextCursor wholeDocument(QTextDocument& document)
{
    QTextCursor cursor(&document);
    cursor.select(QTextCursor::Document);
    return cursor;
}

} // namespace

void changeCharacterFormats(const QTextCursor& range,
                            const std::function<void(QTextCharFormat&)>& change)
{
    const int start = range.selectionStart();
    const int end = range.selectionEnd();
    QTextDocument* document = range.document();
    // Gathered first: setting a format splits and merges the fragments being read.
    QList<std::tuple<int, int, QTextCharFormat>> changes;
    for (QTextBlock block = document->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int from = std::max(start, fragment.position());
            const int to = std::min(end, fragment.position() + fragment.length());
            if (from >= to)
                continue;
            QTextCharFormat format = fragment.charFormat();
            change(format);
            if (format != fragment.charFormat())
                changes.append({from, to, format});
        }
    }
    if (changes.isEmpty())
        return;
    QTextCursor part(document);
    part.beginEditBlock();
    for (const auto& [from, to, format] : std::as_const(changes)) {
        part.setPosition(from);
        part.setPosition(to, QTextCursor::KeepAnchor);
        part.setCharFormat(format);
    }
    part.endEditBlock();
}

void changeParagraphFormats(const QTextCursor& range,
                            const std::function<void(QTextBlockFormat&)>& change)
{
    QTextDocument* document = range.document();
    QTextCursor paragraphs(document);
    paragraphs.beginEditBlock();
    const QTextBlock last = document->findBlock(range.selectionEnd());
    for (QTextBlock block = document->findBlock(range.selectionStart()); block.isValid();
         block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        change(format);
        QTextCursor(block).setBlockFormat(format);
        if (block == last)
            break;
    }
    paragraphs.endEditBlock();
}

QTextCharFormat formatAtSelectionStart(const QTextEdit* view)
{
    const QTextCursor selection = view->textCursor();
    const int start = selection.selectionStart();
    const int length = view->document()->characterCount() - 1;
    if (start == 0 && length == 0)
        return view->currentCharFormat();
    QTextCursor reader(view->document());
    // A cursor's format is the one of the character before it.
    reader.setPosition(start < length ? start + 1 : start);
    return reader.charFormat();
}

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
    QList<int> attributes = {QTextFormat::BackgroundBrush, QTextFormat::ForegroundBrush,
                             QTextFormat::TextUnderlineStyle, QTextFormat::FontUnderline};
    if (removeShadows)
        attributes.append(RtfTextProperty::Shadow);
    clearCharProperties(range, attributes);
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
