#include "ImportBookmarksController.h"

#include "DatafileDocument.h"
#include "FeatureContext.h"
#include "ImportRecordSink.h"
#include "Localization.h"
#include "PlistBinaryReader.h"
#include "Presenter.h"
#include "PropertyList.h"
#include "TextFileDecoding.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>

namespace {

const QString DraftName = QStringLiteral("Bookmarks");

// Where the browsers keep their files, when this machine has that folder.
QString startFolder(int kind)
{
    const QString folder = QDir::homePath() + (kind == BookmarksReader::SafariBookmarks
                                                   ? QStringLiteral("/Library/Safari/")
                                                   : QStringLiteral("/Library/"));
    return QDir(folder).exists() ? folder : QDir::homePath();
}

} // namespace

void ImportBookmarksController::buildInterface(QDialog* window)
{
    ImportSheetBase::buildInterface(window);
    namesInFirstRecord()->hide();
}

void ImportBookmarksController::importBookmarksFile(NewDatafileMaker sender, qint64 tag)
{
    m_client = int(tag);
    m_bookmarksFileContent.clear();
    m_bookmarksDictionary = PlistDictionary();
    OpenPanelRequest request;
    request.message = localized(QStringLiteral("Select a Bookmarks File to Import"));
    if (m_client == BookmarksReader::HtmlBookmarks)
        request.fileTypes = {QStringLiteral("plist"), QStringLiteral("html")};
    else if (BookmarksReader::isPropertyListKind(m_client))
        request.fileTypes = {QStringLiteral("plist")};
    else
        request.fileTypes = {QStringLiteral("html")};
    request.directory = startFolder(m_client == BookmarksReader::HtmlBookmarks
                                        ? BookmarksReader::SafariBookmarks
                                        : m_client);
    const std::optional<QString> path = runOpenPanel(std::move(sender), request);
    if (!path)
        return;
    if (!readFile(*path)) {
        ImportRecordSink::reportNothingImported(currentWindow());
        return;
    }
    beginImportSheet(3);
}

bool ImportBookmarksController::readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    const bool ofNoKind = m_client == BookmarksReader::HtmlBookmarks;
    if (ofNoKind || BookmarksReader::isPropertyListKind(m_client)) {
        const PlistReadResult list = readPropertyList(bytes);
        if (list.ok() && list.value.isDictionary()) {
            m_bookmarksDictionary = *list.value.asDictionary();
            if (ofNoKind)
                m_client = BookmarksReader::propertyListKind(m_bookmarksDictionary);
            return !m_bookmarksDictionary.isEmpty();
        }
        // A property list of another shape, or a broken binary one, is no bookmark file
        // either.
        if (!ofNoKind || list.ok() || PlistBinaryReader::isBinary(bytes))
            return false;
    }
    m_bookmarksFileContent = TextFileDecoding::decode(bytes).value_or(QString());
    if (ofNoKind)
        m_client = BookmarksReader::htmlKind(m_bookmarksFileContent);
    return !m_bookmarksFileContent.isEmpty();
}

void ImportBookmarksController::importBookmarksFileDidEnd(int returnCode)
{
    if (returnCode != 1)
        return;
    if (BookmarksReader::isPropertyListKind(m_client))
        importPListBookmarks(m_client);
    else if (m_client == BookmarksReader::OmniWebBookmarks)
        importOmniWebBookmarks();
    else
        importHtmlBookmarks();
}

void ImportBookmarksController::importPListBookmarks(int kind)
{
    const QList<BookmarksReader::Bookmark> found =
        BookmarksReader::propertyListBookmarks(m_bookmarksDictionary, kind);
    // Nothing to add: no datafile is made for it.
    if (found.isEmpty()) {
        ImportRecordSink::reportNothingImported(currentWindow());
        return;
    }
    FeatureContext* target = bookmarksTarget();
    if (!target)
        return;
    target->progress().startIndeterminateProgressPanel(localized(QStringLiteral("Importing...")));
    const qint64 added = addBookmarks(*target, found);
    target->progress().endIndeterminateProgressPanel();
    finishNewDatafile(*target, added);
}

void ImportBookmarksController::importHtmlBookmarks()
{
    importHtml(BookmarksReader::HtmlBookmarks);
}

void ImportBookmarksController::importOmniWebBookmarks()
{
    importHtml(BookmarksReader::OmniWebBookmarks);
}

void ImportBookmarksController::importHtml(int kind)
{
    // The datafile is there before the file is read: a file of no bookmarks leaves it
    // with its blank record.
    FeatureContext* target = bookmarksTarget();
    if (!target)
        return;
    target->progress().startIndeterminateProgressPanel(localized(QStringLiteral("Importing...")));
    const qint64 added =
        addBookmarks(*target, BookmarksReader::htmlBookmarks(m_bookmarksFileContent, kind));
    target->progress().endIndeterminateProgressPanel();
    finishNewDatafile(*target, added);
}

FeatureContext* ImportBookmarksController::bookmarksTarget()
{
    FeatureContext* target = importTarget(
        QStringList{localized(QStringLiteral("Category")), localized(QStringLiteral("Title")),
                    localized(QStringLiteral("URL"))},
        DraftName);
    if (target)
        target->document()->setDefaultDraftName(DraftName);
    return target;
}

qint64 ImportBookmarksController::addBookmarks(FeatureContext& target,
                                               const QList<BookmarksReader::Bookmark>& found)
{
    QList<ImportRecordSink::Record> records;
    records.reserve(found.size());
    for (const BookmarksReader::Bookmark& bookmark : found)
        records.append(
            {{bookmark.category.value_or(QString()), bookmark.title, bookmark.url}, {}, {}});
    return ImportRecordSink::add(target, records, {mergeIntoCurrentIsOn(), false});
}

void ImportBookmarksController::finishNewDatafile(FeatureContext& target, qint64 added)
{
    if (!createNewIsOn() || added == 0)
        return;
    bringToFront(target);
    target.document()->setDefaultDraftName(DraftName);
    target.document()->saveDocument();
}
