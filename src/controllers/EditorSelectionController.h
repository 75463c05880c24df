#pragma once

#include <QObject>

class EditorWindowController;
class SelectRecordsSheetController;

// The editor window's Select Records and Select from Omitted Records: the sheet opens on
// the window, and on OK its criteria become the datafile's and select the records, from
// the shown ones or, adding to them, from the omitted ones. Also Omit Current Record,
// Show Omitted Records and Revert to Previous Selection.
class EditorSelectionController : public QObject {
    Q_OBJECT

public:
    explicit EditorSelectionController(EditorWindowController& editor);

    // Selects among the shown records, or among the omitted ones.
    void selectRecords(bool fromOmitted);
    void selectRecordsFrom();
    void selectRecordsSheetDidEnd(SelectRecordsSheetController* sheet, int returnCode);

    // The record shown leaves the selection; the one that took its place is shown. The
    // only record shown stays, with a beep.
    void deselectCurrentRecord();
    // The omitted records are shown in place of the shown ones; a beep when none is.
    void switchToOmitted();
    void revertToPreviousSelection();

private:
    // The last typed value in the tables and the text reaches the current record.
    void commitEditing();
    // The same, without committing the record shown (the light commit).
    void commitTyping();

    EditorWindowController& m_editor;
    bool m_fromOmitted = false;
};
