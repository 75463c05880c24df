#include "EditorWindowController.h"
#include "RecordDataTesting.h"

#include "EditorTableController.h"
#include "EditorTestBase.h"

#include "FreeformTextView.h"
#include "RichText.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QProgressBar>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

#include <gtest/gtest.h>

namespace {

class EditorWindowControllerTest : public EditorTestBase {
protected:
    // A datafile of three records, written to the temporary folder.
    QString makeDatafile(const std::function<void(DatafileSettingsData&)>& configure = {})
    {
        DatafileDocument document;
        for (const char* text : {"First", "Second", "Third"}) {
            auto record = std::make_shared<RecordData>();
            record->setTextString(text, RecordDataTesting::key());
            document.datafileRecords()->setRecord(record, record->identifier());
            document.datafileCatalog()->insertIdentifierAtEnd(record->identifier());
        }
        if (configure)
            configure(*document.datafileSettings());
        const QString path = m_dir.filePath("People.nv3");
        EXPECT_TRUE(document.saveToURL(QUrl::fromLocalFile(path), DatafileDocument::ProDatafileType,
                                       Document::SaveOperation::SaveTo));
        return path;
    }

    static void wait(int milliseconds)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < milliseconds)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
};

} // namespace

TEST_F(EditorWindowControllerTest, RecordToOpen_FollowsTheSettingAndConvertsTheOlderOne)
{
    struct Case {
        const char* name;
        std::optional<qint64> openToRecord;
        bool openToLastRecord;
        QString mostRecent; // "B" stands for the second record's identifier
        QString shownText;
        qint64 storedOpenToRecord;
    };
    const Case cases[] = {
        {"first", 3, false, {}, "First", 3},
        {"last", 4, false, {}, "Third", 4},
        {"most recent", 5, false, "B", "Second", 5},
        {"most recent, none stored", 5, false, "", "First", 5},
        {"most recent, gone", 5, false, "NO-SUCH-RECORD", "First", 5},
        {"anything else", 17, false, {}, "First", 17},
        {"older: last", std::nullopt, true, {}, "Third", 4},
        {"older: first", std::nullopt, false, {}, "First", 3},
    };
    for (const Case& c : cases) {
        const QString path = makeDatafile([&](DatafileSettingsData& settings) {
            if (c.openToRecord)
                settings.setOpenToRecord(*c.openToRecord);
            settings.setOpenToLastRecord(c.openToLastRecord);
        });
        DatafileDocument* document = open(path);
        EditorWindowController* editor = editorOf(document);
        if (c.mostRecent == "B") {
            document->datafileSettings()->setMostRecentRecord(
                editor->engine().catalog()->selectedIdentifierAtIndex(1));
            editor->engine().loadRecordAtIndex(editor->recordToOpen());
        } else if (!c.mostRecent.isNull()) {
            document->datafileSettings()->setMostRecentRecord(c.mostRecent);
            editor->engine().loadRecordAtIndex(editor->recordToOpen());
        }
        ASSERT_TRUE(editor->engine().currentRecord()) << c.name;
        EXPECT_EQ(editor->engine().currentRecord()->textString(), c.shownText) << c.name;
        EXPECT_EQ(document->datafileSettings()->openToRecord(), c.storedOpenToRecord) << c.name;
        m_documents.clear();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(EditorWindowControllerTest, LockFile_SecondOpeningIsReadOnlyAndOnlyTheFirstRemovesIt)
{
    const QString path =
        makeDatafile([](DatafileSettingsData& settings) { settings.setNetworkShared(true); });
    const QString lockPath = path + ".lock";

    DatafileDocument* first = open(path);
    EXPECT_TRUE(first->lockedOnOpening());
    EXPECT_FALSE(first->openedReadOnly());
    QFile lock(lockPath);
    ASSERT_TRUE(lock.open(QIODevice::ReadOnly));
    EXPECT_EQ(lock.readAll(), QCoreApplication::applicationFilePath().toUtf8());
    lock.close();

    DatafileDocument* second = open(path);
    EXPECT_FALSE(second->lockedOnOpening());
    EXPECT_TRUE(second->openedReadOnly());
    // Shown shortly after the window; a loaded machine may take longer.
    QElapsedTimer shown;
    shown.start();
    while (m_presenter.alerts().empty() && shown.elapsed() < 5000)
        wait(20);
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "This datafile is locked.");
    EXPECT_TRUE(m_presenter.lastAlert().request.informativeText.contains(
        "drag \"People.nv3.lock\" to the trash"));

    first->close();
    EXPECT_FALSE(QFile::exists(lockPath));
    QFile stale(lockPath); // a lock left by a machine that stopped
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    second->close();
    EXPECT_TRUE(QFile::exists(lockPath));
}

TEST_F(EditorWindowControllerTest, SizeWarning_TitlesAtTheBoundaries)
{
    const QString path = makeDatafile();
    DatafileDocument* document = open(path);
    struct Case {
        qint64 size;
        QString title;
    };
    const Case cases[] = {
        {1'073'741'823, QString()},
        {1'073'741'824, "This datafile is over 1 GB in size."},
        {1'610'612'736, "This datafile is over 1 GB in size."},
        {1'610'612'737, "This datafile is over 1.5 GB in size."},
    };
    for (const Case& c : cases) {
        m_presenter.clear();
        EditorWindowController::setFileSizeForTesting([&](const QString&) { return c.size; });
        editorOf(document)->warnWhenTooLarge();
        if (c.title.isNull()) {
            EXPECT_TRUE(m_presenter.alerts().isEmpty()) << c.size;
        } else {
            ASSERT_EQ(m_presenter.alerts().size(), 1) << c.size;
            EXPECT_EQ(m_presenter.lastAlert().request.messageText, c.title);
        }
    }
}

TEST_F(EditorWindowControllerTest, Close_AWindowWithAClone_ClosesTheCloneFirst)
{
    DatafileDocument* document = open(makeDatafile());
    auto clone = std::make_unique<EditorWindowController>();
    clone->setIsClone(true);
    EditorWindowController* cloneEditor = clone.get();
    document->addWindowController(std::move(clone));
    cloneEditor->prepare();
    ASSERT_EQ(document->windowControllers().size(), 2u);
    EXPECT_TRUE(editorOf(document)->hasClone());

    EXPECT_TRUE(editorOf(document)->windowShouldClose());
    EXPECT_EQ(document->windowControllers().size(), 1u);

    editorOf(document)->incrementOpenTemplateCount();
    EXPECT_FALSE(editorOf(document)->windowShouldClose());
}

TEST_F(EditorWindowControllerTest, StatusAndRecordInformation)
{
    DatafileDocument* document = open(makeDatafile());
    EditorWindowController* editor = editorOf(document);
    EXPECT_EQ(editor->engine().indexOfCurrentRecord(), 0);
    editor->goToNextRecord();
    EXPECT_EQ(editor->engine().indexOfCurrentRecord(), 1);
    EXPECT_EQ(editor->addressBlockText(), "Second"); // the whole text from line 1
    editor->engine().currentRecord()->setFields(PlistDictionary{{"F", "abc"}}, RecordDataTesting::key());
    EXPECT_EQ(EditorWindowController::recordSize(*editor->engine().currentRecord()), 6 + 3);
    const QStringList info = editor->recordInfo();
    ASSERT_EQ(info.size(), 7);
    EXPECT_EQ(info.at(6), "9 Bytes");
    EXPECT_EQ(EditorWindowController::recordSizeText(1'000), "1000 Bytes");
    EXPECT_EQ(EditorWindowController::recordSizeText(1'001), "1.001000 KB");
    EXPECT_EQ(EditorWindowController::recordSizeText(2'500'000), "2.500000 MB");

    editor->startMailProgressPanel("Importing");
    editor->incrementMailProgressPanel("No files", 0);
    editor->incrementMailProgressPanel("One of four", 4);
    EXPECT_EQ(editor->progressBar()->value(), 25);
    editor->endIndeterminateProgressPanel();
}

TEST_F(EditorWindowControllerTest, FreeformText_EditedAndLeft_IsStoredAsPlainAndRichText)
{
    DatafileDocument* document = open(makeDatafile());
    EditorWindowController* editor = editorOf(document);
    FreeformTextView* view = editor->freeformTextView();
    const std::shared_ptr<RecordData> first = editor->engine().currentRecord();
    ASSERT_EQ(view->plainText(), "First");
    EXPECT_FALSE(document->isDocumentEdited());

    // The user types a line and makes the first word bold.
    QTextCursor cursor(view->document());
    cursor.movePosition(QTextCursor::End);
    view->setTextCursor(cursor);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    QCoreApplication::sendEvent(view, &enter);
    for (const QChar character : QString("more")) {
        QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(character));
        QCoreApplication::sendEvent(view, &key);
    }
    cursor.setPosition(0);
    cursor.setPosition(5, QTextCursor::KeepAnchor);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.mergeCharFormat(bold);
    EXPECT_TRUE(editor->engine().currentRecordDirty());
    EXPECT_TRUE(document->isDocumentEdited());

    editor->goToNextRecord();

    EXPECT_EQ(editor->engine().currentRecord()->textString(), "Second");
    EXPECT_EQ(view->plainText(), "Second");
    EXPECT_EQ(first->textString(), "First\nmore");
    const RichTextResult stored = RichText::fromRtfd(first->textRTFD());
    ASSERT_TRUE(stored.ok()) << stored.error->toStdString();
    EXPECT_EQ(RichText::plainText(*stored.document), "First\nmore");
    const QTextBlock firstLine = stored.document->begin();
    EXPECT_EQ(firstLine.begin().fragment().text(), "First");
    EXPECT_EQ(firstLine.begin().fragment().charFormat().fontWeight(), QFont::Bold);
    EXPECT_NE(firstLine.next().begin().fragment().charFormat().fontWeight(), QFont::Bold);

    // Coming back shows the rich text as stored.
    editor->engine().goBackOneRecord();
    EXPECT_EQ(editor->engine().currentRecord(), first);
    EXPECT_EQ(view->plainText(), "First\nmore");
    EXPECT_EQ(view->document()->begin().begin().fragment().charFormat().fontWeight(), QFont::Bold);
}

TEST_F(EditorWindowControllerTest, FreeformText_RefusesEditsWhileLockedSyncingOrInAClone)
{
    DatafileDocument* document = open(makeDatafile());
    EditorWindowController* editor = editorOf(document);
    FreeformTextView* view = editor->freeformTextView();
    EXPECT_FALSE(view->isReadOnly());
    editor->engine().recordAtIndex(1)->setRecordLocked(true);
    editor->goToNextRecord();
    EXPECT_TRUE(view->isReadOnly());
    editor->goToNextRecord();
    EXPECT_FALSE(view->isReadOnly());
    editor->setNowSyncing(true);
    EXPECT_TRUE(view->isReadOnly());
    editor->setNowSyncing(false);
    EXPECT_FALSE(view->isReadOnly());

    auto clone = std::make_unique<EditorWindowController>();
    clone->setIsClone(true);
    EditorWindowController* cloneEditor = clone.get();
    document->addWindowController(std::move(clone));
    cloneEditor->prepare();
    EXPECT_TRUE(cloneEditor->freeformTextView()->isReadOnly());
}

namespace {

// The linked runs of a text and where they lead.
QList<QPair<QString, QString>> linksOf(const QTextDocument& document)
{
    QList<QPair<QString, QString>> links;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isAnchor())
                links.append({it.fragment().text(), it.fragment().charFormat().anchorHref()});
        }
    }
    return links;
}

} // namespace

TEST_F(EditorWindowControllerTest, FreeformLinks_FoundOnLoad_StoredAsLinksNotAsTheirLook)
{
    QString recordLink;
    const QString path = makeDatafile();
    DatafileDocument* document = open(path);
    EditorWindowController* editor = editorOf(document);
    editor->engine().setCanSaveChanges(true);
    const std::shared_ptr<RecordData> first = editor->engine().currentRecord();
    const std::shared_ptr<RecordData> second = editor->engine().recordAtIndex(1);
    first->setTextString("see www.example.com. or ann@example.org, http://h/a[1] or bob@host\n"
                         "uuid://" +
                         second->identifier(), RecordDataTesting::key());
    editor->engine().loadCurrentRecord();

    using Links = QList<QPair<QString, QString>>;
    const Links expected = {
        {"www.example.com", "http://www.example.com"},
        {"ann@example.org", "mailto:ann@example.org"},
        {"http://h/a[1]", "http://h/a[1]"},
        {"uuid://" + second->identifier(), "uuid://" + second->identifier()},
    };
    EXPECT_EQ(linksOf(*editor->freeformTextView()->document()), expected);
    EXPECT_FALSE(editor->engine().currentRecordDirty());

    // Stored as links; the underline and colour are only how they are shown.
    editor->goToNextRecord();
    const RichTextResult stored = RichText::fromRtfd(first->textRTFD());
    ASSERT_TRUE(stored.ok());
    EXPECT_EQ(linksOf(*stored.document), expected);
    const QTextCharFormat format = stored.document->begin().begin().fragment().charFormat();
    EXPECT_FALSE(format.fontUnderline());

    editor->engine().goBackOneRecord();
    editor->settings()->setAutomaticallyEnableLinks(false);
    first->setTextRTFD({}, RecordDataTesting::key());
    editor->engine().loadCurrentRecord();
    EXPECT_TRUE(linksOf(*editor->freeformTextView()->document()).isEmpty());
}

TEST_F(EditorWindowControllerTest, FreeformLinks_ClickedFollowedOrReported_RemovedFromASelection)
{
    DatafileDocument* document = open(makeDatafile());
    EditorWindowController* editor = editorOf(document);
    editor->engine().setCanSaveChanges(true);
    FreeformTextView* view = editor->freeformTextView();
    const std::shared_ptr<RecordData> second = editor->engine().recordAtIndex(1);
    editor->engine().currentRecord()->setTextString("uuid://" + second->identifier() + " file:///nowhere", RecordDataTesting::key());
    editor->engine().loadCurrentRecord();

    // A click on the record link shows that record and enters it in the history.
    QTextCursor cursor(view->document());
    cursor.setPosition(3);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                      view->cursorRect(cursor).center() + QPoint(2, 0));
    EXPECT_EQ(editor->engine().currentRecord(), second);
    EXPECT_EQ(editor->engine().viewedRecordList().last(), second->identifier());

    // A file that cannot be opened is reported; another link is left to the view.
    m_presenter.setOpensUrls(false);
    EXPECT_TRUE(editor->clickedOnLink("file:///nowhere"));
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "Could not find the file at:");
    EXPECT_EQ(m_presenter.lastAlert().request.informativeText,
              "/nowhere\n\nYou should update the link or remove it.");
    EXPECT_FALSE(editor->clickedOnLink("http://www.example.com"));
    EXPECT_EQ(m_presenter.alerts().size(), 1);

    // Remove Links takes the link off the selection only, as the user's edit.
    editor->engine().goBackOneRecord();
    view->setFocus();
    EXPECT_FALSE(editor->validateAction("removeLink:"));
    cursor = QTextCursor(view->document());
    cursor.setPosition(0);
    cursor.setPosition(10, QTextCursor::KeepAnchor);
    view->setTextCursor(cursor);
    EXPECT_TRUE(editor->validateAction("removeLink:"));
    EXPECT_TRUE(editor->performAction("removeLink:"));
    EXPECT_EQ(linksOf(*view->document()),
              (QList<QPair<QString, QString>>{
                  {second->identifier().mid(3), "uuid://" + second->identifier()},
                  {"file:///nowhere", "file:///nowhere"}}));
    EXPECT_TRUE(editor->engine().currentRecordDirty());
}

TEST_F(EditorWindowControllerTest, Mode_ABasicViewWithoutFieldsOpensAsTheListView)
{
    const struct {
        bool withField;
        QString storedMode;
        QString shownMode;
    } cases[] = {{false, "Basic", "List"}, {true, "Basic", "Basic"}, {false, "List", "List"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.storedMode.toStdString() + (c.withField ? " with a field" : ""));
        DatafileDocument* document = open(makeDatafile([&](DatafileSettingsData& settings) {
            settings.setMode(c.storedMode);
            if (c.withField)
                settings.setFields(PlistArray{PlistDictionary{{"Identifier", "F"}, {"Name", "Name"}}});
        }));
        EditorWindowController* editor = editorOf(document);
        EditorTableController& tables = *editor->tableController();
        EXPECT_EQ(tables.currentTableView(),
                  c.shownMode == "List" ? tables.listTableView() : tables.basicTableView());
        EXPECT_EQ(editor->settings()->mode(), c.shownMode);
        m_documents.clear();
    }
}
