#pragma once

#include <QList>

class TemplatePageWindowController;

// The datafile window's side of editing the records a template could not fit: it keeps
// only those records selected and opens its too-large drawer. The datafile's records
// answer it where their window offers that editing.
class NonPrintableRecordsEditor {
public:
    virtual ~NonPrintableRecordsEditor() = default;

    virtual bool editingNonPrintableRecords() const = 0;
    // The positions, among the selected records, of those that fit.
    virtual void editNonPrintableRecords(const QList<qint64>& printableRecords,
                                         TemplatePageWindowController* controller) = 0;
};
