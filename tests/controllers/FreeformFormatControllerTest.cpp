// The Format commands on the Freeform Text Area's selection, the panels and the ruler,
// and what they set kept in the record's stored rich text.
#include "EditorTestBase.h"
#include "RecordDataTesting.h"

#include "FreeformFormatController.h"
#include "FreeformRuler.h"
#include "FreeformTextView.h"
#include "RichText.h"
#include "RtfTextProperty.h"
#include "TextCursorTesting.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QTextBlock>

namespace {

// Left, centre, right or justified, whether or not the writing direction may flip it.
Qt::Alignment horizontal(const QTextBlockFormat& format)
{
    return format.alignment() & (Qt::AlignHorizontal_Mask & ~Qt::AlignAbsolute);
}

class FreeformFormatControllerTest : public EditorTestBase {
protected:
    EditorWindowController* openText(const QString& text)
    {
        auto document = std::make_unique<DatafileDocument>();
        document->datafileSettings()->setMode("List");
        QTextDocument rich;
        QTextCursor cursor(&rich);
        QTextCharFormat format;
        format.setFontPointSize(20);
        cursor.insertText(text, format);
        auto record = std::make_shared<RecordData>();
        record->setTextString(text, RecordDataTesting::key());
        record->setTextRTFD(RichText::toRtfd(rich), RecordDataTesting::key());
        document->datafileRecords()->setRecord(record, record->identifier());
        document->datafileCatalog()->insertIdentifierAtEnd(record->identifier());
        document->datafileCatalog()->rebuildSelectedIdentifiers();
        EditorWindowController* editor = editorOf(show(std::move(document)));
        FreeformTextView* view = editor->freeformTextView();
        view->window()->show();
        QApplication::setActiveWindow(view->window());
        view->setFocus();
        QCoreApplication::processEvents();
        return editor;
    }

    // The text as the record stores it once committed, read back.
    static std::unique_ptr<QTextDocument> stored(EditorWindowController* editor)
    {
        editor->engine().updateCurrentRecord();
        RichTextResult read = RichText::fromRtfd(editor->engine().currentRecord()->textRTFD());
        EXPECT_TRUE(read.ok());
        return std::move(read.document);
    }

    static void perform(EditorWindowController* editor, const char* selector, int tag = 0)
    {
        QAction sender;
        sender.setData(tag);
        editor->performAction(QString::fromLatin1(selector), &sender);
    }
};

} // namespace

TEST_F(FreeformFormatControllerTest, Commands_SetTheSelectionsAttributes_KeptInTheStoredText)
{
    using Check = std::function<bool(const QTextCharFormat&)>;
    const struct {
        const char* selector;
        int tag;
        Check check;
    } cases[] = {
        {"underline:", 0, [](const QTextCharFormat& f) { return f.fontUnderline(); }},
        {"modifyFont:", 3, [](const QTextCharFormat& f) { return f.fontPointSize() == 21; }},
        {"modifyFont:", 4, [](const QTextCharFormat& f) { return f.fontPointSize() == 19; }},
        {"addFontTrait:", 2, [](const QTextCharFormat& f) { return f.fontWeight() == QFont::Bold; }},
        {"addFontTrait:", 1, [](const QTextCharFormat& f) { return f.fontItalic(); }},
        {"tightenKerning:", 0,
         [](const QTextCharFormat& f) { return f.intProperty(RtfTextProperty::Expansion) == -20; }},
        {"loosenKerning:", 0,
         [](const QTextCharFormat& f) { return f.intProperty(RtfTextProperty::Expansion) == 20; }},
        {"turnOffKerning:", 0,
         [](const QTextCharFormat& f) {
             return f.hasProperty(RtfTextProperty::Expansion) && f.intProperty(RtfTextProperty::Expansion) == 0;
         }},
        {"turnOffLigatures:", 0,
         [](const QTextCharFormat& f) {
             return f.hasProperty(RtfTextProperty::Ligature) && f.intProperty(RtfTextProperty::Ligature) == 0;
         }},
        {"useAllLigatures:", 0,
         [](const QTextCharFormat& f) { return f.intProperty(RtfTextProperty::Ligature) == 2; }},
        {"superscript:", 0,
         [](const QTextCharFormat& f) { return f.verticalAlignment() == QTextCharFormat::AlignSuperScript; }},
        {"subscript:", 0,
         [](const QTextCharFormat& f) { return f.verticalAlignment() == QTextCharFormat::AlignSubScript; }},
        {"raiseBaseline:", 0,
         [](const QTextCharFormat& f) { return f.intProperty(RtfTextProperty::BaselineOffset) == 2; }},
        {"lowerBaseline:", 0,
         [](const QTextCharFormat& f) { return f.intProperty(RtfTextProperty::BaselineOffset) == -2; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.selector) + std::to_string(c.tag));
        EditorWindowController* editor = openText("Some text here");
        FreeformTextView* view = editor->freeformTextView();
        selectText(view, 0, 4);
        perform(editor, c.selector, c.tag);
        EXPECT_TRUE(c.check(formatAt(view, 1)));
        EXPECT_FALSE(c.check(formatAt(view, 6))); // outside the selection
        const std::unique_ptr<QTextDocument> document = stored(editor);
        EXPECT_TRUE(c.check(formatAt(document.get(), 1)));
        EXPECT_FALSE(c.check(formatAt(document.get(), 6)));
        m_documents.clear();
    }
}

TEST_F(FreeformFormatControllerTest, StandardKerningAndUnscript_TakeTheAttributesOffAgain)
{
    EditorWindowController* editor = openText("Some text here");
    FreeformTextView* view = editor->freeformTextView();
    selectText(view, 0, 4);
    for (const char* selector : {"turnOffKerning:", "turnOffLigatures:", "superscript:", "raiseBaseline:"})
        perform(editor, selector);
    for (const char* selector : {"useStandardKerning:", "useStandardLigatures:", "unscript:"})
        perform(editor, selector);
    const std::unique_ptr<QTextDocument> document = stored(editor);
    const QTextCharFormat format = formatAt(document.get(), 1);
    for (const int property : {int(RtfTextProperty::Expansion), int(RtfTextProperty::Ligature),
                               int(RtfTextProperty::BaselineOffset), int(QTextFormat::TextVerticalAlignment)})
        EXPECT_FALSE(format.hasProperty(property)) << property;
}

TEST_F(FreeformFormatControllerTest, Alignment_StyleAndRulerCopiedAndPasted)
{
    EditorWindowController* editor = openText("First\nSecond");
    FreeformTextView* view = editor->freeformTextView();
    selectText(view, 0, 0);
    perform(editor, "alignCenter:");
    selectText(view, 0, 3);
    perform(editor, "underline:");
    perform(editor, "copyFont:");
    perform(editor, "copyRuler:");
    selectText(view, 7, 9);
    perform(editor, "pasteFTAStyle:");
    perform(editor, "pasteFTARuler:");
    const std::unique_ptr<QTextDocument> document = stored(editor);
    EXPECT_TRUE(formatAt(document.get(), 8).fontUnderline());
    EXPECT_FALSE(formatAt(document.get(), 11).fontUnderline());
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        EXPECT_EQ(horizontal(block.blockFormat()), Qt::AlignHCenter);
    selectText(view, 0, 0);
    perform(editor, "alignRight:");
    EXPECT_EQ(horizontal(view->document()->firstBlock().blockFormat()), Qt::AlignRight);
    perform(editor, "alignJustified:");
    perform(editor, "alignLeft:");
    EXPECT_EQ(horizontal(stored(editor)->firstBlock().blockFormat()), Qt::AlignLeft);
}

TEST_F(FreeformFormatControllerTest, FontAndColorPanels_SetTheSelection_NotInALockedRecord)
{
    EditorWindowController* editor = openText("Some text here");
    FreeformTextView* view = editor->freeformTextView();
    selectText(view, 5, 9);
    perform(editor, "orderFrontFontPanel:");
    EXPECT_EQ(m_presenter.fontPanelFont().pointSizeF(), 20);
    QFont picked("Courier", 30);
    picked.setItalic(true);
    m_presenter.pickFont(picked);
    EXPECT_EQ(formatAt(view, 6).fontPointSize(), 30);
    EXPECT_TRUE(formatAt(view, 6).fontItalic());
    EXPECT_EQ(formatAt(view, 1).fontPointSize(), 20);

    m_presenter.answerColorPanel(QColor(0, 0, 200));
    perform(editor, "orderFrontColorPanel:");
    EXPECT_EQ(stored(editor)->begin().begin().fragment().charFormat().fontPointSize(), 20);
    EXPECT_EQ(formatAt(stored(editor).get(), 6).foreground().color(), QColor(0, 0, 200));

    editor->engine().currentRecord()->setRecordLocked(true);
    editor->engine().updateTextEditability();
    m_presenter.pickFont(QFont("Courier", 40));
    perform(editor, "underline:");
    EXPECT_EQ(formatAt(view, 6).fontPointSize(), 30);
    EXPECT_FALSE(formatAt(view, 6).fontUnderline());
}

TEST_F(FreeformFormatControllerTest, Ruler_ShowsAndSetsTheParagraphs_KeptInTheStoredText)
{
    EditorWindowController* editor = openText("One\tTwo\nThree");
    FreeformTextView* view = editor->freeformTextView();
    editor->performAction("toggleFreeformRuler:");
    FreeformRuler* ruler = editor->formatController().ruler();
    ASSERT_TRUE(ruler);
    EXPECT_TRUE(ruler->isVisible());
    EXPECT_GT(view->viewport()->geometry().top(), ruler->geometry().top());

    selectText(view, 0, 0);
    ruler->alignmentButtons()->button(int(Qt::AlignRight))->click();
    ruler->spacingBox()->setCurrentIndex(ruler->spacingBox()->findData(150));
    Q_EMIT ruler->spacingBox()->activated(ruler->spacingBox()->currentIndex());
    ruler->indentBox()->setValue(18);
    ruler->firstLineBox()->setValue(9);
    ruler->tabStrip()->clickAt(70);
    ruler->tabStrip()->clickAt(144);
    ruler->tabStrip()->clickAt(145); // on the stop: taken away

    const std::unique_ptr<QTextDocument> document = stored(editor);
    const QTextBlockFormat first = document->firstBlock().blockFormat();
    EXPECT_EQ(horizontal(first), Qt::AlignRight);
    EXPECT_EQ(first.lineHeightType(), QTextBlockFormat::ProportionalHeight);
    EXPECT_EQ(first.lineHeight(), 150);
    EXPECT_EQ(first.leftMargin(), 18);
    EXPECT_EQ(first.textIndent(), 9);
    ASSERT_EQ(first.tabPositions().size(), 1);
    EXPECT_EQ(first.tabPositions().front().position, 72);
    EXPECT_EQ(first.tabPositions().front().type, QTextOption::LeftTab);
    EXPECT_FALSE(document->lastBlock().blockFormat().hasProperty(QTextFormat::BlockLeftMargin));

    // The ruler shows the paragraph the cursor goes to.
    selectText(view, 9, 9);
    EXPECT_EQ(ruler->indentBox()->value(), 0);
    selectText(view, 1, 1);
    EXPECT_EQ(ruler->indentBox()->value(), 18);
    EXPECT_EQ(ruler->tabStrip()->tabs(), QList<qreal>({72}));

    editor->performAction("toggleFreeformRuler:");
    EXPECT_FALSE(ruler->isVisible());
}
