#pragma once

#include "BookmarksReader.h"
#include "ImportSheetBase.h"

// File ▸ Import ▸ Bookmarks…: a browser's bookmark file as records of three fields, the
// folders that hold a bookmark, its title and its address.
class ImportBookmarksController : public ImportSheetBase {
    Q_OBJECT

public:
    // The item's tag names the browser; the item of no browser (0) leaves it to the file.
    void importBookmarksFile(NewDatafileMaker sender, qint64 tag);
    void importBookmarksFileDidEnd(int returnCode);

    void importPListBookmarks(int kind);
    void importHtmlBookmarks();
    void importOmniWebBookmarks();

    // The kind of the file chosen last.
    int client() const { return m_client; }

protected:
    QString nibName() const override { return QStringLiteral("ImportBookmarksSheet"); }
    void buildInterface(QDialog* window) override;
    void importDidEnd() override { importBookmarksFileDidEnd(1); }

private:
    bool readFile(const QString& path);
    void importHtml(int kind);
    // The bookmarks into the target; how many.
    qint64 addBookmarks(FeatureContext& target, const QList<BookmarksReader::Bookmark>& found);
    FeatureContext* bookmarksTarget();
    void finishNewDatafile(FeatureContext& target, qint64 added);

    int m_client = BookmarksReader::HtmlBookmarks;
    QString m_bookmarksFileContent;
    PlistDictionary m_bookmarksDictionary;
};
