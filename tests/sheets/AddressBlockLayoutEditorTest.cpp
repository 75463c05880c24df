// The field-based address block's layout editor: tokens made from the field list, the
// layout stored and read back, its fonts, and layouts another program archived.
#include "AddressBlockLayoutEditor.h"

#include "../data/AddressLayoutArchives.h"
#include "RecordDataTesting.h"
#include "DatafileDocument.h"
#include "DocumentFixture.h"
#include "SettingsTextAttachmentCell.h"
#include "SystemLog.h"

#include <QAbstractTextDocumentLayout>
#include <QButtonGroup>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>

// Failures name the strings, not their bytes.
static void PrintTo(const QString& string, std::ostream* stream)
{
    *stream << '"' << string.toStdString() << '"';
}

namespace {

using Segment = AddressBlockLayout::Segment;

class AddressBlockLayoutEditorTest : public DocumentFixture {
protected:
    void SetUp() override
    {
        DocumentFixture::SetUp();
        m_document = std::make_unique<DatafileDocument>();
        settings().setFields(PlistArray{field("N-ID", "Name"), field("C-ID", "City"),
                                        field("Z-ID", "Zip")});
        m_freeform = new QRadioButton("Freeform", &m_window);
        m_fieldBased = new QRadioButton("Field-based", &m_window);
        auto* sources = new QButtonGroup(&m_window);
        sources->addButton(m_freeform);
        sources->addButton(m_fieldBased);
        m_freeform->setChecked(true);
        m_editor = makeEditor();
    }

    void TearDown() override
    {
        m_document.reset();
        DocumentFixture::TearDown();
    }

    AddressBlockLayoutEditor* makeEditor()
    {
        auto* editor = new AddressBlockLayoutEditor(&m_window);
        editor->setFieldBasedSource(m_fieldBased, [this] { ++m_modeHits; });
        editor->setFields(settings().fields());
        return editor;
    }

    static PlistDictionary field(const QString& identifier, const QString& name)
    {
        return PlistDictionary{{"Identifier", identifier}, {"Name", name}, {"Width", 150.0}};
    }

    DatafileSettingsData& settings() { return *m_document->datafileSettings(); }

    // The user picks the field from the list beside the editor.
    void insertToken(AddressBlockLayoutEditor* editor, int row)
    {
        editor->addressFieldNames()->setCurrentRow(row);
        editor->addressFieldNamesHit();
    }

    void type(AddressBlockLayoutEditor* editor, const QString& text)
    {
        QTextCursor cursor = editor->layoutEditor()->textCursor();
        cursor.insertText(text);
        editor->layoutEditor()->setTextCursor(cursor);
    }

    // "Name", ", ", "City", "\n", "Zip", typed into the editor.
    void composeAddress(AddressBlockLayoutEditor* editor)
    {
        insertToken(editor, 0);
        type(editor, ", ");
        insertToken(editor, 1);
        type(editor, "\n");
        insertToken(editor, 2);
    }

    void addRecord(const PlistDictionary& fields)
    {
        auto record = RecordData::record();
        record->setFields(fields, RecordDataTesting::key());
        m_document->datafileRecords()->setRecord(record, record->identifier());
        m_document->datafileCatalog()->insertIdentifierAtEnd(record->identifier());
        m_document->datafileCatalog()->rebuildSelectedIdentifiers();
    }

    QWidget m_window;
    QRadioButton* m_freeform = nullptr;
    QRadioButton* m_fieldBased = nullptr;
    int m_modeHits = 0;
    AddressBlockLayoutEditor* m_editor = nullptr;
    std::unique_ptr<DatafileDocument> m_document;
};

} // namespace

TEST_F(AddressBlockLayoutEditorTest, Tokens_RoundTripThroughStoringAndReopening)
{
    m_defaults.setObject(QGuiApplication::font().family(), "DefaultFieldsFontName");
    m_defaults.setInteger(14, "DefaultFieldsFontSize");
    m_editor->loadLayout(settings());
    composeAddress(m_editor);
    m_editor->storeLayout(settings());

    // Stored, then opened again in a new editor.
    AddressBlockLayoutEditor* reopened = makeEditor();
    reopened->loadLayout(settings());
    const AddressBlockLayout layout = reopened->layout();
    const ArchivedFont font(QGuiApplication::font().family(), 14);
    const QColor color = QColor::fromRgbF(0.3f, 0.05f, 0.2f);
    EXPECT_EQ(layout.segments(),
              QList<Segment>({Segment::field("Name", "N-ID", font, color), Segment::plain(", "),
                              Segment::field("City", "C-ID", font, color), Segment::plain("\n"),
                              Segment::field("Zip", "Z-ID", font, color)}));
    ASSERT_TRUE(layout.font());
    EXPECT_EQ(*layout.font(), font);
    EXPECT_EQ(reopened->layoutEditor()->toPlainText(),
              QString(QChar::ObjectReplacementCharacter) + ", " + QChar::ObjectReplacementCharacter +
                  "\n" + QChar::ObjectReplacementCharacter);

    if (qEnvironmentVariableIsSet("NORVA_SHOTS")) {
        reopened->layoutEditor()->resize(320, 90);
        reopened->layoutEditor()->grab().save(qEnvironmentVariable("NORVA_SHOTS") + "/layout.png");
    }

    // Each token is as large as its name, 4 points less high, and draws it.
    QTextDocument* document = reopened->layoutEditor()->document();
    QTextCursor first(document);
    first.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    const QFontMetricsF metrics(SettingsTextAttachmentCell::drawingFont(layout.segments().at(0)));
    const QSizeF size = document->documentLayout()->handlerForObject(SettingsTextAttachmentCell::ObjectType)
                            ->intrinsicSize(document, 0, first.charFormat());
    EXPECT_DOUBLE_EQ(size.width(), metrics.horizontalAdvance("Name"));
    EXPECT_DOUBLE_EQ(size.height(), metrics.height() - 4);
}

TEST_F(AddressBlockLayoutEditorTest, Tokens_FillTheRecordsAddressBlockByName)
{
    settings().setAddressInText(false);
    m_editor->loadLayout(settings());
    composeAddress(m_editor);
    m_editor->storeLayout(settings());
    addRecord(PlistDictionary{{"N-ID", "Ann Lee"}, {"C-ID", "Bonn"}, {"Z-ID", "53111"}});
    EXPECT_EQ(m_document->addressBlockAtIndex(0), "Ann Lee, Bonn\n53111");

    // A renamed field no longer answers for its token.
    settings().setFields(PlistArray{field("N-ID", "Name"), field("C-ID", "Town"),
                                    field("Z-ID", "Zip")});
    EXPECT_EQ(m_document->addressBlockAtIndex(0), "Ann Lee, \n53111");
}

TEST_F(AddressBlockLayoutEditorTest, TokenUnderTheFreeformSource_SwitchesToFieldBased)
{
    m_editor->loadLayout(settings());
    // No field chosen: only the source changes.
    m_editor->addressFieldNames()->setCurrentRow(-1);
    m_editor->addressFieldNamesHit();
    EXPECT_TRUE(m_fieldBased->isChecked());
    EXPECT_EQ(m_modeHits, 1);
    EXPECT_TRUE(m_editor->layoutEditor()->toPlainText().isEmpty());

    m_freeform->setChecked(true);
    type(m_editor, "Dear ");
    QTextCursor cursor = m_editor->layoutEditor()->textCursor();
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor, 4);
    m_editor->layoutEditor()->setTextCursor(cursor);
    insertToken(m_editor, 0); // replaces "Dear"
    EXPECT_TRUE(m_fieldBased->isChecked());
    EXPECT_EQ(m_modeHits, 2);
    EXPECT_EQ(m_editor->layout().segments(),
              QList<Segment>({m_editor->layout().segments().value(0), Segment::plain(" ")}));
    EXPECT_EQ(m_editor->layout().segments().value(0).text, "Name");
}

TEST_F(AddressBlockLayoutEditorTest, FontSizeZero_TokensAskForZeroTheTextTakesTwelve)
{
    const QString family = QFontDatabase::families().value(0);
    m_defaults.setObject(family, "DefaultFieldsFontName");
    m_defaults.setInteger(0, "DefaultFieldsFontSize");
    EXPECT_EQ(AddressBlockLayoutEditor::tokenFont(), ArchivedFont(family, 0));
    EXPECT_EQ(AddressBlockLayoutEditor::defaultFieldsFont(), ArchivedFont(family, 12));

    m_editor->loadLayout(settings());
    insertToken(m_editor, 0);
    m_editor->storeLayout(settings());
    const AddressBlockLayout layout = *AddressBlockLayout::fromData(*settings().addressBlockLayout());
    EXPECT_EQ(layout.segments().at(0).font, ArchivedFont(family, 0));
    EXPECT_EQ(layout.font(), ArchivedFont(family, 12));
    EXPECT_EQ(m_editor->layoutEditor()->font().pointSizeF(), 12);

    // Without a name: Helvetica for the text, the user font for tokens, where not installed.
    m_defaults.removeObjectForKey("DefaultFieldsFontName");
    const QString user = QGuiApplication::font().family();
    EXPECT_EQ(AddressBlockLayoutEditor::tokenFont().name(), user);
    EXPECT_EQ(AddressBlockLayoutEditor::defaultFieldsFont().name(),
              QFontDatabase::hasFamily("Helvetica") ? QString("Helvetica") : user);
    m_defaults.setObject("No Such Font Family", "DefaultFieldsFontName");
    EXPECT_EQ(AddressBlockLayoutEditor::defaultFieldsFont(), ArchivedFont(user, 12));
}

TEST_F(AddressBlockLayoutEditorTest, ArchivedLayout_KeptByteForByteUntilEdited)
{
    const QByteArray archived = AddressLayoutArchives::archivedLayout();
    settings().setAddressBlockLayout(archived);
    m_editor->loadLayout(settings());
    EXPECT_EQ(m_editor->layout().segments().size(), 5) << "shown";
    m_editor->storeLayout(settings());
    EXPECT_EQ(settings().addressBlockLayout(), archived);

    type(m_editor, "x");
    m_editor->storeLayout(settings());
    ASSERT_TRUE(settings().addressBlockLayout());
    EXPECT_TRUE(settings().addressBlockLayout()->startsWith(AddressBlockLayout::OwnFormMagic));
    EXPECT_EQ(AddressBlockLayout::fromData(*settings().addressBlockLayout())->segments().size(), 6);
}

TEST_F(AddressBlockLayoutEditorTest, UndecodableLayout_OpensEmptyAndIsKeptUntilEdited)
{
    const QByteArray unreadable("\x04\x0bstreamtyped garbage");
    settings().setAddressBlockLayout(unreadable);
    {
        ScopedLogCapture log;
        m_editor->loadLayout(settings());
    }
    EXPECT_TRUE(m_editor->layoutEditor()->toPlainText().isEmpty());
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
    m_editor->storeLayout(settings());
    EXPECT_EQ(settings().addressBlockLayout(), unreadable);

    // An empty layout where none was stored.
    settings().setAddressBlockLayout(std::nullopt);
    m_editor->loadLayout(settings());
    m_editor->storeLayout(settings());
    ASSERT_TRUE(settings().addressBlockLayout());
    EXPECT_TRUE(AddressBlockLayout::fromData(*settings().addressBlockLayout())->segments().isEmpty());
}
