#pragma once

// A bookmark file's bytes, whatever they are: every walker answers without crashing, no
// more bookmarks than items in the file, each category a run of folder names that ends
// as its layout ends it, and decoding references never lengthens a text.
#include "BookmarksReader.h"
#include "PropertyList.h"
#include "TextFileDecoding.h"

#include <QByteArrayView>

inline bool bookmarksHold(QByteArrayView bytes)
{
    using BookmarksReader::Bookmark;
    const PlistReadResult list = readPropertyList(bytes);
    if (list.ok() && list.value.isDictionary()) {
        const PlistDictionary& root = *list.value.asDictionary();
        for (const Bookmark& bookmark : BookmarksReader::processSafariBookmarks(root)) {
            if (bookmark.category && bookmark.category->isEmpty())
                return false;
        }
        for (const Bookmark& bookmark : BookmarksReader::processCaminoDemeterBookmarks(root)) {
            if (!bookmark.category ||
                (!bookmark.category->isEmpty() && !bookmark.category->endsWith(u' ')))
                return false;
        }
        return true;
    }
    const std::optional<QString> text = TextFileDecoding::decode(bytes);
    if (!text)
        return true;
    const auto holds = [&](const QList<Bookmark>& found, QLatin1StringView item) {
        if (found.size() > text->count(item))
            return false;
        for (const Bookmark& bookmark : found) {
            if (bookmark.category &&
                (bookmark.category->isEmpty() || !bookmark.category->endsWith(u' ')))
                return false;
        }
        return true;
    };
    return holds(BookmarksReader::importHtmlBookmarks(*text), QLatin1StringView("<DT>")) &&
           holds(BookmarksReader::importOmniWebBookmarks(*text), QLatin1StringView("<dt>")) &&
           BookmarksReader::decodeHtmlEntities(*text).size() <= text->size();
}
