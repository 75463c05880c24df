#pragma once

#include "ImportedTextFile.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class EditorWindowController;
class QMimeData;
class RecordData;

// The editor window's Records commands: moving between the selected records and back
// and forth through the records viewed, adding records (numbered automatically, placed
// where the datafile says, the clipboard pasted in on request), moving records in the
// datafile's order, locking them, and the record information palette. Every command
// does nothing while the window syncs.
//   EditorRecordsController.cpp        navigation, order, locks, record information
//   EditorRecordsControllerAdding.cpp  adding records
//   EditorRecordsControllerDeleting.cpp deleting the current record
//   EditorRecordsControllerBackups.cpp deleting the selected records after a backup copy
//   EditorRecordsControllerCopying.cpp duplicating and copying the current record
//   EditorRecordsControllerDuplicates.cpp removing duplicate records
//   EditorRecordsControllerTextFiles.cpp a text file made into a record
class EditorRecordsController : public QObject {
    Q_OBJECT

public:
    // Reads a pasteboard into the Freeform Text Area's selection, as rich or plain text;
    // whether anything was read.
    using Paste = std::function<bool(const QMimeData* pasteboard, bool plainText)>;

    explicit EditorRecordsController(EditorWindowController& editor);

    // Navigation; the moves themselves are the current-record engine's.
    // Asks for the number of the selected record to show.
    void goToRecordNumber();
    void gotoRecordSheetDidEnd(int returnCode, qint64 index);

    // Adding (EditorRecordsControllerAdding.cpp).
    // The running number with zeros after any sign until it is digitCount long.
    static QString autoAddNumberText(qint64 number, qint64 digitCount);
    // Writes the datafile's automatic content (prefix, next number, suffix) into the
    // record's chosen field, counting the number as used.
    void updateAutoAddContentField(const std::shared_ptr<RecordData>& record);
    // Add Record: a new record, unless the current one is empty, shown, placed and
    // focused for typing.
    void addRecord();
    // The record a caller fills: a new one (or the empty current one) shown, the focus in
    // the find box. None while syncing or in a clone.
    std::shared_ptr<RecordData> addRecordForModification();
    // A new record with its automatic content, and nothing else: the current record stays.
    std::shared_ptr<RecordData> addNewRecord();
    // Add Record, then the clipboard (or the pasteboard given) read into its text.
    void addRecordWithPaste();
    bool addRecordWithPasteboard(const QMimeData* pasteboard);
    // Add Record reusing an empty current record; with Alt the clipboard is pasted in,
    // as plain text with Alt and Shift.
    void addRecordWithToggle(Qt::KeyboardModifiers modifiers);
    void addRecordWithPasteAsPlainText();
    // The pasteboard read into the text's selection, guarded as every paste here is;
    // whether it counts as pasted (a plain-text paste that did not throw always does).
    bool pasteIntoFreeformText(const QMimeData* pasteboard, bool plainText);
    void setPasteForTesting(Paste paste) { m_paste = std::move(paste); }

    // Deleting (EditorRecordsControllerDeleting.cpp); never the last record.
    // Asks, then deletes the current record.
    void deleteRecord();
    // As deleteRecord, without asking when Shift and Alt are held.
    void deleteRecordWithToggle(Qt::KeyboardModifiers modifiers);
    void deleteRecordWithoutWarning();
    // Deletes the current record when the answer is 1.
    void deleteElementSheetDidEnd(int returnCode);

    // Deleting the selected records (EditorRecordsControllerBackups.cpp): asked, then a
    // backup copy of the datafile, then the deletion; a backup that cannot be written
    // stops it.
    void deleteAllSelectedRecords();
    void deleteAllSelectedRecordsDidEnd(int returnCode);
    // Writes the backup copy into the datafiles folder's "Backups"; why it could not be.
    std::optional<QString> saveCurrentDatafileToBackups();
    // The moment as the locale writes it (short date, medium time) made safe for a file
    // name: "/" to "-", ":" to "•", every space to "_".
    static QString fullDateTime(const QString& localeName, double millisecondsSinceEpoch);
    static QString fullDateTime();
    // The backup's name: the date-time in place of the extension in the title (added when
    // the title has none), then the extension; " 2", " 3"… before it while the name is taken.
    static QString backupFileName(const QString& title, const QString& extension,
                                  const QString& dateTime,
                                  const std::function<bool(const QString&)>& taken);

    // Duplicating (EditorRecordsControllerCopying.cpp): a new record with the current
    // one's fields and text but its own automatic content. Nothing for an empty record.
    void duplicateCurrentRecord();
    // The current record as "Name:\tvalue" lines, a blank line, then the text under its
    // name; committed first.
    QString recordTextWithFieldNames();
    void copyRecordWithFieldNames();
    // The current record as rich text: its field values a line each in the text font, then
    // its text; committed first.
    QMimeData* recordPasteboardData();
    void copyRecord();

    // Removing duplicates (EditorRecordsControllerDuplicates.cpp). Remove Duplicate
    // Records: every record that repeats another goes, and the count is told.
    void removeDuplicateRecords();
    // The catalog in whole-record order (the fields' values, then the text).
    void sortDatafileByWholeRecord();
    // Leaves the datafile in whole-record order without the records that repeat an earlier
    // one; a datafile without any keeps its order, selection and sort. The number removed.
    qint64 stripDuplicateRecords(bool compareRichText);
    // Of records in order, those whose field values and text repeat an earlier record's,
    // the last first. Compared as rich text, texts agree when their strings do.
    static QStringList duplicateIdentifiers(const QList<std::shared_ptr<RecordData>>& records,
                                            const QStringList& fieldIdentifiers,
                                            bool compareRichText);

    // A text file as a record (EditorRecordsControllerTextFiles.cpp): asks for a text,
    // RTF or RTFD file and adds a record holding its text; one that cannot be read is
    // told and adds nothing.
    void importTextFileAsRecord();
    // A file's text: plain, or rich for RTF and RTFD; why it could not be read.
    using TextFileContents = ImportedTextFile::Contents;
    static TextFileContents readTextFile(const QString& path);

    // Order and locks.
    void makeThisTheFirstRecord();
    void makeThisTheLastRecord();
    // Asks for the number of the selected record the current one goes after.
    void moveAfterRecordNumber();
    void moveAfterRecordSheetDidEnd(int returnCode, qint64 index);
    void lockAllRecords();
    void unlockAllRecords();
    // Each selected record back to its lock before the last Lock All or Unlock All.
    void revertAllRecordsLockedState();
    void toggleRecordLocked();

    // Shows the record information palette with the current record's.
    void showRecordInfo();
    // Hands the palette the current record's information, when this window is in front.
    void updateRecordInfoPalette();

    void selectAllRecords();

private:
    void registerCommands();
    // Registers a command that does nothing while the window syncs.
    void registerCommand(const char* selector, std::function<void()> command);
    // Refreshes the panel in which a template's unprintable records are edited, after
    // a move, while it is open.
    void updateDrawerContents();
    // Moves the current record's catalog entry and shows the selected record at shown.
    void moveCurrentRecord(qint64 catalogIndex, qint64 shown);
    void setLockOfSelectedRecords(bool locked);

    void addRecordWithText(const TextFileContents& contents);

    // Deleting's shared steps.
    bool mayDeleteRecord();
    void beginDeleteSheet(const QString& message);

    // Adding's shared steps.
    bool refusedInAClone();
    bool commitForAdding();
    bool currentRecordIsEmpty() const;
    void refocusTable();
    std::shared_ptr<RecordData> makeRecord();
    void showNewRecord(const std::shared_ptr<RecordData>& record);
    void resetFreeformText();
    void placeNewRecord();
    void focusNewRecord();
    void finishToggledAdd();
    // Runs a paste; one that throws is reported and counts as nothing read.
    bool guardedPaste(const std::function<bool()>& paste);
    bool paste(const QMimeData* pasteboard, bool plainText);
    void reportMemoryError();

    EditorWindowController& m_editor;
    Paste m_paste;
};
