#include "EntourageContactsReader.h"

#include "TabDelimitedRecordReader.h"
#include "TextLines.h"

QStringList EntourageContactsReader::fieldNames(QStringView text)
{
    return TabDelimitedRecordReader::firstLinePieces(text);
}

QList<EntourageContactsReader::Contact>
EntourageContactsReader::convertEntourageContactsFile(QStringView text)
{
    const qsizetype fieldCount = TabDelimitedRecordReader::incomingFieldCount(text) - 1;
    QList<Contact> contacts;
    TextLines lines(text);
    QStringView line;
    if (!lines.next(line))
        return contacts;
    while (lines.next(line)) {
        Contact contact;
        qsizetype start = 0;
        for (qsizetype k = 0; k < fieldCount; ++k) {
            const qsizetype tab = line.indexOf(u'\t', start);
            if (tab < 0) {
                // A short line fills the fields it reaches; its text stays empty.
                contact.values.append(line.mid(start).toString());
                start = -1;
                break;
            }
            contact.values.append(line.mid(start, tab - start).toString());
            start = tab + 1;
        }
        if (start >= 0)
            contact.text = line.mid(start).toString();
        contacts.append(std::move(contact));
    }
    return contacts;
}
