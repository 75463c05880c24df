#pragma once

#include <QString>
#include <QtGlobal>

// What the editor window is doing, taken at one moment, as the enabling rule reads it.
struct EditorCommandState {
    bool editingNonPrintableRecords = false;
    bool isClone = false;
    bool nowSyncing = false;
    bool freeformTextAreaActive = false; // the Freeform Text Area has the focus
    bool findBoxActive = false;          // the find box has the focus
    bool tableViewActive = false;        // a field cell is being edited
    bool textSelectionEmpty = true;      // of the Freeform Text Area
    bool isMobile = false;
    bool canSaveChanges = false;
    bool fieldWrapping = false;
    bool basicMode = false;
    qint64 fieldCount = 0;
    bool findBoxHasText = false;
    qsizetype windowCount = 1;          // of the document
    qint64 catalogCount = 0;            // every record, shown or not
    qint64 selectedCount = 0;           // the records shown
    qsizetype historyCount = 0;         // viewed records
    qsizetype historyPosition = 0;
    qint64 findEntryStyle = 0;
    bool hasSyncID = false;
    bool pasteboardHasText = false;
};

// The one rule that enables every command of an editor window, its views' and its
// document's too: lists that switch commands off while the window edits a template's
// records, in a clone, while syncing, without the text area's focus and for a mobile
// datafile, in that order, then a rule per command. A pure decision, cheap enough to run
// for every menu item and toolbar button at each key press.
class EditorCommandValidator {
public:
    static bool validateAction(const QString& selector, const EditorCommandState& state);
};
