#include "AddressBlockLayout.h"
#include "RecordDataTesting.h"
#include "DatafileDocument.h"

#include "AddressLayoutArchives.h"
#include "SystemLog.h"
#include "TypedStreamReader.h"
#include "TypedStreamWriter.h"
#include "UserDefaults.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Segment = AddressBlockLayout::Segment;
using namespace AddressLayoutArchives;

// ---- a datafile in memory ----

class AddressBlockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        UserDefaults::setStandardUserDefaults(&m_defaults);
        m_document = std::make_unique<DatafileDocument>();
        // Two fields share the name "Name": the first in field order answers for it.
        settings().setFields(PlistArray{field("F1", "Name"), field("F2", "Street"),
                                        field("F3", "City"), field("F4", "State"),
                                        field("F5", "Name")});
    }

    void TearDown() override
    {
        m_document.reset();
        UserDefaults::setStandardUserDefaults(nullptr);
    }

    static PlistDictionary field(const QString& identifier, const QString& name)
    {
        return PlistDictionary{{"Identifier", identifier}, {"Name", name}};
    }

    DatafileSettingsData& settings() { return *m_document->datafileSettings(); }

    // Appends a selected record with that text and those field values.
    void addRecord(const QString& identifier, const QString& text,
                   const PlistDictionary& fields = PlistDictionary())
    {
        auto record = RecordData::record();
        record->setIdentifier(identifier);
        record->setTextString(text, RecordDataTesting::key());
        record->setFields(fields, RecordDataTesting::key());
        m_document->datafileRecords()->setRecord(record, identifier);
        m_document->datafileCatalog()->insertIdentifierAtEnd(identifier);
        m_document->datafileCatalog()->rebuildSelectedIdentifiers();
    }

    QTemporaryDir m_dir;
    UserDefaults m_defaults{m_dir.filePath("defaults")};
    std::unique_ptr<DatafileDocument> m_document;
};

} // namespace

// ---- freeform address blocks ----

TEST_F(AddressBlockTest, FreeformBlock_FollowsTheSettings)
{
    const QString notes = "~%\nJane Doe\n1 Main St\n\nCall after five";
    struct Case {
        const char* name;
        QString text;
        bool startsAtLineNumber;
        qint64 startingLine;
        bool fixedLineCount;
        qint64 lineCount;
        QString expected;
    };
    const Case cases[] = {
        {"after the marker", notes, false, 1, false, 0, "Jane Doe\n1 Main St"},
        {"fixed start line 2", notes, true, 2, false, 0, "Jane Doe\n1 Main St"},
        {"fixed start line 1 holds the marker", notes, true, 1, false, 0,
         "~%\nJane Doe\n1 Main St"},
        {"one fixed line after the marker", notes, false, 1, true, 1, "Jane Doe"},
        {"fixed line count 0", notes, false, 1, true, 0, ""},
        {"more fixed lines than the text has", "~%\nA\nB", false, 1, true, 5, "A\nB"},
        {"CR LF line ends", "~%\r\nJane Doe\r\n1 Main St\r\n\r\nCall after five", false, 1, false,
         0, "Jane Doe\n1 Main St"},
        {"CR LF, one fixed line", "~%\r\nJane Doe\r\n1 Main St", false, 1, true, 1, "Jane Doe"},
        {"CR and line separator", QString("~%\rA") + QChar::LineSeparator + "B\r\n\r\nnotes", false,
         1, false, 0, "A\nB"},
        {"one character", "x", false, 1, false, 0, ""},
        {"no text", "", true, 1, false, 0, ""},
        {"absent marker starts at line 1", "Jane Doe\n1 Main St\n\nnotes", false, 1, false, 0,
         "Jane Doe\n1 Main St"},
        {"marker in the last line starts at line 1", "A\nB\n~%", false, 1, false, 0, "A\nB\n~%"},
        {"start line past the text", "A\nB", true, 9, false, 0, ""},
        {"one trailing newline dropped", "~%\nA\nB\n", false, 1, false, 0, "A\nB"},
    };
    // The catalog's sorts ask through this interface.
    const CatalogDocument& document = *m_document;
    for (const Case& c : cases) {
        settings().setAddressStartsAtLineNumber(c.startsAtLineNumber);
        settings().setAddressBlockStartingLine(c.startingLine);
        settings().setAddressFixedLineCount(c.fixedLineCount);
        settings().setAddressBlockLineCount(c.lineCount);
        RecordData record;
        record.setTextString(c.text, RecordDataTesting::key());
        EXPECT_EQ(document.freeformAddressBlockForRecord(record), c.expected) << c.name;
    }
}

TEST(AddressBlockLineTest, LineFollowingLineWithString_CountsFromOne)
{
    struct Case {
        QString string;
        QString text;
        qint64 expected;
    };
    const Case cases[] = {
        {"~%", "a\n~%\nb", 3}, {"b", "ab\nb\nc", 2}, // the first occurrence
        {"~%", "", 0},         {"~%", "a\nb", 0},    // empty text, absent
        {"~%", "a\n~% x", 0},  {"~%", "~%\n", 0},    // nothing follows
        {"", "a\nb", 0},                             // an empty string occurs nowhere
    };
    for (const Case& c : cases)
        EXPECT_EQ(DatafileDocument::lineFollowingLineWithString(c.string, c.text), c.expected)
            << c.string.toStdString() << " in " << c.text.toStdString();
}

// ---- field contents and field-based blocks ----

TEST_F(AddressBlockTest, ContentOfField_ReadsTheSelectedRecordAtTheIndex)
{
    addRecord("omitted", "", PlistDictionary{{"F1", "Omitted"}});
    addRecord("r1", "", PlistDictionary{{"F1", "Jane"}, {"F3", ""}, {"F5", "Other"}});
    addRecord("r2", "", PlistDictionary{{"F5", "Second only"}});
    m_document->datafileCatalog()->omitIdentifier("omitted", true);

    struct Case {
        QString name;
        qint64 index;
        std::optional<QString> expected;
    };
    const Case cases[] = {
        {"Name", 0, "Jane"},          // the first of two fields named alike
        {"Name", 1, std::nullopt},    // the first has no value; the second does not count
        {"City", 0, std::nullopt},    // empty value
        {"Street", 0, std::nullopt},  // no value
        {"Nowhere", 0, std::nullopt}, // no such field
        {"Name", 2, std::nullopt},    // past the selection
        {"Name", -1, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(m_document->contentOfField(c.name, c.index), c.expected)
            << c.name.toStdString() << " at " << c.index;
}

TEST_F(AddressBlockTest, FieldBasedBlock_FillsTheLayoutAndCleansUp)
{
    const QString tokenCharacter(QChar(0xFFFC));
    const QList<Segment> address{Segment::field("Name"),   Segment::plain("\n"),
                                 Segment::field("Street"), Segment::plain("\n"),
                                 Segment::field("City"),   Segment::plain(", "),
                                 Segment::field("State")};
    struct Case {
        const char* name;
        QList<Segment> layout;
        PlistDictionary fields;
        QString expected;
    };
    const Case cases[] = {
        {"every field", address,
         PlistDictionary{{"F1", "Jane"}, {"F2", "1 Main St"}, {"F3", "Springfield"}, {"F4", "IL"}},
         "Jane\n1 Main St\nSpringfield, IL"},
        {"no street and city", address, PlistDictionary{{"F1", "Jane"}, {"F4", "IL"}}, "Jane\nIL"},
        {"every field empty", address, PlistDictionary{{"F2", ""}}, ""},
        {"empty first line", address, PlistDictionary{{"F2", "1 Main St"}, {"F4", "IL"}},
         "1 Main St\nIL"},
        {"empty last line",
         {Segment::field("Name"), Segment::plain("\n"), Segment::field("Street")},
         PlistDictionary{{"F1", "Jane"}},
         "Jane"},
        {"line of a space",
         {Segment::field("Name"), Segment::plain("\n "), Segment::field("Street"),
          Segment::plain("\n"), Segment::field("City")},
         PlistDictionary{{"F1", "Jane"}, {"F3", "Springfield"}},
         "Jane\nSpringfield"},
        {"typed text kept, stray token characters dropped",
         {Segment::plain("Attn: " + tokenCharacter), Segment::field("Name"),
          Segment::field("Nowhere")},
         PlistDictionary{{"F1", "Jane"}},
         "Attn: Jane"},
    };
    settings().setAddressInText(false);
    qint64 index = 0;
    for (const Case& c : cases) {
        addRecord(QString::number(index), "", c.fields);
        settings().setAddressBlockLayout(AddressBlockLayout(c.layout).toData());
        EXPECT_EQ(m_document->fieldBasedAddressBlockForRecord(index), c.expected) << c.name;
        EXPECT_EQ(m_document->addressBlockAtIndex(index), c.expected) << c.name;
        ++index;
    }
}

TEST_F(AddressBlockTest, AddressBlockAtIndex_UsesTheChosenSource)
{
    addRecord("r", "~%\nJane Doe\nSpringfield",
              PlistDictionary{{"F1", "Jane"}, {"F3", "Springfield"}, {"F4", "IL"}});
    settings().setAddressStartsAtLineNumber(false);
    settings().setAddressBlockLayout(archivedLayout());

    EXPECT_EQ(m_document->addressBlockAtIndex(0), "Jane Doe\nSpringfield");
    EXPECT_EQ(m_document->addressBlockAtIndex(1), "");
    settings().setAddressInText(false);
    EXPECT_EQ(m_document->addressBlockAtIndex(0), "Jane\nSpringfield, IL");

    // A missing or unreadable layout is an empty one.
    ScopedLogCapture log;
    settings().setAddressBlockLayout(QByteArray("not a layout"));
    EXPECT_EQ(m_document->addressBlockAtIndex(0), "");
    settings().setAddressBlockLayout(std::nullopt);
    EXPECT_EQ(m_document->addressBlockAtIndex(0), "");
}

// ---- the layout's stored forms ----

TEST(AddressBlockLayoutTest, OwnForm_RoundTrips)
{
    const AddressBlockLayout layouts[] = {
        AddressBlockLayout({Segment::field("Name"), Segment::plain("\n\r<&> "), Segment::field(""),
                            Segment::field("City")},
                           ArchivedFont("Helvetica Neue", 12.5)),
        AddressBlockLayout(), // empty, font unknown
        // Tokens keep their identifier, font (size 0 asks for the default) and colour.
        AddressBlockLayout({Segment::field("Name", "8C0F-ID", ArchivedFont("Courier", 0),
                                           QColor::fromRgbF(0.3f, 0.05f, 0.2f)),
                            Segment::plain(", "), Segment::field("City", "", ArchivedFont("Courier", 11))},
                           ArchivedFont("Courier", 12)),
    };
    for (const AddressBlockLayout& layout : layouts) {
        const QByteArray data = layout.toData();
        EXPECT_TRUE(data.startsWith(AddressBlockLayout::OwnFormMagic));
        EXPECT_EQ(AddressBlockLayout::fromData(data), layout);
    }
}

TEST(AddressBlockLayoutTest, OwnForm_PassesOverKeysItDoesNotKnow)
{
    const QByteArray data =
        AddressBlockLayout::OwnFormMagic +
        QByteArray("<plist><dict><key>Segments</key><array>"
                   "<dict><key>Field</key><string>Name</string><key>Bold</key><true/></dict>"
                   "<dict><key>Text</key><string>, </string><key>Size</key><real>3</real></dict>"
                   "</array><key>Later</key><string>x</string></dict></plist>");
    const std::optional<AddressBlockLayout> layout = AddressBlockLayout::fromData(data);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->segments(), QList<Segment>({Segment::field("Name"), Segment::plain(", ")}));
}

TEST(AddressBlockLayoutTest, Archive_DecodesCharactersTokensAndFont)
{
    const std::optional<AddressBlockLayout> layout = AddressBlockLayout::fromData(archivedLayout());
    ASSERT_TRUE(layout);
    // Each cell archives its font after its name.
    const ArchivedFont cellFont("Helvetica", 12);
    const QList<Segment> expected{Segment::field("Name", "", cellFont), Segment::plain("\n"),
                                  Segment::field("City", "", cellFont), Segment::plain(", "),
                                  Segment::field("State", "", cellFont)};
    EXPECT_EQ(layout->segments(), expected);
    ASSERT_TRUE(layout->font());
    EXPECT_EQ(*layout->font(), ArchivedFont("Helvetica", 12));

    // Text without runs, and an empty string, carry no attributes.
    EXPECT_EQ(AddressBlockLayout::fromData(archive(attributedString("Dear ", {})))->segments(),
              QList<Segment>{Segment::plain("Dear ")});
    EXPECT_TRUE(
        AddressBlockLayout::fromData(archive(attributedString("", {})))->segments().isEmpty());
}

TEST(AddressBlockLayoutTest, BadData_FailsWithOneLogLine)
{
    const TypedStreamValue font = objectValue(helvetica());
    const QByteArray archived = archivedLayout();
    const std::pair<const char*, QByteArray> cases[] = {
        {"empty", QByteArray()},
        {"garbage", QByteArray("garbage")},
        {"truncated archive", archived.left(archived.size() / 2)},
        {"a font, not a string", TypedStreamFixtures::helveticaFont()},
        {"run past the characters", archive(attributedString("ab", {run(1, 3), attributes({})}))},
        {"run without attributes", archive(attributedString("ab", {run(1, 2)}))},
        {"stray value among the runs",
         archive(attributedString("ab", {run(1, 2), attributes({}), {"@", {font}}}))},
        {"own form, not a property list", AddressBlockLayout::OwnFormMagic + "<plist"},
        {"own form, no segments", AddressBlockLayout().toData().replace("Segments", "X")},
        {"own form, unknown segment",
         AddressBlockLayout::OwnFormMagic +
             QByteArray("<plist><dict><key>Segments</key><array><dict><key>Image</key>"
                        "<string>x</string></dict></array></dict></plist>")},
    };
    for (const auto& [name, data] : cases) {
        ScopedLogCapture log;
        EXPECT_FALSE(AddressBlockLayout::fromData(data)) << name;
        EXPECT_EQ(log.lines().size(), 1) << name;
    }
}
