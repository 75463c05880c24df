#include "VKTextViewCategories.h"

#include "RichText.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <functional>

namespace {

QByteArray rtfdOf(const QString& text)
{
    QTextDocument document;
    document.setPlainText(text);
    return RichText::toRtfd(document);
}

TEST(VKTextViewCategoriesTest, SetRTFDValueOrRTF_TakesTheFirstReadableNonEmptyValue)
{
    const QByteArray rtfd = rtfdOf(QStringLiteral("from rtfd"));
    const QByteArray rtf = "{\\rtf1\\ansi from rtf}";
    const QTextDocumentFragment attributed =
        QTextDocumentFragment::fromPlainText(QStringLiteral("attributed"));
    const QByteArray none;
    const struct {
        const char* name;
        QByteArray rtfd;
        QByteArray rtf;
        std::optional<QTextDocumentFragment> attributed;
        std::optional<QString> string;
        QString shown;
    } cases[] = {
        {"all given", rtfd, rtf, attributed, QStringLiteral("plain"), QStringLiteral("from rtfd")},
        {"no rtfd", none, rtf, attributed, QStringLiteral("plain"), QStringLiteral("from rtf")},
        {"no data", none, none, attributed, QStringLiteral("plain"), QStringLiteral("attributed")},
        {"empty attributed", none, none, QTextDocumentFragment(), QStringLiteral("plain"),
         QStringLiteral("plain")},
        {"nothing", none, none, std::nullopt, std::nullopt, QString()},
        {"unreadable rtfd", QByteArray("not rtfd"), none, std::nullopt, QStringLiteral("plain"),
         QStringLiteral("plain")},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        QTextEdit view;
        view.setPlainText(QStringLiteral("before"));
        VKTextViewCategories::setRTFDValue(&view, testCase.rtfd, testCase.rtf, testCase.attributed,
                                           testCase.string);
        EXPECT_EQ(VKTextViewCategories::stringValue(&view), testCase.shown);
    }
}

TEST(VKTextViewCategoriesTest, SetRTFValue_Unreadable_LeavesTheTextAndSaysSo)
{
    QTextEdit view;
    view.setPlainText(QStringLiteral("kept"));
    EXPECT_FALSE(VKTextViewCategories::setRTFValue(&view, QByteArray("plain bytes")));
    EXPECT_FALSE(VKTextViewCategories::setRTFDValue(&view, QByteArray("plain bytes")));
    EXPECT_EQ(VKTextViewCategories::stringValue(&view), QStringLiteral("kept"));

    EXPECT_TRUE(VKTextViewCategories::setRTFDValue(&view, VKTextViewCategories::RTFDValue(&view)));
    EXPECT_EQ(VKTextViewCategories::stringValue(&view), QStringLiteral("kept"));
}

TEST(VKTextViewCategoriesTest, SetRTFDOrRTFValue_ReplacesAFullTextAndItsLook_EmptyIncluded)
{
    const struct {
        const char* name;
        std::function<bool(QTextEdit*)> set;
        QString shown;
    } cases[] = {
        {"empty rtfd",
         [](QTextEdit* view) { return VKTextViewCategories::setRTFDValue(view, rtfdOf(QString())); },
         QString()},
        {"empty rtf",
         [](QTextEdit* view) {
             return VKTextViewCategories::setRTFValue(view, QByteArray("{\\rtf1\\ansi\\pard\\ql\n}"));
         },
         QString()},
        {"plain rtfd",
         [](QTextEdit* view) {
             return VKTextViewCategories::setRTFDValue(view, rtfdOf(QStringLiteral("next")));
         },
         QStringLiteral("next")},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        QTextEdit view;
        QTextCursor cursor(view.document());
        QTextBlockFormat centered;
        centered.setAlignment(Qt::AlignHCenter);
        cursor.setBlockFormat(centered);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        cursor.setBlockCharFormat(bold);
        cursor.insertText(QStringLiteral("the last record's text"), bold);

        EXPECT_TRUE(testCase.set(&view));
        EXPECT_EQ(VKTextViewCategories::stringValue(&view), testCase.shown);
        // Nothing of the text before is left to show or type in.
        const QTextBlock block = view.document()->begin();
        EXPECT_NE(block.blockFormat().alignment(), Qt::AlignHCenter);
        EXPECT_NE(block.charFormat().fontWeight(), QFont::Bold);
        EXPECT_NE(QTextCursor(view.document()).charFormat().fontWeight(), QFont::Bold);
    }
}

TEST(VKTextViewCategoriesTest, SelectionAccessors_FallBackToAllOnlyWhenAskedTo)
{
    QTextEdit view;
    VKTextViewCategories::setStringValue(&view, QStringLiteral("one\ntwo"));
    VKTextViewCategories::setStringValue(&view, std::nullopt);
    EXPECT_EQ(VKTextViewCategories::stringValue(&view), QStringLiteral("one\ntwo"));
    EXPECT_EQ(VKTextViewCategories::length(&view), 7);
    EXPECT_EQ(VKTextViewCategories::allRange(&view), (TextRange{0, 7}));

    EXPECT_EQ(VKTextViewCategories::selectedStringValue(&view), QString());
    EXPECT_EQ(VKTextViewCategories::selectedOrAllStringValue(&view), QStringLiteral("one\ntwo"));
    EXPECT_TRUE(VKTextViewCategories::selectedAttributedStringValue(&view).isEmpty());
    EXPECT_EQ(VKTextViewCategories::selectedOrAllAttributedStringValue(&view).toPlainText(),
              QStringLiteral("one\ntwo"));

    QTextCursor cursor = view.textCursor();
    cursor.setPosition(2);
    cursor.setPosition(5, QTextCursor::KeepAnchor);
    view.setTextCursor(cursor);
    EXPECT_EQ(VKTextViewCategories::selectedStringValue(&view), QStringLiteral("e\nt"));
    EXPECT_EQ(VKTextViewCategories::selectedOrAllStringValue(&view), QStringLiteral("e\nt"));
}

TEST(VKTextViewCategoriesTest, Append_AddsPlainOrAttributedTextAtTheEnd)
{
    QTextEdit view;
    view.setHtml(QStringLiteral("<b>bold</b>"));
    VKTextViewCategories::appendStringValue(&view, QStringLiteral(" plain"));
    VKTextViewCategories::appendAttributedStringValue(
        &view, QTextDocumentFragment::fromHtml(QStringLiteral("<i>!</i>")));
    EXPECT_EQ(VKTextViewCategories::stringValue(&view), QStringLiteral("bold plain!"));

    QTextCursor cursor(view.document());
    cursor.setPosition(6);
    EXPECT_FALSE(cursor.charFormat().font().bold()) << "appended without attributes";

    VKTextViewCategories::setAttributedStringValue(&view, QTextDocumentFragment());
    EXPECT_EQ(VKTextViewCategories::length(&view), 0);
}

} // namespace
