// The editor's commands on the Freeform Text: the default font and background over the
// text on screen and the selected records, blank lines, the highlighter, plain pastes and
// the clipboard, find box and date stamp commands.
#include "EditorTestBase.h"
#include "RecordDataTesting.h"

#include "ColorArchive.h"
#include "DateFormatting.h"
#include "EditorSearchController.h"
#include "FindBoxView.h"
#include "FreeformTextCommands.h"
#include "FreeformTextEdits.h"
#include "FreeformTextView.h"
#include "RichText.h"
#include "TextCursorTesting.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>

namespace {

QByteArray richText(const QString& text, const QColor& background = {}, Qt::Alignment alignment = {})
{
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat format;
    format.setFontFamilies({"Courier"});
    format.setFontPointSize(20);
    format.setFontUnderline(true);
    format.setForeground(Qt::red);
    if (background.isValid())
        format.setBackground(background);
    cursor.insertText(text, format);
    if (alignment) {
        QTextBlockFormat paragraph;
        paragraph.setAlignment(alignment);
        cursor.select(QTextCursor::Document);
        cursor.mergeBlockFormat(paragraph);
    }
    return RichText::toRtfd(document);
}

std::unique_ptr<QTextDocument> documentOf(const QByteArray& rtfd)
{
    RichTextResult read = RichText::fromRtfd(rtfd);
    EXPECT_TRUE(read.ok());
    return std::move(read.document);
}

class FreeformTextCommandsTest : public EditorTestBase {
protected:
    // One record per text, rich unless plain; the first is shown.
    EditorWindowController* openTexts(const QList<std::pair<QString, bool>>& texts,
                                      bool mobile = false, const QColor& background = Qt::cyan)
    {
        auto document = std::make_unique<DatafileDocument>();
        if (mobile)
            document->setFileType(DatafileDocument::MobileDatafileType);
        document->datafileSettings()->setMode("List");
        for (const auto& [text, rich] : texts) {
            auto record = std::make_shared<RecordData>();
            record->setTextString(text, RecordDataTesting::key());
            if (rich)
                record->setTextRTFD(richText(text, background), RecordDataTesting::key());
            document->datafileRecords()->setRecord(record, record->identifier());
            document->datafileCatalog()->insertIdentifierAtEnd(record->identifier());
        }
        document->datafileCatalog()->rebuildSelectedIdentifiers();
        m_document = show(std::move(document));
        EditorWindowController* editor = editorOf(m_document);
        editor->engine().setCanSaveChanges(true);
        m_document->updateChangeCount(Document::ChangeType::Cleared);
        return editor;
    }

    static std::shared_ptr<RecordData> record(EditorWindowController* editor, qint64 index)
    {
        return editor->engine().recordAtIndex(index);
    }

    static void focus(QWidget* view)
    {
        view->window()->show();
        QApplication::setActiveWindow(view->window());
        view->setFocus();
        QCoreApplication::processEvents();
    }

    DatafileDocument* m_document = nullptr;
};

} // namespace

TEST(FreeformTextEditsTest, LeadingLineBreaks_OnlyAtTheVeryStartGo)
{
    const struct {
        const char* text;
        const char* expected;
        bool changed;
    } cases[] = {
        {"\r\n\r\nWord", "Word", true},
        {"\n\r\n\r", "", true},
        {"Word\n\n\nEnd", "Word\n\n\nEnd", false},
        {"\n \nWord", " \nWord", true},
        {"", "", false},
    };
    for (const auto& c : cases) {
        QString plain = QString::fromLatin1(c.text);
        EXPECT_EQ(FreeformTextEdits::removeLeadingLineBreaks(plain), c.changed) << c.text;
        EXPECT_EQ(plain, QString::fromLatin1(c.expected)) << c.text;

        // The same in rich text, where every line break is a paragraph's end.
        const std::unique_ptr<QTextDocument> document = documentOf(richText(QString::fromLatin1(c.text)));
        EXPECT_EQ(FreeformTextEdits::removeLeadingLineBreaks(*document), c.changed) << c.text;
        QString expected = QString::fromLatin1(c.expected);
        expected.replace("\r\n", "\n").replace('\r', '\n');
        EXPECT_EQ(RichText::plainText(*document), expected) << c.text;
    }
}

TEST(FreeformTextEditsTest, LeadingLineBreaks_TheFirstWordKeepsItsParagraphStyle)
{
    const std::unique_ptr<QTextDocument> document =
        documentOf(richText("\n\nWord", {}, Qt::AlignHCenter));
    ASSERT_TRUE(FreeformTextEdits::removeLeadingLineBreaks(*document));
    EXPECT_EQ(document->firstBlock().text(), "Word");
    EXPECT_EQ(document->firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(document->firstBlock().begin().fragment().charFormat().fontPointSize(), 20);
}

TEST_F(FreeformTextCommandsTest, RemoveBlankLines_SelectedRecordsUnstamped_TypingKept)
{
    EditorWindowController* editor = openTexts(
        {{"typed later", true}, {"\r\n\r\nWord", false}, {"\n\n", true}, {"Inner\n\nblank", true}});
    const PlistDate stamped = record(editor, 1)->modifiedDate();
    FreeformTextView* view = editor->freeformTextView();
    // Typed and not yet committed.
    QTextCursor(view->document()).insertText("\n\n");
    ASSERT_EQ(view->plainText(), "\n\ntyped later");

    editor->performAction("removeBlankLines:");

    EXPECT_EQ(view->plainText(), "typed later");
    EXPECT_EQ(record(editor, 0)->textString(), "typed later");
    EXPECT_EQ(record(editor, 1)->textString(), "Word");
    EXPECT_TRUE(record(editor, 1)->textRTFD().isEmpty());
    EXPECT_EQ(record(editor, 1)->modifiedDate(), stamped);
    EXPECT_EQ(record(editor, 2)->textString(), "");
    EXPECT_EQ(RichText::plainText(*documentOf(record(editor, 2)->textRTFD())), "");
    const QByteArray inner = record(editor, 3)->textRTFD();
    EXPECT_EQ(record(editor, 3)->textString(), "Inner\n\nblank");
    EXPECT_TRUE(m_document->isDocumentEdited());

    // Nothing left to remove changes nothing, the stored rich text included.
    m_document->updateChangeCount(Document::ChangeType::Cleared);
    editor->performAction("removeBlankLines:");
    EXPECT_EQ(record(editor, 3)->textRTFD(), inner);
    EXPECT_FALSE(m_document->isDocumentEdited());
}

TEST_F(FreeformTextCommandsTest, DefaultFontAndBackground_AllSelectedRecords_ButNothingInAMobileDatafile)
{
    for (const bool mobile : {false, true}) {
        SCOPED_TRACE(mobile);
        EditorWindowController* editor = openTexts({{"first", true}, {"second", true}}, mobile);
        editor->settings()->setTextFontName("Helvetica");
        editor->settings()->setTextFontSize(15);
        const QByteArray before = record(editor, 1)->textRTFD();

        editor->performAction("stripAnomalousBackgroundColors:");
        editor->performAction("changeAllToDefaultFont:");
        if (mobile) {
            EXPECT_EQ(record(editor, 1)->textRTFD(), before);
            EXPECT_FALSE(m_document->isDocumentEdited());
        } else {
            const std::unique_ptr<QTextDocument> document = documentOf(record(editor, 1)->textRTFD());
            const QTextCharFormat format = document->firstBlock().begin().fragment().charFormat();
            EXPECT_EQ(format.fontPointSize(), 15);
            EXPECT_FALSE(format.hasProperty(QTextFormat::BackgroundBrush));
            EXPECT_FALSE(format.hasProperty(QTextFormat::ForegroundBrush));
            EXPECT_FALSE(format.fontUnderline());
            EXPECT_TRUE(m_document->isDocumentEdited());
            EXPECT_EQ(formatAt(editor->freeformTextView(), 0).fontPointSize(), 15);
        }

        // The text on screen changes in either kind of datafile.
        FreeformTextView* view = editor->freeformTextView();
        QTextCursor cursor(view->document());
        cursor.select(QTextCursor::Document);
        QTextCharFormat red;
        red.setForeground(Qt::red);
        red.setFontUnderline(true);
        cursor.mergeCharFormat(red);
        editor->performAction("changeCurrentRecordToDefaultFont:");
        EXPECT_FALSE(formatAt(view, 1).hasProperty(QTextFormat::ForegroundBrush));
        EXPECT_FALSE(formatAt(view, 1).fontUnderline());
        EXPECT_EQ(formatAt(view, 1).fontPointSize(), 15);
        EXPECT_TRUE(m_document->isDocumentEdited());
        m_documents.clear();
    }
}

TEST_F(FreeformTextCommandsTest, Highlighter_OnThenOff_AtTheEndReadsTheCharacterBefore)
{
    EditorWindowController* editor = openTexts({{"highlight me", true}}, false, QColor());
    editor->settings()->setBackgroundFTAcolor(Qt::white);
    m_defaults.setObject(ColorArchive::archiveForColor(QColor(0, 255, 0)), "GeneralHighlighterColor");
    FreeformTextView* view = editor->freeformTextView();
    focus(view);

    selectText(view, 0, 12);
    editor->performAction("toggleHighlighter:");
    EXPECT_EQ(formatAt(view, 3).background().color(), QColor(0, 255, 0));
    EXPECT_EQ(view->textCursor().position(), 12);
    EXPECT_FALSE(view->textCursor().hasSelection());
    EXPECT_TRUE(m_document->isDocumentEdited());

    // At the end of the text the character before counts: the typing goes back to the
    // background.
    editor->performAction("toggleHighlighter:");
    EXPECT_EQ(view->currentCharFormat().background().color(), QColor(Qt::white));

    m_defaults.setBool(true, "GeneralLeaveTextSelected");
    selectText(view, 0, 9);
    editor->performAction("toggleHighlighter:");
    EXPECT_EQ(formatAt(view, 3).background().color(), QColor(Qt::white));
    EXPECT_TRUE(view->textCursor().hasSelection());

    // Without the focus in the text, nothing.
    editor->editorSearchController().searchField()->setFocus();
    QCoreApplication::processEvents();
    editor->performAction("toggleHighlighter:");
    EXPECT_EQ(formatAt(view, 3).background().color(), QColor(Qt::white));
}

TEST_F(FreeformTextCommandsTest, PastePlainText_ThePastedRangeTakesTheDefaults)
{
    EditorWindowController* editor = openTexts({{"left right", true}});
    editor->settings()->setTextFontSize(17);
    editor->settings()->setBackgroundFTAcolor(QColor(255, 255, 204));
    FreeformTextView* view = editor->freeformTextView();
    QApplication::clipboard()->setText("NEW");
    selectText(view, 4, 5); // the space
    editor->performAction("pastePlainText:");
    EXPECT_EQ(view->plainText(), "leftNEWright");
    for (const int position : {4, 6}) {
        const QTextCharFormat pasted = formatAt(view, position);
        EXPECT_EQ(pasted.fontPointSize(), 17);
        EXPECT_EQ(pasted.foreground().color(), QColor(Qt::black));
        EXPECT_EQ(pasted.background().color(), QColor(255, 255, 204));
        EXPECT_FALSE(pasted.fontUnderline());
    }
    EXPECT_EQ(formatAt(view, 7).fontPointSize(), 20); // "right" as it was
    EXPECT_TRUE(formatAt(view, 3).fontUnderline());
}

TEST_F(FreeformTextCommandsTest, BoldAndItalic_ToggleTheSelectionByItsStart)
{
    EditorWindowController* editor = openTexts({{"plain text", true}});
    FreeformTextView* view = editor->freeformTextView();
    selectText(view, 0, 5);
    editor->performAction("toggleBold:");
    editor->performAction("toggleItalic:");
    EXPECT_EQ(formatAt(view, 2).fontWeight(), QFont::Bold);
    EXPECT_TRUE(formatAt(view, 2).fontItalic());
    EXPECT_NE(formatAt(view, 7).fontWeight(), QFont::Bold);
    selectText(view, 0, 8);
    editor->performAction("toggleBold:");
    EXPECT_NE(formatAt(view, 2).fontWeight(), QFont::Bold);

    // A locked record's text stays as it is.
    editor->engine().currentRecord()->setRecordLocked(true);
    editor->engine().updateTextEditability();
    editor->performAction("toggleBold:");
    EXPECT_NE(formatAt(view, 2).fontWeight(), QFont::Bold);
}

TEST_F(FreeformTextCommandsTest, Clipboard_RecordLinkAndAddressBlock)
{
    EditorWindowController* editor = openTexts({{"Ann Smith\n1 Main St", true}});
    editor->settings()->setAddressInText(true);
    editor->performAction("copyRecordIdentifierToPasteboard:");
    EXPECT_EQ(QApplication::clipboard()->text(), "uuid://" + record(editor, 0)->identifier());
    editor->performAction("copyAddressBlock:");
    EXPECT_EQ(QApplication::clipboard()->text(), editor->addressBlockText());
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith("Ann Smith"));
}

TEST_F(FreeformTextCommandsTest, CopySelectionToFindBox_ReplacesItsText_OrBeeps)
{
    EditorWindowController* editor = openTexts({{"find this word", true}});
    FreeformTextView* view = editor->freeformTextView();
    FindBoxView* findBox = editor->editorSearchController().searchField();
    findBox->setPlainText("old text");
    focus(view);
    selectText(view, 5, 9);
    editor->performAction("copySelectionToFindBox:");
    EXPECT_EQ(findBox->toPlainText(), "this");
    EXPECT_TRUE(findBox->hasFocus());
    EXPECT_EQ(editor->engine().lastHitField(), CurrentRecordEngine::NoHit);
    EXPECT_EQ(m_presenter.beepCount(), 0);

    editor->performAction("copySelectionToFindBox:"); // from the find box itself
    focus(view);
    selectText(view, 3, 3);
    editor->performAction("copySelectionToFindBox:");
    EXPECT_EQ(m_presenter.beepCount(), 2);
}

TEST_F(FreeformTextCommandsTest, SearchOptionLock_TitlesTheItemAndTheButton)
{
    EditorWindowController* editor = openTexts({{"x", false}});
    QAction item;
    QToolButton* button = editor->editorSearchController().findToggleButton();
    editor->textCommands().toggleSearchOptionLock(&item);
    EXPECT_TRUE(m_defaults.boolForKey("MagnifyingGlassDisabled"));
    EXPECT_EQ(item.text(), "Enable Search Option Button");
    EXPECT_EQ(item.toolTip(), "Enable magnifying glass button.");
    EXPECT_EQ(button->toolTip(),
              "This button is disabled. See the last item in the Find sub-menu under the Edit menu.");
    editor->textCommands().toggleSearchOptionLock(&item);
    EXPECT_EQ(item.text(), "Disable Search Option Button");
    EXPECT_EQ(item.toolTip(), "Disable magnifying glass button.");
    EXPECT_TRUE(button->toolTip().startsWith("Click to toggle between Find and Select.\n"));
}

TEST_F(FreeformTextCommandsTest, DateTimeStamp_StylesFromTheDefaults_AtTheClocksTime)
{
    Clock::setNowForTesting([] { return PlistDate{800000000.0}; });
    const double milliseconds = (800000000.0 + PlistDate::referenceDateUnixSeconds) * 1000.0;
    const QString locale = QLocale().name();
    using Style = DateFormatting::Style;
    const struct {
        qint64 format;
        bool time;
        bool seconds;
        Style date;
        Style timeStyle;
    } cases[] = {
        {0, true, false, Style::None, Style::Short},   {1, false, false, Style::Short, Style::None},
        {2, true, true, Style::Long, Style::Medium},  {3, false, true, Style::Medium, Style::None},
        {4, true, false, Style::Full, Style::Short},  {9, false, false, Style::None, Style::None},
    };
    for (const auto& c : cases) {
        m_defaults.setObject(c.format, "GeneralDateTimeFormat");
        m_defaults.setBool(c.time, "GeneralTimeInDateStamp");
        m_defaults.setBool(c.seconds, "GeneralShowSecondsInTimeStamp");
        EXPECT_EQ(FreeformTextCommands::dateTimeStamp(),
                  DateFormatting::format(c.date, c.timeStyle, locale, milliseconds))
            << c.format;
    }
    // The time alone carries no year.
    m_defaults.setObject(0, "GeneralDateTimeFormat");
    m_defaults.setBool(true, "GeneralTimeInDateStamp");
    EXPECT_FALSE(FreeformTextCommands::dateTimeStamp().contains("2026"));
    EXPECT_FALSE(FreeformTextCommands::dateTimeStamp().isEmpty());

    EditorWindowController* editor = openTexts({{"", true}});
    FreeformTextView* view = editor->freeformTextView();
    focus(view);
    editor->performAction("insertDateTime:");
    EXPECT_EQ(view->plainText(), FreeformTextCommands::dateTimeStamp());
    EXPECT_TRUE(m_document->isDocumentEdited());
}
