#pragma once

#include <QString>

#include <optional>

// The records a template lays out: the selected records of its datafile in catalog
// order, as the datafile's open editor window has them. The datafile's document and
// editor window serve it; once that window has closed the source is no longer available
// and the layout goes on without records.
class PageRecordSource {
public:
    virtual ~PageRecordSource() = default;

    virtual bool isAvailable() const = 0;
    virtual qint64 countSelected() const = 0;
    // The address block of the selected record at the index, laid out as the datafile's
    // settings say.
    virtual QString addressBlockAtIndex(qint64 index) const = 0;
    // The field's content in the selected record at the index; none without such a
    // field or record.
    virtual std::optional<QString> contentOfField(const QString& fieldName,
                                                  qint64 index) const = 0;
    virtual qint64 indexOfCurrentRecord() const = 0;
    // Commits the window's edits and shows its current record afresh, so that a new
    // layout sees what the user typed.
    virtual void saveAndReloadCurrentRecord() = 0;
    // The datafile's window counts the templates that depend on it.
    virtual void incrementOpenTemplateCount() = 0;
    virtual void decrementOpenTemplateCount() = 0;
};
