#pragma once

// Real rich text in generated records, as the editor stores it: the record's text with a
// bold, larger first line.
#include "DatafileGenerator.h"
#include "PlistValue.h"
#include "PropertyList.h"
#include "RichText.h"
#include "SafeFileWriter.h"

#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

inline QByteArray styledRtfd(const QString& text)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat heading;
    heading.setFontWeight(QFont::Bold);
    heading.setFontPointSize(16);
    const qsizetype cut = std::min<qsizetype>(text.size(), 40);
    cursor.insertText(text.left(cut), heading);
    cursor.insertBlock();
    QTextCharFormat body;
    body.setFontPointSize(12);
    cursor.insertText(text.mid(cut), body);
    return RichText::toRtfd(document);
}

// Every record's rich text made from its plain text, repeated until it has at least
// `minimumLength` characters (the plain text follows).
inline void giveRecordsRichText(PlistValue& datafile, qsizetype minimumLength = 0)
{
    PlistDictionary* records =
        datafile.asDictionary()->find(QStringLiteral("Records"))->asDictionary();
    for (const QString& identifier : records->keys()) {
        PlistDictionary* record = records->find(identifier)->asDictionary();
        const QString text = record->find(QStringLiteral("TextString"))->stringValue();
        QString longer = text;
        while (!text.isEmpty() && longer.size() < minimumLength)
            longer += QLatin1Char(' ') + text;
        record->insert(QStringLiteral("TextString"), longer);
        record->insert(QStringLiteral("TextRTFD"), styledRtfd(longer));
    }
}

// A generated datafile of that many records with rich text of at least that length,
// written where it says; false when it cannot be.
inline bool writeDatafileWithRichText(const QString& path, int recordCount,
                                      qsizetype minimumLength = 0)
{
    PlistValue datafile = generateDatafile(recordCount);
    giveRecordsRichText(datafile, minimumLength);
    return SafeFileWriter::write(path, [&](QIODevice& device) {
               return writePropertyList(datafile, device, PlistFormat::Xml);
           }).ok;
}
