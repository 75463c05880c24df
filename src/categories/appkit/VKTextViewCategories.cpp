#include "VKTextViewCategories.h"

#include "RichText.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextImageFormat>

namespace {

QString systemString(QString text)
{
    return text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

QTextCursor wholeText(QTextEdit* view)
{
    QTextCursor cursor(view->document());
    cursor.select(QTextCursor::Document);
    return cursor;
}

// Images live in the document's resources, which a fragment does not carry: those the
// source's text refers to are copied over first.
void copyImageResources(const QTextDocument& source, QTextDocument* target)
{
    for (QTextBlock block = source.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextCharFormat format = fragment.fragment().charFormat();
            if (!format.isImageFormat())
                continue;
            const QUrl name(format.toImageFormat().name());
            const QVariant image = source.resource(QTextDocument::ImageResource, name);
            if (image.isValid())
                target->addResource(QTextDocument::ImageResource, name, image);
        }
    }
}

void replaceWholeText(QTextEdit* view, const QTextDocument& source)
{
    copyImageResources(source, view->document());
    QTextCursor cursor = wholeText(view);
    const QTextDocumentFragment fragment(&source);
    if (!fragment.isEmpty()) {
        cursor.insertFragment(fragment);
        return;
    }
    // An empty fragment inserts nothing, not even over the selection: the old text goes
    // by hand, and the empty text's own paragraph and characters take its place.
    cursor.removeSelectedText();
    cursor.setBlockFormat(source.begin().blockFormat());
    cursor.setBlockCharFormat(source.begin().charFormat());
}

bool replaceWithResult(QTextEdit* view, const RichTextResult& result)
{
    if (!result.ok() || !result.document)
        return false;
    replaceWholeText(view, *result.document);
    return true;
}

} // namespace

namespace VKTextViewCategories {

qsizetype length(const QTextEdit* view)
{
    // The document counts the paragraph end after its last paragraph.
    return view->document()->characterCount() - 1;
}

TextRange allRange(const QTextEdit* view)
{
    return TextRange{0, length(view)};
}

QString stringValue(const QTextEdit* view)
{
    return RichText::plainText(*view->document());
}

QTextDocumentFragment attributedStringValue(const QTextEdit* view)
{
    return QTextDocumentFragment(view->document());
}

QByteArray RTFValue(const QTextEdit* view)
{
    return RichText::toRtf(*view->document());
}

QByteArray RTFDValue(const QTextEdit* view)
{
    return RichText::toRtfd(*view->document());
}

QString selectedStringValue(const QTextEdit* view)
{
    return systemString(view->textCursor().selectedText());
}

QString selectedOrAllStringValue(const QTextEdit* view)
{
    return view->textCursor().hasSelection() ? selectedStringValue(view) : stringValue(view);
}

QTextDocumentFragment selectedAttributedStringValue(const QTextEdit* view)
{
    return view->textCursor().selection();
}

QTextDocumentFragment selectedOrAllAttributedStringValue(const QTextEdit* view)
{
    return view->textCursor().hasSelection() ? selectedAttributedStringValue(view)
                                             : attributedStringValue(view);
}

void appendStringValue(QTextEdit* view, const QString& string)
{
    QTextCursor cursor(view->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(string, QTextCharFormat());
}

void appendAttributedStringValue(QTextEdit* view, const QTextDocumentFragment& string)
{
    QTextCursor cursor(view->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertFragment(string);
}

void setStringValue(QTextEdit* view, const std::optional<QString>& string)
{
    if (string)
        wholeText(view).insertText(*string);
}

void setAttributedStringValue(QTextEdit* view, const std::optional<QTextDocumentFragment>& string)
{
    if (!string)
        return;
    QTextCursor cursor = wholeText(view);
    if (string->isEmpty())
        cursor.removeSelectedText();
    else
        cursor.insertFragment(*string);
}

bool setRTFValue(QTextEdit* view, QByteArrayView rtf)
{
    return replaceWithResult(view, RichText::fromRtf(rtf));
}

bool setRTFDValue(QTextEdit* view, QByteArrayView rtfd)
{
    return replaceWithResult(view, RichText::fromRtfd(rtfd));
}

void setRTFDValue(QTextEdit* view, QByteArrayView rtfd, QByteArrayView rtf,
                  const std::optional<QTextDocumentFragment>& attributedString,
                  const std::optional<QString>& string)
{
    // Data that cannot be read gives way to the next, so the plain text shows in its place.
    if (!rtfd.isEmpty() && setRTFDValue(view, rtfd))
        return;
    if (!rtf.isEmpty() && setRTFValue(view, rtf))
        return;
    if (attributedString && !attributedString->isEmpty()) {
        setAttributedStringValue(view, attributedString);
        return;
    }
    setStringValue(view, string.value_or(QString()));
}

} // namespace VKTextViewCategories
