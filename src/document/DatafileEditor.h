#pragma once

#include <QString>
#include <QtGlobal>

#include <limits>

// What a datafile document asks of its editor window before it saves, reverts or
// closes. The editor window controller answers; tests answer with a stand-in.
class DatafileEditor {
public:
    // currentField() when no field is being edited.
    static constexpr quint64 NoField = std::numeric_limits<quint64>::max();

    virtual ~DatafileEditor() = default;

    // The password check passed (or there is none) and this is no clone.
    virtual bool canSaveChanges() const = 0;
    virtual bool nowSyncing() const = 0;
    virtual bool hasSyncID() const = 0;
    // Open templates that take their records from this datafile.
    virtual int openTemplateCount() const = 0;
    virtual QString windowTitle() const = 0;

    // Commits the record being edited into the model.
    virtual void saveIfDifferentRecord(bool viewed) = 0;
    // Commits the record being edited and moves on to the next selected one.
    virtual void goToNextRecord() = 0;
    virtual quint64 currentField() const = 0;
    virtual bool tableViewActive() const = 0;
    virtual void endEditing() = 0;
    virtual void activateFindBox() = 0;
    virtual void setCurrentRecordDirty(bool dirty) = 0;
    virtual void prepare() = 0;
    virtual void setIsClone(bool clone) = 0;
    // Reloads the Basic and List tables.
    virtual void reloadTables() = 0;
};
