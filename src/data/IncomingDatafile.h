#pragma once

#include "PlistError.h"
#include "PlistValue.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

class QIODevice;

// Another datafile file as a merge reads it: its field identifiers by position, how many
// records it holds, and its records in its own order. It is read leniently: a file that
// is no property list counts as no fields and no records, and parts of the wrong kind
// (a "Records" that is no dictionary, a catalog entry or a value that is no dictionary or
// string) are passed over.
class IncomingDatafile {
public:
    struct Record {
        QString textString;
        QByteArray textRTFD;
        PlistDictionary fields; // the file's field identifier to string value
    };

    static IncomingDatafile read(QByteArrayView bytes);
    static IncomingDatafile read(QIODevice& device);

    // The "Identifier" of each of the file's field definitions, in order; empty for a
    // definition without one.
    const QStringList& fieldIdentifiers() const { return m_fieldIdentifiers; }
    qsizetype fieldCount() const { return m_fieldIdentifiers.size(); }
    // The entries of "Records".
    qsizetype recordCount() const { return m_records.size(); }
    // The records to merge: one per catalog entry, in catalog order, but no more than
    // the file holds records.
    qsizetype mergeCount() const;
    // The record of catalog entry k; empty when the entry names no record.
    Record recordAt(qsizetype k) const;

private:
    static IncomingDatafile of(const PlistReadResult& read);

    QStringList m_fieldIdentifiers;
    PlistDictionary m_records;
    QStringList m_catalog;
};
