#include "DatafileDocument.h"

#include "BackgroundRelease.h"
#include "DatafileFormat.h"
#include "FileURL.h"
#include "Localization.h"
#include "NotificationCenter.h"
#include "Presenter.h"
#include "SafeFileWriter.h"
#include "StringFormat.h"
#include "SystemLog.h"
#include "UserDefaults.h"
#include "VKStringCategories.h"
#include "WindowController.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTimer>

#include <utility>

namespace {

DatafileDocument::EditorFactory& editorFactory()
{
    static DatafileDocument::EditorFactory factory;
    return factory;
}

std::function<void()>& didWriteHook()
{
    static std::function<void()> hook;
    return hook;
}

bool isDatafileType(const QString& type)
{
    return type == DatafileDocument::ProDatafileType ||
           type == DatafileDocument::MobileDatafileType;
}

} // namespace

void DatafileDocument::setEditorFactory(EditorFactory factory)
{
    editorFactory() = std::move(factory);
}

void DatafileDocument::setDidWriteHook(std::function<void()> hook)
{
    didWriteHook() = std::move(hook);
}

DatafileDocument::DatafileDocument()
    : m_settings(DatafileSettingsData::settings()),
      m_records(std::make_shared<DatafileRecordsData>(PlistDictionary())),
      m_defaultDraftName(localized(QStringLiteral("New Datafile")))
{
    adoptCatalog(
        SortedData::catalogWithSortedArray<SubsetSortedData>(std::nullopt, m_records, nullptr));
}

DatafileDocument::~DatafileDocument()
{
    releaseLockFile();
    // The records of a large datafile take a while to free: not on the main thread.
    BackgroundRelease::release(std::move(m_catalog));
    BackgroundRelease::release(std::move(m_records));
}

void DatafileDocument::adoptCatalog(std::shared_ptr<SubsetSortedData> catalog)
{
    m_catalog = std::move(catalog);
    // The catalog reads the field definitions of its own datafile, whichever window is in front.
    m_catalog->setFieldDefinitionsSource([this] { return m_settings->fields(); });
    m_catalog->setLocale(QLocale::system());
}

void DatafileDocument::setDatafileSettings(std::shared_ptr<DatafileSettingsData> settings)
{
    m_settings = std::move(settings);
}

void DatafileDocument::setDatafileCatalog(std::shared_ptr<SubsetSortedData> catalog)
{
    adoptCatalog(std::move(catalog));
}

DatafileEditor* DatafileDocument::editor() const
{
    if (windowControllers().empty())
        return nullptr;
    return dynamic_cast<DatafileEditor*>(windowControllers().front().get());
}

// Without an editor (a document opened for a service, not for display) nothing stops a save.
bool DatafileDocument::canSaveChanges() const
{
    return editor() ? editor()->canSaveChanges() : true;
}

bool DatafileDocument::nowSyncing() const
{
    return editor() && editor()->nowSyncing();
}

bool DatafileDocument::hasSyncID() const
{
    return editor() ? editor()->hasSyncID() : !m_settings->syncID().isEmpty();
}

bool DatafileDocument::refuse(const QString& reason)
{
    setFailureReason(reason);
    return false;
}

bool DatafileDocument::readFromURL(const QUrl& url, const QString& type)
{
    m_filePath = url.toLocalFile();
    m_correctedCatalog = false;
    if (!isDatafileType(type))
        return true;
    m_isMobile = type == MobileDatafileType;

    // Opening a pipe would wait for its writer, and a device has no end.
    if (const QFileInfo info(m_filePath); info.exists() && !info.isFile())
        return refuse(localized(QStringLiteral("The file could not be read: it is not a regular file.")));
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(stringWithFormat(localized(QStringLiteral("The file could not be read: %@.")),
                                       file.errorString()));
    DatafileFormat::Result<DatafileFormat::Contents> read = DatafileFormat::read(file);
    file.close();
    if (!read.ok())
        return refuse(read.error.message);
    adoptContents(std::move(*read.value));
    return true;
}

bool DatafileDocument::readFromContents(const QUrl& url, const QString& type,
                                        DatafileFormat::Contents contents)
{
    m_filePath = url.toLocalFile();
    m_correctedCatalog = false;
    if (!isDatafileType(type))
        return true;
    m_isMobile = type == MobileDatafileType;
    adoptContents(std::move(contents));
    return true;
}

void DatafileDocument::adoptContents(DatafileFormat::Contents contents)
{
    m_settings = std::move(contents.settings);
    m_records = std::move(contents.records);
    adoptCatalog(SortedData::catalogWithSortedArray<SubsetSortedData>(contents.catalog, m_records,
                                                                      m_settings->criteria()));
    // A copy: the catalog made from it may change its entries.
    m_unmatchedCatalog = contents.catalogMatchesRecords
                             ? std::nullopt
                             : std::optional<PlistArray>(contents.catalog.shallowCopy());
    m_settings->setDatafileSettingsDidChange(false);
}

void DatafileDocument::offerCatalogCorrection()
{
    if (!m_unmatchedCatalog)
        return;
    const PlistArray asRead = *std::exchange(m_unmatchedCatalog, std::nullopt);
    const PlistArray chosen = rebuildCatalogFromRecords(m_records->dictionary(), asRead,
                                                        QFileInfo(m_filePath).fileName());
    if (m_correctedCatalog)
        adoptCatalog(SortedData::catalogWithSortedArray<SubsetSortedData>(chosen, m_records,
                                                                          m_settings->criteria()));
}

PlistArray DatafileDocument::rebuildCatalogFromRecords(const PlistDictionary& records,
                                                       const PlistArray& catalog,
                                                       const QString& fileName)
{
    AlertRequest alert;
    alert.messageText = stringWithFormat(
        localized(QStringLiteral("%@ shows %U records, but actually contains %U.")), fileName,
        qulonglong(catalog.size()), qulonglong(records.size()));
    alert.informativeText =
        localized(QStringLiteral("Norva can correct this, but the record order will be changed in "
                                 "the process.\n\nDo you want to "
                                 "correct the problem?"));
    alert.buttons = {localized(QStringLiteral("Correct the Problem")),
                     localized(QStringLiteral("Don't Correct"))};
    if (Presenter::shared().runModalAlert(alert).returnCode != AlertFirstButtonReturn)
        return catalog;
    m_correctedCatalog = true;
    return DatafileFormat::catalogForRecords(records);
}

bool DatafileDocument::writeToURL(const QUrl& url, const QString& type)
{
    // Read-only keeps this file as it is; Save As writes another.
    if ((openedReadOnly() || m_settings->readOnly()) && !m_updatingSettingsOnly &&
        saveOperation() == SaveOperation::Save)
        return refuse(localized(QStringLiteral("The datafile is read-only.")));
    if (!isDatafileType(type))
        return refuse(localized(QStringLiteral("Norva cannot save files of this kind.")));
    if (isDocumentEdited() && editor())
        editor()->commitEdits();

    PlistDictionary settings = m_settings->dictionary();
    if (saveOperation() == SaveOperation::SaveAs && hasSyncID()) {
        // The copy is a datafile of its own, not the one that syncs.
        settings = settings.shallowCopy();
        settings.insert(QStringLiteral("SyncID"), QStringLiteral(""));
    }
    const QString copyPath = std::exchange(m_copyOfNextSave, QString());
    m_savedCopy.reset();
    if (!copyPath.isEmpty() && saveOperation() == SaveOperation::Save && !m_updatingSettingsOnly &&
        url == fileURL()) {
        const SafeFileWriter::PairResult result = SafeFileWriter::writeWithCopy(
            url.toLocalFile(), copyPath, datafileWithSettings(std::move(settings)));
        if (!result.file.ok)
            return refuse(result.file.errorString);
        m_savedCopy = SavedCopy{copyPath, result.copy.ok ? std::nullopt
                                                         : std::optional(result.copy.errorString)};
        noteFileState();
        didWrite();
    } else if (!writeDatafile(url.toLocalFile(), datafileWithSettings(std::move(settings)))) {
        return false;
    }
    m_settings->setDatafileSettingsDidChange(false);
    return true;
}

void DatafileDocument::setCopyOfNextSave(const QString& path)
{
    m_copyOfNextSave = path;
}

std::optional<DatafileDocument::SavedCopy> DatafileDocument::takeSavedCopy()
{
    return std::exchange(m_savedCopy, std::nullopt);
}

bool DatafileDocument::writeDatafile(const QString& path, const SafeFileWriter::Serializer& serialize)
{
    if (const std::optional<QString> reason = writeSafely(path, serialize))
        return refuse(*reason);
    if (QFileInfo(path) == QFileInfo(fileURL().toLocalFile()))
        noteFileState();
    return true;
}

SafeFileWriter::Serializer DatafileDocument::datafileWithSettings(PlistDictionary settings) const
{
    return [this, settings = std::move(settings)](QIODevice& device) {
        return DatafileFormat::write(settings, *m_records, m_catalog->sortedArray(), device);
    };
}

std::optional<QString> DatafileDocument::writeDatafileToPath(const QString& path,
                                                             const DatafileFormat::Parts& datafile)
{
    return writeSafely(
        path, [&](QIODevice& device) { return DatafileFormat::write(datafile, device); });
}

std::optional<QString> DatafileDocument::writeDatafileToPath(const QString& path,
                                                             const PlistDictionary& settings,
                                                             const DatafileRecordsData& records,
                                                             const PlistArray& catalog)
{
    return writeSafely(path, [&](QIODevice& device) {
        return DatafileFormat::write(settings, records, catalog, device);
    });
}

std::optional<QString> DatafileDocument::writeSafely(const QString& path,
                                                     const SafeFileWriter::Serializer& serialize)
{
    const SafeFileWriter::Result result = SafeFileWriter::write(path, serialize);
    if (!result.ok)
        return result.errorString;
    didWrite();
    return std::nullopt;
}

void DatafileDocument::didWrite()
{
    if (didWriteHook())
        QTimer::singleShot(100, [] {
            if (didWriteHook())
                didWriteHook()();
        });
}

std::optional<QString> DatafileDocument::writeCopyToPath(const QString& path)
{
    if (isDocumentEdited() && editor())
        editor()->commitEdits();
    return writeSafely(path, datafileWithSettings(m_settings->dictionary()));
}

void DatafileDocument::setReadOnlyReason(ReadOnlyReason reason)
{
    if (m_readOnlyReason == reason)
        return;
    m_readOnlyReason = reason;
    for (const auto& controller : windowControllers())
        controller->synchronizeWindowTitleWithDocumentName();
    Q_EMIT readOnlyReasonChanged();
}

void DatafileDocument::setGlobalLockFileName()
{
    m_lockName = fileURL().toLocalFile() + QStringLiteral(".lock");
}

void DatafileDocument::openWithLockFile()
{
    setGlobalLockFileName();
    if (m_settings->readOnly()) {
        setReadOnlyReason(ReadOnlyReason::ReadOnlySetting);
        return;
    }
    const QString path = fileURL().toLocalFile();
    // A save replaces the file through its folder: both must be writable.
    if (!path.isEmpty() && QFileInfo::exists(path) &&
        (!QFileInfo(path).isWritable() ||
         !QFileInfo(QFileInfo(path).absolutePath()).isWritable())) {
        setReadOnlyReason(ReadOnlyReason::FileNotWritable);
        return;
    }
    if (!m_settings->networkShared() || path.isEmpty()) {
        setReadOnlyReason(ReadOnlyReason::None);
        return;
    }
    // Made only if no one else made it: two machines opening at once cannot both claim it.
    QFile lock(m_lockName);
    if (lock.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        lock.write(QCoreApplication::applicationFilePath().toUtf8());
        lock.close();
        m_heldLockFile = m_lockName;
        setReadOnlyReason(ReadOnlyReason::None);
        return;
    }
    if (QFileInfo::exists(m_lockName)) {
        setReadOnlyReason(ReadOnlyReason::LockedElsewhere);
        return;
    }
    SystemLog::log(QStringLiteral("The lock file %1 could not be made: %2")
                       .arg(m_lockName, lock.errorString()));
    setReadOnlyReason(ReadOnlyReason::None);
}

// The lock this document made, whatever the datafile is called by now.
void DatafileDocument::releaseLockFile()
{
    if (m_heldLockFile.isEmpty())
        return;
    QFile::remove(m_heldLockFile);
    m_heldLockFile.clear();
}

void DatafileDocument::close()
{
    // The windows write the settings as they close, while the lock is still held.
    Document::close();
    releaseLockFile();
}

void DatafileDocument::didSave(SaveOperation operation, bool succeeded)
{
    if (operation != SaveOperation::SaveAs || !succeeded)
        return;
    // The document is now the copy written by Save As, which does not sync.
    if (!m_settings->syncID().isEmpty())
        m_settings->setSyncID(QStringLiteral(""));
    // The copy is the user's own file; what its settings ask for still holds.
    if (m_readOnlyReason != ReadOnlyReason::ReadOnlySetting &&
        m_readOnlyReason != ReadOnlyReason::NoPassword)
        setReadOnlyReason(ReadOnlyReason::None);
}

void DatafileDocument::makeWindowControllers()
{
    m_isMobile = fileType() == MobileDatafileType;
    offerCatalogCorrection();
    openWithLockFile();
    if (editorFactory()) {
        addWindowController(editorFactory()(*this));
        if (DatafileEditor* made = editor()) {
            made->setIsClone(false);
            made->prepare();
        }
    }
    if (m_correctedCatalog)
        Document::saveDocument();
    m_settings->setDatafileSettingsDidChange(false);
}

DatafileEditor* DatafileDocument::addCloneEditor()
{
    if (!editorFactory())
        return nullptr;
    std::unique_ptr<WindowController> made = editorFactory()(*this);
    auto* clone = dynamic_cast<DatafileEditor*>(made.get());
    if (!clone)
        return nullptr;
    clone->setIsClone(true);
    addWindowController(std::move(made));
    clone->prepare();
    return clone;
}

bool DatafileDocument::prepareSavePanel(SavePanelRequest& request)
{
    request.directory = FileURL::folderPath(UserDefaults::standardUserDefaults()
                                                .stringForKey(QStringLiteral("DatafilesFolderURL"))
                                                .value_or(QString()));
    // The draft name is for a datafile that has none yet.
    if (fileURL().isEmpty())
        request.nameFieldValue = m_defaultDraftName;
    return true;
}

void DatafileDocument::saveDocument()
{
    if (openedReadOnly()) {
        saveDocumentAs();
        return;
    }
    // A revert in progress discards the edits: nothing may save them on the way.
    if (m_reverting || !isDocumentEdited() || !canSaveChanges() || nowSyncing())
        return;
    if (DatafileEditor* active = editor())
        active->commitEdits();
    Document::saveDocument();
}

void DatafileDocument::saveDocumentAs()
{
    if (m_reverting)
        return;
    Document::saveDocumentAs();
}

void DatafileDocument::forceSave()
{
    if (canSaveChanges() && !m_reverting)
        Document::saveDocument();
}

bool DatafileDocument::revertToContentsOfURL(const QUrl& url, const QString& type)
{
    m_reverting = true;
    if (DatafileEditor* active = editor())
        active->commitEdits();
    const bool reverted = Document::revertToContentsOfURL(url, type);
    m_reverting = false;
    if (!reverted)
        return false;
    offerCatalogCorrection();
    NotificationCenter::defaultCenter().postNotification(RevertedDatafileWindow, this);
    return true;
}

void DatafileDocument::canCloseDocument(std::function<void(bool shouldClose)> decided)
{
    // Nothing here can be saved: it closes at once, unless that would drop an edit
    // without a question (Save then offers Save As).
    const bool cannotSave = openedReadOnly() || m_settings->readOnly() || !canSaveChanges();
    if (cannotSave && !isDocumentEdited()) {
        decided(true);
        return;
    }
    if (!cannotSave && editor() && editor()->openTemplateCount() > 0) {
        AlertRequest alert;
        alert.messageText = stringWithFormat(
            localized(QStringLiteral(
                "%@ cannot be closed, because it is associated with an open template.")),
            editor()->windowTitle());
        alert.informativeText =
            localized(QStringLiteral("You must first close all templates that depend on this "
                                     "datafile for address block or field data."));
        alert.buttons = {localized(QStringLiteral("OK"))};
        Presenter::shared().beginAlertSheet(alert, windowForSheet(), [](const AlertResponse&) {});
        decided(false);
        return;
    }
    Document::canCloseDocument(std::move(decided));
}

bool DatafileDocument::validateAction(const QString& selector) const
{
    if (nowSyncing())
        return false;
    if (selector == QLatin1String("revertDocumentToSaved:"))
        return isDocumentEdited();
    return true;
}

void DatafileDocument::updateSettingsOnly()
{
    // "Don't Save" leaves the file as it was, settings and all.
    if (m_openedAsSyncFile || !canSaveChanges() || !m_settings->datafileSettingsDidChange() || isDiscardingChanges())
        return;
    // Never write over a file that another machine holds, or one the user may not write.
    if (m_readOnlyReason != ReadOnlyReason::None && m_readOnlyReason != ReadOnlyReason::ReadOnlySetting)
        return;
    const QString path = fileURL().toLocalFile();
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    m_updatingSettingsOnly = true;
    if (isDocumentEdited()) {
        // The records on disk stay as they are; only the settings are new.
        QFile file(path);
        DatafileFormat::Result<DatafileFormat::Parts> onDisk;
        if (file.open(QIODevice::ReadOnly))
            onDisk = DatafileFormat::readParts(file);
        if (onDisk.ok()) {
            onDisk.value->settings = m_settings->dictionary();
            const auto serialize = [&](QIODevice& device) {
                return DatafileFormat::write(*onDisk.value, device);
            };
            if (writeDatafile(path, serialize))
                m_settings->setDatafileSettingsDidChange(false);
        } else {
            SystemLog::log(
                QStringLiteral(
                    "The settings of %1 were not saved: the file on disk could not be read.")
                    .arg(path));
        }
    } else if (writeToURL(fileURL(), ownType())) {
        m_settings->setDatafileSettingsDidChange(false);
    }
    m_updatingSettingsOnly = false;
}

void DatafileDocument::updateAllWindows()
{
    if (windowControllers().size() < 2)
        return;
    for (const auto& controller : windowControllers()) {
        if (auto* window = dynamic_cast<DatafileEditor*>(controller.get()))
            window->reloadTables();
    }
}

PlistArray DatafileDocument::arrayForFieldNames(const QStringList& names)
{
    PlistArray fields;
    for (const QString& name : names) {
        fields.append(PlistDictionary{{DatafileSettingsData::FieldIdentifierKey,
                                       VKStringCategories::universallyUniqueIdentifier()},
                                      {DatafileSettingsData::FieldNameKey, name},
                                      {DatafileSettingsData::FieldWidthKey, 150.0}});
    }
    return fields;
}

void DatafileDocument::addFieldNamesToDocument(const QStringList& names)
{
    m_settings->setFields(arrayForFieldNames(names));
    m_settings->setDatafileSettingsDidChange(true);
    NotificationCenter::defaultCenter().postNotification(DatafileFieldFormatChangedNotification,
                                                         this);
}
