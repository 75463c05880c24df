#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class FeatureContext;
class QWidget;

// Where every importer's records go: into the datafile of the window it was given,
// through the document's records door, all of them in one addition, so that every window
// and clone of the datafile follows. The window then shows all records from the first,
// and the blank record a new datafile starts with is gone.
class ImportRecordSink {
public:
    // One incoming record: its values by field position, and a text (with its rich text)
    // or none.
    struct Record {
        QStringList values;
        std::optional<QString> text;
        QByteArray rtfd;
        // Old formats store no empty values: an empty one leaves its field unset.
        bool emptyValuesUnset = false;
    };

    // What an importer does its own way.
    struct Flags {
        // Duplicates of the whole datafile are removed afterwards, which leaves it sorted
        // by whole record when any go.
        bool mergeIntoCurrent = false;
        // The current record is committed and the last one shown first, which removes the
        // current one when it is empty.
        bool goToLastRecordFirst = true;
    };

    // The records, in order, after the datafile's; how many were added. Without any, the
    // user is told nothing was imported and a blank record is added, unless the current
    // one is blank already.
    static qint64 add(FeatureContext& target, const QList<Record>& records, const Flags& flags);

    // For an importer that hands its records over a few at a time: each batch added after
    // the datafile's, and once all are in, every record selected (duplicates removed when
    // merging) and the window shown from the first.
    static void insert(FeatureContext& target, const QList<Record>& records);
    static void finish(FeatureContext& target, bool mergeIntoCurrent);

    // "No records were imported.", on the window (application-modal without one).
    static void reportNothingImported(QWidget* window, const QString& informativeText);
    static void reportNothingImported(QWidget* window);
};
