#include "FreeformBlocks.h"

#include "DatafileSettingsData.h"
#include "FieldDefinitions.h"
#include "RecordData.h"
#include "RichText.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>

void FreeformTextFormat::appendText(const QString& text)
{
    m_elements.reserve(m_elements.size() + text.size());
    for (const QChar character : text)
        m_elements.append({character, false, std::nullopt});
}

void FreeformTextFormat::appendToken(const std::optional<QString>& fieldName)
{
    m_elements.append({QChar(QChar::ObjectReplacementCharacter), true, fieldName});
}

FreeformTextFormat FreeformTextFormat::fromDocument(const QTextDocument& document)
{
    FreeformTextFormat format;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin())
            format.appendText(QStringLiteral("\n"));
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextFragment piece = fragment.fragment();
            const QTextCharFormat charFormat = piece.charFormat();
            const std::optional<QString> name =
                charFormat.objectType() == TokenObjectType
                    ? std::optional<QString>(charFormat.stringProperty(FieldNameProperty))
                    : std::nullopt;
            // Every object character is an attachment; one that lost its format (pasted
            // as plain text) names no field either.
            for (const QChar character : piece.text()) {
                if (character == QChar::ObjectReplacementCharacter)
                    format.appendToken(name);
                else
                    format.m_elements.append({character, false, std::nullopt});
            }
        }
    }
    return format;
}

namespace FreeformBlocks {

QString freeformTextBlockForRecord(const RecordData& record, const PlistArray& fields,
                                   const FreeformTextFormat& format)
{
    QString block;
    bool previousWasLineEnd = true;
    bool skipNextLineEnd = false;
    for (const FreeformTextFormat::Element& element : format.elements()) {
        if (element.token) {
            const std::optional<QString> value =
                element.fieldName
                    ? FieldDefinitions::contentOfField(fields, *element.fieldName, record)
                    : std::nullopt;
            if (value) {
                block += *value;
                previousWasLineEnd = false;
                skipNextLineEnd = false;
            } else if (previousWasLineEnd) {
                skipNextLineEnd = true;
            }
        } else if (element.character == u'\n') {
            previousWasLineEnd = true;
            if (skipNextLineEnd)
                skipNextLineEnd = false;
            else
                block += u'\n';
        } else {
            block += element.character;
            previousWasLineEnd = false;
            skipNextLineEnd = false;
        }
    }
    return block;
}

QByteArray freeformRTFDBlockForRecord(const RecordData& record,
                                      const DatafileSettingsData& settings,
                                      const FreeformTextFormat& format, QString& textString)
{
    QString block = freeformTextBlockForRecord(record, settings.fields(), format);
    RichTextResult rich;
    if (!record.textRTFD().isEmpty())
        rich = RichText::fromRtfd(record.textRTFD());
    if (!record.textRTFD().isEmpty() || !record.textString().isEmpty())
        block += QStringLiteral("\n\n");
    QTextDocument plain;
    const bool readable = rich.ok() && rich.document;
    QTextDocument& document = readable ? *rich.document : plain;
    QTextCursor cursor(&document);
    // A record with plain text alone (imported, say), or rich text that cannot be read,
    // keeps its text as plain text.
    if (!readable)
        cursor.insertText(record.textString());
    cursor.movePosition(QTextCursor::Start);
    QTextCharFormat font;
    font.setFont(settings.textFont());
    cursor.insertText(block, font);
    textString = RichText::plainText(document);
    return RichText::toRtfd(document, rich.attributes);
}

} // namespace FreeformBlocks
