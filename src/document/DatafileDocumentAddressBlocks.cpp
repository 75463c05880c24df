#include "DatafileDocument.h"

#include "AddressBlockLayout.h"
#include "FieldDefinitions.h"

namespace {

constexpr QChar ObjectReplacementCharacter(0xFFFC);

std::shared_ptr<RecordData> selectedRecordAtIndex(const DatafileDocument& document, qint64 index)
{
    const QString identifier = document.datafileCatalog()->selectedIdentifierAtIndex(index);
    return document.datafileRecords()->recordForIdentifier(identifier);
}

// The offset at which the 1-based line begins; the end of the text when it has fewer.
qsizetype offsetOfLine(const QString& text, qint64 line)
{
    qsizetype offset = 0;
    for (qint64 current = 1; current < line; ++current) {
        const qsizetype newline = text.indexOf(QLatin1Char('\n'), offset);
        if (newline < 0)
            return text.size();
        offset = newline + 1;
    }
    return offset;
}

// Empty fields leave empty lines and separators behind. Each rule runs only when
// the ones before it no longer apply.
void removeLeftoverSeparators(QString& text)
{
    const QString emptyLine = QStringLiteral("\n\n");
    const QString blankLine = QStringLiteral("\n \n");
    const QString leadingComma = QStringLiteral("\n, ");
    const QString newline = QStringLiteral("\n");
    for (;;) {
        if (text.contains(emptyLine))
            text.replace(emptyLine, newline);
        else if (text.contains(blankLine))
            text.replace(blankLine, newline);
        else if (text.contains(leadingComma)) // also covers a line holding only ", "
            text.replace(leadingComma, newline);
        else
            return;
    }
}

} // namespace

QString DatafileDocument::addressBlockAtIndex(qint64 index) const
{
    if (!m_settings->addressInText())
        return fieldBasedAddressBlockForRecord(index);
    const std::shared_ptr<RecordData> record = selectedRecordAtIndex(*this, index);
    return record ? freeformAddressBlockForRecord(*record) : QString();
}

QString DatafileDocument::freeformAddressBlockForRecord(const RecordData& record) const
{
    if (record.textString().size() < 2)
        return QString();
    QString text = record.textString();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));

    const qint64 startLine =
        m_settings->addressStartsAtLineNumber()
            ? m_settings->addressBlockStartingLine()
            : lineFollowingLineWithString(m_settings->addressSpecialCharacter(), text);
    const qsizetype start = offsetOfLine(text, startLine);

    qsizetype end = text.size();
    if (m_settings->addressFixedLineCount()) {
        const qint64 lineCount = m_settings->addressBlockLineCount();
        if (lineCount < 1)
            return QString();
        qsizetype lineStart = start;
        for (qint64 line = 0; line < lineCount; ++line) {
            const qsizetype newline = text.indexOf(QLatin1Char('\n'), lineStart);
            if (newline < 0) {
                end = text.size();
                break;
            }
            end = newline;
            lineStart = newline + 1;
        }
    } else {
        const qsizetype blankLine = text.indexOf(QStringLiteral("\n\n"), start);
        if (blankLine >= 0)
            end = blankLine;
    }

    QString block = text.mid(start, end - start);
    if (block.endsWith(QLatin1Char('\n')))
        block.chop(1);
    return block;
}

const AddressBlockLayout* DatafileDocument::decodedAddressBlockLayout() const
{
    const std::optional<QByteArray> data = m_settings->addressBlockLayout();
    if (!data)
        return nullptr;
    if (!m_hasDecodedLayout || *data != m_decodedLayoutBytes) {
        std::optional<AddressBlockLayout> layout = AddressBlockLayout::fromData(*data);
        m_hasDecodedLayout = true;
        m_decodedLayoutBytes = *data;
        m_decodedLayout =
            layout ? std::make_shared<const AddressBlockLayout>(std::move(*layout)) : nullptr;
    }
    return m_decodedLayout.get();
}

QString DatafileDocument::fieldBasedAddressBlockForRecord(qint64 index) const
{
    const AddressBlockLayout* layout = decodedAddressBlockLayout();
    if (!layout)
        return QString();

    QString block;
    for (const AddressBlockLayout::Segment& segment : layout->segments()) {
        if (segment.kind == AddressBlockLayout::Segment::Kind::Field) {
            if (const std::optional<QString> content = contentOfField(segment.text, index))
                block += *content;
        } else {
            for (const QChar character : segment.text) {
                if (character != ObjectReplacementCharacter)
                    block += character;
            }
        }
    }
    removeLeftoverSeparators(block);
    if (block.startsWith(QLatin1Char('\n')))
        block.remove(0, 1);
    if (block.endsWith(QLatin1Char('\n')))
        block.chop(1);
    return block;
}

qint64 DatafileDocument::lineFollowingLineWithString(const QString& string, const QString& text)
{
    // An empty string is found nowhere.
    if (text.isEmpty() || string.isEmpty())
        return 0;
    const qsizetype found = text.indexOf(string);
    if (found < 0)
        return 0;
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'), found);
    if (lineEnd < 0 || lineEnd + 1 >= text.size())
        return 0;
    return text.first(found).count(QLatin1Char('\n')) + 2;
}

std::optional<QString> DatafileDocument::contentOfField(const QString& name, qint64 index) const
{
    const std::shared_ptr<RecordData> record = selectedRecordAtIndex(*this, index);
    if (!record)
        return std::nullopt;
    return FieldDefinitions::contentOfField(m_settings->fields(), name, *record);
}
