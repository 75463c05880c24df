#pragma once

#include <QString>

// What a datafile document asks of its editor window before it saves, reverts or
// closes. The editor window controller answers; tests answer with a stand-in.
class DatafileEditor {
public:
    virtual ~DatafileEditor() = default;

    // The password check passed (or there is none) and this is no clone.
    virtual bool canSaveChanges() const = 0;
    virtual bool nowSyncing() const = 0;
    virtual bool hasSyncID() const = 0;
    // Open templates that take their records from this datafile.
    virtual int openTemplateCount() const = 0;
    virtual QString windowTitle() const = 0;

    // Puts what the window holds into the model before the file is written or read
    // again: the field being edited and the current record's text.
    virtual void commitEdits() = 0;
    virtual void prepare() = 0;
    virtual void setIsClone(bool clone) = 0;
    // Reloads the Basic and List tables.
    virtual void reloadTables() = 0;
};
