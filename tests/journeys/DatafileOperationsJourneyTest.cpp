// A user's journeys through the commands on a whole datafile: merging another one,
// the clone window, showing the file, saving as the other kind and splitting.
#include "JourneyTestBase.h"

#include "CombineFilesSheetController.h"
#include "FreeformTextView.h"

#include <QRadioButton>

namespace {

class DatafileOperationsJourneyTest : public JourneyTestBase {
protected:
    static QString shots() { return qEnvironmentVariable("NORVA_SHOTS", QDir::tempPath()); }

    static qsizetype recordCount(const QString& path)
    {
        return readDatafile(path).value("Catalog").asArray()->size();
    }
};

} // namespace

TEST_F(DatafileOperationsJourneyTest, MergeDatafiles_ChosenHowThenWhich_AddsAndTells)
{
    EditorWindowController* editor = openWithCommand(copyFixture("five.nv3"));
    ASSERT_TRUE(editor);
    const QString other = copyFixture("five.nv3", "other.nv3");

    ASSERT_TRUE(chooseMenuItem(editor->window(), "mergeDatafiles:"));
    auto* sheet = VKSheetController::topmostController<CombineFilesSheetController>();
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(sheet->window()->isVisible());
    sheet->window()->grab().save(shots() + "/combine-files.png");
    QTest::mouseClick(sheet->modeButton(CombineFilesSheetController::Append), Qt::LeftButton);
    m_presenter.answerOpenPanel({QUrl::fromLocalFile(other)});
    QTest::mouseClick(sheet->okayButton(), Qt::LeftButton);

    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "Added 5 new record(s).");
    EXPECT_EQ(editor->engine().catalog()->count(), 10);
    EXPECT_TRUE(editor->document()->isDocumentEdited());

    // The same again, duplicates removed: nothing is new.
    ASSERT_TRUE(chooseMenuItem(editor->window(), "mergeDatafiles:"));
    QTest::mouseClick(sheet->modeButton(CombineFilesSheetController::AppendThenRemoveDuplicates),
                      Qt::LeftButton);
    m_presenter.answerOpenPanel({QUrl::fromLocalFile(other)});
    QTest::mouseClick(sheet->okayButton(), Qt::LeftButton);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "No new records were added.");
    EXPECT_EQ(editor->engine().catalog()->count(), 5);
    editor->window()->grab().save(shots() + "/after-merge.png");
}

TEST_F(DatafileOperationsJourneyTest, CloneWindow_AndShowInFileManager_FromTheFileMenu)
{
    const QString path = copyFixture("five.nv3");
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "openCloneWindow:"));
    ASSERT_EQ(editor->document()->windowControllers().size(), 2);
    auto* clone = static_cast<EditorWindowController*>(
        editor->document()->windowControllers().back().get());
    EXPECT_TRUE(clone->window()->windowTitle().startsWith("five.nv3-CLONE"));
    EXPECT_TRUE(clone->freeformTextView()->isReadOnly());
    clone->window()->grab().save(shots() + "/clone.png");
    // The clone changes nothing: its commands that would are off.
    activate(clone->window());
    showMenusOf(clone->window());
    EXPECT_FALSE(menuItem(clone->window(), "splitDatafile:")->isEnabled());
    EXPECT_FALSE(menuItem(clone->window(), "mergeDatafiles:")->isEnabled());

    ASSERT_TRUE(chooseMenuItem(editor->window(), "revealInFinder:"));
    EXPECT_EQ(m_presenter.revealedPaths(), QStringList({path}));
}

TEST_F(DatafileOperationsJourneyTest, SaveAsMobileThenSplit_NewFilesOpenAndNothingIsLost)
{
    const QString path = copyFixture("five.nv3", "People.nv3");
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);

    // Split in half: records 3 to 5 go into their own file, the rest stays, saved.
    const QString half = m_dir.filePath("Half.nv3");
    m_presenter.answerAlertWithButton("Split in half");
    m_presenter.answerSavePanel(QUrl::fromLocalFile(half));
    ASSERT_TRUE(chooseMenuItem(editor->window(), "splitDatafile:"));
    EXPECT_EQ(recordCount(half), 3);
    EXPECT_EQ(recordCount(path), 2);
    ASSERT_TRUE(DocumentController::shared().documentForURL(QUrl::fromLocalFile(half)));

    // The rest as a mobile datafile; the desktop one closes.
    activate(editor->window());
    const QString mobile = m_dir.filePath("People.nvm");
    m_presenter.answerSavePanel(QUrl::fromLocalFile(mobile));
    ASSERT_TRUE(chooseMenuItem(editor->window(), "saveAsOtherFormatDatafile:"));
    EXPECT_EQ(m_presenter.savePanels().back().request.nameFieldValue, "People.nvm");
    EXPECT_EQ(recordCount(mobile), 2);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(DocumentController::shared().documentForURL(QUrl::fromLocalFile(path)));
    Document* opened = DocumentController::shared().documentForURL(QUrl::fromLocalFile(mobile));
    ASSERT_TRUE(opened);
    opened->windowControllers().front()->window()->grab().save(shots() + "/mobile.png");
}
