// A user's journeys through the Freeform Text's commands in the program as main() runs it:
// Format ▸ Bold and the highlighter on the selection, Remove Blank Lines over the records,
// the record link and the date stamp, each from its menu item or key.
#include "JourneyTestBase.h"

#include "FreeformFormatController.h"
#include "FreeformPanelsController.h"
#include "FreeformRuler.h"
#include "FreeformTextCommands.h"
#include "FreeformTextView.h"
#include "RichText.h"
#include "RtfTextProperty.h"
#include "SpellingPanelController.h"
#include "TextCursorTesting.h"

#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QSpinBox>
#include <QTextTable>

namespace {

class FreeformTextJourneyTest : public JourneyTestBase {
protected:
    // One record per text, as rich text, in the List View.
    QString writeTexts(const QStringList& texts)
    {
        PlistDictionary records;
        PlistArray catalog;
        int number = 0;
        for (const QString& text : texts) {
            const QString identifier = QStringLiteral("00000000-0000-4000-8000-%1")
                                           .arg(++number, 12, 10, QLatin1Char('0'));
            QTextDocument document;
            document.setPlainText(text);
            records.insert(identifier, PlistDictionary{{"RecordIdentifier", identifier},
                                                       {"TextString", text},
                                                       {"TextRTFD", RichText::toRtfd(document)}});
            catalog.append(PlistDictionary{{"Identifier", identifier},
                                           {"CurrentlySelected", true},
                                           {"PreviouslySelected", true}});
        }
        const PlistDictionary datafile{{"Settings", PlistDictionary{{"DataFormat", 1}, {"Mode", "List"}}},
                                       {"Records", records},
                                       {"Catalog", catalog}};
        const QString path = m_dir.filePath("texts.nv3");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_TRUE(writePropertyList(datafile, file, PlistFormat::Xml));
        return path;
    }

    // The first record's rich text as the saved file holds it, and its plain text.
    RichTextResult savedFirstText(QString* plain)
    {
        const PlistDictionary saved = readDatafile(m_dir.filePath("texts.nv3"));
        const PlistValue records = saved.value("Records");
        const PlistValue record = records.asDictionary()->value("00000000-0000-4000-8000-000000000001");
        *plain = record.asDictionary()->value("TextString").stringValue();
        const PlistValue text = record.asDictionary()->value("TextRTFD");
        return text.asData() ? RichText::fromRtfd(*text.asData()) : RichTextResult{{}, {}, {}, "none"};
    }

    static void saveGrab(QWidget* window, const QString& name)
    {
        const QString folder = QDir::temp().filePath(QStringLiteral("norva-journeys"));
        QDir().mkpath(folder);
        window->grab().save(QDir(folder).filePath(name));
    }
};

} // namespace

TEST_F(FreeformTextJourneyTest, FormatMenu_BoldKeyAndHighlighter_OnTheSelection)
{
    EditorWindowController* editor = openWithCommand(writeTexts({"Bold words and highlighted ones"}));
    ASSERT_TRUE(editor);
    FreeformTextView* view = editor->freeformTextView();
    view->setFocus();
    selectText(view, 0, 10);
    QTest::keyClick(view, Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(formatAt(view, 2).fontWeight(), QFont::Bold);
    EXPECT_NE(formatAt(view, 12).fontWeight(), QFont::Bold);

    view->setFocus();
    selectText(view, 15, 26);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "toggleHighlighter:"));
    EXPECT_EQ(formatAt(view, 20).background().color(), FreeformTextCommands::highlighterColor());
    // Not while the focus is elsewhere.
    editor->activateFindBox();
    EXPECT_FALSE(chooseMenuItem(editor->window(), "underline:"));
    saveGrab(editor->window(), "freeform-text-bold-highlighted.png");

    // What the commands set is saved with the record.
    QTest::keyClick(editor->window(), Qt::Key_S, Qt::ControlModifier);
    QString plain;
    const RichTextResult rich = savedFirstText(&plain);
    ASSERT_TRUE(rich.ok());
    EXPECT_EQ(formatAt(rich.document.get(), 2).fontWeight(), QFont::Bold);
    EXPECT_EQ(formatAt(rich.document.get(), 20).background().color(),
              FreeformTextCommands::highlighterColor());
}

TEST_F(FreeformTextJourneyTest, RemoveBlankLines_RecordLinkAndDateStamp_FromTheirMenus)
{
    m_defaults.setObject(0, "GeneralDateTimeFormat");
    m_defaults.setBool(true, "GeneralTimeInDateStamp");
    EditorWindowController* editor = openWithCommand(writeTexts({"\n\nFirst", "\n\n\nSecond", "Third"}));
    ASSERT_TRUE(editor);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "removeBlankLines:"));
    EXPECT_EQ(editor->freeformTextView()->plainText(), "First");
    EXPECT_EQ(editor->engine().recordAtIndex(1)->textString(), "Second");

    ASSERT_TRUE(chooseMenuItem(editor->window(), "copyRecordIdentifierToPasteboard:"));
    EXPECT_EQ(QApplication::clipboard()->text(), "uuid://00000000-0000-4000-8000-000000000001");

    FreeformTextView* view = editor->freeformTextView();
    view->setFocus();
    selectText(view, 5, 5);
    QTest::keyClick(view, Qt::Key_T, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(view->plainText(), "First" + FreeformTextCommands::dateTimeStamp());
    saveGrab(editor->window(), "freeform-text-stamped.png");
}

TEST_F(FreeformTextJourneyTest, PasteAsPlainText_EnabledOnlyWhileTheClipboardHoldsText)
{
    QApplication::clipboard()->clear();
    EditorWindowController* editor = openWithCommand(writeTexts({"Copy me"}));
    ASSERT_TRUE(editor);
    QAction* pastePlain = menuItem(editor->window(), "pastePlainText:");
    ASSERT_TRUE(pastePlain);
    FreeformTextView* view = editor->freeformTextView();
    view->setFocus();
    EXPECT_FALSE(chooseMenuItem(editor->window(), "pastePlainText:"));
    EXPECT_FALSE(pastePlain->isEnabled());

    selectText(view, 0, 4);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "copy:"));
    selectText(view, 7, 7);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "pastePlainText:"));
    EXPECT_EQ(view->plainText(), "Copy meCopy");

    // Emptied again, and again with only a picture on it.
    QApplication::clipboard()->clear();
    showMenusOf(editor->window());
    EXPECT_FALSE(pastePlain->isEnabled());
    QApplication::clipboard()->setImage(QImage(4, 4, QImage::Format_RGB32));
    showMenusOf(editor->window());
    EXPECT_FALSE(pastePlain->isEnabled());
}

TEST_F(FreeformTextJourneyTest, FormatMenu_FontPanelSizeKerningAlignmentAndRuler)
{
    EditorWindowController* editor = openWithCommand(writeTexts({"Format these words"}));
    ASSERT_TRUE(editor);
    FreeformTextView* view = editor->freeformTextView();
    view->setFocus();
    selectText(view, 0, 6);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "orderFrontFontPanel:"));
    m_presenter.pickFont(QFont("Serif", 24));
    // Bigger, then the Kern and Baseline submenus, then Center.
    QAction* bigger = menuItem(editor->window(), "modifyFont:");
    ASSERT_TRUE(bigger);
    showMenusOf(editor->window());
    bigger->trigger();
    ASSERT_TRUE(chooseMenuItem(editor->window(), "loosenKerning:"));
    ASSERT_TRUE(chooseMenuItem(editor->window(), "superscript:"));
    ASSERT_TRUE(chooseMenuItem(editor->window(), "alignCenter:"));
    EXPECT_EQ(formatAt(view, 2).fontPointSize(), 25);
    EXPECT_EQ(formatAt(view, 2).intProperty(RtfTextProperty::Expansion), 20);
    EXPECT_EQ(formatAt(view, 2).verticalAlignment(), QTextCharFormat::AlignSuperScript);
    EXPECT_EQ(view->document()->firstBlock().blockFormat().alignment(), Qt::AlignHCenter);

    QTest::keyClick(view, Qt::Key_R, Qt::ControlModifier | Qt::AltModifier);
    FreeformRuler* ruler = editor->formatController().ruler();
    ASSERT_TRUE(ruler);
    EXPECT_TRUE(ruler->isVisible());
    ruler->tabStrip()->clickAt(108);
    saveGrab(editor->window(), "freeform-text-format-ruler.png");

    // Without the text in front, the Format commands are off.
    editor->activateFindBox();
    EXPECT_FALSE(chooseMenuItem(editor->window(), "modifyFont:"));
}

TEST_F(FreeformTextJourneyTest, FormatMenu_TablePanelInsertsATableSavedWithTheRecord)
{
    EditorWindowController* editor = openWithCommand(writeTexts({"Above the table"}));
    ASSERT_TRUE(editor);
    FreeformTextView* view = editor->freeformTextView();
    view->setFocus();
    view->moveCursor(QTextCursor::End);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "orderFrontTablePanel:"));
    FreeformPanelsController& panels = editor->panelsController();
    ASSERT_TRUE(panels.tablePanel() && panels.tablePanel()->isVisible());
    panels.tableColumnsBox()->setValue(3);
    panels.insertTable();
    QTest::keyClicks(view, "cell");
    saveGrab(editor->window(), "freeform-text-table.png");
    saveGrab(panels.tablePanel(), "freeform-text-table-panel.png");

    QTest::keyClick(editor->window(), Qt::Key_S, Qt::ControlModifier);
    QString plain;
    const RichTextResult rich = savedFirstText(&plain);
    ASSERT_TRUE(rich.ok());
    EXPECT_TRUE(RichText::plainText(*rich.document).startsWith("Above the table\ncell\n"));
    EXPECT_EQ(plain, RichText::plainText(*rich.document));
}

TEST_F(FreeformTextJourneyTest, CheckSpelling_SelectsTheWordAndCorrectsIt)
{
    EditorWindowController* editor = openWithCommand(writeTexts({"A wrod to check"}));
    ASSERT_TRUE(editor);
    FreeformTextView* view = editor->freeformTextView();
    view->setFocus();
    ASSERT_TRUE(chooseMenuItem(editor->window(), "showGuessPanel:"));
    SpellingPanelController& spelling = editor->spellingPanelController();
    ASSERT_TRUE(spelling.panel() && spelling.panel()->isVisible());
    EXPECT_EQ(spelling.wordLabel()->text(), "wrod");
    saveGrab(editor->window(), "freeform-text-spelling.png");
    saveGrab(spelling.panel(), "freeform-text-spelling-panel.png");
    const QList<QListWidgetItem*> word = spelling.guessList()->findItems("word", Qt::MatchExactly);
    ASSERT_FALSE(word.isEmpty());
    spelling.guessList()->setCurrentItem(word.front());
    spelling.correct();
    EXPECT_EQ(view->plainText(), "A word to check");
}
