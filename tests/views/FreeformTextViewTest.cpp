#include "FreeformTextView.h"

#include "RichText.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTest>

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

// Where the picture is drawn: the bounds of its red pixels in the text's viewport.
static QRect redPixels(FreeformTextView& view)
{
    const QImage shown = view.viewport()->grab().toImage();
    QRect found;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (shown.pixelColor(x, y) == Qt::red)
                found |= QRect(x, y, 1, 1);
    return found;
}

TEST(FreeformTextViewTest, Scale_ShowsSizedTextAndPicturesScaled_AndClicksLandOnWhatIsShown)
{
    FreeformTextView view;
    view.resize(600, 200);
    view.show();
    // Text of its own size and a picture: neither follows a bigger default font.
    QTextCursor cursor(view.document());
    QTextCharFormat sized;
    sized.setFontPointSize(14);
    cursor.insertText("The quick brown fox", sized);
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::red);
    view.document()->addResource(QTextDocument::ImageResource, QUrl("picture"), picture);
    QTextImageFormat image;
    image.setName("picture");
    cursor.insertImage(image);
    for (int line = 0; line < 40; ++line)
        cursor.insertText("\njumps over the lazy dog", sized);
    view.moveCursor(QTextCursor::Start);
    const QString text = view.plainText();
    const QByteArray rtfd = view.rtfd();
    int edits = 0;
    QObject::connect(&view, &FreeformTextView::textEdited, [&] { ++edits; });

    const auto caretAt = [&](int position) {
        QTextCursor at(view.document());
        at.setPosition(position);
        return view.cursorRect(at);
    };
    const int pictureAt = 19;
    const int secondLine = 25;
    const double lineHeight = caretAt(secondLine).height();
    const double textWidth = caretAt(pictureAt).x() - caretAt(0).x();
    ASSERT_EQ(redPixels(view).size(), QSize(40, 20));

    for (const double scale : {0.5, 2.0}) {
        view.setScale(scale);
        const QRect shown = redPixels(view);
        EXPECT_NEAR(shown.width(), 40 * scale, 1) << scale;
        EXPECT_NEAR(shown.height(), 20 * scale, 1) << scale;
        // Sized glyphs are hinted at each size: near the scale, not on it.
        EXPECT_NEAR(caretAt(secondLine).height(), lineHeight * scale, lineHeight * scale * 0.15);
        EXPECT_NEAR(caretAt(pictureAt).x() - caretAt(0).x(), textWidth * scale,
                    textWidth * scale * 0.15);
        // A click on the left of the picture drawn puts the caret before it, on its right after.
        const int middle = shown.center().y();
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {},
                          QPoint(shown.left() + shown.width() / 4, middle));
        EXPECT_EQ(view.textCursor().position(), pictureAt) << scale;
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {},
                          QPoint(shown.right() - shown.width() / 4, middle));
        EXPECT_EQ(view.textCursor().position(), pictureAt + 1) << scale;
        // The end scrolls into view.
        view.moveCursor(QTextCursor::End);
        EXPECT_TRUE(view.viewport()->rect().contains(view.cursorRect().center())) << scale;
        view.moveCursor(QTextCursor::Start);
    }
    view.setScale(1.0);
    EXPECT_EQ(redPixels(view).size(), QSize(40, 20));
    EXPECT_EQ(edits, 0);
    EXPECT_EQ(view.plainText(), text);
    EXPECT_EQ(view.rtfd(), rtfd);
    EXPECT_TRUE(view.document()->isUndoAvailable());
}
