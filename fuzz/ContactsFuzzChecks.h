#pragma once

// A contacts export's bytes, whatever they are: the reader answers without crashing, one
// contact a line after the first, and every character of a line lands in a field or the
// text, tabs kept only in the text.
#include "EntourageContactsReader.h"
#include "TextFileDecoding.h"
#include "TextLines.h"

#include <QByteArrayView>

#include <algorithm>

inline bool contactsHold(QByteArrayView bytes)
{
    const std::optional<QString> text = TextFileDecoding::decode(bytes);
    if (!text)
        return true;
    const qsizetype fieldCount = EntourageContactsReader::fieldNames(*text).size() - 1;
    const QList<EntourageContactsReader::Contact> contacts =
        EntourageContactsReader::convertEntourageContactsFile(*text);
    TextLines lines(*text);
    QStringView line;
    if (!lines.next(line))
        return contacts.isEmpty();
    for (const EntourageContactsReader::Contact& contact : contacts) {
        if (!lines.next(line) || contact.values.size() > std::max<qsizetype>(fieldCount, 0))
            return false;
        for (const QString& value : contact.values) {
            if (value.contains(u'\t'))
                return false;
        }
        if (fieldCount <= 0) {
            if (!contact.values.isEmpty() || contact.text != line)
                return false;
            continue;
        }
        QString rebuilt = contact.values.join(u'\t');
        // The text starts after the last field's tab, when the line has that many.
        if (line.count(u'\t') >= fieldCount)
            rebuilt += u'\t' + contact.text;
        else if (!contact.text.isEmpty())
            return false;
        if (rebuilt != line)
            return false;
    }
    return !lines.next(line);
}
