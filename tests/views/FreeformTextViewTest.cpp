#include "FreeformTextView.h"

#include "RichText.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

TEST(FreeformTextViewTest, Loads_AreNoEditsAndUnreadableRichTextLeavesTheText)
{
    FreeformTextView view;
    int edits = 0;
    QObject::connect(&view, &FreeformTextView::textEdited, [&] { ++edits; });

    QFont font("Serif", 17);
    view.setTextFont(font);
    view.loadPlainText("one\ntwo");
    EXPECT_EQ(view.plainText(), "one\ntwo");
    EXPECT_EQ(view.document()->begin().charFormat().font().pointSize(), 17);
    EXPECT_FALSE(view.document()->isUndoAvailable());

    EXPECT_FALSE(view.loadRtfd("not rich text"));
    EXPECT_EQ(view.plainText(), "one\ntwo");
    EXPECT_TRUE(view.loadRtfd(view.rtfd()));
    EXPECT_EQ(view.plainText(), "one\ntwo");
    view.removeLinks();
    EXPECT_EQ(edits, 0);

    QTextCursor(view.document()).insertText("zero ");
    EXPECT_EQ(edits, 1);
    EXPECT_EQ(view.plainText(), "zero one\ntwo");
}

TEST(FreeformTextViewTest, PlainTextOnly_PastesWithoutFormatting)
{
    for (const bool plainOnly : {false, true}) {
        FreeformTextView view;
        view.setPlainTextOnly(plainOnly);
        auto* rich = new QMimeData;
        rich->setHtml("<b>bold</b>");
        rich->setText("bold");
        QApplication::clipboard()->setMimeData(rich);
        view.paste();
        EXPECT_EQ(view.plainText(), "bold");
        QTextCursor cursor(view.document());
        cursor.movePosition(QTextCursor::NextCharacter);
        EXPECT_EQ(cursor.charFormat().fontWeight() == QFont::Bold, !plainOnly) << plainOnly;
    }
}
