// A user's journeys through Multi-File Find in the program as main() runs it: the
// datafiles folder as a tree, Find Next stepping through open datafiles and through
// datafiles opened without a window for the search, stopping at the end of each, and
// Escape ending a search.
#include "JourneyTestBase.h"

#include "Application.h"
#include "DocumentController.h"
#include "EditorSearchController.h"
#include "FindAndReplaceController.h"
#include "MultiFileFindController.h"
#include "NotificationCenter.h"
#include "PopUpButton.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

class MultiFileFindJourneyTest : public JourneyTestBase {
protected:
    static void findNext(MultiFileFindController* finder, const QString& text)
    {
        finder->findWhatField()->setText(text);
        QTest::mouseClick(finder->findNextButton(), Qt::LeftButton);
    }

    // The datafile a record of which shows the hit, and that record's number.
    static QString hitAt()
    {
        EditorWindowController* editor = EditorWindowController::mainEditor();
        if (!editor)
            return QStringLiteral("none");
        return QStringLiteral("%1 #%2")
            .arg(QFileInfo(editor->document()->fileURL().toLocalFile()).completeBaseName())
            .arg(editor->engine().indexOfCurrentRecord());
    }

    static EditorWindowController* editorOf(const QString& path)
    {
        Document* document = DocumentController::shared().documentForURL(QUrl::fromLocalFile(path));
        return static_cast<EditorWindowController*>(document->windowControllers().front().get());
    }

    static bool isOpen(const QString& path)
    {
        return DocumentController::shared().documentForURL(QUrl::fromLocalFile(path)) != nullptr;
    }

    QString shots() const { return qEnvironmentVariable("NORVA_SHOTS", m_dir.path()); }

    // a (no hit, shared over a network), b (hits in records 0 and 2, opening on its last
    // record), Sub/c (a hit) and Sub/Deeper/d (a hit).
    void writeFolder()
    {
        QDir(m_dir.path()).mkpath("Sub/Deeper");
        writeRecords(m_dir.filePath("a.nv3"), {"Name"}, {{"Ann", ""}, {"Bo", ""}},
                     PlistDictionary{{"NetworkShared", true}});
        writeRecords(m_dir.filePath("b.nv3"), {"Name"},
                     {{"Wren", ""}, {"Cy", ""}, {"", "a wren sang"}},
                     PlistDictionary{{"OpenToRecord", 4}});
        writeRecords(m_dir.filePath("Sub/c.nv3"), {"Name"}, {{"Wren", ""}});
        writeRecords(m_dir.filePath("Sub/Deeper/d.nv3"), {"Name"}, {{"Wren", ""}});
    }
};

} // namespace

TEST_F(MultiFileFindJourneyTest, TheFolderIsScannedInOrderFollowingLinksButNoCycle)
{
    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    QDir root(m_dir.path());
    root.mkpath("tree/Sub/Inner");
    root.mkpath("tree/Empty");
    root.mkpath("tree/Loop");
    const auto touch = [](const QString& path) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    };
    for (const char* file :
         {"tree/b.nv3", "tree/A.nvm", "tree/c.txt", "tree/Sub/x.nv3", "tree/Sub/Inner/y.nv3"})
        touch(m_dir.filePath(file));
    touch(elsewhere.filePath("z.nv3"));
    ASSERT_TRUE(QFile::link(elsewhere.filePath("z.nv3"), m_dir.filePath("tree/link.nv3")));
    ASSERT_TRUE(QFile::link(m_dir.filePath("tree"), m_dir.filePath("tree/Loop/back")));

    PlistArray tree;
    PlistArray all;
    MultiFileFindController::scanDirectory(m_dir.filePath("tree"), tree, all);
    const auto describe = [](const PlistArray& entries) {
        const std::function<QString(const PlistArray&)> walk = [&](const PlistArray& level) {
            QStringList names;
            for (const PlistValue& value : level) {
                const PlistDictionary* entry = value.asDictionary();
                const PlistValue* items = entry->find("Items");
                names << entry->stringForKey("Name") +
                             (items ? "(" + walk(*items->asArray()) + ")" : QString());
            }
            return names.join(' ');
        };
        return walk(entries);
    };
    EXPECT_EQ(describe(tree), "A b Empty() link Loop() Sub(Inner(y) x)");
    EXPECT_EQ(describe(all), "A b link y x");
    EXPECT_EQ(all[2].asDictionary()->stringForKey("Path"),
              QFileInfo(elsewhere.filePath("z.nv3")).canonicalFilePath());
    EXPECT_EQ(all[0].asDictionary()->stringForKey("IsGroup"), "NO");

    // Without folders the folder scope cannot be chosen.
    m_defaults.setObject(QUrl::fromLocalFile(elsewhere.path()).toString() + '/',
                         "DatafilesFolderURL");
    MultiFileFindController* finder = openMultiFileFind();
    ASSERT_TRUE(finder);
    EXPECT_FALSE(finder->searchDatafilesInFolder()->isEnabled());
    EXPECT_FALSE(finder->folderToSearchIn()->isEnabled());
}

TEST_F(MultiFileFindJourneyTest, FindNextStepsThroughTheOpenDatafilesInTheirWindows)
{
    const QString first = m_dir.filePath("first.nv3");
    const QString second = m_dir.filePath("second.nv3");
    writeRecords(first, {"Name"}, {{"Wren", ""}, {"Cy", ""}, {"", "wren"}});
    writeRecords(second, {"Name"}, {{"Di", ""}, {"Jenny Wren", ""}});
    ASSERT_TRUE(openWithCommand(first));
    ASSERT_TRUE(openWithCommand(second));
    MultiFileFindController* finder = openMultiFileFind();
    ASSERT_TRUE(finder);
    EXPECT_TRUE(finder->searchOpenDatafiles()->isChecked());

    QStringList hits;
    for (int press = 0; press < 4; ++press) {
        findNext(finder, "wren");
        hits << hitAt();
    }
    EXPECT_EQ(hits, (QStringList{"first #0", "first #2", "second #1", "second #1"}));
    EXPECT_EQ(finder->findWhere()->text(), "<<Search Completed>>");
    finder->window()->grab().save(shots() + "/multi-file-find.png");
    EXPECT_TRUE(isOpen(first));
    EXPECT_TRUE(isOpen(second));

    // A new text starts again with the first datafile's first record.
    findNext(finder, "Wren");
    findNext(finder, "wren");
    EXPECT_EQ(hitAt(), "first #0");

    // The datafile of the hit comes forward again from the window; help is the guide's.
    activate(editorOf(second)->window());
    ASSERT_EQ(hitAt(), "second #1");
    activate(finder->window());
    QTest::mouseClick(finder->bringDatafileForwardButton(), Qt::LeftButton);
    EXPECT_EQ(hitAt(), "first #0");
    m_presenter.clear();
    QTest::mouseClick(finder->helpButton(), Qt::LeftButton);
    ASSERT_EQ(m_presenter.openedUrls().size(), 1);
    EXPECT_TRUE(m_presenter.openedUrls().front().toString().endsWith("EditFind.html"));
}

TEST_F(MultiFileFindJourneyTest, DatafilesOpenedForTheSearchCloseAfterAMissUnchanged)
{
    writeFolder();
    const QByteArray untouched = contentsOf(m_dir.filePath("a.nv3"));
    MultiFileFindController* finder = openMultiFileFind();
    ASSERT_TRUE(finder);
    m_presenter.clear();
    finder->searchDatafilesInMenu()->click();

    findNext(finder, "wren");
    // Found in the first record though the datafile opens on its last one.
    EXPECT_EQ(hitAt(), "b #0");
    EXPECT_TRUE(finder->bringDatafileForwardButton()->isEnabled());
    EXPECT_FALSE(isOpen(m_dir.filePath("a.nv3")));
    EXPECT_EQ(contentsOf(m_dir.filePath("a.nv3")), untouched);
    EXPECT_FALSE(QFileInfo::exists(m_dir.filePath("a.nv3.lock")));
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
    findNext(finder, "wren");
    EXPECT_EQ(hitAt(), "b #2");
    findNext(finder, "wren");
    EXPECT_EQ(hitAt(), "c #0");
    EXPECT_TRUE(isOpen(m_dir.filePath("b.nv3"))) << "shown with a hit, it stays";

    // The folder scope: only the datafiles directly in the folder.
    finder->searchDatafilesInFolder()->click();
    EXPECT_TRUE(finder->folderToSearchIn()->isEnabled());
    for (QAction* folder : finder->folderToSearchIn()->itemArray()) {
        if (folder->text() == "Sub")
            finder->folderToSearchIn()->selectItem(folder);
    }
    EXPECT_EQ(finder->folderToSearchIn()->titleOfSelectedItem(), "Sub");
    findNext(finder, "wren");
    EXPECT_EQ(hitAt(), "c #0");
    findNext(finder, "wren");
    EXPECT_EQ(finder->findWhere()->text(), "<<Search Completed>>");
    EXPECT_FALSE(isOpen(m_dir.filePath("Sub/Deeper/d.nv3")));
}

TEST_F(MultiFileFindJourneyTest,
       SharedDatafilesSearchedWithoutAWindow_TakeNoLockAndLeaveAnotherOneAlone)
{
    // a is shared and free; b and c are held by another machine; only c has a hit. b and
    // c open to their most recent record, which the search moves away from.
    const PlistDictionary shared{{"NetworkShared", true},
                                 {"OpenToRecord", 5},
                                 {"MostRecentRecord", "00000000-0000-4000-8000-000000000002"}};
    const QString a = m_dir.filePath("a.nv3");
    const QString b = m_dir.filePath("b.nv3");
    const QString c = m_dir.filePath("c.nv3");
    writeRecords(a, {"Name"}, {{"Ann", ""}, {"Bo", ""}}, PlistDictionary{{"NetworkShared", true}});
    writeRecords(b, {"Name"}, {{"Cy", ""}, {"Di", ""}}, shared);
    writeRecords(c, {"Name"}, {{"Wren", ""}, {"Eve", ""}}, shared);
    const QByteArray foreignLock = "/elsewhere/bin/norva";
    for (const QString& held : {b, c}) {
        QFile lock(held + ".lock");
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
        lock.write(foreignLock);
    }
    const QByteArray bBefore = contentsOf(b);
    const QByteArray cBefore = contentsOf(c);

    // Every window that closed, with what its datafile held then.
    QStringList closing;
    NotificationObserver observer = NotificationCenter::defaultCenter().addObserver(
        FindAndReplaceController::DatafileClosingNotification, nullptr,
        [&](const Notification& note) {
            const auto* datafile =
                qobject_cast<const DatafileDocument*>(static_cast<const Document*>(note.object));
            ASSERT_TRUE(datafile);
            const QString path = datafile->fileURL().toLocalFile();
            closing << QStringLiteral("%1 %2 %3")
                           .arg(QFileInfo(path).fileName(),
                                datafile->openedReadOnly() ? "read-only" : "writable",
                                QString::fromUtf8(contentsOf(path + ".lock")));
        });

    MultiFileFindController* finder = openMultiFileFind();
    ASSERT_TRUE(finder);
    finder->searchDatafilesInMenu()->click();
    findNext(finder, "wren");
    EXPECT_EQ(hitAt(), "c #0");
    // a and b hold no hit: they were read and searched without a window, which alone
    // takes a lock.
    EXPECT_TRUE(closing.isEmpty()) << closing.join('|').toStdString();
    EXPECT_FALSE(QFileInfo::exists(a + ".lock"));
    EXPECT_EQ(contentsOf(b + ".lock"), foreignLock);
    EXPECT_TRUE(contentsOf(b) == bBefore) << "b was written";

    // The datafile shown with the hit says why it cannot be saved, and closing it, once
    // saving would otherwise be allowed, writes neither it nor the lock.
    EditorWindowController* editor = editorOf(c);
    EXPECT_EQ(editor->window()->windowTitle(), "c.nv3 (Read-Only)[*]");
    QStringList status;
    for (QLabel* label : editor->window()->findChild<QStatusBar*>()->findChildren<QLabel*>())
        status << label->text();
    EXPECT_TRUE(status.contains("Read-only: the datafile is in use elsewhere"))
        << status.join('|').toStdString();
    EXPECT_TRUE(QTest::qWaitFor([editor] { return editor->canSaveChanges(); }, 3000));
    activate(editor->window());
    QTest::keyClick(editor->window(), Qt::Key_W, Qt::ControlModifier);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(isOpen(c));
    EXPECT_EQ(contentsOf(c + ".lock"), foreignLock);
    EXPECT_TRUE(contentsOf(c) == cBefore) << "c was written";
}

TEST_F(MultiFileFindJourneyTest, AfterEveryHitTheWindowStaysInFrontOfTheDatafile)
{
    writeFolder();
    MultiFileFindController* finder = openMultiFileFind();
    ASSERT_TRUE(finder);
    activate(finder->window());
    finder->searchDatafilesInMenu()->click();
    // b's first hit, then c and d, each opened for the search and shown.
    for (const char* hit : {"b #0", "b #2", "c #0", "d #0"}) {
        findNext(finder, "wren");
        EXPECT_EQ(hitAt(), hit);
        EXPECT_TRUE(QTest::qWaitFor(
            [finder] { return QApplication::activeWindow() == finder->window(); }, 1000))
            << "after " << hit << " the active window is "
            << (QApplication::activeWindow() ? QApplication::activeWindow()->windowTitle()
                                             : QStringLiteral("none"))
                   .toStdString();
        // Nothing comes in front of it later on. Under a window manager, a datafile window
        // opened for the hit is activated a moment after it is mapped.
        QTest::qWait(200);
        EXPECT_EQ(QApplication::activeWindow(), finder->window()) << hit;
    }
}

TEST_F(MultiFileFindJourneyTest, StopAtEndGoesOnWithTheNextDatafileAndIsRemembered)
{
    writeFolder();
    MultiFileFindController* finder = openMultiFileFind();
    ASSERT_TRUE(finder);
    finder->searchDatafilesInMenu()->click();
    finder->stopAtEndOfEachDatafile()->click();
    for (qint32 next : {1, 2, 3, 0}) {
        findNext(finder, "nowhere");
        EXPECT_EQ(finder->findWhere()->text(), "<<Search Completed>>");
        EXPECT_EQ(finder->currentDocIndex(), next);
    }
    EXPECT_TRUE(DocumentController::shared().documents().empty());

    finder->window()->close();
    QTest::qWait(10);
    EXPECT_TRUE(m_defaults.boolForKey("StopSearchAtEndOfDatafile"));
}

TEST_F(MultiFileFindJourneyTest, AMissInEveryDatafileNeitherOpensNorQuitsAfterTheLastFile)
{
    // With no datafile open, the datafiles searched without a hit never count as open
    // ones, so their going is no last datafile closing.
    m_defaults.setBool(true, QStringLiteral("GeneralQuitAfterLastFile"));
    writeFolder();
    MultiFileFindController* finder = openMultiFileFind();
    ASSERT_TRUE(finder);
    finder->searchDatafilesInMenu()->click();
    QSignalSpy quitting(&Application::shared(), &Application::willTerminate);
    QSignalSpy added(&DocumentController::shared(), &DocumentController::documentAdded);
    findNext(finder, "nowhere");
    QCoreApplication::processEvents();
    EXPECT_EQ(finder->findWhere()->text(), "<<Search Completed>>");
    EXPECT_EQ(added.count(), 0);
    EXPECT_EQ(quitting.count(), 0);

    // A hit after the miss still opens its datafile in a window.
    findNext(finder, "wren");
    EXPECT_EQ(hitAt(), "b #0");
    EXPECT_EQ(added.count(), 1);
}

TEST_F(MultiFileFindJourneyTest, EscapeDuringTheSearchEndsIt)
{
    writeFolder();
    MultiFileFindController* finder = openMultiFileFind();
    ASSERT_TRUE(finder);
    finder->searchDatafilesInMenu()->click();
    finder->findWhatField()->setText("Bo Peep");
    writeRecords(m_dir.filePath("b.nv3"), {"Name"}, {{"Bo Peep", ""}});
    // Pressed while the first datafile is searched: seen once it is done with.
    QCoreApplication::postEvent(finder->window(),
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    finder->findNext();
    EXPECT_EQ(finder->findWhere()->text(), "<<Search Completed>>");
    EXPECT_EQ(finder->currentDocIndex(), 0);
    EXPECT_FALSE(isOpen(m_dir.filePath("b.nv3")));
}
