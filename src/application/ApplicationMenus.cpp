#include "ApplicationMenus.h"

#include "ActionRouter.h"
#include "EditorScaleController.h"
#include "ImportCommands.h"
#include "KeyEquivalents.h"
#include "Localization.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

constexpr unsigned Command = KeyEquivalents::CommandKeyMask;
constexpr unsigned Control = KeyEquivalents::ControlKeyMask;
constexpr unsigned Option = KeyEquivalents::AlternateKeyMask;

} // namespace

ApplicationMenus::ApplicationMenus(ActionBinding::FirstResponderFunction firstResponder)
    : m_binding(firstResponder ? std::move(firstResponder) : &ActionRouter::firstResponder)
{
    buildFileMenu();
    buildEditMenu();
    buildViewMenu();
    buildRecordsMenu();
    buildFieldsMenu();
    buildDatafileMenu();
    buildFormatMenu();
    m_dialMenu = makeMenu(QStringLiteral("&Dial"));
    buildHelpMenu();

    for (const auto& menu : m_topMenus)
        m_binding.validateWhenShown(menu.get());
    // A menu that its feature has not filled yet is shown, disabled.
    QObject::connect(m_recordsMenu, &QMenu::aboutToShow, m_recordsMenu, [this] {
        m_sortTasksMenu->menuAction()->setEnabled(!m_sortTasksMenu->isEmpty());
    });
}

ApplicationMenus::~ApplicationMenus() = default;

QMenu* ApplicationMenus::makeMenu(const QString& title, QMenu* parent)
{
    if (parent) {
        // Owned by its parent menu, and validated with it.
        auto* menu = new QMenu(localized(title), parent);
        parent->addMenu(menu);
        m_binding.validateWhenShown(menu);
        return menu;
    }
    m_topMenus.push_back(std::make_unique<QMenu>(localized(title)));
    return m_topMenus.back().get();
}

QAction* ApplicationMenus::addItem(QMenu* menu, const QString& title, const QString& selector,
                                   const QString& keyEquivalent, unsigned modifierMask)
{
    QAction* action = menu->addAction(localized(title));
    KeyEquivalents::setShortcut(action, KeyEquivalents::keySequence(keyEquivalent, modifierMask));
    m_binding.bind(action, selector);
    return action;
}

QAction* ApplicationMenus::addItem(QMenu* menu, const QString& title, const QString& selector,
                                   const QString& keyEquivalent)
{
    return addItem(menu, title, selector, keyEquivalent, Command);
}

void ApplicationMenus::buildFileMenu()
{
    QMenu* file = m_fileMenu = makeMenu(QStringLiteral("&File"));
    addItem(file, QStringLiteral("New Datafile…"), QStringLiteral("newDatafile:"), QStringLiteral("n"));
    addItem(file, QStringLiteral("Open…"), QStringLiteral("openDocument:"), QStringLiteral("o"));
    // The application fills both after their fixed items with the files of its folders.
    m_datafilesMenu = makeMenu(QStringLiteral("Datafiles"), file);
    addItem(m_datafilesMenu, QStringLiteral("Datafile Hot Keys…"),
            QStringLiteral("editDatafileHotKeys:"));
    addItem(m_datafilesMenu, QStringLiteral("Show Datafiles Folder"),
            QStringLiteral("revealDatafilesFolderInFinder:"));
    addItem(m_datafilesMenu, QStringLiteral("Change Datafiles Folder…"),
            QStringLiteral("resetDatafilesFolder:"));
    m_datafilesMenu->addSeparator();
    m_templatesMenu = makeMenu(QStringLiteral("Templates"), file);
    addItem(m_templatesMenu, QStringLiteral("New Label…"), QStringLiteral("newLabel:"));
    addItem(m_templatesMenu, QStringLiteral("New Envelope…"), QStringLiteral("newEnvelope:"));
    m_templatesMenu->addSeparator();
    addItem(m_templatesMenu, QStringLiteral("Show Templates Folder"),
            QStringLiteral("revealTemplatesFolderInFinder:"));
    addItem(m_templatesMenu, QStringLiteral("Change Templates Folder…"),
            QStringLiteral("resetTemplatesFolder:"));
    m_templatesMenu->addSeparator();
    m_importMenu = makeMenu(QStringLiteral("Import"), file);
    for (const ImportCommand& command : importCommands())
        addItem(m_importMenu, QString::fromUtf8(command.title), QString::fromLatin1(command.selector));
    addItem(file, QStringLiteral("Get Datafile from Norva Mobile…"), QStringLiteral("startWiFiListRequest:"));
    file->addSeparator();
    addItem(file, QStringLiteral("Close"), QStringLiteral("performClose:"), QStringLiteral("w"));
    addItem(file, QStringLiteral("Close All"), QStringLiteral("closeAllOpenDatafiles:"));
    addItem(file, QStringLiteral("Save"), QStringLiteral("saveDocument:"), QStringLiteral("s"));
    addItem(file, QStringLiteral("Save As…"), QStringLiteral("saveDocumentAs:"), QStringLiteral("S"));
    // Titled for the datafile in front by its editor window.
    m_saveAsOtherFormatItem = addItem(file, QStringLiteral("Save As Norva Mobile Datafile..."),
                                      QStringLiteral("saveAsOtherFormatDatafile:"));
    addItem(file, QStringLiteral("Save Selected Records…"), QStringLiteral("saveSelectedAs:"));
    addItem(file, QStringLiteral("Split Datafile…"), QStringLiteral("splitDatafile:"));
    addItem(file, QStringLiteral("Revert to Saved"), QStringLiteral("revertDocumentToSaved:"));
    file->addSeparator();
    addItem(file, QStringLiteral("Open Clone Window"), QStringLiteral("openCloneWindow:"));
    addItem(file, QStringLiteral("Show in File Manager"), QStringLiteral("revealInFinder:"));
    file->addSeparator();
    addItem(file, QStringLiteral("Page Setup…"), QStringLiteral("runPageLayout:"));
    addItem(file, QStringLiteral("Print…"), QStringLiteral("printDocument:"), QStringLiteral("p"));
    addItem(file, QStringLiteral("Print Current Record"), QStringLiteral("printCurrentRecord:"));
    addItem(file, QStringLiteral("Print All Records, One per Page"),
            QStringLiteral("printAllIndividualBasicViewRecords:"));
    addItem(file, QStringLiteral("Print All Records, One after Another"),
            QStringLiteral("printAllContinuousBasicViewRecords:"));
    addItem(file, QStringLiteral("Print List View"), QStringLiteral("printAllListViewRecords:"));
    addItem(file, QStringLiteral("Print Selected Text"), QStringLiteral("printSelection:"));
    addItem(file, QStringLiteral("Print Single Envelope or Label"),
            QStringLiteral("printSingleEnvelopeOrLabel:"));
    addItem(file, QStringLiteral("Print Test Sheet"), QStringLiteral("printTestSheet:"));
    file->addSeparator();
    addItem(file, QStringLiteral("Quit"), QStringLiteral("quit:"), QStringLiteral("q"));
}

void ApplicationMenus::buildEditMenu()
{
    QMenu* edit = m_editMenu = makeMenu(QStringLiteral("&Edit"));
    addItem(edit, QStringLiteral("Undo"), QStringLiteral("undo:"), QStringLiteral("z"));
    addItem(edit, QStringLiteral("Redo"), QStringLiteral("redo:"), QStringLiteral("Z"));
    edit->addSeparator();
    addItem(edit, QStringLiteral("Cut"), QStringLiteral("cut:"), QStringLiteral("x"));
    addItem(edit, QStringLiteral("Copy"), QStringLiteral("copy:"), QStringLiteral("c"));
    addItem(edit, QStringLiteral("Paste"), QStringLiteral("paste:"), QStringLiteral("v"));
    addItem(edit, QStringLiteral("Paste as Plain Text"), QStringLiteral("pastePlainText:"));
    addItem(edit, QStringLiteral("Paste Style"), QStringLiteral("pasteFTAStyle:"));
    addItem(edit, QStringLiteral("Paste Ruler"), QStringLiteral("pasteFTARuler:"));
    addItem(edit, QStringLiteral("Select All"), QStringLiteral("selectAll:"), QStringLiteral("a"));
    edit->addSeparator();
    addItem(edit, QStringLiteral("Copy Address Block"), QStringLiteral("copyAddressBlock:"));
    addItem(edit, QStringLiteral("Copy Record Link"), QStringLiteral("copyRecordIdentifierToPasteboard:"));
    addItem(edit, QStringLiteral("Copy Record"), QStringLiteral("copyRecord:"));
    addItem(edit, QStringLiteral("Copy Record with Field Names"),
            QStringLiteral("copyRecordWithFieldNames:"));
    edit->addSeparator();
    addItem(edit, QStringLiteral("Insert Date/Time"), QStringLiteral("insertDateTime:"),
            QStringLiteral("t"), Command | Option);
    addItem(edit, QStringLiteral("Insert Link To File or Folder"), QStringLiteral("insertFileLink:"),
            QStringLiteral("L"), Command | Control);
    addItem(edit, QStringLiteral("Grab Web Address"), QStringLiteral("grabURLWithToggle:"),
            QStringLiteral("g"), Command | Option | Control);
    addItem(edit, QStringLiteral("Grab Web Address and Paste Its Page"),
            QStringLiteral("grabURLWithPaste:"));
    addItem(edit, QStringLiteral("Grab Web Address and Paste Its Page as Plain Text"),
            QStringLiteral("grabURLPastePlainText:"));
    addItem(edit, QStringLiteral("Grab Web Address Only"), QStringLiteral("grabURLWithoutPaste:"));
    edit->addSeparator();
    QMenu* find = makeMenu(QStringLiteral("Find"), edit);
    addItem(find, QStringLiteral("Find Next"), QStringLiteral("forwardSearchForFindBoxText:"),
            QStringLiteral("g"));
    addItem(find, QStringLiteral("Find Previous"), QStringLiteral("reverseSearchForFindBoxText:"),
            QStringLiteral("G"));
    addItem(find, QStringLiteral("Find Next and Edit"), QStringLiteral("forwardSearchHighlight:"));
    addItem(find, QStringLiteral("Find Previous and Edit"), QStringLiteral("reverseSearchHighlight:"));
    addItem(find, QStringLiteral("Skip Record and Find Next"), QStringLiteral("skipThenSearchForward:"));
    addItem(find, QStringLiteral("Skip Record and Find Previous"),
            QStringLiteral("skipThenReverseSearch:"));
    addItem(find, QStringLiteral("Find Next in Clone Window"), QStringLiteral("findNextInClone:"));
    addItem(find, QStringLiteral("Use Selection for Find"), QStringLiteral("copySelectionToFindBox:"));
    addItem(find, QStringLiteral("And Search"), QStringLiteral("insertAmpersand:"), QStringLiteral("&"));
    find->addSeparator();
    addItem(find, QStringLiteral("Find and Replace…"), QStringLiteral("startFindAndReplace:"));
    addItem(find, QStringLiteral("Multi-File Find…"), QStringLiteral("startMultiFileFind:"));
    find->addSeparator();
    // Retitled by the editor as the lock changes.
    m_searchOptionLockItem = addItem(find, QStringLiteral("Disable Search Option Button"),
                                     QStringLiteral("toggleSearchOptionLock:"));
    edit->addSeparator();
    addItem(edit, QStringLiteral("Preferences…"), QStringLiteral("startPreferences:"),
            QStringLiteral(","));
}

void ApplicationMenus::buildViewMenu()
{
    QMenu* view = makeMenu(QStringLiteral("&View"));
    addItem(view, QStringLiteral("Switch View"), QStringLiteral("switchView:"), QStringLiteral("V"));
    addItem(view, QStringLiteral("Zoom to Printing Size"), QStringLiteral("zoomToPrintingSize:"));
    view->addSeparator();
    m_scaleMenu = makeMenu(QStringLiteral("Scale"), view);
    // The item's data is its step.
    for (int tag = 0; tag < int(EditorScaleController::Steps.size()); ++tag) {
        QAction* step = addItem(m_scaleMenu, QString::fromLatin1(EditorScaleController::Steps[tag].label),
                                QStringLiteral("scaleFTA:"));
        step->setData(tag);
        step->setCheckable(true);
    }
    addItem(view, QStringLiteral("Reduce"), QStringLiteral("decreaseScale:"), QStringLiteral("_"));
    addItem(view, QStringLiteral("Enlarge"), QStringLiteral("increaseScale:"), QStringLiteral("+"));
    view->addSeparator();
    addItem(view, QStringLiteral("Edit Field"), QStringLiteral("activateField:"));
    addItem(view, QStringLiteral("Edit Field in Next Record"), QStringLiteral("activateFieldInNextRecord:"));
    addItem(view, QStringLiteral("Go to Find Box"), QStringLiteral("activateFindBox:"));
    addItem(view, QStringLiteral("Edit Freeform Text"), QStringLiteral("activateFreeformText:"));
    view->addSeparator();
    addItem(view, QStringLiteral("Update Line Wrapping"), QStringLiteral("updateLineWrapping:"));
    view->addSeparator();
    addItem(view, QStringLiteral("Show or Hide Toolbar"), QStringLiteral("showHideToolbar:"));
    addItem(view, QStringLiteral("Customize Toolbar…"), QStringLiteral("customizeToolbar:"));
    addItem(view, QStringLiteral("Toggle Toolbar Style"), QStringLiteral("toggleToolbarStyle:"));
    view->addSeparator();
    addItem(view, QStringLiteral("Show Record Info"), QStringLiteral("showRecordInfo:"));
}

void ApplicationMenus::buildRecordsMenu()
{
    QMenu* records = m_recordsMenu = makeMenu(QStringLiteral("&Records"));
    addItem(records, QStringLiteral("First Record"), QStringLiteral("goToFirstRecord:"),
            QStringLiteral(";"), Command | Control);
    addItem(records, QStringLiteral("Previous Record"), QStringLiteral("goToPreviousRecord:"),
            QStringLiteral(";"));
    addItem(records, QStringLiteral("Next Record"), QStringLiteral("goToNextRecord:"),
            QStringLiteral("'"));
    addItem(records, QStringLiteral("Last Record"), QStringLiteral("goToLastRecord:"),
            QStringLiteral("'"), Command | Control);
    addItem(records, QStringLiteral("Go to Record Number…"), QStringLiteral("goToRecordNumber:"));
    records->addSeparator();
    addItem(records, QStringLiteral("Back"), QStringLiteral("goBackOneRecord:"), QStringLiteral(";"),
            Command | Control | Option);
    addItem(records, QStringLiteral("Forward"), QStringLiteral("goForwardOneRecord:"),
            QStringLiteral("'"), Command | Control | Option);
    records->addSeparator();
    addItem(records, QStringLiteral("Next Field"), QStringLiteral("selectNextField:"));
    addItem(records, QStringLiteral("Previous Field"), QStringLiteral("selectPreviousField:"));
    addItem(records, QStringLiteral("Same Field in Next Record"), QStringLiteral("selectNextRecord:"));
    addItem(records, QStringLiteral("Same Field in Previous Record"),
            QStringLiteral("selectPreviousRecord:"));
    records->addSeparator();
    addItem(records, QStringLiteral("Add Record"), QStringLiteral("addRecordWithToggle:"),
            QStringLiteral("="));
    addItem(records, QStringLiteral("Add Empty Record"), QStringLiteral("addRecord:"));
    addItem(records, QStringLiteral("Add Record with Paste"), QStringLiteral("addRecordWithPaste:"));
    addItem(records, QStringLiteral("Add Record with Paste as Plain Text"),
            QStringLiteral("addRecordWithPasteAsPlainText:"));
    addItem(records, QStringLiteral("Add Record from Text File…"),
            QStringLiteral("importTextFileAsRecord:"));
    addItem(records, QStringLiteral("Duplicate Record"), QStringLiteral("duplicateCurrentRecord:"));
    addItem(records, QStringLiteral("Delete Record"), QStringLiteral("deleteRecordWithToggle:"),
            QStringLiteral("-"));
    addItem(records, QStringLiteral("Delete Record…"), QStringLiteral("deleteRecord:"));
    addItem(records, QStringLiteral("Delete Record Without Warning"),
            QStringLiteral("deleteRecordWithoutWarning:"));
    addItem(records, QStringLiteral("Delete All Selected Records…"),
            QStringLiteral("deleteAllSelectedRecords:"));
    addItem(records, QStringLiteral("Remove Duplicate Records…"), QStringLiteral("removeDuplicateRecords:"));
    records->addSeparator();
    addItem(records, QStringLiteral("Make This the First Record"), QStringLiteral("makeThisTheFirstRecord:"));
    addItem(records, QStringLiteral("Make This the Last Record"), QStringLiteral("makeThisTheLastRecord:"));
    addItem(records, QStringLiteral("Move After Record Number…"), QStringLiteral("moveAfterRecordNumber:"));
    records->addSeparator();
    addItem(records, QStringLiteral("Lock or Unlock Record"), QStringLiteral("toggleRecordLocked:"));
    addItem(records, QStringLiteral("Lock All Selected Records"), QStringLiteral("lockAllRecords:"));
    addItem(records, QStringLiteral("Unlock All Selected Records"), QStringLiteral("unlockAllRecords:"));
    addItem(records, QStringLiteral("Revert Locks of Selected Records"),
            QStringLiteral("revertAllRecordsLockedState:"));
    records->addSeparator();
    addItem(records, QStringLiteral("Select Records…"), QStringLiteral("selectRecords:"));
    addItem(records, QStringLiteral("Select from Omitted Records…"), QStringLiteral("selectFromOmitted:"));
    addItem(records, QStringLiteral("Select All Records"), QStringLiteral("selectAllRecords:"));
    addItem(records, QStringLiteral("Show Omitted Records"), QStringLiteral("switchToOmitted:"));
    addItem(records, QStringLiteral("Omit Current Record"), QStringLiteral("deselectCurrentRecord:"));
    addItem(records, QStringLiteral("Revert to Previous Selection"),
            QStringLiteral("revertToPreviousSelection:"));
    records->addSeparator();
    addItem(records, QStringLiteral("Sort…"), QStringLiteral("sortDatafile:"));
    m_sortTasksMenu = makeMenu(QStringLiteral("Sort Tasks"), records);
    m_sortMenu = makeMenu(QStringLiteral("Quick Sort"), records);
    addItem(m_sortMenu, QStringLiteral("Sort A to Z"), QStringLiteral("sortAlpha:"));
    addItem(m_sortMenu, QStringLiteral("Sort Z to A"), QStringLiteral("sortAlphaReverse:"));
    addItem(m_sortMenu, QStringLiteral("Sort as Numbers, Ascending"), QStringLiteral("sortNumeric:"));
    addItem(m_sortMenu, QStringLiteral("Sort as Numbers, Descending"), QStringLiteral("sortNumericReverse:"));
    addItem(m_sortMenu, QStringLiteral("Sort as Dates, Oldest First"), QStringLiteral("sortAsStandardDates:"));
    addItem(m_sortMenu, QStringLiteral("Sort as Dates, Newest First"),
            QStringLiteral("sortAsStandardDatesReverse:"));
    addItem(m_sortMenu, QStringLiteral("Sort as E-mail Dates, Oldest First"),
            QStringLiteral("sortAsEmailDates:"));
    addItem(m_sortMenu, QStringLiteral("Sort as E-mail Dates, Newest First"),
            QStringLiteral("sortAsEmailDatesReverse:"));
}

void ApplicationMenus::buildFieldsMenu()
{
    QMenu* fields = makeMenu(QStringLiteral("Fie&lds"));
    addItem(fields, QStringLiteral("Modify Fields…"), QStringLiteral("modifyFields:"));
    addItem(fields, QStringLiteral("Add Field with Content…"), QStringLiteral("addFieldWithContent:"));
    addItem(fields, QStringLiteral("Fill Empty Fields…"), QStringLiteral("fillEmptyFields:"));
    addItem(fields, QStringLiteral("Replace Field Contents…"), QStringLiteral("replaceFieldContents:"));
    addItem(fields, QStringLiteral("Total Field Contents…"), QStringLiteral("totalFieldContents:"));
    addItem(fields, QStringLiteral("Transfer Field Contents…"), QStringLiteral("transferFieldContents:"));
    fields->addSeparator();
    addItem(fields, QStringLiteral("Move Text Elements into Fields…"), QStringLiteral("moveTextElements:"));
    addItem(fields, QStringLiteral("Move Freeform Text into Fields"),
            QStringLiteral("moveCurrentFreeformTextIntoFields:"));
    addItem(fields, QStringLiteral("Move All Freeform Text into Fields"),
            QStringLiteral("moveAllFreeformTextIntoFields:"));
    addItem(fields, QStringLiteral("Make Telephone Links"),
            QStringLiteral("createLinksForAllTelephoneNumbers:"));
    fields->addSeparator();
    addItem(fields, QStringLiteral("Deactivate Field Link"), QStringLiteral("deactivateFieldLink:"));
}

void ApplicationMenus::buildDatafileMenu()
{
    QMenu* datafile = makeMenu(QStringLiteral("Data&file"));
    addItem(datafile, QStringLiteral("Datafile Settings…"), QStringLiteral("editDatafileSettings:"));
    addItem(datafile, QStringLiteral("Freeform Text Font…"), QStringLiteral("setCurrentTextFont:"));
    addItem(datafile, QStringLiteral("Merge Datafiles…"), QStringLiteral("mergeDatafiles:"));
    datafile->addSeparator();
    addItem(datafile, QStringLiteral("Synchronize"), QStringLiteral("synchronizeDatafiles:"));
    addItem(datafile, QStringLiteral("Save As New Sync File…"), QStringLiteral("saveAsNewSyncFile:"));
    addItem(datafile, QStringLiteral("Remove Sync ID"), QStringLiteral("removeSyncID:"));
    datafile->addSeparator();
    QMenu* exports = makeMenu(QStringLiteral("Export"), datafile);
    addItem(exports, QStringLiteral("As CSV…"), QStringLiteral("exportAsCSV:"));
    addItem(exports, QStringLiteral("As Tab-Delimited Text…"), QStringLiteral("exportAsTabDelimited:"));
    addItem(exports, QStringLiteral("As Text File…"), QStringLiteral("exportAsTextFile:"));
    addItem(exports, QStringLiteral("As Freeform Text…"), QStringLiteral("exportAsFreeformDatafile:"));
    addItem(exports, QStringLiteral("As Norva 2 Datafile…"), QStringLiteral("exportAsNorva2Datafile:"));
}

void ApplicationMenus::buildFormatMenu()
{
    // "Format": a mobile datafile's editor knows this menu by its title.
    QMenu* format = makeMenu(QStringLiteral("Format"));
    addItem(format, QStringLiteral("Bold"), QStringLiteral("toggleBold:"), QStringLiteral("b"));
    addItem(format, QStringLiteral("Italic"), QStringLiteral("toggleItalic:"), QStringLiteral("i"));
    addItem(format, QStringLiteral("Underline"), QStringLiteral("underline:"), QStringLiteral("u"));
    // The tags say which way the size goes.
    addItem(format, QStringLiteral("Bigger"), QStringLiteral("modifyFont:"))->setData(3);
    addItem(format, QStringLiteral("Smaller"), QStringLiteral("modifyFont:"))->setData(4);
    QMenu* kerning = makeMenu(QStringLiteral("Kern"), format);
    addItem(kerning, QStringLiteral("Use Default"), QStringLiteral("useStandardKerning:"));
    addItem(kerning, QStringLiteral("Use None"), QStringLiteral("turnOffKerning:"));
    addItem(kerning, QStringLiteral("Tighten"), QStringLiteral("tightenKerning:"));
    addItem(kerning, QStringLiteral("Loosen"), QStringLiteral("loosenKerning:"));
    QMenu* ligatures = makeMenu(QStringLiteral("Ligatures"), format);
    addItem(ligatures, QStringLiteral("Use Default"), QStringLiteral("useStandardLigatures:"));
    addItem(ligatures, QStringLiteral("Use None"), QStringLiteral("turnOffLigatures:"));
    addItem(ligatures, QStringLiteral("Use All"), QStringLiteral("useAllLigatures:"));
    QMenu* baseline = makeMenu(QStringLiteral("Baseline"), format);
    addItem(baseline, QStringLiteral("Use Default"), QStringLiteral("unscript:"));
    addItem(baseline, QStringLiteral("Superscript"), QStringLiteral("superscript:"));
    addItem(baseline, QStringLiteral("Subscript"), QStringLiteral("subscript:"));
    addItem(baseline, QStringLiteral("Raise"), QStringLiteral("raiseBaseline:"));
    addItem(baseline, QStringLiteral("Lower"), QStringLiteral("lowerBaseline:"));
    format->addSeparator();
    addItem(format, QStringLiteral("Align Left"), QStringLiteral("alignLeft:"), QStringLiteral("{"));
    addItem(format, QStringLiteral("Center"), QStringLiteral("alignCenter:"), QStringLiteral("|"));
    addItem(format, QStringLiteral("Justify"), QStringLiteral("alignJustified:"));
    addItem(format, QStringLiteral("Align Right"), QStringLiteral("alignRight:"), QStringLiteral("}"));
    format->addSeparator();
    addItem(format, QStringLiteral("Copy Style"), QStringLiteral("copyFont:"));
    addItem(format, QStringLiteral("Copy Ruler"), QStringLiteral("copyRuler:"));
    format->addSeparator();
    addItem(format, QStringLiteral("Show Font Panel"), QStringLiteral("orderFrontFontPanel:"),
            QStringLiteral("t"));
    addItem(format, QStringLiteral("Show Color Panel"), QStringLiteral("orderFrontColorPanel:"),
            QStringLiteral("C"));
    addItem(format, QStringLiteral("Spacing…"), QStringLiteral("orderFrontSpacingPanel:"));
    addItem(format, QStringLiteral("Open Link Panel"), QStringLiteral("orderFrontLinkPanel:"),
            QStringLiteral("l"), Command | Control);
    addItem(format, QStringLiteral("Lists…"), QStringLiteral("orderFrontListPanel:"));
    addItem(format, QStringLiteral("Table…"), QStringLiteral("orderFrontTablePanel:"));
    format->addSeparator();
    addItem(format, QStringLiteral("Toggle Ruler"), QStringLiteral("toggleFreeformRuler:"),
            QStringLiteral("r"), Command | Option);
    addItem(format, QStringLiteral("Toggle Highlighter"), QStringLiteral("toggleHighlighter:"),
            QStringLiteral("h"), Command | Option | Control);
    addItem(format, QStringLiteral("Apply Default Font and Ruler"),
            QStringLiteral("changeSelectedTextToDefaultFontAndRuler:"));
    addItem(format, QStringLiteral("Default Font for This Record"),
            QStringLiteral("changeCurrentRecordToDefaultFont:"));
    addItem(format, QStringLiteral("Default Font for All Selected Records"),
            QStringLiteral("changeAllToDefaultFont:"));
    addItem(format, QStringLiteral("Remove Background Colors"),
            QStringLiteral("stripAnomalousBackgroundColors:"));
    addItem(format, QStringLiteral("Remove Blank Lines"), QStringLiteral("removeBlankLines:"));
    format->addSeparator();
    QMenu* lines = makeMenu(QStringLiteral("Sort Lines"), format);
    addItem(lines, QStringLiteral("Sort Lines"), QStringLiteral("sortFreeformTextByLine:"));
    // Tag 1 sorts Z to A.
    addItem(lines, QStringLiteral("Sort Lines in Reverse Order"), QStringLiteral("sortFreeformTextByLine:"))
        ->setData(1);
    addItem(lines, QStringLiteral("Undo Line Sort"), QStringLiteral("undoSortByLine:"));
    addItem(lines, QStringLiteral("Redo Line Sort"), QStringLiteral("redoSortByLine:"));
    format->addSeparator();
    addItem(format, QStringLiteral("Activate Links"), QStringLiteral("activateLinks:"),
            QStringLiteral("a"), Command | Control);
    addItem(format, QStringLiteral("Remove Link"), QStringLiteral("removeLink:"), QStringLiteral("r"),
            Command | Control);
    addItem(format, QStringLiteral("Check Spelling"), QStringLiteral("showGuessPanel:"),
            QStringLiteral(":"));
}

void ApplicationMenus::buildHelpMenu()
{
    QMenu* help = m_helpMenu = makeMenu(QStringLiteral("&Help"));
    addItem(help, QStringLiteral("Norva Help"), QStringLiteral("helpGuide:"), QStringLiteral("?"));
    addItem(help, QStringLiteral("Release Notes"), QStringLiteral("helpReleaseNotes:"));
    addItem(help, QStringLiteral("Norva Web Site"), QStringLiteral("helpAppSite:"));
    addItem(help, QStringLiteral("Support"), QStringLiteral("helpSupport:"));
    addItem(help, QStringLiteral("Send Feedback"), QStringLiteral("helpFeedback:"));
    addItem(help, QStringLiteral("Email Support"), QStringLiteral("helpEmail:"));
    addItem(help, QStringLiteral("Order Norva"), QStringLiteral("helpOrders:"));
    help->addSeparator();
    addItem(help, QStringLiteral("Check for Updates…"), QStringLiteral("checkForUpdates:"));
}

void ApplicationMenus::installInto(QMenuBar* menuBar) const
{
    for (const auto& menu : m_topMenus) {
        QAction* shown = menuBar->addMenu(menu.get());
        if (menu.get() == m_dialMenu)
            m_shownDialMenus.append(shown);
    }
    dialMenuDidChange();
}

void ApplicationMenus::installKeyEquivalentsInto(QWidget* window) const
{
    // A shortcut of a menu's item counts in every window that holds the menu.
    for (const auto& menu : m_topMenus)
        window->addAction(menu->menuAction());
}

void ApplicationMenus::dialMenuDidChange() const
{
    // The Dial menu appears in every menu bar once there are dialing sets.
    m_shownDialMenus.removeAll(nullptr);
    for (const QPointer<QAction>& shown : std::as_const(m_shownDialMenus))
        shown->setVisible(!m_dialMenu->isEmpty());
}
