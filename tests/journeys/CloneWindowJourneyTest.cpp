// A user's journeys with a clone window: the read-only second window of a datafile,
// which follows every change made in the first and closes on its own.
#include "JourneyTestBase.h"

#include "AddFieldWithContentSheetController.h"
#include "CombineFilesSheetController.h"
#include "EditorTableController.h"
#include "FieldCellEditor.h"
#include "FindAndReplaceController.h"
#include "FreeformTextView.h"
#include "ListViewModel.h"
#include "RXTableView.h"
#include "ScriptedPresenter.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QRadioButton>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

class CloneWindowJourneyTest : public JourneyTestBase {
protected:
    // The clone opened from the datafile's window with File ▸ Open Clone Window, in front.
    EditorWindowController* openClone(EditorWindowController* editor)
    {
        EXPECT_TRUE(chooseMenuItem(editor->window(), "openCloneWindow:"));
        const auto& controllers = editor->document()->windowControllers();
        EXPECT_EQ(controllers.size(), 2u);
        if (controllers.size() != 2)
            return nullptr;
        auto* clone = static_cast<EditorWindowController*>(controllers.back().get());
        activate(clone->window());
        return clone;
    }

    // The column titles the List View's header shows.
    static QStringList shownColumns(EditorWindowController* editor)
    {
        const RXTableView* list = editor->tableController()->listTableView();
        QStringList titles;
        for (int column = 0; column < list->horizontalHeader()->count(); ++column)
            titles.append(list->model()->headerData(column, Qt::Horizontal).toString());
        return titles;
    }

    // What the List View shows in a row's column: nothing for a row it does not show.
    static QString shownCell(EditorWindowController* editor, int row, int column)
    {
        const RXTableView* list = editor->tableController()->listTableView();
        if (row >= list->verticalHeader()->count())
            return QStringLiteral("<no row>");
        return list->model()->index(row, column).data().toString();
    }
};

} // namespace

TEST_F(CloneWindowJourneyTest, CloseInAClone_ClosesTheCloneOnly_TheFileUntouched)
{
    for (const bool edited : {false, true}) {
        SCOPED_TRACE(edited ? "with unsaved changes" : "unchanged");
        const QString path = copyFixture("five.nv3", edited ? "Edited.nv3" : "Unchanged.nv3");
        const QByteArray before = contentsOf(path);
        EditorWindowController* editor = openWithCommand(path);
        ASSERT_TRUE(editor);
        if (edited) {
            editor->freeformTextView()->setFocus();
            QTest::keyClicks(editor->freeformTextView(), "typed ");
            ASSERT_TRUE(editor->document()->isDocumentEdited());
        }
        EditorWindowController* clone = openClone(editor);
        ASSERT_TRUE(clone);
        const QPointer<QWidget> cloneWindow = clone->window();
        const qsizetype alerts = m_presenter.alerts().size();

        QTest::keyClick(cloneWindow, Qt::Key_W, Qt::ControlModifier);
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        // Nothing was asked; the datafile's window stays as it was, the clone has gone.
        EXPECT_EQ(m_presenter.alerts().size(), alerts);
        Document* document = DocumentController::shared().documentForURL(QUrl::fromLocalFile(path));
        ASSERT_EQ(document, editor->document());
        EXPECT_TRUE(editor->window()->isVisible());
        EXPECT_EQ(document->isDocumentEdited(), edited);
        EXPECT_TRUE(!cloneWindow || !cloneWindow->isVisible());
        EXPECT_EQ(document->windowControllers().size(), 1u);
        EXPECT_EQ(contentsOf(path), before);
        if (edited) {
            EXPECT_TRUE(editor->freeformTextView()->plainText().startsWith("typed "));
        }

        // Another clone may be opened now, and closing the datafile's own window still asks.
        activate(editor->window());
        EditorWindowController* second = openClone(editor);
        ASSERT_TRUE(second);
        activate(editor->window());
        m_presenter.answerAlertWithButton("Don’t Save");
        QTest::keyClick(editor->window(), Qt::Key_W, Qt::ControlModifier);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(m_presenter.alerts().size(), alerts + (edited ? 1 : 0));
        EXPECT_FALSE(DocumentController::shared().documentForURL(QUrl::fromLocalFile(path)));
        EXPECT_EQ(contentsOf(path), before);
        activate(&m_assembly->startWindow());
    }
}

TEST_F(CloneWindowJourneyTest, AddFieldWithContent_TheCloneShowsTheNewColumnAtOnce)
{
    EditorWindowController* editor = openWithCommand(
        writeDatafile("People.nv3", {{"N", "Name"}}, {{"Ann", ""}, {"Bob", ""}, {"Cy", ""}}));
    ASSERT_TRUE(editor);
    EditorWindowController* clone = openClone(editor);
    ASSERT_TRUE(clone);
    ASSERT_EQ(shownColumns(clone), QStringList({"Name", "Freeform Text Area"}));

    activate(editor->window());
    ASSERT_TRUE(chooseMenuItem(editor->window(), "addFieldWithContent:"));
    auto* sheet = VKSheetController::topmostController<AddFieldWithContentSheetController>();
    ASSERT_TRUE(sheet);
    QTest::keyClicks(sheet->fieldNameField(), "Number");
    QTest::mouseClick(sheet->sequentialNumbersCheck(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(6, 6));
    QTest::keyClicks(sheet->startingNumberField(), "1");
    ASSERT_TRUE(sheet->okayButton()->isEnabled());
    QTest::mouseClick(sheet->okayButton(), Qt::LeftButton);

    EXPECT_EQ(shownColumns(editor), QStringList({"Number", "Name", "Freeform Text Area"}));
    EXPECT_EQ(shownColumns(clone), shownColumns(editor));
    EXPECT_EQ(shownCell(clone, 0, 0), "1");
    EXPECT_EQ(shownCell(clone, 2, 0), "3");
    EXPECT_EQ(shownCell(clone, 2, 1), "Cy");
    // Following is not editing: the clone marked nothing more to save.
    EXPECT_TRUE(clone->freeformTextView()->isReadOnly());
}

TEST_F(CloneWindowJourneyTest, NewRecordsFirstValue_ReachesTheCloneLikeAnyLaterValue)
{
    const QString path = writeDatafile("People.nv3", {{"N", "Name"}, {"C", "City"}},
                                       {{"Ann", "Oslo", ""}, {"Bob", "Rome", ""}});
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    EditorWindowController* clone = openClone(editor);
    ASSERT_TRUE(clone);
    activate(editor->window());

    // Add Record after the first, its first value typed and entered.
    QTest::keyClick(editor->window(), Qt::Key_Equal, Qt::ControlModifier);
    auto* cell = qobject_cast<FieldCellEditor*>(QApplication::focusWidget());
    ASSERT_TRUE(cell);
    QTest::keyClicks(cell, "Cy");
    QTest::keyClick(cell, Qt::Key_Return);
    EXPECT_EQ(shownCell(editor, 1, 0), "Cy");
    EXPECT_EQ(shownCell(clone, 1, 0), "Cy");
    EXPECT_EQ(shownCell(clone, 2, 0), "Bob");

    // A later value of the same record, after a move, and a save: the same in both.
    QTest::keyClick(editor->window(), Qt::Key_Semicolon, Qt::ControlModifier);
    EXPECT_EQ(shownCell(clone, 1, 0), "Cy");
    QTest::keyClick(editor->window(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(shownCell(clone, 1, 0), "Cy");
    EXPECT_EQ(clone->tableController()->listTableView()->verticalHeader()->count(), 3);
}

TEST_F(CloneWindowJourneyTest, SwitchViewInAClone_KeepsTheClonesOwnFrame)
{
    EditorWindowController* editor = openWithCommand(writeDatafile(
        "People.nv3", {{"N", "Name"}}, {{"Ann", ""}, {"Bob", ""}}, QStringLiteral("Basic")));
    ASSERT_TRUE(editor);
    // The first window has a frame of its own stored for both views.
    QTest::keyClick(editor->window(), Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(editor->window(), Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(frameSettles(editor));
    const QRect mainFrame = editor->window()->geometry();

    EditorWindowController* clone = openClone(editor);
    ASSERT_TRUE(clone);
    ASSERT_TRUE(frameSettles(clone));
    clone->window()->setGeometry(mainFrame.translated(mainFrame.width() + 10, 40));
    QCoreApplication::processEvents();
    const QRect cloneFrame = clone->window()->geometry();
    ASSERT_NE(cloneFrame.topLeft(), mainFrame.topLeft());

    for (const char* view : {"List", "Basic"}) {
        SCOPED_TRACE(view);
        QTest::keyClick(clone->window(), Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        QCoreApplication::processEvents();
        EXPECT_EQ(clone->tableController()->currentTableViewName(), view);
        EXPECT_EQ(clone->window()->geometry(), cloneFrame);
        EXPECT_EQ(editor->window()->geometry(), mainFrame);
    }
}

TEST_F(CloneWindowJourneyTest, CombineFiles_TheCloneShowsTheMergedRecords_AtTheEndOrOnTop)
{
    EditorWindowController* editor = openWithCommand(
        writeDatafile("People.nv3", {{"N", "Name"}}, {{"Ann", "first"}, {"Bob", "second"}}));
    ASSERT_TRUE(editor);
    const QString other =
        writeDatafile("More.nv3", {{"M", "Who"}}, {{"Cy", "third"}, {"Di", "fourth"}});
    EditorWindowController* clone = openClone(editor);
    ASSERT_TRUE(clone);

    const struct {
        int mode;
        const char* name;
        QStringList shown;
    } cases[] = {
        {CombineFilesSheetController::Append, "appended", {"Ann", "Bob", "Cy", "Di"}},
        {CombineFilesSheetController::NewRecordsOnTop, "on top", {"Cy", "Di", "Ann", "Bob", "Cy", "Di"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        activate(editor->window());
        ASSERT_TRUE(chooseMenuItem(editor->window(), "mergeDatafiles:"));
        auto* sheet = VKSheetController::topmostController<CombineFilesSheetController>();
        ASSERT_TRUE(sheet);
        QTest::mouseClick(sheet->modeButton(c.mode), Qt::LeftButton);
        m_presenter.answerOpenPanel({QUrl::fromLocalFile(other)});
        QTest::mouseClick(sheet->okayButton(), Qt::LeftButton);
        ASSERT_EQ(m_presenter.lastAlert().request.messageText, "Added 2 new record(s).");

        QStringList inClone;
        for (int row = 0; row < int(c.shown.size()) + 1; ++row)
            inClone.append(shownCell(clone, row, 0));
        EXPECT_EQ(inClone, c.shown + QStringList{"<no row>"});
        EXPECT_EQ(shownCell(clone, int(c.shown.indexOf("Di")), 1), "fourth");
    }
    EXPECT_TRUE(clone->freeformTextView()->isReadOnly());
}

TEST_F(CloneWindowJourneyTest, ReplaceAll_TheCloneShowsTheNewTextOfItsRecord)
{
    EditorWindowController* editor = openWithCommand(writeDatafile(
        "Pets.nv3", {{"N", "Name"}}, {{"Tom", "a cat sat"}, {"Kit", "one cat"}}));
    ASSERT_TRUE(editor);
    EditorWindowController* clone = openClone(editor);
    ASSERT_TRUE(clone);
    // The clone shows the second record, the datafile's window the first.
    QTest::keyClick(clone->window(), Qt::Key_Apostrophe, Qt::ControlModifier);
    ASSERT_EQ(clone->freeformTextView()->plainText(), "one cat");

    activate(editor->window());
    ASSERT_TRUE(chooseMenuItem(editor->window(), "startFindAndReplace:"));
    FindAndReplaceController* panel = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->windowTitle().startsWith("Find and Replace"))
            panel = dynamic_cast<FindAndReplaceController*>(
                WindowController::controllerForWindow(window));
    }
    ASSERT_TRUE(panel);
    panel->findWhatView()->setPlainText("cat");
    panel->replaceWithView()->setPlainText("dog");
    QTest::mouseClick(panel->replaceAllButton(), Qt::LeftButton);
    ASSERT_EQ(m_presenter.alertMessages().last(), "Number of changes made: 2");

    EXPECT_EQ(editor->freeformTextView()->plainText(), "a dog sat");
    EXPECT_EQ(clone->freeformTextView()->plainText(), "one dog");
    EXPECT_EQ(shownCell(clone, 0, 1), "a dog sat");
    EXPECT_TRUE(clone->freeformTextView()->isReadOnly());
}

TEST_F(CloneWindowJourneyTest, MakeRecordFromFile_TheCloneShowsTheNewRecordWithItsText)
{
    EditorWindowController* editor = openWithCommand(
        writeDatafile("Letters.nv3", {{"N", "Name"}}, {{"Ann", "first"}, {"Bob", "second"}}));
    ASSERT_TRUE(editor);
    EditorWindowController* clone = openClone(editor);
    ASSERT_TRUE(clone);
    const QString letter = m_dir.filePath("Letter.txt");
    QFile file(letter);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Dear Ann,\nthank you.");
    file.close();

    activate(editor->window());
    m_presenter.answerOpenPanel({QUrl::fromLocalFile(letter)});
    ASSERT_TRUE(chooseMenuItem(editor->window(), "importTextFileAsRecord:"));
    ASSERT_EQ(editor->freeformTextView()->plainText(), "Dear Ann,\nthank you.");

    // After the record that was current, its text's first line in the List View.
    EXPECT_EQ(shownCell(clone, 1, 1), "Dear Ann,");
    EXPECT_EQ(shownCell(clone, 2, 0), "Bob");
    EXPECT_EQ(shownCell(clone, 3, 0), "<no row>");
    // Shown in the clone, the record has the text, there to read only.
    activate(clone->window());
    QTest::keyClick(clone->window(), Qt::Key_Apostrophe, Qt::ControlModifier);
    EXPECT_EQ(clone->freeformTextView()->plainText(), "Dear Ann,\nthank you.");
    EXPECT_TRUE(clone->freeformTextView()->isReadOnly());
}
