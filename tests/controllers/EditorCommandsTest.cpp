// The editor window's own commands around sorting and the document's notifications.
#include "EditorTestBase.h"
#include "RecordDataTesting.h"

#include "EditorSortController.h"
#include "EnterPasswordSheetController.h"
#include "EditorTableController.h"
#include "ListViewModel.h"
#include "NotificationCenter.h"
#include "RXTableView.h"

#include <QApplication>
#include <QMenu>
#include <QTest>

namespace {

class EditorCommandsTest : public EditorTestBase {
protected:
    // Records "Carol", "alice", "Bob" in this order; fields "Hidden" (not shown) and "Name".
    EditorWindowController* openPeople()
    {
        auto document = std::make_unique<DatafileDocument>();
        document->datafileSettings()->setFields(PlistArray{
            PlistDictionary{{DatafileSettingsData::FieldIdentifierKey, "H"},
                            {DatafileSettingsData::FieldNameKey, "Hidden"},
                            {"Show", false}},
            PlistDictionary{{DatafileSettingsData::FieldIdentifierKey, "N"},
                            {DatafileSettingsData::FieldNameKey, "Name"},
                            {"Show", true}}});
        document->datafileSettings()->setMode("List");
        for (const char* name : {"Carol", "alice", "Bob"}) {
            auto record = std::make_shared<RecordData>();
            record->setFields(PlistDictionary{{"N", name}}, RecordDataTesting::key());
            record->setTextString(QString::fromLatin1(name).toUpper(), RecordDataTesting::key());
            document->datafileRecords()->setRecord(record, record->identifier());
            document->datafileCatalog()->insertIdentifierAtEnd(record->identifier());
        }
        document->datafileCatalog()->rebuildSelectedIdentifiers();
        m_document = show(std::move(document));
        return editorOf(m_document);
    }

    QStringList names(EditorWindowController* editor) const
    {
        QStringList shown;
        for (qint64 i = 0; i < editor->engine().selectedRecordCount(); ++i)
            shown.append(editor->engine().recordAtIndex(i)->fields().value("N").stringValue());
        return shown;
    }

    DatafileDocument* m_document = nullptr;
};

} // namespace

TEST_F(EditorCommandsTest, ListCellMenu_SetsTheSortColumnCountingHiddenFields_AndSortsByIt)
{
    EditorWindowController* editor = openPeople();
    EditorTableController& tables = *editor->tableController();
    RXTableView* list = tables.listTableView();
    const auto& columns = static_cast<ListViewModel*>(list->model())->columns();
    ASSERT_EQ(columns.size(), 2); // "Name" and the text

    tables.menuForListCell(list->model()->index(0, 0));
    EXPECT_EQ(editor->sortController().sortColumn(), 1); // "Hidden" comes first
    editor->performAction("sortAlpha:");
    EXPECT_EQ(names(editor), QStringList({"alice", "Bob", "Carol"}));
    EXPECT_EQ(editor->engine().indexOfCurrentRecord(), 0);
    EXPECT_TRUE(m_document->isDocumentEdited());
    editor->performAction("sortAlphaReverse:");
    EXPECT_EQ(names(editor), QStringList({"Carol", "Bob", "alice"}));

    // The text column stands for the text: sorted by "Text".
    tables.menuForListCell(list->model()->index(0, 1));
    EXPECT_EQ(editor->sortController().sortColumn(), 2);
    editor->performAction("sortAlpha:");
    EXPECT_EQ(names(editor), QStringList({"alice", "Bob", "Carol"}));
    EXPECT_EQ(editor->engine().catalog()->criteria()->dictionary().value("SortPrimaryFieldIdentifier"),
              PlistValue("Text"));

    // Outside the cells there is no menu.
    EXPECT_EQ(tables.menuForListCell(QModelIndex()), nullptr);
}

TEST_F(EditorCommandsTest, SortTasks_ChosenSorts_ChosenWithAltIsRemovedUnsorted)
{
    EditorWindowController* editor = openPeople();
    const auto settings = editor->settings();
    settings->setSortTasksList(PlistDictionary{
        {"by name", PlistDictionary{{"SortCompareSelector", 1}, {"SortPrimaryFieldIdentifier", "N"}}},
        {"Alphabet", PlistDictionary{{"SortCompareSelector", 1}, {"SortPrimaryFieldIdentifier", "N"}}}});
    QMenu menu;
    editor->sortController().setupSortTasksMenu(&menu);
    ASSERT_EQ(menu.actions().size(), 2);
    EXPECT_EQ(menu.actions().at(0)->text(), "Alphabet"); // case does not count
    EXPECT_EQ(menu.actions().at(1)->toolTip(), "Hold down option key to remove this sort task.");

    settings->setDatafileSettingsDidChange(false);
    editor->sortController().sortTasksListHit("by name", true);
    EXPECT_EQ(names(editor), QStringList({"Carol", "alice", "Bob"}));
    EXPECT_EQ(menu.actions().size(), 1);
    EXPECT_FALSE(settings->sortTasksList()->contains("by name"));
    EXPECT_TRUE(settings->datafileSettingsDidChange());
    EXPECT_FALSE(m_document->isDocumentEdited());

    editor->engine().loadRecordAtIndex(2);
    menu.actions().at(0)->trigger();
    EXPECT_EQ(names(editor), QStringList({"alice", "Bob", "Carol"}));
    EXPECT_EQ(editor->engine().indexOfCurrentRecord(), 0);
    EXPECT_TRUE(m_document->isDocumentEdited());
}

TEST_F(EditorCommandsTest, Notifications_OnlyTheirOwnDocument_AndADeletionSeenByAClone_Once)
{
    EditorWindowController* editor = openPeople();
    auto other = std::make_unique<DatafileDocument>();
    DatafileDocument* otherDocument = show(std::move(other));
    const qsizetype before = editor->engine().catalog()->count();

    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.postNotification("DidAddRecordNotification", otherDocument,
                            {{"NewIdentifier", "X"}, {"AfterIdentifier", ""}});
    center.postNotification("WillDeleteRecordNotification", otherDocument,
                            {{"Identifier", editor->engine().recordAtIndex(0)->identifier()}});
    EXPECT_EQ(editor->engine().catalog()->count(), before);

    // A clone shares the catalog: the entry goes once.
    auto clone = std::make_unique<EditorWindowController>();
    EditorWindowController* cloneWindow = clone.get();
    m_document->addWindowController(std::move(clone));
    cloneWindow->setIsClone(true);
    cloneWindow->prepare();
    const QString second = editor->engine().recordAtIndex(1)->identifier();
    const QString third = editor->engine().recordAtIndex(2)->identifier();
    center.postNotification("WillDeleteRecordNotification", m_document, {{"Identifier", second}});
    EXPECT_EQ(editor->engine().catalog()->count(), before - 1);
    EXPECT_EQ(editor->engine().catalog()->indexOfIdentifier(third), 1);
}

TEST_F(EditorCommandsTest, PasswordCheck_AClone_NeverAsksNorSaves)
{
    EditorWindowController* editor = openPeople();
    editor->settings()->setPassword("Secret");
    auto clone = std::make_unique<EditorWindowController>();
    EditorWindowController* cloneWindow = clone.get();
    m_document->addWindowController(std::move(clone));
    cloneWindow->setIsClone(true);
    cloneWindow->prepare();
    QWidget* window = cloneWindow->window();
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    QTest::qWait(1300);
    auto* sheet = VKSheetController::topmostController<EnterPasswordSheetController>();
    EXPECT_FALSE(sheet && sheet->window()->isVisible() && sheet->window()->parentWidget() == window);
    EXPECT_FALSE(cloneWindow->canSaveChanges());
}
