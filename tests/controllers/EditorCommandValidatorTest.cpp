#include "EditorCommandValidator.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// An ordinary desktop datafile: two fields, five records all shown, nothing special.
EditorCommandState ordinary()
{
    EditorCommandState state;
    state.canSaveChanges = true;
    state.fieldCount = 2;
    state.catalogCount = 5;
    state.selectedCount = 5;
    state.basicMode = true;
    return state;
}

} // namespace

TEST(EditorCommandValidatorTest, RulesApplyInOrder_TheFirstThatDecidesGivesTheAnswer)
{
    const struct {
        const char* name;
        std::function<void(EditorCommandState&)> setUp;
        const char* selector;
        bool enabled;
    } cases[] = {
        {"an ordinary command", [](EditorCommandState&) {}, "addRecord:", true},
        {"adding while the template drawer is open",
         [](EditorCommandState& s) { s.editingNonPrintableRecords = true; }, "addRecord:", false},
        {"Save As while the template drawer is open",
         [](EditorCommandState& s) { s.editingNonPrintableRecords = true; }, "saveDocumentAs:", false},
        {"paste in a clone", [](EditorCommandState& s) { s.isClone = true; }, "paste:", false},
        {"copy in a clone", [](EditorCommandState& s) { s.isClone = true; }, "copy:", true},
        {"copy while syncing", [](EditorCommandState& s) { s.nowSyncing = true; }, "copy:", true},
        {"quit while syncing", [](EditorCommandState& s) { s.nowSyncing = true; }, "terminate:", true},
        {"File Quit while syncing", [](EditorCommandState& s) { s.nowSyncing = true; }, "quit:", true},
        {"save while syncing", [](EditorCommandState& s) { s.nowSyncing = true; }, "save:", false},
        {"adding while syncing", [](EditorCommandState& s) { s.nowSyncing = true; }, "addRecord:", false},
        {"bold without the text area's focus", [](EditorCommandState&) {}, "toggleBold:", false},
        {"bold in the text area", [](EditorCommandState& s) { s.freeformTextAreaActive = true; },
         "toggleBold:", true},
        {"align left in a mobile datafile's text area",
         [](EditorCommandState& s) {
             s.isMobile = true;
             s.freeformTextAreaActive = true;
         },
         "alignLeft:", false},
        {"the ruler in a mobile datafile", [](EditorCommandState& s) { s.isMobile = true; },
         "toggleFreeformRuler:", false},
        {"remove link with the caret only", [](EditorCommandState& s) { s.freeformTextAreaActive = true; },
         "removeLink:", false},
        {"remove link with a selection",
         [](EditorCommandState& s) {
             s.freeformTextAreaActive = true;
             s.textSelectionEmpty = false;
         },
         "removeLink:", true},
        {"remove link with a selection but the focus in a cell",
         [](EditorCommandState& s) {
             s.textSelectionEmpty = false;
             s.tableViewActive = true;
         },
         "removeLink:", false},
        {"delete with one record", [](EditorCommandState& s) { s.catalogCount = s.selectedCount = 1; },
         "deleteRecord:", false},
        {"delete with two records, one shown",
         [](EditorCommandState& s) {
             s.catalogCount = 2;
             s.selectedCount = 1;
         },
         "deleteRecordWithToggle:", true},
        {"back at the start of the history",
         [](EditorCommandState& s) {
             s.historyCount = 3;
             s.historyPosition = 0;
         },
         "goBackOneRecord:", false},
        {"back further on",
         [](EditorCommandState& s) {
             s.historyCount = 3;
             s.historyPosition = 1;
         },
         "goBackOneRecord:", true},
        {"forward at the end of the history",
         [](EditorCommandState& s) {
             s.historyCount = 3;
             s.historyPosition = 2;
         },
         "goForwardOneRecord:", false},
        {"forward with one entry", [](EditorCommandState& s) { s.historyCount = 1; },
         "goForwardOneRecord:", false},
        {"deselect with one shown", [](EditorCommandState& s) { s.selectedCount = 1; },
         "deselectCurrentRecord:", false},
        {"deselect with two shown", [](EditorCommandState& s) { s.selectedCount = 2; },
         "deselectCurrentRecord:", true},
        {"select all with all shown", [](EditorCommandState&) {}, "selectAllRecords:", false},
        {"select all with some omitted", [](EditorCommandState& s) { s.selectedCount = 3; },
         "selectAllRecords:", true},
        {"move a record with some omitted", [](EditorCommandState& s) { s.selectedCount = 3; },
         "moveAfterRecordNumber:", false},
        {"switch view without fields", [](EditorCommandState& s) { s.fieldCount = 0; },
         "switchView:", false},
        {"line wrapping in the List View",
         [](EditorCommandState& s) {
             s.fieldWrapping = true;
             s.basicMode = false;
         },
         "updateLineWrapping:", false},
        {"line wrapping in the Basic View", [](EditorCommandState& s) { s.fieldWrapping = true; },
         "updateLineWrapping:", true},
        {"a clone of a clone", [](EditorCommandState& s) { s.windowCount = 2; }, "openCloneWindow:",
         false},
        {"sync without a Sync ID", [](EditorCommandState&) {}, "synchronizeDatafiles:", false},
        {"sync with a Sync ID", [](EditorCommandState& s) { s.hasSyncID = true; },
         "synchronizeDatafiles:", true},
        {"remove the Sync ID without one", [](EditorCommandState&) {}, "removeSyncID:", false},
        {"a new sync file without a Sync ID", [](EditorCommandState&) {}, "saveAsNewSyncFile:", true},
        {"sync in a clone",
         [](EditorCommandState& s) {
             s.hasSyncID = true;
             s.isClone = true;
         },
         "synchronizeDatafiles:", false},
        {"a new sync file in a clone", [](EditorCommandState& s) { s.isClone = true; },
         "saveAsNewSyncFile:", false},
        {"remove the Sync ID in a clone",
         [](EditorCommandState& s) {
             s.hasSyncID = true;
             s.isClone = true;
         },
         "removeSyncID:", false},
        {"a new sync file while syncing", [](EditorCommandState& s) { s.nowSyncing = true; },
         "saveAsNewSyncFile:", false},
        {"sync while syncing",
         [](EditorCommandState& s) {
             s.hasSyncID = true;
             s.nowSyncing = true;
         },
         "synchronizeDatafiles:", false},
        {"moving text elements of a synced datafile", [](EditorCommandState& s) { s.hasSyncID = true; },
         "moveTextElements:", false},
        {"&& in the Internet style", [](EditorCommandState& s) { s.findEntryStyle = 1; },
         "insertAmpersand:", false},
        {"a file link in a mobile datafile", [](EditorCommandState& s) { s.isMobile = true; },
         "insertFileLink:", false},
        {"a file link from the find box", [](EditorCommandState& s) { s.findBoxActive = true; },
         "insertFileLink:", false},
    };
    for (const auto& c : cases) {
        EditorCommandState state = ordinary();
        c.setUp(state);
        EXPECT_EQ(EditorCommandValidator::validateAction(QString::fromLatin1(c.selector), state),
                  c.enabled)
            << c.name;
    }
}
