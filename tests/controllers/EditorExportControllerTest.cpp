// The export commands without a window: what they propose, refuse and make.
#include "EditorExportController.h"

#include "DatafileDocument.h"
#include "DocumentFixture.h"
#include "DocumentOnlyWindow.h"
#include "FeatureContext.h"
#include "PropertyList.h"

#include <QFile>

namespace {

class EditorExportControllerTest : public DocumentFixture {
protected:
    void SetUp() override
    {
        DocumentFixture::SetUp();
        m_document.datafileSettings()->setFields(
            PlistArray{PlistDictionary{{"Identifier", "F0"}, {"Name", "Name"}},
                       PlistDictionary{{"Identifier", "F1"}, {"Name", "Name"}}});
        addRecord("a", {{"F0", "Ann"}, {"F1", "second Ann"}}, "own text");
        addRecord("b", {{"F1", "only second"}}, "");
        m_document.datafileCatalog()->rebuildSelectedIdentifiers();
    }

    void addRecord(const QString& identifier, const PlistDictionary& fields, const QString& text)
    {
        auto record = RecordData::record(fields, text);
        m_document.datafileRecords()->setRecord(record, identifier);
        m_document.datafileCatalog()->insertIdentifierAtEnd(identifier);
    }

    PlistDictionary readBack(const QString& path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const PlistReadResult read = readPropertyList(file.readAll());
        return read.value.asDictionary() ? *read.value.asDictionary() : PlistDictionary();
    }

    DatafileDocument m_document;
    DocumentOnlyWindow m_window{m_document};
    FeatureContext m_context{m_window};
    EditorExportController m_controller{m_context};
};

} // namespace

TEST_F(EditorExportControllerTest, ProposedNames_TitlesWithAndWithoutExtension)
{
    EXPECT_EQ(EditorExportController::proposedTextFileName("Notes.nv3", false), "Notes.txt");
    EXPECT_EQ(EditorExportController::proposedTextFileName("Notes", false), "Notes.txt");
    EXPECT_EQ(EditorExportController::proposedTextFileName("A.nvm", true), "A.txt");
    EXPECT_EQ(EditorExportController::proposedNorva2Name("Accounts.nv3", false), "Accounts.norva");
    EXPECT_EQ(EditorExportController::proposedNorva2Name("Accounts", false), "Accounts");
    EXPECT_EQ(EditorExportController::proposedNorva2Name("Accounts.nvm", true), "Accounts.norva");
    // Only where a shown extension stands, at the end.
    EXPECT_EQ(EditorExportController::proposedNorva2Name("My.nv3 things", false), "My.nv3 things");
    EXPECT_EQ(EditorExportController::proposedFreeformName("People.nvm", true), "People FF");
    EXPECT_EQ(EditorExportController::proposedDelimitedName("People.nv3", ".csv"), "People.csv");
    EXPECT_EQ(EditorExportController::proposedDelimitedName("People", ".tab"), "People.tab");
}

TEST_F(EditorExportControllerTest, FieldContentOnlyWithoutFields_BeepsAndAsksForNoFile)
{
    m_document.datafileSettings()->setFields(PlistArray());
    m_controller.exportAsCSV("\n", false, true, true);
    EXPECT_EQ(m_presenter.beepCount(), 1);
    EXPECT_TRUE(m_presenter.savePanels().isEmpty());
}

TEST_F(EditorExportControllerTest, RecordLookups_ByShownIndexAndFirstFieldOfTheName)
{
    EXPECT_EQ(m_controller.contentOfField("Name", 0), "Ann");
    // The first field of the name is empty here: no value, though the second has one.
    EXPECT_EQ(m_controller.contentOfField("Name", 1), std::nullopt);
    EXPECT_EQ(m_controller.contentOfField("Name", 2), std::nullopt);
    QString fileName;
    EXPECT_EQ(m_controller.plainTextStringForRecordAtIndex(0, "F0", fileName),
              "Name:\tsecond Ann\n\nown text");
    EXPECT_EQ(fileName, "Ann");
}

TEST_F(EditorExportControllerTest, FreeformDatafile_FromSyncedReadOnlyDatafile_IsItsOwnWritableOne)
{
    const std::shared_ptr<DatafileSettingsData>& settings = m_document.datafileSettings();
    settings->setSyncID("0A0A0A0A-0000-4000-8000-000000000001");
    settings->addDeletedIdentifier("gone");
    settings->setReadOnly(true);
    FreeformTextFormat format;
    format.appendToken(QStringLiteral("Name"));

    const QString path = m_dir.filePath("Notes FF.nv3");
    ASSERT_TRUE(m_controller.writeFreeformDatafile(QUrl::fromLocalFile(path), format));
    const PlistDictionary written = readBack(path);
    const PlistDictionary newSettings = *written.value("Settings").asDictionary();
    EXPECT_EQ(newSettings.stringForKey("SyncID"), "");
    EXPECT_TRUE(newSettings.value("DeletedRecords").asArray()->isEmpty());
    EXPECT_FALSE(newSettings.value("ReadOnly").boolValue());
    EXPECT_TRUE(newSettings.value("Fields").asArray()->isEmpty());
    EXPECT_EQ(written.value("Catalog").asArray()->size(), 2);
    // The source keeps its pairing.
    EXPECT_EQ(settings->syncID(), "0A0A0A0A-0000-4000-8000-000000000001");
}

TEST_F(EditorExportControllerTest, FreeformDatafile_Mobile_BlockAloneAsPlainText)
{
    m_document.setIsMobile(true);
    FreeformTextFormat format;
    format.appendText("Hi ");
    format.appendToken(QStringLiteral("Name"));
    const QString path = m_dir.filePath("Notes FF.nvm");
    ASSERT_TRUE(m_controller.writeFreeformDatafile(QUrl::fromLocalFile(path), format));
    const PlistDictionary written = readBack(path);
    QStringList texts;
    const PlistValue catalog = written.value("Catalog");
    for (const PlistValue& entry : *catalog.asArray()) {
        const PlistValue record = written.value("Records").asDictionary()->value(
            entry.asDictionary()->stringForKey("Identifier"));
        ASSERT_TRUE(record.asDictionary());
        texts.append(record.asDictionary()->stringForKey("TextString"));
        const PlistValue rtfd = record.asDictionary()->value("TextRTFD");
        EXPECT_TRUE(rtfd.isNull() || rtfd.asData()->isEmpty());
    }
    EXPECT_EQ(texts, QStringList({"Hi Ann", "Hi "}));
}
