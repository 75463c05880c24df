#include "EditorTableController.h"

#include "BasicViewModel.h"
#include "EditorTestBase.h"
#include "FieldCellEditor.h"
#include "LinkFinder.h"
#include "PropertyList.h"

#include <QApplication>
#include <QFile>

#include <gtest/gtest.h>

namespace {

class EditorTableControllerTest : public EditorTestBase {
protected:
    // Two records, two fields, shown in the Basic View.
    EditorWindowController* openEditor()
    {
        auto document = std::make_unique<DatafileDocument>();
        document->datafileSettings()->setFields(PlistArray{
            PlistDictionary{{DatafileSettingsData::FieldIdentifierKey, QStringLiteral("F1")},
                            {DatafileSettingsData::FieldNameKey, QStringLiteral("Name")}},
            PlistDictionary{{DatafileSettingsData::FieldIdentifierKey, QStringLiteral("F2")},
                            {DatafileSettingsData::FieldNameKey, QStringLiteral("Phone")}}});
        for (int i = 0; i < 2; ++i) {
            auto record = std::make_shared<RecordData>();
            record->setTextString(QStringLiteral("Text"));
            document->datafileRecords()->setRecord(record, record->identifier());
            document->datafileCatalog()->insertIdentifierAtEnd(record->identifier());
        }
        document->datafileCatalog()
            ->rebuildSelectedIdentifiers(); // appending leaves it to the caller
        m_document = show(std::move(document));
        EditorWindowController* editor = editorOf(m_document);
        editor->remoteSetCanSaveChanges(true);
        return editor;
    }

    DatafileDocument* m_document = nullptr;
};

} // namespace

TEST_F(EditorTableControllerTest,
       Typing_LineBreaksAndTabsBecomeSpaces_RecordStampedAndDatafileEdited)
{
    EditorWindowController* editor = openEditor();
    EditorTableController& tables = *editor->tableController();
    const std::shared_ptr<RecordData> record = editor->currentRecord();
    ASSERT_TRUE(record);
    tables.singleClicked(BasicViewModel::ValueColumn, 0);
    FieldCellEditor* cell = tables.basicTableView()->cellEditor();
    ASSERT_TRUE(cell);
    cell->insert(QStringLiteral("a\tb\nc"));
    EXPECT_EQ(cell->text(), QStringLiteral("a b c"));
    EXPECT_EQ(cell->cursorPosition(), 5);
    EXPECT_TRUE(editor->currentRecordDirty());
    EXPECT_TRUE(m_document->isDocumentEdited());
    EXPECT_TRUE(record->needsSync());

    tables.endEditing();
    const PlistValue* stored = record->fields().find(QStringLiteral("F1"));
    ASSERT_TRUE(stored && stored->asString());
    EXPECT_EQ(*stored->asString(), QStringLiteral("a b c"));
}

TEST_F(EditorTableControllerTest, Editing_RefusedInALockedRecordACloneOrWhileSyncing)
{
    EditorWindowController* editor = openEditor();
    EditorTableController& tables = *editor->tableController();
    EXPECT_TRUE(tables.control());
    editor->currentRecord()->setRecordLocked(true);
    EXPECT_FALSE(tables.control());
    tables.singleClicked(BasicViewModel::ValueColumn, 0);
    EXPECT_FALSE(tables.basicTableView()->cellEditor());
    editor->currentRecord()->setRecordLocked(false);
    editor->setNowSyncing(true);
    EXPECT_FALSE(tables.control());
    editor->setNowSyncing(false);
    editor->setIsClone(true);
    EXPECT_FALSE(tables.control());
}

TEST(EditorTableControllerMovement, ReturnTabAndBacktab_MoveAndWrap)
{
    using Target = EditorTableController::CellTarget;
    struct Case {
        bool basic;
        TextMovement movement;
        qint64 field;
        std::optional<Target> expected;
    };
    const Case cases[] = {
        {true, TextMovement::Return, 0, Target{1, false}},
        {true, TextMovement::Return, 2, Target{0, false}},
        {true, TextMovement::Tab, 2, Target{0, false}},
        {true, TextMovement::Backtab, 0, Target{2, false}},
        {true, TextMovement::Backtab, 2, Target{1, false}},
        {false, TextMovement::Return, 1, Target{1, true}},
        {false, TextMovement::Tab, 2, Target{0, false}},
        {false, TextMovement::Backtab, 0, Target{2, false}},
        {true, TextMovement::Other, 1, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EditorTableController::movementTarget(c.basic, c.movement, c.field, 3),
                  c.expected)
            << int(c.movement) << " from " << c.field;
}

TEST(LinkFinderTest, FindsLinksWithoutTrailingPunctuation)
{
    struct Case {
        QString text;
        QString found;
        bool needHttp;
        bool needMailto;
    };
    const Case cases[] = {
        {"see www.example.com.", "www.example.com", true, false},
        {"mail ann@example.org, now", "ann@example.org", false, true},
        {"call tel://5551234", "tel://5551234", false, false},
        {"mailto:ann@example.org", "mailto:ann@example.org", false, false},
        {"nothing here", "", false, false},
    };
    for (const Case& c : cases) {
        const LinkFinder::Found found = LinkFinder::urlRangeInString(c.text, {0, c.text.size()});
        EXPECT_EQ(c.text.mid(found.range.location, found.range.length), c.found)
            << c.text.toStdString();
        EXPECT_EQ(found.needHttp, c.needHttp) << c.text.toStdString();
        EXPECT_EQ(found.needMailto, c.needMailto) << c.text.toStdString();
    }
}

TEST_F(EditorTableControllerTest, EndToEnd_EditAFieldMoveOnAndSave_WritesOnlyThatChange)
{
    // A datafile written by another serializer, opened as the application opens one.
    const QString path = m_dir.filePath("good.nv3");
    ASSERT_TRUE(QFile::copy(QStringLiteral(NORVA_FIXTURES_DIR "/datafile/good.nv3"), path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    const auto readRecords = [&] {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const PlistValue top = readPropertyList(file.readAll()).value;
        return *top.asDictionary()->value("Records").asDictionary();
    };
    const PlistDictionary before = readRecords().deepCopy();

    m_document = open(path);
    EditorWindowController* editor = editorOf(m_document);
    editor->remoteSetCanSaveChanges(true);
    EditorTableController& tables = *editor->tableController();
    tables.changeMode("Basic");

    const QString edited = editor->currentRecord()->identifier();
    tables.singleClicked(BasicViewModel::ValueColumn, 0);
    FieldCellEditor* cell = tables.basicTableView()->cellEditor();
    ASSERT_TRUE(cell);
    cell->selectAll();
    cell->insert(QStringLiteral("Robert Jones"));
    editor->goToNextRecord();
    m_document->saveDocument();
    ASSERT_FALSE(m_document->isDocumentEdited());

    const PlistDictionary after = readRecords();
    ASSERT_EQ(after.size(), before.size());
    for (const PlistDictionary::Entry& entry : before) {
        const PlistValue writtenValue = after.value(entry.key);
        const PlistDictionary* written = writtenValue.asDictionary();
        ASSERT_TRUE(written) << entry.key.toStdString();
        const PlistDictionary original = *entry.value.asDictionary();
        if (entry.key != edited) {
            // Untouched apart from being viewed.
            for (const char* key :
                 {"Fields", "TextString", "RecordModifiedDate", "NeedsSync", "RecordName"})
                EXPECT_EQ(written->value(key), original.value(key)) << key;
            continue;
        }
        const QString nameField = "3F2504E0-4F89-11D3-9A0C-0305E82C3301";
        const PlistValue fields = written->value("Fields");
        EXPECT_EQ(fields.asDictionary()->value(nameField), PlistValue("Robert Jones"));
        EXPECT_EQ(written->value("NeedsSync"), PlistValue(true));
        const PlistValue modified = written->value("RecordModifiedDate");
        const PlistValue wasModified = original.value("RecordModifiedDate");
        EXPECT_GT(modified.asDate()->secondsSinceReferenceDate,
                  wasModified.asDate()->secondsSinceReferenceDate);
    }
}
