#include "VKInternetStringCategories.h"

#include <gtest/gtest.h>

using namespace VKInternetStringCategories;

TEST(VKInternetStringCategoriesTest, PercentEscapesRoundTripAsUtf8)
{
    const QString text = QString::fromUtf8("a b/é?x=1&y=\"%\"");
    const QString escaped = stringByAddingPercentEscapes(text);
    EXPECT_EQ(escaped, "a%20b/%C3%A9?x=1&y=%22%25%22");
    EXPECT_EQ(stringByReplacingPercentEscapes(escaped), text);
    EXPECT_EQ(stringByReplacingPercentEscapes("100%"), "100%");
}

TEST(VKInternetStringCategoriesTest, CleaningURLAddsWhatIsMissing)
{
    struct Case {
        const char* url;
        QString scheme;
        const char* expected;
    };
    for (const Case& c : {
             Case{"example", QString(), "http://www.example.com/"},
             Case{"example.org/a/b", QString(), "http://example.org/a/b"},
             Case{"ftp://files/x", QString(), "ftp://www.files.com/x"},
             Case{"host", "https://", "https://www.host.com/"},
             Case{"file:///tmp/a", QString(), "file:///tmp/a"},
             Case{"server/share", "file://", "file://server/share"},
             Case{"", QString(), ""},
         }) {
        EXPECT_EQ(stringByCleaningURLWithDefaultScheme(c.url, c.scheme), c.expected) << c.url;
    }
    EXPECT_EQ(stringByCleaningURL("norva"), "http://www.norva.com/");
}
