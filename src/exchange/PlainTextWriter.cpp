#include "PlainTextWriter.h"

#include "DelimitedWriter.h"
#include "FieldDefinitions.h"
#include "RecordData.h"
#include "RichText.h"

#include <QStringList>
#include <QTextDocument>

#include <algorithm>

namespace {

using FieldDefinitions::fieldIdentifierOf;
using FieldDefinitions::fieldNameOf;

QString valueOf(const RecordData& record, const QString& identifier)
{
    const PlistValue* value = record.fields().find(identifier);
    return value ? value->stringValue() : QString();
}

} // namespace

QString PlainTextWriter::text(const PlistArray& fields,
                              const QList<std::shared_ptr<RecordData>>& records)
{
    QStringList identifiers;
    QStringList linePrefixes;
    for (const PlistValue& definition : fields) {
        identifiers.append(fieldIdentifierOf(definition));
        linePrefixes.append(fieldNameOf(definition) + QStringLiteral(": "));
    }
    QString text;
    bool first = true;
    for (const std::shared_ptr<RecordData>& record : records) {
        if (!record)
            continue;
        if (!first && !text.isEmpty())
            text += RecordSeparator;
        first = false;
        if (text.capacity() - text.size() < 4096)
            text.reserve(std::max<qsizetype>(text.size() * 2, 1 << 16));
        for (qsizetype field = 0; field < identifiers.size(); ++field) {
            text += linePrefixes.at(field);
            text += valueOf(*record, identifiers.at(field));
            text += u'\n';
        }
        text += record->textString();
    }
    return text;
}

QByteArray PlainTextWriter::bytes(const PlistArray& fields,
                                  const QList<std::shared_ptr<RecordData>>& records)
{
    return DelimitedWriter::encoded(text(fields, records), true);
}

QString PlainTextWriter::plainTextStringForRecord(const PlistArray& fields,
                                                  const RecordData& record,
                                                  const QString& fileNameFieldID, QString& fileName,
                                                  bool isMobile)
{
    QString text;
    for (const PlistValue& definition : fields) {
        const QString identifier = fieldIdentifierOf(definition);
        const QString value = valueOf(record, identifier);
        if (identifier == fileNameFieldID) {
            fileName = value;
            continue;
        }
        text += fieldNameOf(definition) + QStringLiteral(":\t") + value + u'\n';
    }
    if (fields.size() >= 2)
        text += u'\n';
    // The model keeps no absent plain text apart from an empty one: an empty one with rich
    // text beside it stands for none.
    if (!record.textString().isEmpty() || isMobile || record.textRTFD().isEmpty()) {
        text += record.textString();
    } else {
        const RichTextResult rich = RichText::fromRtfd(record.textRTFD());
        if (rich.ok() && rich.document)
            text += RichText::plainText(*rich.document);
    }
    return text;
}
