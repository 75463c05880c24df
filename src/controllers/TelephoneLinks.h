#pragma once

#include "FreeformTextEdits.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

class QTextDocument;

// The telephone links of one record, worked out from copies of its values, so that any
// thread may do it: every field whose whole value matches a template becomes "tel://"
// and the value; every matching number of the rich text gets a "tel://" link over it,
// its blanks written "%20".
namespace TelephoneLinks {

struct RecordInput {
    // Identifier and value, in the order of the field definitions.
    QList<std::pair<QString, QString>> fields;
    QByteArray rtfd;
};

struct RecordLinks {
    QList<std::pair<QString, QString>> fields;
    // The rewritten rich text; none when no link went into it.
    std::optional<FreeformTextEdits::EditedText> text;
    qint64 linkCount = 0;
    bool isEmpty() const { return linkCount == 0; }
};

RecordLinks linksForRecord(const RecordInput& record, const QStringList& formats);

// Links the matching numbers of the text; how many. A number whose address cannot be made
// ends the walk.
qint64 linkNumbersInText(QTextDocument& text, const QStringList& formats);

} // namespace TelephoneLinks
