// Bookmark files of the four layouts as {category, title, address}.
#include "BookmarksReader.h"

#include "PropertyList.h"

#include <gtest/gtest.h>

using BookmarksReader::Bookmark;

// Failures name the bookmarks, not their bytes.
namespace BookmarksReader {
void PrintTo(const Bookmark& bookmark, std::ostream* stream);
void PrintTo(const Bookmark& bookmark, std::ostream* stream)
{
    *stream << "{" << (bookmark.category ? '"' + bookmark.category->toStdString() + '"' : "none")
            << ", \"" << bookmark.title.toStdString() << "\", \"" << bookmark.url.toStdString()
            << "\"}";
}
} // namespace BookmarksReader

namespace {

PlistDictionary safariLeaf(const QString& title, const QString& url)
{
    return PlistDictionary{{"URIDictionary", PlistDictionary{{"title", title}}},
                           {"URLString", url},
                           {"WebBookmarkType", "WebBookmarkTypeLeaf"}};
}

PlistDictionary folder(const QString& title, PlistArray children)
{
    return PlistDictionary{{"Title", title}, {"Children", children}};
}

// Through the file as the browser stores it, and back.
PlistDictionary throughFile(const PlistDictionary& root, PlistFormat format)
{
    const PlistReadResult read = readPropertyList(propertyListBytes(root, format));
    EXPECT_TRUE(read.ok());
    return read.ok() ? *read.value.asDictionary() : PlistDictionary();
}

} // namespace

TEST(BookmarksReaderTest, Safari_FoldersJoinedBySlashes_TitlesKeptWhole)
{
    const PlistDictionary root{
        {"Children",
         PlistArray{
             folder("Outer", PlistArray{folder("A/B C", PlistArray{safariLeaf("Deep", "d:")}),
                                        safariLeaf("Mid", "m:")}),
             // A folder without a title, and a titled one holding nothing, close no level
             // but their own.
             folder("Empty", PlistArray{}),
             PlistDictionary{{"Children", PlistArray{safariLeaf("Untitled", "u:")}}},
             PlistDictionary{{"Title", "History"}, {"WebBookmarkType", "WebBookmarkTypeProxy"}},
             safariLeaf("Top", "t:"),
             PlistDictionary{{"URIDictionary", PlistDictionary{}}},
             "not a node",
         }}};
    const QList<Bookmark> expected = {
        {"Outer / A/B C", "Deep", "d:"},
        {"Outer", "Mid", "m:"},
        {std::nullopt, "Untitled", "u:"},
        {std::nullopt, "Top", "t:"},
        {std::nullopt, "", ""},
    };
    EXPECT_EQ(BookmarksReader::processSafariBookmarks(throughFile(root, PlistFormat::Binary)),
              expected);
    EXPECT_EQ(BookmarksReader::propertyListKind(root), BookmarksReader::SafariBookmarks);
}

TEST(BookmarksReaderTest, Safari_UntitledFolderInsideATitledOne_KeepsItsParentsCategory)
{
    const PlistDictionary root{
        {"Children",
         PlistArray{folder("Outer", PlistArray{PlistDictionary{{"Children", PlistArray{}}},
                                               safariLeaf("After", "a:")})}}};
    EXPECT_EQ(BookmarksReader::processSafariBookmarks(root),
              QList<Bookmark>({{"Outer", "After", "a:"}}));
}

TEST(BookmarksReaderTest, CaminoDemeter_EachFolderFollowedByABlank_TopLevelEmpty)
{
    const PlistDictionary root{
        {"Children",
         PlistArray{folder("F", PlistArray{PlistDictionary{{"Title", "In"}, {"URL", "i:"}},
                                           folder("G", PlistArray{PlistDictionary{{"URL", "g:"}}})}),
                    PlistDictionary{{"Title", "Top"}, {"URL", "t:"}},
                    PlistDictionary{{"Separator", true}}}}};
    const QList<Bookmark> expected = {{"F ", "In", "i:"}, {"F G ", "", "g:"}, {"", "Top", "t:"}};
    EXPECT_EQ(BookmarksReader::processCaminoDemeterBookmarks(throughFile(root, PlistFormat::Xml)),
              expected);
    EXPECT_EQ(BookmarksReader::propertyListKind(root), BookmarksReader::CaminoBookmarks);
    // Another property list, a datafile say, holds none.
    EXPECT_TRUE(BookmarksReader::processCaminoDemeterBookmarks(
                    PlistDictionary{{"Settings", PlistDictionary{}}, {"Records", PlistDictionary{}}})
                    .isEmpty());
}

TEST(BookmarksReaderTest, PropertyLists_NestedBeyondAnyStack_WalkedToTheLeaf)
{
    PlistDictionary node = safariLeaf("Leaf", "l:");
    for (int level = 0; level < 3000; ++level)
        node = folder("f", PlistArray{node});
    const QList<Bookmark> found = BookmarksReader::processSafariBookmarks(node);
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found.front().category->count(QStringLiteral(" / ")), 3000 - 2);
}

TEST(BookmarksReaderTest, Html_HeadingsEncloseTheirLists)
{
    const QString file = QStringLiteral(
        "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n"
        "<DL><p>\n"
        "    <DT><A HREF=\"top:\" ADD_DATE=\"1\">Top</A>\n"
        "    <DT><H3 ADD_DATE=\"2\">A</H3>\n"
        "    <DL><p>\n"
        "        <DT><A HREF=\"a:\">In A</A>\n"
        "        <DT><H3>B</H3>\n"
        "        <DL><p>\n"
        "            <DT><A HREF=\"b:\">In B</A>\n"
        "            <DD>a description\n"
        "        </DL><p>\n"
        "        <DT><A HREF=\"a2:\">After B</A>\n"
        "        <DT><H3></H3>\n"
        "        <DL><p>\n"
        "            <DT><A HREF=\"e:\">In nameless</A>\n"
        "        </DL><p>\n"
        "        <DT><A ADD_DATE=\"1234\" HREF=\"x:\">Dated</A>\n"
        "        <DT><A HREF=\"q:?a=1&amp;b=2\">Tom &amp; &quot;Jerry&quot; &#39;s &lt;3&gt; &#x41;</A>\n"
        "    </DL><p>\n"
        "    <DT><A HREF=\"end:\">End</A>\n"
        "</DL><p>\n");
    const QList<Bookmark> expected = {
        {std::nullopt, "Top", "top:"},
        {"A ", "In A", "a:"},
        {"A B ", "In B", "b:"},
        {"A ", "After B", "a2:"},
        {"A ", "In nameless", "e:"},
        // The first quoted attribute is taken as the address, whatever it is.
        {"A ", "Dated", "1234"},
        {"A ", "Tom & \"Jerry\" 's <3> A", "q:?a=1&b=2"},
        {std::nullopt, "End", "end:"},
    };
    EXPECT_EQ(BookmarksReader::importHtmlBookmarks(file), expected);
    EXPECT_EQ(BookmarksReader::htmlKind(file), BookmarksReader::HtmlBookmarks);
    // Upper-case tags are not the lower-case layout's.
    EXPECT_TRUE(BookmarksReader::importOmniWebBookmarks(file).isEmpty());
}

TEST(BookmarksReaderTest, Html_CompactAndDeeplyNestedLists)
{
    // Twenty folders deep, written without a break between the tags.
    QString file = QStringLiteral("<DL>");
    QString category;
    for (int level = 1; level <= 20; ++level) {
        file += QStringLiteral("<DT><H3>F%1</H3><DL>").arg(level);
        category += QStringLiteral("F%1 ").arg(level);
    }
    file += QStringLiteral("<DT><A HREF=\"deep:\">Deep</A>");
    for (int level = 1; level <= 20; ++level)
        file += QStringLiteral("</DL>");
    file += QStringLiteral("<DT><A HREF=\"out:\">Out</A></DL>\n");
    EXPECT_EQ(BookmarksReader::importHtmlBookmarks(file),
              QList<Bookmark>({{category, "Deep", "deep:"}, {std::nullopt, "Out", "out:"}}));
}

TEST(BookmarksReaderTest, OmniWeb_LowerCaseTags_HeadingNameInsideItsNestedTag)
{
    const QString file = QStringLiteral(
        "<html><body><dl>\n"
        "<dt><h3><a name=\"f1\">News &amp; Views</a></h3>\n"
        "<dl>\n"
        "<dt><a href=\"n:\">Daily</a>\n"
        "</dl>\n"
        "<dt><a href=\"t:\">Top</a>\n"
        "</dl></body></html>\n");
    EXPECT_EQ(BookmarksReader::htmlKind(file), BookmarksReader::OmniWebBookmarks);
    EXPECT_EQ(BookmarksReader::importOmniWebBookmarks(file),
              QList<Bookmark>({{"News & Views ", "Daily", "n:"}, {std::nullopt, "Top", "t:"}}));
    EXPECT_TRUE(BookmarksReader::importHtmlBookmarks(file).isEmpty());
}

TEST(BookmarksReaderTest, Html_TextsThatAreNoBookmarkFile_GiveNothing)
{
    for (const char* text :
         {"", "<", "<DT>", "<DT><A HREF=\"unfinished", "<DT><A HREF=\"u\">no end", "plain words",
          "<DT><H3>never closed", "</DL></DL><DL>", "<DT><X><DT><A HREF=\"u\">t</A>"}) {
        const QList<Bookmark> found = BookmarksReader::importHtmlBookmarks(QString::fromUtf8(text));
        if (QByteArray(text) == "<DT><X><DT><A HREF=\"u\">t</A>")
            EXPECT_EQ(found, QList<Bookmark>({{std::nullopt, "t", "u"}}));
        else
            EXPECT_TRUE(found.isEmpty()) << text;
    }
}

TEST(BookmarksReaderTest, Entities_KnownReferencesDecoded_OthersKept)
{
    const std::pair<const char*, const char*> cases[] = {
        {"a&amp;b", "a&b"},
        {"&quot;&apos;&#39;&#x27;&lt;&gt;", "\"'''<>"},
        {"&#8364; &#x1F600;", "\u20ac \U0001F600"},
        {"&nbsp;", "\u00a0"},
        {"&unknown; &amp", "&unknown; &amp"},
        {"&#; &#x; &#0; &#xD800; &#99999999; &#12a;", "&#; &#x; &#0; &#xD800; &#99999999; &#12a;"},
        {"& &amp;&", "& &&"},
        {"no references", "no references"},
    };
    for (const auto& [text, decoded] : cases)
        EXPECT_EQ(BookmarksReader::decodeHtmlEntities(QString::fromUtf8(text)),
                  QString::fromUtf8(decoded))
            << text;
}
