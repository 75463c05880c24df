// New datafiles made from this one: the whole datafile as the other kind, or the
// selected records as a desktop datafile.
#include "EditorDatafileController.h"

#include "CurrentRecordEngine.h"
#include "DatafileDocument.h"
#include "DocumentController.h"
#include "FeatureContext.h"
#include "FileURL.h"
#include "Localization.h"
#include "PlistXmlWriter.h"
#include "Presenter.h"
#include "PropertyList.h"
#include "RichText.h"
#include "StringFormat.h"
#include "SystemLog.h"
#include "UserDefaults.h"
#include "VKFilePathStringCategories.h"
#include "WindowController.h"

#include <QFileInfo>
#include <QTextDocument>

#include <algorithm>

namespace {

using VKFilePathStringCategories::titleByReplacingExtension;

const QString ProExtension = QStringLiteral("nv3");
const QString MobileExtension = QStringLiteral("nvm");
constexpr double BytesPerMegabyte = 1'048'576.0;

// A record of its own for a datafile made from this one: new identifier, dates and user,
// the source's values and this text. It changes no record of this datafile.
std::shared_ptr<RecordData> freshRecord(const RecordData& source, const QString& textString,
                                        const QByteArray& textRTFD = {})
{
    return RecordData::record(source.fields().deepCopy(), textString, textRTFD);
}

DatafileFormat::Parts datafileOf(std::shared_ptr<DatafileSettingsData> settings,
                                 const PlistDictionary& records)
{
    settings->setSyncID(QStringLiteral(""));
    return {settings->dictionary(), records, DatafileFormat::catalogForRecords(records)};
}

// A new catalog entry, shown now and before.
PlistDictionary shownEntry(const QString& identifier)
{
    PlistDictionary entry;
    entry.insert(SortedData::IdentifierKey, identifier);
    entry.insert(SubsetSortedData::CurrentlySelectedKey, true);
    entry.insert(SubsetSortedData::PreviouslySelectedKey, true);
    return entry;
}

} // namespace

std::optional<QUrl> EditorDatafileController::askForNewDatafile(const QString& title,
                                                                const QString& extension,
                                                                const QString& proposedName,
                                                                QWidget* window)
{
    SavePanelRequest request;
    request.title = title;
    request.allowedFileTypes = {extension};
    request.directory = FileURL::folderPath(UserDefaults::standardUserDefaults()
                                                .stringForKey(QStringLiteral("DatafilesFolderURL"))
                                                .value_or(QString()));
    request.nameFieldValue = proposedName;
    return Presenter::shared().runSavePanel(request, window);
}

bool EditorDatafileController::writeNewDatafile(
    const QUrl& url, const std::function<std::optional<QString>(const QString& path)>& write,
    QWidget* window)
{
    // An open datafile's file is never replaced from here: its window would go on showing,
    // and later save, what the file no longer holds.
    if (DocumentController::shared().documentForURL(url)) {
        Document::presentSaveFailure(
            url,
            localized(
                QStringLiteral("The datafile is open. Close it first, or choose another name.")),
            window);
        return false;
    }
    if (const std::optional<QString> reason = write(url.toLocalFile())) {
        Document::presentSaveFailure(url, *reason, window);
        return false;
    }
    return true;
}

bool EditorDatafileController::writeAndOpen(const QUrl& url, const DatafileFormat::Parts& datafile,
                                            QWidget* window)
{
    const QString path = url.toLocalFile();
    if (!writeNewDatafile(
            url, [&](const QString& to) { return DatafileDocument::writeDatafileToPath(to, datafile); },
            window))
        return false;
    QString failure;
    if (!DocumentController::shared().openDocumentWithContentsOfURL(url, true, failure))
        SystemLog::log(stringWithFormat(QStringLiteral("Unable to open %@: Error %@"), path, failure));
    return true;
}

// Saving as the other kind

void EditorDatafileController::saveAsOtherFormatDatafile()
{
    if (m_context.isMobile())
        saveAsNorva3Datafile();
    else
        saveAsNorvaMobileDatafile();
}

void EditorDatafileController::saveAsNorvaMobileDatafile()
{
    saveAsOtherKind(true);
}

void EditorDatafileController::saveAsNorva3Datafile()
{
    saveAsOtherKind(false);
}

QString EditorDatafileController::mobileText(const RecordData& record)
{
    QString text = record.textString();
    if (text.isEmpty() && !record.textRTFD().isEmpty()) {
        const RichTextResult rich = RichText::fromRtfd(record.textRTFD());
        if (rich.ok() && rich.document)
            text = RichText::plainText(*rich.document);
    }
    // One line feed for each line break, whichever way it was written.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

void EditorDatafileController::saveAsOtherKind(bool toMobile)
{
    CurrentRecordEngine& engine = m_context.engine();
    m_context.host().endEditing();
    engine.saveIfDifferentRecord(nullptr);
    const QString title = m_context.host().windowTitle();
    const std::optional<QUrl> url =
        toMobile ? askForNewDatafile(localized(QStringLiteral("Save as Norva Mobile Datafile...")),
                                     MobileExtension,
                                     titleByReplacingExtension(title, QStringLiteral(".nv3"),
                                                               QStringLiteral(".nvm")),
                                     m_context.window())
                 : askForNewDatafile(localized(QStringLiteral("Save as Norva Pro Datafile...")),
                                     ProExtension,
                                     titleByReplacingExtension(title, QStringLiteral(".nvm"),
                                                               QStringLiteral(".nv3")),
                                     m_context.window());
    if (!url)
        return;

    auto settings = std::static_pointer_cast<DatafileSettingsData>(m_context.settings()->copy());
    settings->setDataVersion(toMobile ? 2 : 1);
    // Every record, selected or not, in the datafile's order.
    PlistDictionary records;
    const std::shared_ptr<SubsetSortedData>& catalog = engine.catalog();
    records.reserve(catalog->count());
    for (qint64 index = 0; index < catalog->count(); ++index) {
        const std::shared_ptr<RecordData> source = engine.recordAtCatalogIndex(index);
        if (!source)
            continue;
        const std::shared_ptr<RecordData> record =
            freshRecord(*source, toMobile ? mobileText(*source) : source->textString());
        records.insert(record->identifier(), record->dictionary());
    }
    if (!writeAndOpen(*url, datafileOf(std::move(settings), records), m_context.window()))
        return;
    if (toMobile) {
        if (const std::optional<QString> size = tooLargeSizeText(QFileInfo(url->toLocalFile()).size()))
            reportFileTooLarge(*size);
    }
    // The datafile goes as the user closes it, asked first about what is not saved; this
    // controller may go with it.
    DatafileDocument* document = m_context.document();
    if (!document->windowControllers().empty())
        document->windowControllers().front()->performClose();
}

std::optional<QString> EditorDatafileController::tooLargeSizeText(qint64 bytes)
{
    if (bytes <= MobileSizeLimit)
        return std::nullopt;
    // Cut, not rounded, after the first digit behind the point.
    const QString megabytes = QString::asprintf("%f", double(float(double(bytes) / BytesPerMegabyte)));
    const qsizetype point = megabytes.indexOf(QLatin1Char('.'));
    return point < 0 ? megabytes : megabytes.left(point + 2);
}

void EditorDatafileController::reportFileTooLarge(const QString& sizeText)
{
    AlertRequest alert;
    alert.messageText =
        stringWithFormat(localized(QStringLiteral("This Norva Mobile datafile is %@ MB.")), sizeText);
    alert.informativeText = stringWithFormat(
        localized(QStringLiteral(
            "Please note that datafiles larger than %@ may be sluggish or unstable on the iPhone. "
            "If you find this to be the case, you can remove data from the datafile, or use "
            "Split Datafile... (under the File menu) to split it into two or more smaller "
            "datafiles.")),
        localized(QStringLiteral("400 MB")));
    alert.buttons = {localized(QStringLiteral("OK"))};
    Presenter::shared().beginAlertSheet(alert, m_context.host().frontWindow(),
                                        [](const AlertResponse&) {});
}

// Saving the selected records

bool EditorDatafileController::performSaveSelectedAs()
{
    return saveSelectedRecords(false);
}

bool EditorDatafileController::saveSelectedRecords(bool moving)
{
    CurrentRecordEngine& engine = m_context.engine();
    m_context.host().endEditing();
    engine.saveIfDifferentRecord(nullptr);
    // Either extension goes, so that the new desktop file is not named as a mobile one.
    QString name = titleByReplacingExtension(m_context.host().windowTitle(), QStringLiteral(".nv3"),
                                             QString());
    name = titleByReplacingExtension(name, QStringLiteral(".nvm"), QString());
    const std::optional<QUrl> url =
        askForNewDatafile(localized(QStringLiteral("Save Selected Records to New File")),
                          ProExtension, name + QStringLiteral("-Selected"), m_context.window());
    if (!url)
        return false;
    m_context.document()->saveDocument();

    const std::shared_ptr<DatafileSettingsData> settings = DatafileSettingsData::settings();
    settings->setFields(m_context.settings()->fields().deepCopy());
    settings->setSyncID(QStringLiteral(""));
    const bool keepRichText = !m_context.isMobile();
    // Records that move take over the values of the ones they leave, which go from here
    // at once; records that are copied get values of their own.
    auto records = std::make_shared<DatafileRecordsData>();
    PlistArray::Items entries;
    entries.reserve(size_t(engine.selectedRecordCount()));
    for (qint64 index = 0; index < engine.selectedRecordCount(); ++index) {
        const std::shared_ptr<RecordData> source = engine.recordAtIndex(index);
        if (!source)
            continue;
        const std::shared_ptr<RecordData> record =
            RecordData::record(moving ? source->fields() : source->fields().deepCopy(),
                               source->textString(),
                               keepRichText ? source->textRTFD() : QByteArray());
        records->setRecord(record, record->identifier());
        entries.emplace_back(shownEntry(record->identifier()));
    }
    return writeAndOpen(*url, settings->dictionary(), records, PlistArray(std::move(entries)),
                        m_context.window());
}

bool EditorDatafileController::writeAndOpen(const QUrl& url, const PlistDictionary& settings,
                                            const std::shared_ptr<DatafileRecordsData>& records,
                                            const PlistArray& catalog, QWidget* window)
{
    const QString path = url.toLocalFile();
    if (!writeNewDatafile(url,
                          [&](const QString& to) {
                              return DatafileDocument::writeDatafileToPath(to, settings, *records,
                                                                           catalog);
                          },
                          window))
        return false;
    // The new datafile opens from the records in memory, as the file holds them: the times
    // to the second, the settings read back.
    for (const std::shared_ptr<RecordData>& record : records->collection()) {
        record->setCreatedDate(PlistXmlWriter::writtenDate(record->createdDate()));
        record->setModifiedDate(PlistXmlWriter::writtenDate(record->modifiedDate()));
        record->setViewedDate(PlistXmlWriter::writtenDate(record->viewedDate()));
    }
    const auto read = [&](Document& document, const QString& type) {
        auto* datafile = dynamic_cast<DatafileDocument*>(&document);
        const PlistReadResult settingsRead =
            readPropertyList(propertyListBytes(settings, PlistFormat::Xml));
        const PlistDictionary* settingsAsRead =
            settingsRead.ok() ? settingsRead.value.asDictionary() : nullptr;
        std::shared_ptr<DatafileSettingsData> readSettings =
            settingsAsRead ? DatafileSettingsData::settingsWithDictionary(*settingsAsRead) : nullptr;
        if (!datafile || !readSettings)
            return document.readFromURL(url, type);
        return datafile->readFromContents(url, type, {std::move(readSettings), records, catalog, true});
    };
    QString failure;
    if (!DocumentController::shared().openDocumentWithContentsOfURL(url, true, failure, read))
        SystemLog::log(stringWithFormat(QStringLiteral("Unable to open %@: Error %@"), path, failure));
    return true;
}
