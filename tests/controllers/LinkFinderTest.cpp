#include "LinkFinder.h"

#include <QStringList>

#include <gtest/gtest.h>

TEST(LinkFinderTest, FindsLinksWithoutTrailingPunctuation)
{
    struct Case {
        QString text;
        QString found;
        bool needHttp;
        bool needMailto;
    };
    const Case cases[] = {
        {"see www.example.com.", "www.example.com", true, false},
        {"mail ann@example.org, now", "ann@example.org", false, true},
        {"call tel://5551234", "tel://5551234", false, false},
        {"mailto:ann@example.org", "mailto:ann@example.org", false, false},
        {"nothing here", "", false, false},
    };
    for (const Case& c : cases) {
        const LinkFinder::Found found = LinkFinder::urlRangeInString(c.text, {0, c.text.size()});
        EXPECT_EQ(c.text.mid(found.range.location, found.range.length), c.found)
            << c.text.toStdString();
        EXPECT_EQ(found.needHttp, c.needHttp) << c.text.toStdString();
        EXPECT_EQ(found.needMailto, c.needMailto) << c.text.toStdString();
    }
}

TEST(LinkFinderTest, LinksInString_ScansOnAndSkipsShortOrIncompleteAddresses)
{
    struct Case {
        QString text;
        QStringList urls;
    };
    const Case cases[] = {
        {"http://a.example https://b.example", {"http://a.example", "https://b.example"}},
        {"@a", {}},
        {"ann@x.c", {"mailto:ann@x.c"}},
        {"ann@xc. ann@.xc ann@x", {}},
        {"uuid://ABC-def", {"uuid://ABC-def"}},
        {"http://h/a[1]", {"http://h/a"}}, // brackets end a link in a field
    };
    for (const Case& c : cases) {
        QStringList urls;
        for (const LinkFinder::Link& link : LinkFinder::linksInString(c.text))
            urls.append(link.url);
        EXPECT_EQ(urls, c.urls) << c.text.toStdString();
    }
}
