#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// A tab-separated contacts export: the first line names the columns, every later line is
// a contact whose columns fill the fields in order, except that the last column is the
// record's text.
namespace EntourageContactsReader {

struct Contact {
    QStringList values;
    QString text;
};

// The pieces of the first line: the names a new datafile's fields get.
QStringList fieldNames(QStringView text);

// Each line after the first. A line with more pieces than the first line keeps the rest
// of the line, tabs and all, in its text: a notes column may hold tabs.
QList<Contact> convertEntourageContactsFile(QStringView text);

} // namespace EntourageContactsReader
