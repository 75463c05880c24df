#pragma once

#include "PlistValue.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// A browser's bookmark file as bookmarks: the folders that hold each one, its title and
// its address. Two property-list layouts (folders of "Children", leaves with a
// "URIDictionary" or a "URL") and two HTML layouts (upper-case tags, and the lower-case
// one whose headings nest a tag round the name), walked without building a tree.
namespace BookmarksReader {

struct Bookmark {
    // Nothing for a bookmark outside every folder, where the layout says so.
    std::optional<QString> category;
    QString title;
    QString url;

    bool operator==(const Bookmark&) const = default;
};

// The kinds of file, by the numbers the import items carry.
enum SourceKind : int {
    HtmlBookmarks = 0,
    OmniWebBookmarks = 4,
    SafariBookmarks = 5,
    CaminoBookmarks = 6,
    DemeterBookmarks = 7,
};

bool isPropertyListKind(int kind);

// Folder titles joined by " / ", outermost first; a leaf outside every folder has no
// category.
QList<Bookmark> processSafariBookmarks(const PlistDictionary& root);
// Each folder title followed by a blank; outside every folder the empty category.
QList<Bookmark> processCaminoDemeterBookmarks(const PlistDictionary& root);
// The bookmarks of a property list of that kind.
QList<Bookmark> propertyListBookmarks(const PlistDictionary& root, int kind);
// The headings that enclose a bookmark, outermost first, each followed by a blank.
QList<Bookmark> importHtmlBookmarks(QStringView text);
QList<Bookmark> importOmniWebBookmarks(QStringView text);
// The bookmarks of an HTML file of that kind.
QList<Bookmark> htmlBookmarks(QStringView text, int kind);

// A file that does not say its kind: a property list whose nodes hold a "URIDictionary"
// is of one browser, any other of the next; HTML of lower-case lists is of the browser
// that writes them, any other HTML of the upper-case layout.
int propertyListKind(const PlistDictionary& root);
int htmlKind(QStringView text);

// "&amp;", "&quot;", "&#39;", "&#x27;" and the other references an HTML export writes,
// as the characters they stand for; an unknown or unfinished one stays as it is.
QString decodeHtmlEntities(QStringView text);

} // namespace BookmarksReader
