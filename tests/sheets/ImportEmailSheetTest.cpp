// E-mail import: mailbox files on the main thread and mail folders on a worker, into a
// new datafile or the current one, and what the user sees meanwhile.
#include "ImportEmailSheetController.h"

#include "DatafileFormat.h"
#include "EditorRecordsController.h"
#include "SubsetSortedData.h"
#include "../controllers/EditorTestBase.h"

#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QTimer>

namespace {

const QStringList EmailFields = {"Subject", "Date",      "From",      "Reply to",
                                 "To",      "cc",        "File Name", "References"};

class ImportEmailSheetTest : public EditorTestBase {
protected:
    void SetUp() override
    {
        EditorTestBase::SetUp();
        const auto make = [] { return std::make_unique<DatafileDocument>(); };
        DocumentController::shared().registerDocumentType(
            {DatafileDocument::ProDatafileType, {"nv3"}, make});
    }

    void TearDown() override
    {
        if (QThread* worker = sheet()->importEmailThread())
            QTRY_VERIFY_WITH_TIMEOUT(worker->isFinished(), 10000);
        EditorTestBase::TearDown();
    }

    static ImportEmailSheetController* sheet()
    {
        static ImportEmailSheetController* shared =
            VKSheetController::controller<ImportEmailSheetController>();
        return shared;
    }

    // A datafile of the e-mail fields (or others) holding one record of the values.
    EditorWindowController* openDatafile(const QStringList& fields, const QStringList& values)
    {
        PlistArray definitions;
        for (const QString& field : fields)
            definitions.append(PlistDictionary{{"Identifier", field}, {"Name", field}});
        PlistDictionary stored;
        PlistDictionary fieldValues;
        for (qsizetype i = 0; i < values.size(); ++i)
            fieldValues.insert(fields.at(i), values.at(i));
        stored.insert("R1", PlistDictionary{{"Identifier", "R1"}, {"Fields", fieldValues}});
        const QString path = m_dir.filePath("Mail.nv3");
        EXPECT_FALSE(DatafileDocument::writeDatafileToPath(
            path, {PlistDictionary{{"Fields", definitions}}, stored,
                   DatafileFormat::catalogForRecords(stored)}));
        Document* document = DocumentController::shared().openDocumentWithContentsOfURL(
            QUrl::fromLocalFile(path), true);
        auto* editor =
            static_cast<EditorWindowController*>(document->windowControllers().front().get());
        editor->engine().setCanSaveChanges(true);
        editor->makeMainEditor();
        return editor;
    }

    ImportSheetBase::NewDatafileMaker newDatafileMaker()
    {
        return [this](const std::optional<QStringList>& names, const std::optional<QString>& text,
                      const QString& draftName) -> EditorWindowController* {
            m_madeWith = {names.value_or(QStringList()).join(','), text.value_or("-"), draftName};
            auto* document = static_cast<DatafileDocument*>(
                DocumentController::shared().openUntitledDocumentOfType(
                    DatafileDocument::ProDatafileType, false));
            document->datafileSettings()->setFields(
                DatafileDocument::arrayForFieldNames(names.value_or(QStringList())));
            auto* editor =
                static_cast<EditorWindowController*>(document->windowControllers().front().get());
            editor->recordsController().addRecord();
            document->showWindows();
            editor->engine().setCanSaveChanges(true);
            editor->makeMainEditor();
            m_made = editor;
            return editor;
        };
    }

    // The mailbox file chosen; whether the sheet came up.
    bool importFile(int client, const QString& path)
    {
        m_presenter.answerOpenPanel({QUrl::fromLocalFile(path)});
        sheet()->importEmailFile(client, newDatafileMaker());
        return sheet()->window()->isVisible();
    }

    bool importFolder(const QString& path)
    {
        m_presenter.answerOpenPanel({QUrl::fromLocalFile(path)});
        sheet()->importEmailFolder(2, newDatafileMaker());
        return sheet()->window()->isVisible();
    }

    static void waitForWorker()
    {
        QThread* worker = sheet()->importEmailThread();
        ASSERT_TRUE(worker);
        QTRY_VERIFY_WITH_TIMEOUT(worker->isFinished(), 10000);
        // Its last hop has run.
        QCoreApplication::processEvents();
    }

    static QString value(EditorWindowController* editor, qint64 index, const QString& field)
    {
        const PlistArray fields = editor->settings()->fields();
        const qsizetype position = EmailFields.indexOf(field);
        const QString identifier =
            fields.at(position).asDictionary()->stringForKey("Identifier");
        return editor->engine().recordAtCatalogIndex(index)->fields().stringForKey(identifier);
    }

    static QStringList column(EditorWindowController* editor, const QString& field)
    {
        QStringList values;
        for (qint64 i = 0; i < editor->engine().catalog()->count(); ++i)
            values.append(value(editor, i, field));
        return values;
    }

    QString fixture(const char* name) const
    {
        return QStringLiteral(NORVA_FIXTURES_DIR "/email/") + QLatin1String(name);
    }

    // A message file: its length line, the message and a trailer that is not the message.
    void writeEmlx(const QString& relativePath, const QByteArray& date, const QByteArray& subject)
    {
        const QByteArray message = "Subject: " + subject + "\nDate: " + date +
                                   "\nFrom: a@example.com\n\n" + subject + " body\n";
        QDir(m_dir.path()).mkpath(QFileInfo(m_dir.filePath(relativePath)).path());
        QFile file(m_dir.filePath(relativePath));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::number(message.size()) + "\n" + message +
                   "<?xml version=\"1.0\"?>\n<plist><dict/></plist>\n");
    }

    QString writeMailFolder()
    {
        writeEmlx("Mail/Inbox.mbox/Messages/1.emlx", "Mon, 2 Mar 2026 09:00:00 +0000", "Oldest");
        writeEmlx("Mail/Inbox.mbox/Messages/2.emlx", "Wed, 4 Mar 2026 09:00:00 +0000", "Newest");
        writeEmlx("Mail/Work.mbox/Sub.mbox/Messages/3.emlx", "Tue, 3 Mar 2026 09:00:00 +0000",
                  "Middle");
        writeEmlx("Mail/Top.emlx", "Sun, 1 Mar 2026 09:00:00 +0000", "Top");
        // Not messages.
        writeEmlx("Mail/Inbox.mbox/Messages/4.partial.emlxpart", "Thu, 5 Mar 2026", "Part");
        writeEmlx("Mail/.hidden/5.emlx", "Thu, 5 Mar 2026", "Hidden");
        writeEmlx("Mail/Inbox.mbox/Info.plist", "Thu, 5 Mar 2026", "Info");
        return m_dir.filePath("Mail");
    }

    QStringList m_madeWith;
    QPointer<EditorWindowController> m_made;
};

} // namespace

TEST_F(ImportEmailSheetTest, MailboxFile_NewDatafile_NewestFirstAndSaved)
{
    ASSERT_TRUE(importFile(4, fixture("eudora.mbx")));
    EXPECT_EQ(m_presenter.openPanels().back().request.message, "Select a message File to Import");
    EXPECT_EQ(sheet()->currentDatafileName()->text(), "<No suitable datafile open>");
    EXPECT_FALSE(sheet()->appendToCurrent()->isEnabled());
    EXPECT_EQ(sheet()->emailClient(), 4);
    m_presenter.answerSavePanel(QUrl::fromLocalFile(m_dir.filePath("Eudora.nv3")));
    sheet()->okay();

    ASSERT_TRUE(m_made);
    EXPECT_EQ(m_madeWith, QStringList({EmailFields.join(','), "Message", "Email"}));
    EXPECT_EQ(column(m_made, "Subject"), QStringList({" Newest", " Middle", " Oldest"}));
    EXPECT_EQ(m_made->engine().recordAtCatalogIndex(0)->textString(), "third body");
    EXPECT_EQ(column(m_made, "File Name"), QStringList({"", "", ""}));
    EXPECT_EQ(m_made->engine().indexOfCurrentRecord(), 0);
    EXPECT_TRUE(QFileInfo::exists(m_dir.filePath("Eudora.nv3")));
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
}

TEST_F(ImportEmailSheetTest, MailboxFile_AppendKeepsFileOrder_MergeStripsDuplicates)
{
    EditorWindowController* editor =
        openDatafile(EmailFields, {" Kept", "Sun, 1 Mar 2026 09:00:00 +0000"});
    // Another number of fields is not suitable.
    ASSERT_TRUE(importFile(6, fixture("mozilla.mbox")));
    EXPECT_TRUE(sheet()->appendToCurrent()->isEnabled());
    EXPECT_EQ(sheet()->currentDatafileName()->text(), editor->featureContext().host().windowTitle());
    sheet()->appendToCurrent()->setChecked(true);
    sheet()->importText()->setChecked(true);
    sheet()->okay();
    EXPECT_TRUE(sheet()->importTextOnly());
    EXPECT_EQ(column(editor, "Subject"),
              QStringList({" Kept", " Oldest", " Newest", " Middle"}));
    EXPECT_EQ(editor->engine().catalog()->countSelected(), 4);

    ASSERT_TRUE(importFile(6, fixture("mozilla.mbox")));
    EXPECT_TRUE(sheet()->importText()->isChecked());
    sheet()->mergeIntoCurrent()->setChecked(true);
    sheet()->okay();
    EXPECT_EQ(column(editor, "Subject"),
              QStringList({" Newest", " Middle", " Oldest", " Kept"}));
    EXPECT_TRUE(editor->window()->isWindowModified());
}

TEST_F(ImportEmailSheetTest, MailboxFile_WithoutMessages_NoRecordsNoAlert)
{
    const QString path = writeFile("notes.txt", "no messages in here\n");
    ASSERT_TRUE(importFile(5, path));
    m_presenter.answerSavePanel(std::nullopt);
    sheet()->okay();
    ASSERT_TRUE(m_made);
    EXPECT_EQ(m_made->engine().catalog()->count(), 1);
    EXPECT_TRUE(m_presenter.alerts().isEmpty());

    // An empty file is told.
    ASSERT_TRUE(importFile(5, writeFile("empty.mbox", "")));
    sheet()->okay();
    EXPECT_EQ(m_presenter.alertMessages(), QStringList({"No records were imported."}));
}

TEST_F(ImportEmailSheetTest, MailFolder_EveryEmlxBelow_NewestFirstWhileEventsFlow)
{
    const QString folder = writeMailFolder();
    ASSERT_TRUE(importFolder(folder));
    EXPECT_EQ(m_presenter.openPanels().back().request.message,
              "Select a Messages Folder to Import");
    EXPECT_EQ(sheet()->emailFolderName(), "Mail Email");
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(0);
    QSignalSpy imported(sheet(), &ImportEmailSheetController::messageImported);
    sheet()->okay();
    ASSERT_TRUE(m_made);
    waitForWorker();
    EXPECT_EQ(m_madeWith, QStringList({EmailFields.join(','), "Message", "Mail Email"}));
    EXPECT_EQ(column(m_made, "Subject"), QStringList({" Newest", " Middle", " Oldest", " Top"}));
    EXPECT_EQ(column(m_made, "File Name"), QStringList({"2.emlx", "3.emlx", "1.emlx", "Top.emlx"}));
    EXPECT_EQ(m_made->engine().recordAtCatalogIndex(0)->textString(), "Newest body\n");
    EXPECT_EQ(imported.size(), 4);
    EXPECT_GT(ticks, 0);
    EXPECT_FALSE(m_made->progressPanel()->isVisible());
    // Not saved, nothing said.
    EXPECT_TRUE(m_made->document()->fileURL().isEmpty());
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
}

TEST_F(ImportEmailSheetTest, MailFolder_EscapeAfterTheSecond_KeepsTwoAndEndsTheProgress)
{
    EditorWindowController* editor =
        openDatafile(EmailFields, {" Kept", "Sun, 1 Mar 2026 09:00:00 +0000"});
    ASSERT_TRUE(importFolder(writeMailFolder()));
    sheet()->appendToCurrent()->setChecked(true);
    QObject::connect(sheet(), &ImportEmailSheetController::messageImported, editor,
                     [editor](qint64 count) {
                         if (count == 2)
                             QTest::keyClick(editor->window(), Qt::Key_Escape);
                     });
    sheet()->okay();
    waitForWorker();
    QObject::disconnect(sheet(), &ImportEmailSheetController::messageImported, editor, nullptr);
    EXPECT_EQ(editor->engine().catalog()->count(), 3);
    EXPECT_EQ(column(editor, "Subject"), QStringList({" Newest", " Oldest", " Kept"}));
    EXPECT_EQ(editor->engine().catalog()->countSelected(), 3);
    EXPECT_FALSE(editor->progressPanel()->isVisible());
    EXPECT_TRUE(editor->window()->isWindowModified());
}

TEST_F(ImportEmailSheetTest, MailFolder_WithoutMessages_EndsTheProgressAndSaysNothing)
{
    QDir(m_dir.path()).mkpath("Empty");
    ASSERT_TRUE(importFolder(m_dir.filePath("Empty")));
    sheet()->okay();
    ASSERT_TRUE(m_made);
    waitForWorker();
    EXPECT_EQ(m_made->engine().catalog()->count(), 1);
    EXPECT_FALSE(m_made->progressPanel()->isVisible());
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
}

TEST_F(ImportEmailSheetTest, OutlookFolder_EveryFileDirectlyInIt)
{
    EditorWindowController* editor = openDatafile(EmailFields, {" Kept"});
    QDir(m_dir.path()).mkpath("Outlook/sub");
    writeFile("Outlook/a.txt", "x\rSubject: One\rDate: Mon, 2 Mar 2026 09:00:00 +0000\r\rbody\r");
    writeFile("Outlook/b", "");
    writeFile("Outlook/sub/c.txt", "x\rSubject: Deeper\r\rbody\r");
    // What lies in the subfolder stays out; an empty file is an empty record.
    EXPECT_EQ(ImportEmailSheetController::convertOutlookEmailFolder(
                  m_dir.filePath("Outlook"), 9, false, false, editor->featureContext()),
              2);
    QStringList subjects = column(editor, "Subject");
    subjects.sort();
    EXPECT_EQ(subjects, QStringList({"", " Kept", " One"}));
}
