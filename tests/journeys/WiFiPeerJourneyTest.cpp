// The mobile app's WiFi server as a real peer: a separate program announced by avahi in
// a private network (tests/support/in-private-network.sh). Outside it these skip.
#include "JourneyTestBase.h"

#include "SyncDatafileTesting.h"

#include "SyncController.h"
#include "SynchronizationController.h"
#include "WiFiDiscovery.h"
#include "WiFiListRequestController.h"

#include <QPushButton>
#include <QTableView>

using namespace SyncDatafileTesting;

namespace {

class WiFiPeerJourneyTest : public JourneyTestBase {
protected:
    void SetUp() override
    {
        m_plus = qEnvironmentVariable("NORVA_PEER_PLUS_FOLDER");
        m_mobile = qEnvironmentVariable("NORVA_PEER_MOBILE_FOLDER");
        if (m_plus.isEmpty() || m_mobile.isEmpty())
            GTEST_SKIP() << "runs only in the private network of in-private-network.sh";
        JourneyTestBase::SetUp();
    }

    void beforeLaunch() override
    {
        m_defaults.setInteger(SyncController::WiFiMethod, SyncController::DefaultSynchMethodKey);
        m_localPath = m_dir.filePath("Cards.nv3");
        writeRecords(m_localPath, {"Name"}, {{"Ann", "a"}, {"Bob", "b"}, {"Cid", "c"}});
        QFile::remove(QDir(m_plus).filePath("Cards.nv3"));
    }

    void useServer(const QString& name) { m_defaults.setObject(name, WiFiDiscovery::DefaultiPhoneNameKey); }

    // Until done, and then a moment for the window to be in front again.
    static bool waitFor(const std::function<bool()>& done)
    {
        const bool happened = QTest::qWaitFor(done, 15000);
        QTest::qWait(100);
        return happened;
    }

    // The peer's file has changed since the bytes given.
    static bool changedFrom(const QString& path, const QByteArray& before)
    {
        const QByteArray now = contentsOf(path);
        return !now.isEmpty() && now != before;
    }

    EditorWindowController* openAndPair()
    {
        useServer(QStringLiteral("Norva Mobile PLUS"));
        EditorWindowController* editor = openWithCommand(m_localPath);
        if (!editor)
            return nullptr;
        EXPECT_TRUE(chooseMenuItem(editor->window(), "saveAsNewSyncFile:"));
        EXPECT_TRUE(waitFor([&] { return QFile::exists(peerCopy()); }));
        return editor;
    }

    QString peerCopy() const { return QDir(m_plus).filePath("Cards.nv3"); }

    void changePeerCopy(const std::function<void(PlistDictionary& records)>& change)
    {
        PlistDictionary top = readDatafile(peerCopy());
        PlistValue records = top.value("Records");
        change(*records.asDictionary());
        QFile file(peerCopy());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_TRUE(writePropertyList(top, file, PlistFormat::Xml));
    }

    void editLocally(EditorWindowController* editor, const QString& id, const QString& value)
    {
        editor->featureContext().changes().writeField(editor->engine().recordForIdentifier(id), "F0",
                                                      value, DatafileChanges::Kind::Edit);
        QTest::keyClick(editor->window(), Qt::Key_S, Qt::ControlModifier);
    }

    QStringList downloadsLeft() const { return downloadsLeftIn(m_dir.path()); }

    QString m_plus;
    QString m_mobile;
    QString m_localPath;
};

} // namespace

TEST_F(WiFiPeerJourneyTest, CreateThenSynchronizeBothSidesThenAConflictResolvedByDone)
{
    EditorWindowController* editor = openAndPair();
    ASSERT_TRUE(editor);
    EXPECT_EQ(contentsOf(peerCopy()), contentsOf(m_localPath));

    // Changes on both sides.
    changePeerCopy([](PlistDictionary& records) { setValue(records, recordId(2), "Bob there"); });
    editLocally(editor, recordId(1), "Ann here");
    QByteArray before = contentsOf(peerCopy());
    ASSERT_TRUE(chooseMenuItem(editor->window(), "synchronizeDatafiles:"));
    ASSERT_TRUE(waitFor([&] { return changedFrom(peerCopy(), before); }));
    QTest::qWait(200);
    PlistDictionary local = readDatafile(m_localPath);
    EXPECT_EQ(valueIn(local, recordId(1)), "Ann here");
    EXPECT_EQ(valueIn(local, recordId(2)), "Bob there");
    EXPECT_EQ(readDatafile(peerCopy()).value("Records"), local.value("Records"));

    // The same record on both sides: the conflict window, and Done.
    changePeerCopy([](PlistDictionary& records) { setValue(records, recordId(3), "Cid there"); });
    editLocally(editor, recordId(3), "Cid here");
    before = contentsOf(peerCopy());
    ASSERT_TRUE(chooseMenuItem(editor->window(), "synchronizeDatafiles:"));
    ASSERT_TRUE(waitFor([&] { return editor->syncController().synchronizationController() != nullptr; }));
    SynchronizationController* conflicts = editor->syncController().synchronizationController();
    EXPECT_EQ(conflicts->creationMethod(), SyncController::WiFiMethod);
    QTest::mouseClick(conflicts->recordFinishedButton(), Qt::LeftButton);
    QTest::mouseClick(conflicts->doneButton(), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return changedFrom(peerCopy(), before); }));
    QTest::qWait(200);
    local = readDatafile(m_localPath);
    EXPECT_EQ(valueIn(local, recordId(3)), "Cid here");
    EXPECT_EQ(readDatafile(peerCopy()).value("Records"), local.value("Records"));
    EXPECT_TRUE(downloadsLeft().isEmpty()) << downloadsLeft().join(' ').toStdString();
    EXPECT_TRUE(m_presenter.alerts().isEmpty()) << m_presenter.alertMessages().join('|').toStdString();
}

TEST_F(WiFiPeerJourneyTest, FieldsThatDoNotMatch_ThePeerGetsItsOwnBytesBack)
{
    EditorWindowController* editor = openAndPair();
    ASSERT_TRUE(editor);
    const QString other = m_dir.filePath("other.nv3");
    writeRecords(other, {"Name", "Phone"}, {{"Zed", "1", "z"}});
    QFile::remove(peerCopy());
    ASSERT_TRUE(QFile::copy(other, peerCopy()));
    const QByteArray theirs = contentsOf(peerCopy());
    const QDateTime written = QFileInfo(peerCopy()).lastModified();
    QTest::qWait(20);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "synchronizeDatafiles:"));
    ASSERT_TRUE(waitFor([&] { return QFileInfo(peerCopy()).lastModified() != written; }));
    EXPECT_EQ(contentsOf(peerCopy()), theirs);
    EXPECT_EQ(m_presenter.lastAlert().request.informativeText,
              "The field structure of the selected datafile does not match.");
    EXPECT_TRUE(downloadsLeft().isEmpty());
}

TEST_F(WiFiPeerJourneyTest, AMobileDatafileGoesTo8088_ADesktopOneIsRefusedThere)
{
    const QString pocket = m_dir.filePath("Pocket.nvm");
    writeRecords(pocket, {"Name"}, {{"Ann", "a"}});
    QFile::remove(QDir(m_mobile).filePath("Pocket.nvm"));
    useServer(QStringLiteral("Norva Mobile"));
    EditorWindowController* mobile = openWithCommand(pocket);
    ASSERT_TRUE(mobile);
    ASSERT_TRUE(chooseMenuItem(mobile->window(), "saveAsNewSyncFile:"));
    ASSERT_TRUE(waitFor([&] { return QFile::exists(QDir(m_mobile).filePath("Pocket.nvm")); }));
    EXPECT_EQ(contentsOf(QDir(m_mobile).filePath("Pocket.nvm")), contentsOf(pocket));

    EditorWindowController* desktop = openWithCommand(m_localPath);
    ASSERT_TRUE(desktop);
    ASSERT_TRUE(chooseMenuItem(desktop->window(), "saveAsNewSyncFile:"));
    ASSERT_TRUE(waitFor([&] { return !m_presenter.alerts().isEmpty(); }));
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "Incorrect Datafile Type");
    EXPECT_EQ(m_presenter.lastAlert().request.informativeText,
              "An nv3 datafile cannot be synced to Norva Mobile.\nIt requires Norva Mobile PLUS.");
    EXPECT_FALSE(QFile::exists(QDir(m_mobile).filePath("Cards.nv3")));
}

TEST_F(WiFiPeerJourneyTest, TheListShowsThePeersThreeDatafiles_DownloadOpensTheChosenOne)
{
    for (const QFileInfo& file : QDir(m_plus).entryInfoList(QDir::Files))
        QFile::remove(file.filePath());
    for (const QString& title : {QStringLiteral("Gamma"), QStringLiteral("alpha"), QStringLiteral("Beta")})
        writeRecords(QDir(m_plus).filePath(title + ".nv3"), {"Name"}, {{title, "t"}});
    useServer(QStringLiteral("Norva Mobile PLUS"));
    ASSERT_TRUE(chooseMenuItem(QApplication::activeWindow(), "startWiFiListRequest:"));
    WiFiListRequestController* list = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* found = dynamic_cast<WiFiListRequestController*>(WindowController::controllerForWindow(window)))
            list = found;
    ASSERT_TRUE(list);
    QAbstractItemModel* rows = list->listTable()->model();
    ASSERT_TRUE(waitFor([&] { return rows->rowCount() == 3; })) << m_presenter.alertMessages().join('|').toStdString();
    QStringList shown;
    for (int row = 0; row < rows->rowCount(); ++row)
        shown.append(rows->index(row, 0).data().toString());
    EXPECT_EQ(shown, QStringList({"alpha", "Beta", "Gamma"}));

    list->listTable()->selectRow(1);
    QTest::mouseClick(list->downloadButton(), Qt::LeftButton);
    const QString stored = m_dir.filePath("Beta.nv3");
    ASSERT_TRUE(waitFor([&] { return DocumentController::shared().documentForURL(QUrl::fromLocalFile(stored)); }));
    EXPECT_EQ(contentsOf(stored), contentsOf(QDir(m_plus).filePath("Beta.nv3")));
    EXPECT_TRUE(m_presenter.alerts().isEmpty()) << m_presenter.alertMessages().join('|').toStdString();
}
