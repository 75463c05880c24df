#include "EditorCommandValidator.h"

#include <QSet>

namespace {

using Selectors = QSet<QString>;

Selectors selectors(std::initializer_list<const char*> names)
{
    Selectors set;
    for (const char* name : names)
        set.insert(QString::fromLatin1(name));
    return set;
}

// Off while the window edits the records a template cannot print.
const Selectors& offWhileEditingNonPrintableRecords()
{
    static const Selectors set = selectors(
        {"addRecord:", "addRecordWithPaste:", "deleteRecord:", "deleteRecordWithToggle:",
         "deleteRecordWithoutWarning:", "deselectCurrentRecord:", "deleteAllSelectedRecords:",
         "duplicateCurrentRecord:", "editDatafileSettings:", "exportAsNorva2Datafile:",
         "exportAsCSV:", "exportAsTabDelimited:", "exportAsTextFile:", "fillEmptyFields:",
         "replaceFieldContents:", "goToRecordNumber:", "grabURL:", "grabURLPastePlainText:",
         "grabURLWithToggle:", "grabURLWithoutPaste:", "grabURLWithPaste:", "grabURLWithPasteboard:",
         "makeThisTheFirstRecord:", "makeThisTheLastRecord:", "mergeDatafiles:", "modifyFields:",
         "printSingleEnvelopeOrLabel:", "printTestSheet:", "removeDuplicateRecords:",
         "revertToPreviousSelection:", "saveDocumentAs:", "selectAllRecords:", "selectFromOmitted:",
         "selectRecords:", "setCurrentTextFont:", "setVisible:", "sortDatafile:",
         "customizeToolbar:", "toggleToolbarStyle:", "startMultiFileFind:", "switchToOmitted:"});
    return set;
}

// Off in a clone window, which never changes the datafile.
const Selectors& offInAClone()
{
    static const Selectors set = selectors(
        {"activateLinks:", "addFieldWithContent:", "addRecord:", "addRecordWithPaste:",
         "addRecordWithPasteAsPlainText:", "addRecordWithToggle:",
         "createLinksForAllTelephoneNumbers:", "deleteRecord:",
         "deleteRecordWithToggle:", "deleteRecordWithoutWarning:", "deselectCurrentRecord:",
         "deleteAllSelectedRecords:", "duplicateCurrentRecord:", "editDatafileSettings:",
         "exportAsNorva2Datafile:", "exportAsCSV:", "exportAsTabDelimited:", "exportAsTextFile:",
         "fillEmptyFields:", "replaceFieldContents:", "findNextInClone:", "grabURL:",
         "grabURLPastePlainText:", "grabURLWithToggle:", "grabURLWithoutPaste:", "grabURLWithPaste:",
         "grabURLWithPasteboard:", "importTextFileAsRecord:", "insertDateTime:", "insertFileLink:",
         "makeThisTheFirstRecord:",
         "makeThisTheLastRecord:", "mergeDatafiles:", "modifyFields:", "moveAfterRecordNumber:",
         "moveAllFreeformTextIntoFields:", "moveCurrentFreeformTextIntoFields:", "openCloneWindow:",
         "orderFrontColorPanel:", "orderFrontFontPanel:", "orderFrontLinkPanel:",
         "orderFrontListPanel:", "orderFrontSpacingPanel:", "orderFrontTablePanel:", "paste:",
         "pastePlainText:", "pasteAsPlainText:", "pasteFTAStyle:", "printSingleEnvelopeOrLabel:",
         "printTestSheet:", "removeBlankLines:", "removeDuplicateRecords:", "removeSyncID:",
         "saveAsNewSyncFile:", "selectAllRecords:",
         "selectFromOmitted:", "selectRecords:", "setCurrentTextFont:", "setVisible:",
         "sortDatafile:", "splitDatafile:", "startMultiFileFind:", "switchToOmitted:",
         "synchronizeDatafiles:", "toggleHighlighter:",
         "totalFieldContents:", "transferFieldContents:"});
    return set;
}

// Formatting that needs the Freeform Text Area's focus.
const Selectors& textFormatting()
{
    static const Selectors set = selectors(
        {"orderFrontFontPanel:", "orderFrontSpacingPanel:", "addFontTrait:", "underline:",
         "modifyFont:", "useAllLigatures:", "useStandardLigatures:", "useStandardKerning:",
         "turnOffKerning:", "turnOffLigatures:", "tightenKerning:", "loosenKerning:", "unscript:",
         "superscript:", "subscript:", "raiseBaseline:", "lowerBaseline:", "pasteFTAStyle:",
         "pasteFTARuler:", "alignLeft:", "alignCenter:", "alignJustified:", "toggleBold:",
         "toggleItalic:", "alignRight:", "copyFont:", "pasteFont:", "copyRuler:", "pasteRuler:"});
    return set;
}

// Rich text a mobile datafile cannot keep.
const Selectors& richTextOnly()
{
    static const Selectors set = selectors(
        {"orderFrontFontPanel:", "orderFrontSpacingPanel:", "orderFrontLinkPanel:",
         "orderFrontListPanel:", "orderFrontTablePanel:", "addFontTrait:", "underline:",
         "modifyFont:", "toggleFreeformRuler:", "changeCurrentRecordToDefaultFont:",
         "changeAllToDefaultFont:", "useAllLigatures:", "useStandardLigatures:",
         "useStandardKerning:", "turnOffKerning:", "turnOffLigatures:", "tightenKerning:",
         "loosenKerning:", "unscript:", "superscript:", "subscript:", "raiseBaseline:",
         "lowerBaseline:", "pasteFTAStyle:", "pasteFTARuler:", "alignLeft:", "alignCenter:",
         "alignJustified:", "toggleBold:", "toggleItalic:", "alignRight:"});
    return set;
}

using Rule = bool (*)(const EditorCommandState&);

bool hasFields(const EditorCommandState& state)
{
    return state.fieldCount > 0;
}

bool allSelected(const EditorCommandState& state)
{
    return state.selectedCount == state.catalogCount;
}

const QHash<QString, Rule>& commandRules()
{
    static const QHash<QString, Rule> rules = [] {
        QHash<QString, Rule> table;
        const auto add = [&](std::initializer_list<const char*> names, Rule rule) {
            for (const char* name : names)
                table.insert(QString::fromLatin1(name), rule);
        };
        add({"save:"}, [](const EditorCommandState& s) { return s.canSaveChanges; });
        add({"deactivateFieldLink:"}, [](const EditorCommandState& s) { return s.tableViewActive; });
        add({"removeLink:"}, [](const EditorCommandState& s) {
            return s.freeformTextAreaActive && !s.textSelectionEmpty;
        });
        add({"updateLineWrapping:"},
            [](const EditorCommandState& s) { return s.fieldWrapping && s.basicMode; });
        add({"exportAsFreeformDatafile:", "printAllListViewRecords:", "switchView:", "exportAsCSV:",
             "exportAsTabDelimited:", "fillEmptyFields:", "replaceFieldContents:",
             "copyRecordWithFieldNames:", "moveAllFreeformTextIntoFields:",
             "moveCurrentFreeformTextIntoFields:", "totalFieldContents:", "transferFieldContents:"},
            hasFields);
        add({"findNextInClone:"},
            [](const EditorCommandState& s) { return s.findBoxHasText && s.windowCount < 2; });
        // The last record can never be deleted.
        add({"deleteRecord:", "deleteRecordWithToggle:", "deleteRecordWithoutWarning:"},
            [](const EditorCommandState& s) { return s.catalogCount >= 2; });
        add({"deleteAllSelectedRecords:", "selectAllRecords:", "switchToOmitted:",
             "selectFromOmitted:"},
            [](const EditorCommandState& s) { return !allSelected(s); });
        add({"moveAfterRecordNumber:", "makeThisTheFirstRecord:", "makeThisTheLastRecord:"},
            allSelected);
        add({"goBackOneRecord:"}, [](const EditorCommandState& s) {
            return s.historyCount >= 2 && s.historyPosition != 0;
        });
        add({"goForwardOneRecord:"}, [](const EditorCommandState& s) {
            return s.historyCount >= 2 && s.historyPosition < s.historyCount - 1;
        });
        add({"insertAmpersand:"}, [](const EditorCommandState& s) { return s.findEntryStyle == 0; });
        add({"insertFileLink:"}, [](const EditorCommandState& s) {
            return !s.isMobile && !s.findBoxActive && (s.freeformTextAreaActive || s.fieldCount > 0);
        });
        add({"addFieldWithContent:", "moveTextElements:"},
            [](const EditorCommandState& s) { return !s.hasSyncID; });
        add({"synchronizeDatafiles:", "removeSyncID:"},
            [](const EditorCommandState& s) { return s.hasSyncID; });
        add({"pastePlainText:"}, [](const EditorCommandState& s) { return s.pasteboardHasText; });
        add({"openCloneWindow:"}, [](const EditorCommandState& s) { return s.windowCount < 2; });
        // Omitting the only shown record would leave nothing to show (and nothing to print).
        add({"deselectCurrentRecord:"}, [](const EditorCommandState& s) { return s.selectedCount >= 2; });
        return table;
    }();
    return rules;
}

} // namespace

bool EditorCommandValidator::validateAction(const QString& selector, const EditorCommandState& state)
{
    if (state.editingNonPrintableRecords && offWhileEditingNonPrintableRecords().contains(selector))
        return false;
    if (state.isClone && offInAClone().contains(selector))
        return false;
    if (state.nowSyncing)
        return selector == QLatin1String("copy:") || selector == QLatin1String("terminate:") ||
               selector == QLatin1String("quit:");
    if (!state.freeformTextAreaActive && textFormatting().contains(selector))
        return false;
    if (state.isMobile && richTextOnly().contains(selector))
        return false;
    const auto rule = commandRules().constFind(selector);
    return rule == commandRules().cend() || (*rule)(state);
}
