// A user's journeys through the Find and Replace panel in the program as main() runs it:
// opened from the Find menu, following the editor in front, its buttons finding and
// replacing, refusing clones, and closing once no datafile is open.
#include "JourneyTestBase.h"

#include "EditorSearchController.h"
#include "EditorTableController.h"
#include "FieldCellEditor.h"
#include "FindAndReplaceController.h"
#include "FreeformTextView.h"
#include "PopUpButton.h"
#include "RXTableView.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

class FindAndReplaceJourneyTest : public JourneyTestBase {
protected:
    EditorWindowController* openPeople()
    {
        const QString path = m_dir.filePath("people.nv3");
        writeRecords(path, {"Name", "City"},
                     {{"Cat Lee", "Catford", "a cat sat"},
                      {"cat cat", "Denver", ""},
                      {"Di", "Boston", "CAT"}},
                     PlistDictionary{{"TextName", "Notes"}});
        return openWithCommand(path);
    }

    // Find ▸ Find and Replace… chosen in the editor window; the panel in front.
    FindAndReplaceController* openPanel(EditorWindowController* editor)
    {
        EXPECT_TRUE(chooseMenuItem(editor->window(), "startFindAndReplace:"));
        FindAndReplaceController* panel = shownPanel();
        EXPECT_TRUE(panel);
        if (panel)
            activate(panel->window());
        return panel;
    }

    static FindAndReplaceController* shownPanel()
    {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && window->windowTitle().startsWith("Find and Replace"))
                return dynamic_cast<FindAndReplaceController*>(
                    WindowController::controllerForWindow(window));
        }
        return nullptr;
    }

    static QStringList scopeTitles(FindAndReplaceController* panel)
    {
        QStringList titles;
        for (QAction* item : panel->searchIn()->itemArray())
            titles << item->text();
        return titles;
    }

    static void type(QPlainTextEdit* view, const QString& text)
    {
        view->setFocus();
        QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(view, Qt::Key_Backspace);
        QTest::keyClicks(view, text);
    }

    static QString fieldOf(EditorWindowController* editor, qint64 index, const QString& field)
    {
        return editor->engine().recordAtIndex(index)->fields().value(field).stringValue();
    }

    QString shots() const { return qEnvironmentVariable("NORVA_SHOTS", m_dir.path()); }
};

} // namespace

TEST_F(FindAndReplaceJourneyTest, ReplaceAllFromThePanelChangesEveryShownRecord)
{
    EditorWindowController* editor = openPeople();
    ASSERT_TRUE(editor);
    FindAndReplaceController* panel = openPanel(editor);
    ASSERT_TRUE(panel);
    EXPECT_EQ(panel->datafileName()->text(), editor->windowTitle());
    EXPECT_EQ(scopeTitles(panel), (QStringList{"All Fields", "", "Name", "City", "Notes"}));
    EXPECT_EQ(panel->fieldsToSearchIn(), EditorSearchController::AllFieldsScope);

    type(panel->findWhatView(), "cat");
    type(panel->replaceWithView(), "dog");
    panel->window()->grab().save(shots() + "/find-and-replace.png");
    m_presenter.clear();
    QTest::mouseClick(panel->replaceAllButton(), Qt::LeftButton);
    EXPECT_EQ(m_presenter.alertMessages(), QStringList{"Number of changes made: 6"});
    EXPECT_EQ(fieldOf(editor, 0, "F0"), "dog Lee");
    EXPECT_EQ(fieldOf(editor, 0, "F1"), "dogford");
    EXPECT_EQ(fieldOf(editor, 1, "F0"), "dog dog");
    EXPECT_EQ(editor->engine().recordAtIndex(2)->textString(), "dog");
    EXPECT_EQ(editor->engine().indexOfCurrentRecord(), 0) << "the first record is shown";
    EXPECT_EQ(editor->freeformTextView()->plainText(), "a dog sat");

    // An empty find text only beeps.
    type(panel->findWhatView(), "");
    QTest::mouseClick(panel->replaceAllButton(), Qt::LeftButton);
    EXPECT_EQ(m_presenter.beepCount(), 1);
}

TEST_F(FindAndReplaceJourneyTest, ReplaceThenFindSearchesTheReplacedFieldAgain)
{
    EditorWindowController* editor = openPeople();
    ASSERT_TRUE(editor);
    FindAndReplaceController* panel = openPanel(editor);
    ASSERT_TRUE(panel);
    panel->caseSensitive()->setChecked(true);
    type(panel->findWhatView(), "cat");
    type(panel->replaceWithView(), "dog");

    // The hit leaves a caret in the cell: Replace changes nothing until it is selected.
    QTest::mouseClick(panel->findNextButton(), Qt::LeftButton);
    ASSERT_EQ(editor->engine().indexOfCurrentRecord(), 0);
    ASSERT_EQ(editor->engine().lastHitField(), EditorSearchController::FreeformHit);
    QTest::mouseClick(panel->replaceThenFindButton(), Qt::LeftButton);
    EXPECT_EQ(editor->engine().recordAtIndex(0)->textString(), "a dog sat");
    ASSERT_EQ(editor->engine().indexOfCurrentRecord(), 1);
    ASSERT_EQ(editor->engine().lastHitField(), 0);
    FieldCellEditor* cell = editor->tableController()->currentTableView()->cellEditor();
    ASSERT_TRUE(cell);
    QTest::mouseClick(panel->replaceButton(), Qt::LeftButton);
    EXPECT_EQ(fieldOf(editor, 1, "F0"), "cat cat");

    // The user selects the hit in the cell, then comes back to the panel.
    activate(editor->window());
    cell->setSelection(0, 3);
    activate(panel->window());
    ASSERT_EQ(editor->tableController()->currentTableView()->cellEditor(), cell);
    QTest::mouseClick(panel->replaceThenFindButton(), Qt::LeftButton);
    EXPECT_EQ(fieldOf(editor, 1, "F0"), "dog cat");
    EXPECT_EQ(editor->engine().indexOfCurrentRecord(), 1) << "the same field's next hit";
    EXPECT_EQ(editor->engine().lastHitField(), 0);
}

TEST_F(FindAndReplaceJourneyTest, ThePanelFollowsTheEditorInFrontAndKeepsItsScope)
{
    EditorWindowController* people = openPeople();
    ASSERT_TRUE(people);
    const QString notes = m_dir.filePath("notes.nv3");
    writeRecords(notes, {}, {{"one cat"}, {"two cats"}});

    FindAndReplaceController* panel = openPanel(people);
    ASSERT_TRUE(panel);
    panel->searchIn()->selectItemAtIndex(3);
    panel->selectField(3);
    EXPECT_EQ(panel->fieldsToSearchIn(), 1);

    EditorWindowController* noFields = openWithCommand(notes);
    ASSERT_TRUE(noFields);
    activate(panel->window());
    EXPECT_EQ(panel->datafileWindowController(), noFields);
    EXPECT_EQ(scopeTitles(panel), QStringList{"Whole Record"});
    EXPECT_EQ(panel->fieldsToSearchIn(), EditorSearchController::FreeformOnlyScope);
    type(panel->findWhatView(), "cats");
    QTest::mouseClick(panel->findNextButton(), Qt::LeftButton);
    EXPECT_EQ(noFields->engine().indexOfCurrentRecord(), 1);
    EXPECT_EQ(noFields->freeformTextView()->textCursor().selectedText(), "cats");

    activate(people->window());
    activate(panel->window());
    EXPECT_EQ(panel->datafileWindowController(), people);
    EXPECT_EQ(panel->searchIn()->indexOfSelectedItem(), 3);
}

TEST_F(FindAndReplaceJourneyTest, ACloneWindowIsSearchedButNeverChanged)
{
    EditorWindowController* editor = openPeople();
    ASSERT_TRUE(editor);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "openCloneWindow:"));
    auto* clone =
        static_cast<EditorWindowController*>(editor->document()->windowControllers().back().get());
    activate(clone->window());
    FindAndReplaceController* panel = openPanel(clone);
    ASSERT_TRUE(panel);
    EXPECT_EQ(panel->datafileWindowController(), clone);
    type(panel->findWhatView(), "Boston");
    type(panel->replaceWithView(), "Paris");
    m_presenter.clear();
    for (QPushButton* button :
         {panel->replaceButton(), panel->replaceAllButton(), panel->replaceThenFindButton()})
        QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(m_presenter.beepCount(), 3);
    EXPECT_TRUE(m_presenter.alertMessages().isEmpty());
    QTest::mouseClick(panel->findNextButton(), Qt::LeftButton);
    EXPECT_EQ(clone->engine().indexOfCurrentRecord(), 2);
    EXPECT_EQ(fieldOf(clone, 2, "F1"), "Boston");
}

TEST_F(FindAndReplaceJourneyTest, ItsDatafileClosing_TheNextIsFollowed_TheLastClosesThePanel)
{
    const QString placesPath = m_dir.filePath("places.nv3");
    writeRecords(placesPath, {"Place"}, {{"Rome", ""}, {"Oslo", ""}});
    EditorWindowController* places = openWithCommand(placesPath);
    ASSERT_TRUE(places);
    EditorWindowController* people = openPeople();
    ASSERT_TRUE(people);
    FindAndReplaceController* panel = openPanel(people);
    ASSERT_TRUE(panel);
    QWidget* window = panel->window();
    EXPECT_EQ(panel->datafileWindowController(), people);

    // Its datafile closes from the editor's File menu: the panel works on the other one.
    activate(people->window());
    QTest::keyClick(people->window(), Qt::Key_W, Qt::ControlModifier);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(panel->datafileWindowController(), places);
    EXPECT_EQ(panel->datafileName()->text(), places->windowTitle());
    EXPECT_TRUE(scopeTitles(panel).contains("Place")) << scopeTitles(panel).join('|').toStdString();
    activate(window);
    type(panel->findWhatView(), "Oslo");
    m_presenter.clear();
    QTest::mouseClick(panel->findNextButton(), Qt::LeftButton);
    EXPECT_EQ(m_presenter.beepCount(), 0);
    EXPECT_EQ(places->engine().indexOfCurrentRecord(), 1);

    // The last one takes the panel with it.
    activate(places->window());
    QTest::keyClick(places->window(), Qt::Key_W, Qt::ControlModifier);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(panel->datafileWindowController());
    activate(&m_assembly->startWindow());
    showMenusOf(&m_assembly->startWindow());
    EXPECT_FALSE(menuItem(&m_assembly->startWindow(), "startFindAndReplace:")->isEnabled());
}
