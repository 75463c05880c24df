// Datafiles that cannot be saved in place, and the window frames a datafile keeps.
#include "JourneyTestBase.h"

#include "FreeformTextView.h"
#include "NewDatafileSheetController.h"
#include "WindowFrameString.h"

#include <QLabel>
#include <QScreen>
#include <QStatusBar>

namespace {

class ReadOnlyAndFramesJourneyTest : public JourneyTestBase {
protected:
    static QString statusNote(EditorWindowController* editor)
    {
        QStringList texts;
        for (QLabel* label : editor->window()->findChild<QStatusBar*>()->findChildren<QLabel*>())
            texts.append(label->text());
        return texts.join('|');
    }

    static void typeIntoText(EditorWindowController* editor, const QString& text)
    {
        editor->freeformTextView()->setFocus();
        QTest::keyClicks(editor->freeformTextView(), text);
    }

    static void closeWithKey(EditorWindowController* editor)
    {
        QTest::keyClick(editor->window(), Qt::Key_W, Qt::ControlModifier);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

} // namespace

TEST_F(ReadOnlyAndFramesJourneyTest, LockedElsewhere_SaysSoFromTheStart_AndAnEditIsKeptOnlyAsACopy)
{
    const QString path = copyFixture("shared.nv3");
    QFile lock(path + ".lock");
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.close();
    const QByteArray original = contentsOf(path);

    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->window()->windowTitle(), "shared.nv3 (Read-Only)[*]");
    EXPECT_TRUE(statusNote(editor).contains("Read-only: the datafile is in use elsewhere"));

    // Save cannot write the file itself: it offers a copy.
    typeIntoText(editor, "kept");
    const QString copy = m_dir.filePath("mine.nv3");
    m_presenter.clear();
    m_presenter.answerAlertWithButton("Save");
    m_presenter.answerSavePanel(QUrl::fromLocalFile(copy));
    QPointer<Document> document = editor->document();
    closeWithKey(editor);
    EXPECT_EQ(m_presenter.alertMessages().value(0),
              "Do you want to save the changes made to the document “shared.nv3”?");
    EXPECT_EQ(m_presenter.savePanels().size(), 1);
    EXPECT_TRUE(document.isNull());
    EXPECT_EQ(contentsOf(path), original);
    EXPECT_TRUE(QFile::exists(path + ".lock")); // not ours to remove
    EXPECT_TRUE(contentsOf(copy).contains("kept"));
}

TEST_F(ReadOnlyAndFramesJourneyTest, SavePanels_SayWhatTheySaveAndProposeItsOwnName)
{
    // A new datafile has no name yet: the draft name is proposed.
    m_presenter.answerSavePanel(std::nullopt);
    ASSERT_TRUE(chooseMenuItem(&m_assembly->startWindow(), "newDatafile:"));
    auto* sheet = VKSheetController::topmostController<NewDatafileSheetController>();
    ASSERT_TRUE(sheet);
    sheet->okay();
    ASSERT_EQ(m_presenter.savePanels().size(), 1);
    EXPECT_EQ(m_presenter.savePanels()[0].request.title, "Save “New Datafile”");
    EXPECT_EQ(m_presenter.savePanels()[0].request.nameFieldValue, "New Datafile");
    DocumentController::shared().documents().front()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // Save of a datafile that cannot be written in place offers a copy of it, by its name.
    const QString path = copyFixture("shared.nv3");
    QFile lock(path + ".lock");
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.close();
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    typeIntoText(editor, "kept");
    m_presenter.clear();
    m_presenter.answerSavePanel(std::nullopt);
    QTest::keyClick(editor->window(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(m_presenter.savePanels().size(), 1);
    EXPECT_EQ(m_presenter.savePanels()[0].request.title, "Save “shared.nv3” As");
    EXPECT_EQ(m_presenter.savePanels()[0].request.nameFieldValue, "shared.nv3");
    EXPECT_EQ(m_presenter.savePanels()[0].request.directory, m_dir.path());
}

TEST_F(ReadOnlyAndFramesJourneyTest, ReadOnlySetting_EditsNeverWriteTheRecords_ButTheFrameIsKept)
{
    const QString path = copyFixture("read-only.nv3");
    const PlistDictionary before = readDatafile(path);
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->window()->windowTitle(), "read-only.nv3 (Read-Only)[*]");
    EXPECT_TRUE(statusNote(editor).contains("Read-only: this datafile is set to open read-only"));

    editor->window()->move(40, 50);
    const QString frame = WindowFrameString::fromGeometry(
        editor->window()->frameGeometry(), editor->window()->screen()->geometry(),
        QGuiApplication::primaryScreen()->geometry().height());
    closeWithKey(editor);
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
    const PlistDictionary after = readDatafile(path);
    // Showing a record stamps it as viewed; nothing else of the records changes.
    const auto unviewed = [](const PlistDictionary& datafile) {
        PlistDictionary records = datafile.value("Records").asDictionary()->deepCopy();
        for (const PlistDictionary::Entry& entry : records) {
            PlistValue record = entry.value; // a handle on the same dictionary
            record.asDictionary()->remove("RecordViewedDate");
            record.asDictionary()->remove("RecordViewedBy");
        }
        return PlistValue(records);
    };
    EXPECT_EQ(unviewed(after), unviewed(before));
    const PlistValue settings = after.value("Settings");
    EXPECT_EQ(settings.asDictionary()->value("ListViewFrame"), PlistValue(frame));
}

TEST_F(ReadOnlyAndFramesJourneyTest, AFrameAboveTheScreen_OpensWithItsTitleBarOnScreen)
{
    EditorWindowController* editor = openWithCommand(copyFixture("frame-above-screen.nv3"));
    ASSERT_TRUE(editor);
    const QRect available = editor->window()->screen()->availableGeometry();
    const QRect frame = editor->window()->frameGeometry();
    EXPECT_GE(frame.top(), available.top());
    EXPECT_TRUE(available.contains(frame)) << frame.x() << ',' << frame.y() << ' ' << frame.width()
                                           << 'x' << frame.height();
    // The stored frame includes the decorations: the window is no larger than it.
    EXPECT_EQ(frame.size(), QSize(600, 400));
}
