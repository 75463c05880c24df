// Replacing: the backward replace loop as a table, rich text keeping its styles and
// document attributes, and Replace and Replace All over real editor windows.
#include "EditorSearchController.h"
#include "RecordDataTesting.h"

#include "EditorTableController.h"
#include "EditorTestBase.h"
#include "FieldCellEditor.h"
#include "FreeformTextView.h"
#include "RXTableView.h"
#include "RichText.h"

#include <QTextCursor>
#include <QTextDocument>

#include <random>

// Failures name the strings, not their bytes.
static void PrintTo(const QString& string, std::ostream* stream)
{
    *stream << '"' << string.toStdString() << '"';
}

namespace {

TEST(ReplaceLoop, ReplacesBackwardsWithoutRescanning)
{
    const struct {
        QString text;
        QString key;
        QString replacement;
        bool caseSensitive;
        bool wholeWord;
        QString result;
        qint64 count;
    } cases[] = {
        {"aaa", "a", "aa", true, false, "aaaaaa", 3},
        {"aaaa", "aa", "b", true, false, "bb", 2},
        {"cat concatenate cat", "cat", "dog", true, true, "dog concatenate dog", 2},
        {"Cat CAT cat", "cat", "dog", false, false, "dog dog dog", 3},
        {"Cat CAT cat", "cat", "dog", true, false, "Cat CAT dog", 1},
        // The rejected "a a" at 2 overlaps the whole word at 0.
        {"a a ab", "a a", "X", true, true, "X ab", 1},
        {"cats", "cat", "dog", true, true, "cats", 0},
        {"écat", "cat", "dog", true, true, "écat", 0},
        {"cat-cat", "cat", "", true, true, "-", 2},
        {"nothing here", "cat", "dog", false, false, "nothing here", 0},
        {"données über cat", "CAT", "dog", false, false, "données über dog", 1},
        {"cat", "", "dog", false, false, "cat", 0},
        {"ca", "cat", "dog", false, false, "ca", 0},
    };
    for (const auto& each : cases) {
        QString text = each.text;
        EXPECT_EQ(EditorSearchController::replaceInString(text, each.key, each.replacement,
                                                          each.caseSensitive, each.wholeWord),
                  each.count)
            << each.text.toStdString() << " / " << each.key.toStdString();
        EXPECT_EQ(text, each.result);
    }
}

TEST(ReplaceLoop, RichReplacementTakesTheFirstReplacedCharactersFormat)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText(QStringLiteral("C"), bold);
    cursor.insertText(QStringLiteral("at and cat"), QTextCharFormat());
    EXPECT_EQ(EditorSearchController::replaceInDocument(document, "cat", "dog", false, false), 2);
    EXPECT_EQ(RichText::plainText(document), "dog and dog");
    const auto weightAt = [&](int position) {
        QTextCursor at(&document);
        at.setPosition(position + 1);
        return at.charFormat().fontWeight();
    };
    for (int position : {0, 1, 2})
        EXPECT_EQ(weightAt(position), QFont::Bold) << position;
    EXPECT_NE(weightAt(8), QFont::Bold);
}

class EditorReplaceTest : public EditorTestBase {
protected:
    struct Row {
        Row(QString name, QString city, QString text, bool locked = false, QByteArray rtfd = {})
            : name(std::move(name)), city(std::move(city)), text(std::move(text)), locked(locked),
              rtfd(std::move(rtfd))
        {
        }
        QString name;
        QString city;
        QString text;
        bool locked;
        QByteArray rtfd;
    };

    // Fields "Name" (N) and "City" (C) over the rows (none when asked), every record
    // stamped long ago.
    EditorWindowController* openRows(const QList<Row>& rows, bool withFields = true)
    {
        auto document = std::make_unique<DatafileDocument>();
        DatafileSettingsData& settings = *document->datafileSettings();
        if (withFields)
            settings.setFields(PlistArray{
                PlistDictionary{{"Identifier", "N"}, {"Name", "Name"}, {"Width", 150.0}},
                PlistDictionary{{"Identifier", "C"}, {"Name", "City"}, {"Width", 150.0}}});
        settings.setMode("Basic");
        for (const Row& row : rows) {
            auto record = std::make_shared<RecordData>();
            record->setFields(PlistDictionary{{"N", row.name}, {"C", row.city}}, RecordDataTesting::key());
            record->setTextString(row.text, RecordDataTesting::key());
            record->setTextRTFD(row.rtfd, RecordDataTesting::key());
            record->setRecordLocked(row.locked);
            record->setModifiedDate(PlistDate{1000});
            document->datafileRecords()->setRecord(record, record->identifier());
            document->datafileCatalog()->insertIdentifierAtEnd(record->identifier());
            m_records.append(record);
        }
        document->datafileCatalog()->selectAll();
        m_document = show(std::move(document));
        m_editor = editorOf(m_document);
        return m_editor;
    }

    QString value(int record, const QString& field) const
    {
        return m_records[record]->fields().value(field).stringValue();
    }

    EditorSearchController& search() { return m_editor->editorSearchController(); }

    void replaceAll(const QString& key, const QString& replacement, bool caseSensitive = false,
                    bool wholeWord = false, qint64 scope = EditorSearchController::AllFieldsScope,
                    bool limit = false)
    {
        m_presenter.clear();
        search().replaceAll(key, replacement, caseSensitive, wholeWord, scope, limit);
    }

    static QByteArray rtfdOf(const QTextDocument& document, const DocumentAttributes& attributes)
    {
        return RichText::toRtfd(document, attributes);
    }

    DatafileDocument* m_document = nullptr;
    EditorWindowController* m_editor = nullptr;
    QList<std::shared_ptr<RecordData>> m_records;
};

TEST_F(EditorReplaceTest, ReplaceAllSkipsLockedRecordsAndCountsTheOthers)
{
    openRows({{"cat", "Catford", "a cat"}, {"cat", "cat", "cat", true}, {"CAT", "", ""}});
    replaceAll("cat", "dog");
    EXPECT_EQ(m_presenter.alertMessages(), QStringList{"Number of changes made: 4"});
    EXPECT_EQ(value(0, "N"), "dog");
    EXPECT_EQ(value(0, "C"), "dogford");
    EXPECT_EQ(m_records[0]->textString(), "a dog");
    EXPECT_EQ(value(2, "N"), "dog");
    EXPECT_EQ(value(1, "N"), "cat");
    EXPECT_EQ(m_records[1]->textString(), "cat");
    EXPECT_EQ(m_records[1]->modifiedDate(), PlistDate{1000});
    EXPECT_NE(m_records[2]->modifiedDate(), PlistDate{1000});
    EXPECT_TRUE(m_document->isDocumentEdited());
}

TEST_F(EditorReplaceTest, ReplaceAllKeepsToItsScope)
{
    openRows({{"cat", "cat", "cat"}, {"cat", "cat", "cat"}});
    replaceAll("cat", "dog", false, false, 1);
    EXPECT_EQ(m_presenter.alertMessages(), QStringList{"Number of changes made: 2"});
    EXPECT_EQ(value(0, "N"), "cat");
    EXPECT_EQ(value(1, "C"), "dog");
    EXPECT_EQ(m_records[0]->textString(), "cat");

    replaceAll("cat", "cow", false, false, EditorSearchController::FreeformOnlyScope, true);
    EXPECT_EQ(m_presenter.alertMessages(), QStringList{"Number of changes made: 1"});
    EXPECT_EQ(m_records[0]->textString(), "cow");
    EXPECT_EQ(m_records[1]->textString(), "cat");
    EXPECT_EQ(value(0, "N"), "cat");
}

TEST_F(EditorReplaceTest, ReplaceAllWithoutOccurrenceChangesNothing)
{
    openRows({{"cat", "", "cat"}});
    replaceAll("dog", "cat");
    EXPECT_EQ(m_presenter.alertMessages(), QStringList{"No changes were made."});
    EXPECT_FALSE(m_document->isDocumentEdited());
    EXPECT_EQ(m_records[0]->modifiedDate(), PlistDate{1000});
}

TEST_F(EditorReplaceTest, LineBreaksOfAReplacementBecomeBlanksInFieldsOnly)
{
    openRows({{"a-b", "", "a-b"}});
    replaceAll("-", "\n");
    EXPECT_EQ(value(0, "N"), "a b");
    EXPECT_EQ(m_records[0]->textString(), "a\nb");
}

TEST_F(EditorReplaceTest, ReplaceAllRewritesRichTextKeepingItsStylesAndAttributes)
{
    QTextDocument styled;
    QTextCursor cursor(&styled);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText("Cat", bold);
    cursor.insertText(" sat", QTextCharFormat());
    DocumentAttributes attributes;
    attributes.paperWidth = 11000;
    attributes.viewScale = 150;
    const QByteArray unreadable("not an rtfd");
    openRows({{"", "", "Cat sat", false, rtfdOf(styled, attributes)},
              {"", "", "cat", false, unreadable}},
             false);
    replaceAll("cat", "dog");

    EXPECT_EQ(m_presenter.alertMessages(), QStringList{"Number of changes made: 1"});
    EXPECT_EQ(m_records[0]->textString(), "dog sat");
    const RichTextResult rich = RichText::fromRtfd(m_records[0]->textRTFD());
    ASSERT_TRUE(rich.ok());
    EXPECT_EQ(RichText::plainText(*rich.document), "dog sat");
    EXPECT_EQ(rich.attributes.paperWidth, 11000);
    EXPECT_EQ(rich.attributes.viewScale, 150);
    QTextCursor first(rich.document.get());
    first.setPosition(1);
    EXPECT_EQ(first.charFormat().fontWeight(), QFont::Bold);
    // Rich text that cannot be read is left as it is, its plain text too.
    EXPECT_EQ(m_records[1]->textRTFD(), unreadable);
    EXPECT_EQ(m_records[1]->textString(), "cat");
}

TEST_F(EditorReplaceTest, ReplaceChangesOnlyTheSelectedHitOfAField)
{
    openRows({{"a Cat", "", ""}});
    ASSERT_TRUE(search().forwardSearchForString(
        "cat", false, false, false, EditorSearchController::AllFieldsScope, true, false, false));
    FieldCellEditor* cell = m_editor->tableController()->currentTableView()->cellEditor();
    ASSERT_TRUE(cell);
    // The hit leaves a caret: nothing is replaced until the text is selected.
    search().replaceString("cat", "dog", false, false);
    EXPECT_EQ(value(0, "N"), "a Cat");
    EXPECT_FALSE(m_document->isDocumentEdited());

    cell->setSelection(2, 3);
    search().replaceString("cat", "dog", false, false);
    EXPECT_EQ(value(0, "N"), "a dog");
    EXPECT_NE(m_records[0]->modifiedDate(), PlistDate{1000});
    EXPECT_TRUE(m_document->isDocumentEdited());
}

TEST_F(EditorReplaceTest, ReplaceInTheTextAreaAfterATextHit)
{
    openRows({{"", "", "one cat, two cats"}});
    ASSERT_TRUE(search().forwardSearchForString(
        "cat", true, false, false, EditorSearchController::FreeformOnlyScope, true, false, false));
    ASSERT_EQ(m_editor->engine().lastHitField(), EditorSearchController::FreeformHit);
    search().replaceString("cat", "dog", true, false);
    EXPECT_EQ(m_records[0]->textString(), "one dog, two cats");
    EXPECT_EQ(m_editor->freeformTextView()->plainText(), "one dog, two cats");
    EXPECT_TRUE(m_document->isDocumentEdited());
}

TEST_F(EditorReplaceTest, ReplaceInALockedRecordOnlyForgetsTheHit)
{
    openRows({{"", "", "cat", true}});
    ASSERT_TRUE(search().forwardSearchForString(
        "cat", true, false, false, EditorSearchController::FreeformOnlyScope, true, false, false));
    search().replaceString("cat", "dog", true, false);
    EXPECT_EQ(m_records[0]->textString(), "cat");
    EXPECT_EQ(m_editor->freeformTextView()->plainText(), "cat");
    EXPECT_EQ(m_editor->engine().lastHitField(), EditorSearchController::NoHit);
}

// Replace All as it was first written: every value copied, each occurrence replaced in
// the copy, record after record, in display order.
struct ReplacedBefore {
    QStringList names;
    QStringList cities;
    QStringList texts;
    qint64 total = 0;
};

ReplacedBefore replaceTheOldWay(const QList<std::shared_ptr<RecordData>>& records,
                                const QString& key, const QString& replacement, bool caseSensitive,
                                bool wholeWord, qint64 scope)
{
    const auto replaced = [&](QString text) {
        const QList<TextRange> ranges =
            EditorSearchController::replacementRanges(text, key, caseSensitive, wholeWord);
        for (const TextRange& range : ranges)
            text.replace(range.position, range.length, replacement);
        return std::pair{text, ranges.size()};
    };
    ReplacedBefore after;
    for (const std::shared_ptr<RecordData>& record : records) {
        QString name = record->fields().value("N").stringValue();
        QString city = record->fields().value("C").stringValue();
        QString text = record->textString();
        if (!record->recordLocked()) {
            const bool all = scope == EditorSearchController::AllFieldsScope;
            for (auto [field, position] : {std::pair{&name, 0}, std::pair{&city, 1}}) {
                if (all || scope == position) {
                    auto [changed, count] = replaced(*field);
                    *field = changed;
                    after.total += count;
                }
            }
            if (all || scope == EditorSearchController::FreeformOnlyScope) {
                auto [changed, count] = replaced(text);
                text = changed;
                after.total += count;
            }
        }
        after.names << name;
        after.cities << city;
        after.texts << text;
    }
    return after;
}

TEST_F(EditorReplaceTest, ReplaceAllOverManyRecordsChangesWhatTheCopyingLoopChanged)
{
    // Enough records to be searched on several threads: occurrences in either case, inside
    // words, next to marks and letters beyond ASCII, in locked records and in none.
    const QStringList words{"cat", "Cat", "CAT", "concatenate", "cats", "écat", "cat-cat",
                            "dog", "", "Straße", "naïve cat", "scat"};
    std::mt19937 random(66);
    const auto pick = [&] {
        QStringList chosen;
        for (int count = int(random() % 4); count > 0; --count)
            chosen << words[int(random() % words.size())];
        return chosen.join(' ');
    };
    QList<Row> rows;
    for (int index = 0; index < 6000; ++index)
        rows.append(Row(pick(), pick(), pick(), random() % 9 == 0));
    openRows(rows);
    // Each run on what the runs before left.
    const struct {
        QString key;
        QString replacement;
        bool caseSensitive;
        bool wholeWord;
        qint64 scope;
    } runs[] = {{"cat", "kitten", false, false, EditorSearchController::AllFieldsScope},
                {"kitten", "Cat cat", true, true, EditorSearchController::AllFieldsScope},
                {"CAT", "", false, true, 1},
                {"at", "a", true, false, EditorSearchController::FreeformOnlyScope},
                {"zebra", "cat", false, false, EditorSearchController::AllFieldsScope}};
    for (const auto& run : runs) {
        const ReplacedBefore expected = replaceTheOldWay(
            m_records, run.key, run.replacement, run.caseSensitive, run.wholeWord, run.scope);
        replaceAll(run.key, run.replacement, run.caseSensitive, run.wholeWord, run.scope);
        ASSERT_EQ(m_presenter.alertMessages(),
                  QStringList{expected.total
                                  ? QStringLiteral("Number of changes made: %1").arg(expected.total)
                                  : QStringLiteral("No changes were made.")})
            << run.key.toStdString();
        for (int index = 0; index < m_records.size(); ++index) {
            ASSERT_EQ(value(index, "N"), expected.names[index]) << index;
            ASSERT_EQ(value(index, "C"), expected.cities[index]) << index;
            ASSERT_EQ(m_records[index]->textString(), expected.texts[index]) << index;
        }
    }
}

} // namespace
