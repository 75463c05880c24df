#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

// The visible text for an English text from a strings table ("Shared", "Specific" ...;
// the default table when the name is empty); the text itself when the table has no
// entry for it.
QString localized(const QString& text, const QString& table = QString());

// The strings tables: files "<table>.strings" in one folder, the default table
// "Localizable.strings", each read once, when first used. An empty name in the
// operations below stands for the default table.
//
// The folder, unless set here: the Qt resource folder ":/strings" when the executable
// carries one, else the folder "strings" next to the executable. Until the application
// object exists (and with no resource) there is no folder, and localized() returns each
// text as it is. A table missing from the folder translates nothing; one that cannot be
// read is logged once and translates nothing.
class Localization {
public:
    // Takes the tables from this folder from now on and forgets every table read or
    // installed so far. An empty path: no folder, every text stays as it is.
    static void setTablesFolder(const QString& path);
    // Installs a table as if it had been read from its file.
    static void setTable(const QString& name, QHash<QString, QString> table);

    // Reads a strings file ("key" = "value"; with comments and escapes; UTF-8, or
    // UTF-16 with a byte-order mark). Nothing, with the reason in *error, when the
    // bytes are not such a file.
    static std::optional<QHash<QString, QString>> parseStringsTable(const QByteArray& bytes,
                                                                    QString* error = nullptr);
};
