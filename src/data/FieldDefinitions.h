#pragma once

#include "PlistValue.h"

class DatafileSettingsData;
class RecordData;

#include <QSet>
#include <QString>

#include <optional>

// A datafile's field definitions as the field commands edit them: how a new field
// is made, where it goes, and how dragged definitions move in the list.
namespace FieldDefinitions {

// The List View width of a field made by a command.
inline constexpr double NewFieldWidth = 150.0;
// Appending puts a field here when the list is at least this long.
inline constexpr qint64 AppendPosition = 500;

// {"Identifier": a new upper-case UUID, "Name": the name, "Width": 150.0}.
PlistDictionary newDefinition(const QString& name);

// A new definition of that name stored at the position of the datafile's fields (at the
// end past it), the list stored first when the settings hold none; its identifier.
QString insertNewDefinition(DatafileSettingsData& settings, const QString& name, qint64 position);

// Where the Modify Fields sheet inserts a field: after the selected row, first with none
// selected, last when the row is past the end.
qint64 insertPosition(std::optional<qint64> selectedRow, qint64 count);
// Where appending puts a field: position 500, or the end of a shorter list.
qint64 appendPosition(qint64 count);

// The dragged definitions (equal ones already in the list are taken out first) placed
// in their order above the drop row, or at the end when the row is no longer in the
// list.
void moveDefinitions(PlistArray& fields, const PlistArray& dragged, qint64 dropRow);

// The identifiers of the definitions.
QSet<QString> identifiers(const PlistArray& fields);

// A definition's "Identifier" and "Name"; empty for one that is no dictionary.
QString fieldIdentifierOf(const PlistValue& definition);
QString fieldNameOf(const PlistValue& definition);

// The record's value of the first field, in field order, of that name; nothing when no
// field has the name or the value is empty.
std::optional<QString> contentOfField(const PlistArray& fields, const QString& name,
                                      const RecordData& record);

} // namespace FieldDefinitions
