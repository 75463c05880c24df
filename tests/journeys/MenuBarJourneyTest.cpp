// The menu bar of an editor window, walked as a user would open every menu.
#include "JourneyTestBase.h"
#include "RecordDataTesting.h"

#include "ActionRouter.h"
#include "EditorSearchController.h"
#include "EditorTableController.h"
#include "FindBoxView.h"
#include "FreeformTextView.h"

#include <QTextCursor>

#include <QSet>

namespace {

class MenuBarJourneyTest : public JourneyTestBase {
protected:
    // Every item of the window's menus and their submenus, each menu opened first.
    QList<QAction*> walk(QWidget* window)
    {
        QList<QAction*> items;
        const std::function<void(QMenu*)> open = [&](QMenu* menu) {
            Q_EMIT menu->aboutToShow();
            for (QAction* item : menu->actions()) {
                if (QMenu* submenu = item->menu())
                    open(submenu);
                else if (!item->isSeparator())
                    items.append(item);
            }
        };
        for (QAction* top : window->findChild<QMenuBar*>()->actions())
            if (top->menu())
                open(top->menu());
        return items;
    }

    // The item's text as its menu draws it: the key's text after a tab unless the title
    // brings its own, "&&" an ampersand and a lone "&" the mnemonic's marker.
    static QString shownText(const QAction* item)
    {
        QString text = item->text();
        if (!text.contains('\t') && !item->shortcut().isEmpty())
            text += '\t' + item->shortcut().toString(QKeySequence::NativeText);
        QString shown;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == '&' && ++i == text.size())
                break;
            shown += text[i];
        }
        return shown;
    }

    QString selectorOf(QAction* item) const
    {
        return m_assembly->mainController().menus().binding().selectorFor(item);
    }
};

} // namespace

TEST_F(MenuBarJourneyTest, EveryEditorCommandIsThere_NoShortcutTwice_NothingEnabledThatDoesNothing)
{
    EditorWindowController* editor = openWithCommand(copyFixture("good.nv3"));
    ASSERT_TRUE(editor);
    const QList<QAction*> items = walk(editor->window());

    QSet<QString> selectors;
    QHash<QString, QString> shortcuts;
    for (QAction* item : items) {
        const QString selector = selectorOf(item);
        selectors.insert(selector);
        if (!item->shortcut().isEmpty()) {
            const QString keys = item->shortcut().toString();
            EXPECT_FALSE(shortcuts.contains(keys))
                << keys.toStdString() << " for " << selector.toStdString() << " and "
                << shortcuts.value(keys).toStdString();
            shortcuts.insert(keys, selector);
        }
        if (item->isEnabled()) {
            EXPECT_TRUE(ActionRouter::targetForAction(selector, ActionRouter::firstResponder()))
                << selector.toStdString() << " is enabled but nothing would do it";
        }
    }

    // The editor's commands, whether built yet or not.
    for (const char* command :
         {"saveAsOtherFormatDatafile:", "openCloneWindow:", "runPageLayout:", "printDocument:",
          "printCurrentRecord:", "printAllIndividualBasicViewRecords:",
          "printAllContinuousBasicViewRecords:", "printAllListViewRecords:", "printSelection:",
          "printSingleEnvelopeOrLabel:", "pastePlainText:", "pasteFTAStyle:", "pasteFTARuler:",
          "copyAddressBlock:", "copyRecordIdentifierToPasteboard:", "copyRecordWithFieldNames:",
          "insertDateTime:", "insertFileLink:", "grabURLWithToggle:",
          "forwardSearchForFindBoxText:", "reverseSearchForFindBoxText:", "forwardSearchHighlight:",
          "reverseSearchHighlight:", "skipThenSearchForward:", "skipThenReverseSearch:",
          "findNextInClone:", "copySelectionToFindBox:", "insertAmpersand:",
          "toggleSearchOptionLock:", "switchView:", "zoomToPrintingSize:", "scaleFTA:",
          "decreaseScale:", "increaseScale:", "activateField:", "activateFieldInNextRecord:",
          "activateFindBox:", "activateFreeformText:", "updateLineWrapping:", "customizeToolbar:",
          "toggleToolbarStyle:", "showRecordInfo:", "goToFirstRecord:", "goToPreviousRecord:",
          "goToNextRecord:", "goToLastRecord:", "goToRecordNumber:", "goBackOneRecord:",
          "goForwardOneRecord:", "selectNextField:", "selectPreviousField:", "selectNextRecord:",
          "selectPreviousRecord:", "addRecord:", "addRecordWithToggle:", "addRecordWithPaste:",
          "addRecordWithPasteAsPlainText:", "duplicateCurrentRecord:", "deleteRecord:",
          "deleteRecordWithToggle:", "deleteRecordWithoutWarning:", "deleteAllSelectedRecords:",
          "removeDuplicateRecords:", "makeThisTheFirstRecord:", "makeThisTheLastRecord:",
          "moveAfterRecordNumber:", "toggleRecordLocked:", "lockAllRecords:",
          "unlockAllRecords:", "revertAllRecordsLockedState:", "selectRecords:", "selectFromOmitted:", "selectAllRecords:",
          "switchToOmitted:", "deselectCurrentRecord:", "revertToPreviousSelection:",
          "sortDatafile:", "sortAlpha:", "sortAlphaReverse:", "sortNumeric:", "sortNumericReverse:",
          "sortAsStandardDates:", "sortAsStandardDatesReverse:", "sortAsEmailDates:",
          "sortAsEmailDatesReverse:", "modifyFields:", "addFieldWithContent:", "fillEmptyFields:",
          "replaceFieldContents:", "totalFieldContents:", "transferFieldContents:",
          "moveTextElements:", "moveCurrentFreeformTextIntoFields:", "moveAllFreeformTextIntoFields:",
          "deactivateFieldLink:", "editDatafileSettings:", "setCurrentTextFont:", "mergeDatafiles:",
          "synchronizeDatafiles:", "removeSyncID:", "exportAsCSV:", "exportAsTabDelimited:",
          "exportAsTextFile:", "exportAsFreeformDatafile:", "exportAsNorva2Datafile:",
          "toggleBold:", "toggleItalic:", "underline:", "alignLeft:", "alignCenter:",
          "alignJustified:", "alignRight:", "orderFrontFontPanel:", "orderFrontColorPanel:",
          "orderFrontSpacingPanel:", "orderFrontLinkPanel:", "orderFrontListPanel:",
          "orderFrontTablePanel:", "toggleFreeformRuler:", "toggleHighlighter:",
          "changeSelectedTextToDefaultFontAndRuler:", "changeCurrentRecordToDefaultFont:",
          "changeAllToDefaultFont:", "stripAnomalousBackgroundColors:", "removeBlankLines:",
          "sortFreeformTextByLine:", "undoSortByLine:", "redoSortByLine:", "activateLinks:",
          "removeLink:", "showGuessPanel:", "useStandardKerning:", "turnOffKerning:",
          "tightenKerning:", "loosenKerning:", "useStandardLigatures:", "turnOffLigatures:",
          "useAllLigatures:", "unscript:", "superscript:", "subscript:", "raiseBaseline:",
          "lowerBaseline:", "modifyFont:", "saveSelectedAs:", "splitDatafile:", "revealInFinder:"})
        EXPECT_TRUE(selectors.contains(QString::fromLatin1(command))) << command;
    // Defined by no command of the editor.
    EXPECT_FALSE(selectors.contains("setVisible:"));
}

TEST_F(MenuBarJourneyTest, RemoveLink_EnabledBySelectedLinkText_DoneByCtrlMetaR_OffInACell)
{
    EditorWindowController* editor = openWithCommand(copyFixture("good.nv3"));
    ASSERT_TRUE(editor);
    FreeformTextView* text = editor->freeformTextView();
    editor->engine().currentRecord()->setTextString("see http://example.com today", RecordDataTesting::key());
    editor->engine().currentRecord()->setTextRTFD(QByteArray(), RecordDataTesting::key());
    editor->engine().loadCurrentRecord();
    const auto linkAt = [text](int position) {
        QTextCursor cursor(text->document());
        cursor.setPosition(position + 1);
        return cursor.charFormat().isAnchor();
    };
    ASSERT_TRUE(linkAt(6));

    text->setFocus();
    QTextCursor cursor(text->document());
    cursor.setPosition(4);
    cursor.setPosition(22, QTextCursor::KeepAnchor);
    text->setTextCursor(cursor);
    showMenusOf(editor->window());
    EXPECT_TRUE(menuItem(editor->window(), "removeLink:")->isEnabled());

    QTest::keyClick(editor->window(), Qt::Key_R, Qt::ControlModifier | Qt::MetaModifier);
    EXPECT_FALSE(linkAt(6));
    EXPECT_TRUE(editor->document()->isDocumentEdited());

    // The focus in a field cell: nothing to remove a link from.
    editor->tableController()->singleClicked(0, 0);
    showMenusOf(editor->window());
    EXPECT_FALSE(menuItem(editor->window(), "removeLink:")->isEnabled());
}

TEST_F(MenuBarJourneyTest, EveryItemShowsItsWholeKey_AndSearchsCtrlAmpersandStillInserts)
{
    EditorWindowController* editor = openWithCommand(copyFixture("good.nv3"));
    ASSERT_TRUE(editor);
    for (QAction* item : walk(editor->window())) {
        if (item->shortcut().isEmpty())
            continue;
        const QString shown = shownText(item);
        EXPECT_EQ(shown.section('\t', 1), item->shortcut().toString(QKeySequence::NativeText))
            << shown.toStdString();
        EXPECT_FALSE(shown.section('\t', 0, 0).isEmpty()) << shown.toStdString();
    }
    QAction* andSearch = menuItem(editor->window(), "insertAmpersand:");
    ASSERT_TRUE(andSearch);
    EXPECT_EQ(shownText(andSearch), "And Search\tCtrl+&");

    FindBoxView* box = editor->editorSearchController().searchField();
    box->setFocus();
    QTest::keyClicks(box, "Smith ");
    QTest::keyClick(editor->window(), Qt::Key_Ampersand, Qt::ControlModifier);
    QTest::keyClicks(box, " Jones");
    EXPECT_EQ(box->toPlainText(), "Smith && Jones");
}
