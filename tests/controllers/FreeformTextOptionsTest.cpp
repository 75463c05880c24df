// The Freeform Text Area's options: spelling shown but never stored, links found as the user
// types, link tool tips, and the Spelling panel.
#include "EditorTestBase.h"
#include "RecordDataTesting.h"

#include "FreeformTextOptions.h"
#include "FreeformTextView.h"
#include "RichText.h"
#include "SpellChecker.h"
#include "SpellingPanelController.h"
#include "TextCursorTesting.h"

#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolTip>

namespace {

class FreeformTextOptionsTest : public EditorTestBase {
protected:
    EditorWindowController* openText(const QString& text)
    {
        auto document = std::make_unique<DatafileDocument>();
        document->datafileSettings()->setMode("List");
        auto record = std::make_shared<RecordData>();
        record->setTextString(text, RecordDataTesting::key());
        QTextDocument rich;
        rich.setPlainText(text);
        record->setTextRTFD(RichText::toRtfd(rich), RecordDataTesting::key());
        document->datafileRecords()->setRecord(record, record->identifier());
        document->datafileCatalog()->insertIdentifierAtEnd(record->identifier());
        document->datafileCatalog()->rebuildSelectedIdentifiers();
        m_document = show(std::move(document));
        m_document->updateChangeCount(Document::ChangeType::Cleared);
        EditorWindowController* editor = editorOf(m_document);
        FreeformTextView* view = editor->freeformTextView();
        view->window()->show();
        QApplication::setActiveWindow(view->window());
        view->setFocus();
        QCoreApplication::processEvents();
        return editor;
    }

    // Where the view draws spelling underlines, (start, length).
    static SpellChecker::Ranges underlinedRanges(FreeformTextView* view)
    {
        QCoreApplication::processEvents();
        return view->misspelledRanges();
    }

    // The stretches the view draws underlined for spelling.
    static QStringList underlinedWords(FreeformTextView* view)
    {
        const QString text = view->document()->toRawText();
        QStringList words;
        for (const auto& [start, length] : underlinedRanges(view))
            words.append(text.mid(start, length));
        return words;
    }

    DatafileDocument* m_document = nullptr;
};

} // namespace

TEST_F(FreeformTextOptionsTest, Spelling_ShownNotStored_OffByTheDefault)
{
    EditorWindowController* editor = openText("A tset of speling");
    const QByteArray stored = editor->engine().currentRecord()->textRTFD();
    EXPECT_TRUE(editor->textOptions().spellChecking());
    EXPECT_EQ(underlinedWords(editor->freeformTextView()), QStringList({"tset", "speling"}));
    EXPECT_FALSE(m_document->isDocumentEdited());
    EXPECT_FALSE(editor->engine().currentRecordDirty());
    editor->engine().updateCurrentRecord();
    EXPECT_EQ(editor->engine().currentRecord()->textRTFD(), stored);
    m_documents.clear();

    m_defaults.setBool(true, "GeneralSpellCheckerOff");
    editor = openText("A tset of speling");
    EXPECT_FALSE(editor->textOptions().spellChecking());
    EXPECT_TRUE(underlinedWords(editor->freeformTextView()).isEmpty());
}

TEST_F(FreeformTextOptionsTest, LinksFoundWhileTyping_AndShownInToolTips)
{
    EditorWindowController* editor = openText("");
    FreeformTextView* view = editor->freeformTextView();
    QTest::keyClicks(view, "see www.example.com/page now");
    QCoreApplication::processEvents();
    EXPECT_TRUE(formatAt(view, 6).isAnchor());
    EXPECT_EQ(formatAt(view, 6).anchorHref(), "http://www.example.com/page");
    EXPECT_FALSE(formatAt(view, 1).isAnchor());
    EXPECT_FALSE(formatAt(view, 26).isAnchor());

    QTextCursor onLink(view->document());
    onLink.setPosition(8);
    const QPoint point = view->cursorRect(onLink).center();
    QHelpEvent tip(QEvent::ToolTip, point, view->viewport()->mapToGlobal(point));
    QApplication::sendEvent(view->viewport(), &tip);
    EXPECT_EQ(QToolTip::text(), "http://www.example.com/page");

    // A locked record's text finds none.
    editor->engine().currentRecord()->setRecordLocked(true);
    editor->engine().updateTextEditability();
    editor->textOptions().findLinksAround(0);
    EXPECT_FALSE(formatAt(view, 1).isAnchor());
}

TEST_F(FreeformTextOptionsTest, SpellingPanel_FindsCorrectsAndIgnores)
{
    EditorWindowController* editor = openText("A tset of speling here");
    FreeformTextView* view = editor->freeformTextView();
    SpellingPanelController& spelling = editor->spellingPanelController();
    editor->performAction("showGuessPanel:");
    ASSERT_TRUE(spelling.panel() && spelling.panel()->isVisible());
    EXPECT_EQ(spelling.wordLabel()->text(), "tset");
    EXPECT_EQ(view->textCursor().selectedText(), "tset");
    spelling.ignore();
    EXPECT_EQ(spelling.wordLabel()->text(), "speling");
    const QList<QListWidgetItem*> spelled = spelling.guessList()->findItems("spelling", Qt::MatchExactly);
    ASSERT_FALSE(spelled.isEmpty());
    spelling.guessList()->setCurrentItem(spelled.front());
    spelling.correct();
    EXPECT_EQ(view->plainText(), "A tset of spelling here");
    EXPECT_EQ(spelling.wordLabel()->text(), "No misspelled words.");
    EXPECT_EQ(m_presenter.beepCount(), 1);
    EXPECT_TRUE(m_document->isDocumentEdited());
}

TEST_F(FreeformTextOptionsTest, TypingIntoALongText_UnderlinesWhatAFullCheckFinds)
{
    QString text;
    for (int words = 0; words < 300; ++words)
        text += QStringLiteral("a tset of speling, see www.exmaple.com and ");
    EditorWindowController* editor = openText(text);
    FreeformTextView* view = editor->freeformTextView();
    const auto fullCheck = [view] {
        return SpellChecker::shared().misspelledRanges(view->document()->toRawText());
    };
    ASSERT_EQ(underlinedRanges(view).size(), 600);
    ASSERT_EQ(underlinedRanges(view), fullCheck());

    QTextCursor middle(view->document());
    middle.setPosition(int(text.size() / 2));
    view->setTextCursor(middle);
    // Words made, mended, joined to an address and split again, a new paragraph.
    const QList<std::function<void()>> edits = {
        [view] { QTest::keyClicks(view, " wrod"); },
        [view] { QTest::keyClick(view, Qt::Key_Backspace); },
        [view] { QTest::keyClicks(view, "ld"); },
        [view] { QTest::keyClicks(view, "@"); },
        [view] { QTest::keyClick(view, Qt::Key_Backspace); },
        [view] { QTest::keyClick(view, Qt::Key_Return); },
        [view] { QTest::keyClicks(view, "speling "); },
        [view] { view->textCursor().insertText(QStringLiteral("x")); },
        [view] { QTest::keyClick(view, Qt::Key_Home, Qt::ControlModifier); },
        [view] { QTest::keyClicks(view, "Tset "); },
    };
    for (qsizetype step = 0; step < edits.size(); ++step) {
        edits[step]();
        EXPECT_EQ(underlinedRanges(view), fullCheck()) << "after edit " << step;
    }
    EXPECT_EQ(underlinedWords(view).first(), QStringLiteral("Tset"));

    // Another record's text after this one.
    view->setPlainText(QStringLiteral("no misteaks"));
    EXPECT_EQ(underlinedWords(view), QStringList({"misteaks"}));
    view->setPlainText(QString());
    EXPECT_TRUE(underlinedWords(view).isEmpty());
}
