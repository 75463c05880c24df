#pragma once

#include "DatafileChanges.h"
#include "DatafileSettingsData.h"
#include "RecordData.h"
#include "SubsetSortedData.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// The Freeform Text Area as the engine sees it.
class CurrentRecordTextArea {
public:
    virtual ~CurrentRecordTextArea() = default;
    // The text as the record stores it: plain string and flattened RTFD.
    virtual QString plainText() const = 0;
    virtual QByteArray rtfd() const = 0;
    // Replaces the whole text; false, leaving the text as it is, when it cannot be read.
    virtual bool showRtfd(const QByteArray& rtfd) = 0;
    // Replaces the whole text with the datafile's default text attributes.
    virtual void showPlainText(const QString& text) = 0;
    virtual void removeLinks() = 0;
    // Gives every address in the text the link attribute.
    virtual void activateLinks() = 0;
    virtual void setEditable(bool editable) = 0;
    // The empty selection at the start, scrolled into view.
    virtual void resetSelection() = 0;
};

// The Basic and List tables.
class CurrentRecordTables {
public:
    virtual ~CurrentRecordTables() = default;
    virtual bool tableViewActive() const = 0;
    virtual void endEditing() = 0;
    virtual quint64 currentField() const = 0;
    virtual void reloadTables() = 0;
    virtual void scrollRowToVisible(qint64 row) = 0;
    virtual void makeCurrentTableFirstResponder() = 0;
    virtual void tableViewHit() = 0;
    virtual void editListCell(quint64 column, qint64 row) = 0;
};

// The datafile document: its kind, settings, edited state and saving.
class CurrentRecordDocument {
public:
    virtual ~CurrentRecordDocument() = default;
    virtual bool isMobile() const = 0;
    virtual std::shared_ptr<DatafileSettingsData> settings() const = 0;
    virtual bool isDocumentEdited() const = 0;
    virtual void markDocumentEdited() = 0;
    // The door through which the document's records change.
    virtual DatafileChanges& changes() = 0;
    virtual void saveDocument() = 0;
    virtual void removeAllUndoActions() = 0;
};

// The status bar and the record information palette.
class CurrentRecordStatusBar {
public:
    virtual ~CurrentRecordStatusBar() = default;
    virtual void showRecordLocked(bool locked) = 0;
    virtual void reloadStatusBar() = 0;
    virtual void showRecordInfo() = 0;
};

// The find box above the tables, where the focus goes after a move to another record.
class CurrentRecordFindBox {
public:
    virtual ~CurrentRecordFindBox() = default;
    // Selects the find box's text and gives it the focus.
    virtual void activateFindBox() = 0;
};

// Tells the rest of the program that a record has been deleted and another shown.
class RecordDeletionNotifier {
public:
    virtual ~RecordDeletionNotifier() = default;
    virtual void didDeleteRecord(const QString& identifier) = 0;
};

// The record an editor window shows: looks records up, commits the views into the
// current record before another is shown, loads records into the views, keeps the
// document's edited state, deletes a record left empty and keeps the viewed-record
// history. It knows the views only through the interfaces above.
class CurrentRecordEngine {
public:
    struct Views {
        CurrentRecordTextArea* textArea = nullptr;
        CurrentRecordTables* tables = nullptr;
        CurrentRecordDocument* document = nullptr;
        CurrentRecordStatusBar* statusBar = nullptr;
        RecordDeletionNotifier* notifier = nullptr;
        CurrentRecordFindBox* findBox = nullptr; // none: the focus stays where it is
    };

    static constexpr qint64 NoHit = -1;

    // The user typed or dropped the value (the record is stamped modified by whom and
    // when), or an operation over many records wrote it (the record only needs syncing).
    using FieldWrite = DatafileChanges::Kind;

    explicit CurrentRecordEngine(Views views);

    // Window state the rules depend on.
    const std::shared_ptr<SubsetSortedData>& catalog() const { return m_catalog; }
    void setCatalog(std::shared_ptr<SubsetSortedData> catalog) { m_catalog = std::move(catalog); }
    const std::shared_ptr<RecordData>& currentRecord() const { return m_currentRecord; }
    void setCurrentRecord(std::shared_ptr<RecordData> record);
    bool currentRecordDirty() const { return m_currentRecordDirty; }
    void setCurrentRecordDirty(bool dirty);
    bool isClone() const { return m_isClone; }
    void setIsClone(bool clone) { m_isClone = clone; }
    bool nowSyncing() const { return m_nowSyncing; }
    void setNowSyncing(bool syncing);
    bool canSaveChanges() const { return m_canSaveChanges; }
    void setCanSaveChanges(bool canSave) { m_canSaveChanges = canSave; }
    qint64 lastHitField() const { return m_lastHitField; }
    void setLastHitField(qint64 field) { m_lastHitField = field; }

    // Lookups.
    std::shared_ptr<RecordData> recordForIdentifier(const QString& identifier) const;
    QList<std::shared_ptr<RecordData>> recordsForIdentifiers(const QStringList& identifiers) const;
    QStringList identifiersForRecords(const QList<std::shared_ptr<RecordData>>& records) const;
    std::shared_ptr<RecordData> recordAtIndex(qint64 index) const;
    std::shared_ptr<RecordData> recordAtCatalogIndex(qint64 index) const;
    qint64 indexOfCurrentRecord() const;
    qint64 indexOfRecordWithIdentifier(const QString& identifier) const;
    bool isValidRecord(const std::shared_ptr<RecordData>& record) const;
    static bool isEmpty(const RecordData& record);
    qint64 selectedRecordCount() const { return m_catalog ? m_catalog->countSelected() : 0; }
    qint64 lastIndex() const { return selectedRecordCount() - 1; }

    // Field definitions.
    qint64 currentRecordNumberOfFields() const;
    std::optional<PlistDictionary> fieldInformationAtIndex(qint64 index) const;
    QString fieldNameForIdentifier(const QString& identifier) const;
    QStringList fieldNames() const;
    // Field positions empty in every selected record (all of them when none is selected).
    QList<qint64> emptyFieldList() const;
    void addField(const QString& name);
    // Every record of the datafile, selected or not, loses the values of fields no longer
    // defined, unstamped; automatic content stops when its field is gone. Whether any
    // value went.
    bool removeValuesOfUndefinedFields();

    // Commits the views into the current record unless the record is the current one;
    // a record given is stamped viewed and becomes current.
    void saveIfDifferentRecord(const std::shared_ptr<RecordData>& record);
    // Commits the text only, in place.
    void updateCurrentRecord();
    // Stores the text area's edits into the current record, the tables left as they are.
    void commitFreeformText();
    void loadRecord(const std::shared_ptr<RecordData>& record);
    void loadRecordAtIndex(qint64 index);
    void loadCurrentRecord();
    // Shows the record at the index as the first of a new history.
    void openRecordAtIndex(qint64 index);

    // A field written through the document's door, never from a clone. Whether it changed.
    bool writeField(const std::shared_ptr<RecordData>& record, const QString& identifier,
                    const QString& value, FieldWrite kind);
    // The same for the Freeform Text Area's text.
    bool writeText(const std::shared_ptr<RecordData>& record, const QString& plainText,
                   const DatafileChanges::RichText& rtfd, FieldWrite kind);
    bool writeText(const std::shared_ptr<RecordData>& record, const QString& plainText,
                   const QByteArray& rtfd, FieldWrite kind);
    // The door itself, for what a clone may not do either; nullptr in a clone.
    DatafileChanges* changes();

    void setDatafileChanged();
    void autoSaveChanges(bool force);
    void deleteIfEmptyRecordAtIndex(qint64 index);
    // Deletes the current record and shows the selected one that followed it (the first
    // when it was the last); a subset left empty gives way to all records. Never the last
    // record, nor in a clone or while syncing.
    void deleteCurrentRecord();
    // Deletes those records, current or not, in one pass, as deleting the current record
    // does (the tombstones, the notices), but never the last one left, nor in a clone or
    // while syncing. How many went.
    qsizetype deleteRecords(const QList<std::shared_ptr<RecordData>>& records);
    // Deletes every selected record, the last first, when that leaves some, and shows the
    // first of all the records.
    void deleteSelectedRecords();

    // Viewed-record history.
    void insertInViewedRecordList(const std::shared_ptr<RecordData>& record);
    void removeFromViewedRecordList(const std::shared_ptr<RecordData>& record);
    const QStringList& viewedRecordList() const { return m_viewedRecordList; }
    qsizetype currentRecordInList() const { return m_currentRecordInList; }
    void setMovingInViewedRecordList(bool moving) { m_movingInViewedRecordList = moving; }
    bool canGoBackOneRecord() const;
    bool canGoForwardOneRecord() const;
    void goBackOneRecord();
    void goForwardOneRecord();

    // Moves among the selected records. Each commits the text, autosaves, shows the
    // target, puts the focus in the find box and deletes the record left when it is empty.
    // The first (an empty one is passed over and removed) and the last (likewise).
    void goToFirstRecord();
    void goToLastRecord();
    // The next and previous, wrapping around at both ends.
    void goToNextRecord();
    void goToPreviousRecord();
    // The record chosen by number; an index outside the selection shows the last record.
    void goToRecordAtIndex(qint64 index);
    // The find box's text selected and focused, and no search hit to resume from.
    void freshenWindowContentSettings();

    // The Freeform Text Area's editing rules.
    bool textShouldBeginEditing() const;
    bool shouldChangeText() const;
    void textDidChange();
    // The text put back as it was before or after an operation (its undo or redo): the
    // datafile is changed, but the record keeps its stamp.
    void textDidRestore();
    // Applies textShouldBeginEditing() to the text area (after a load, lock toggle or sync change).
    void updateTextEditability();

private:
    void privateLoadValidatedRecord(const std::shared_ptr<RecordData>& record);
    // The deletions' common steps, saving afterwards when asked and the settings say so.
    qsizetype removeRecords(const QList<std::shared_ptr<RecordData>>& records, bool autoSave);
    void cleanCurrentRecordFields();
    void commitText();
    void moveInViewedRecordList(qsizetype step);
    // The current record's index among the selected records; NotFound when not selected.
    qint64 selectedPositionOfCurrentRecord() const;
    // The steps every move shares; a record left that is not selected is never deleted.
    void moveToRecordAtIndex(qint64 target, qint64 left);
    bool inListMode() const;
    std::shared_ptr<DatafileSettingsData> settings() const;

    Views m_views;
    std::shared_ptr<SubsetSortedData> m_catalog;
    std::shared_ptr<RecordData> m_currentRecord;
    bool m_currentRecordDirty = false;
    bool m_isClone = false;
    bool m_nowSyncing = false;
    bool m_canSaveChanges = false;
    qint64 m_lastHitField = NoHit;
    // The shown text stands in for a stored RTFD that could not be read: the stored one
    // is kept until the user edits the text.
    bool m_keepStoredText = false;

    QStringList m_viewedRecordList;
    QSet<QString> m_unreadableTextLogged;
    qsizetype m_currentRecordInList = 0;
    bool m_movingInViewedRecordList = true;
};
