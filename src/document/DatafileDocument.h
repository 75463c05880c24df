#pragma once

#include <optional>

#include "CatalogDocument.h"
#include "DatafileChanges.h"
#include "DatafileFormat.h"
#include "DatafileEditor.h"
#include "DatafileSettingsData.h"
#include "Document.h"
#include "SafeFileWriter.h"
#include "SubsetSortedData.h"

#include <functional>

class AddressBlockLayout;
class WindowController;

// One open datafile: its settings, records and catalog, read from and written to the
// datafile's property list, whole and atomically. Its first window is its editor,
// which it consults before every save, revert and close.
class DatafileDocument : public Document, public CatalogDocument {
    Q_OBJECT

public:
    // Writes a copy of the datafile as it is now (the record on screen committed) to the
    // path, safely; the document keeps its own file, name and edited state. The reason it
    // could not be written, if any.
    std::optional<QString> writeCopyToPath(const QString& path);
    // Writes a datafile that is no open document (one made from another) to the path,
    // safely; the reason it could not be written, if any.
    static std::optional<QString> writeDatafileToPath(const QString& path,
                                                      const DatafileFormat::Parts& datafile);
    // The same from records in memory, written from themselves.
    static std::optional<QString> writeDatafileToPath(const QString& path,
                                                      const PlistDictionary& settings,
                                                      const DatafileRecordsData& records,
                                                      const PlistArray& catalog);
    // For the next save to its own file only: the same bytes, serialised once, also go to
    // this path, which is replaced only once the datafile is. An empty path makes none.
    void setCopyOfNextSave(const QString& path);
    // The copy the last save made: where, and why it could not be written, if it failed.
    struct SavedCopy {
        QString path;
        std::optional<QString> failure;
    };
    std::optional<SavedCopy> takeSavedCopy();

    static inline const QString ProDatafileType = QStringLiteral("Norva Pro Datafile");
    static inline const QString MobileDatafileType = QStringLiteral("Norva Mobile Datafile");
    static inline const QString RevertedDatafileWindow = QStringLiteral("RevertedDatafileWindow");
    static inline const QString DatafileFieldFormatChangedNotification =
        QStringLiteral("DatafileFieldFormatChangedNotification");

    // Makes the editor window of a document.
    using EditorFactory = std::function<std::unique_ptr<WindowController>(DatafileDocument&)>;
    static void setEditorFactory(EditorFactory factory);
    // Called a moment after every successful write (the Datafiles menu is rebuilt).
    static void setDidWriteHook(std::function<void()> hook);

    DatafileDocument();
    ~DatafileDocument() override;

    bool readFromURL(const QUrl& url, const QString& type) override;
    // Takes what reading the file just written to the URL would give, from memory.
    bool readFromContents(const QUrl& url, const QString& type, DatafileFormat::Contents contents);
    bool writeToURL(const QUrl& url, const QString& type) override;
    void makeWindowControllers() override;
    bool prepareSavePanel(SavePanelRequest& request) override;
    void saveDocument() override;
    void saveDocumentAs() override;
    bool revertToContentsOfURL(const QUrl& url, const QString& type) override;
    void canCloseDocument(std::function<void(bool shouldClose)> decided) override;
    void close() override;
    bool validateAction(const QString& selector) const override;

    // Writes the settings alone into the file on disk, keeping the records there.
    void updateSettingsOnly();
    // Saves without the edited and synchronisation checks, when saving is allowed.
    void forceSave();
    // Reloads the tables of every window once there is more than one.
    void updateAllWindows();
    // New field definitions, one per name, each with a new identifier.
    static PlistArray arrayForFieldNames(const QStringList& names);
    void addFieldNamesToDocument(const QStringList& names);

    // The editor window's controller; nullptr before the windows are made.
    DatafileEditor* editor() const;
    // A further editor window on the datafile that only shows it, made and prepared;
    // nullptr when no editor can be made.
    DatafileEditor* addCloneEditor();

    // The one door through which the records change.
    DatafileChanges& changes() { return m_changes; }

    const std::shared_ptr<DatafileSettingsData>& datafileSettings() const { return m_settings; }
    void setDatafileSettings(std::shared_ptr<DatafileSettingsData> settings);
    const std::shared_ptr<DatafileRecordsData>& datafileRecords() const { return m_records; }
    const std::shared_ptr<SubsetSortedData>& datafileCatalog() const { return m_catalog; }
    void setDatafileCatalog(std::shared_ptr<SubsetSortedData> catalog);

    // Why the datafile is open read-only: what the user is told, and whether its settings
    // may still be written when it closes (only when nobody else holds the file).
    enum class ReadOnlyReason { None, Requested, ReadOnlySetting, FileNotWritable, LockedElsewhere, NoPassword };
    bool openedReadOnly() const { return m_readOnlyReason != ReadOnlyReason::None; }
    // Read-only on request (a new or imported datafile), or not read-only.
    void setOpenedReadOnly(bool readOnly)
    {
        setReadOnlyReason(readOnly ? ReadOnlyReason::Requested : ReadOnlyReason::None);
    }
    ReadOnlyReason readOnlyReason() const { return m_readOnlyReason; }
    void setReadOnlyReason(ReadOnlyReason reason);
    // The lock file of a datafile shared over a network: beside it, its full file name
    // followed by ".lock", holding the program's path. The datafile takes it when it opens
    // (with a window or without one) unless someone else holds it, and lets it go when it
    // closes; only whether it exists counts.
    QString globalLockFileName() const { return m_lockName; }
    void setGlobalLockFileName();
    // This document made the lock file and removes it as it closes.
    bool lockedOnOpening() const { return !m_heldLockFile.isEmpty(); }
    bool updatingSettingsOnly() const { return m_updatingSettingsOnly; }
    // Its window synchronises the datafile.
    bool nowSyncing() const;
    bool isMobile() const { return m_isMobile; }
    // Opened as the sync file of another datafile: no password is asked and no size
    // warned of, and nothing of it is saved.
    bool openedAsSyncFile() const { return m_openedAsSyncFile; }
    void setOpenedAsSyncFile(bool syncFile) { m_openedAsSyncFile = syncFile; }
    void setIsMobile(bool mobile) { m_isMobile = mobile; }
    bool correctedCatalog() const { return m_correctedCatalog; }
    // Read with a catalog that does not list exactly its records: the user is offered a
    // rebuilt one as its windows are made.
    bool catalogAwaitsCorrection() const { return m_unmatchedCatalog.has_value(); }
    QString defaultDraftName() const { return m_defaultDraftName; }
    void setDefaultDraftName(const QString& name) { m_defaultDraftName = name; }
    QString filePath() const { return m_filePath; }

    // Address blocks and field contents for templates
    // The address block of the selected record at the index, from the source the
    // settings choose; "" for an invalid index.
    QString addressBlockAtIndex(qint64 index) const;
    QString freeformAddressBlockForRecord(const RecordData& record) const override;
    // The layout of fields filled from the selected record at the index.
    QString fieldBasedAddressBlockForRecord(qint64 index) const;
    // The 1-based number of the line after the one holding the first occurrence of the
    // string; 0 when there is no such line. Lines end at "\n".
    static qint64 lineFollowingLineWithString(const QString& string, const QString& text);
    // Nullopt when no field has the name, the record has no value for it, or the value
    // is empty.
    std::optional<QString> contentOfField(const QString& name, qint64 index) const;

Q_SIGNALS:
    void readOnlyReasonChanged();

protected:
    void didSave(SaveOperation operation, bool succeeded) override;

private:
    // Once the datafile is read whole: when its catalog did not list exactly the records,
    // the user chooses between a rebuilt one and the one as read.
    void offerCatalogCorrection();
    void adoptContents(DatafileFormat::Contents contents);
    PlistArray rebuildCatalogFromRecords(const PlistDictionary& records, const PlistArray& catalog,
                                         const QString& fileName);
    // Why the datafile just opened cannot be saved in place, if it cannot; a shared one
    // nobody else holds is locked.
    void openWithLockFile();
    void releaseLockFile();
    bool refuse(const QString& reason);
    bool canSaveChanges() const;
    bool hasSyncID() const;
    QString ownType() const { return m_isMobile ? MobileDatafileType : ProDatafileType; }
    bool writeDatafile(const QString& path, const SafeFileWriter::Serializer& serialize);
    // Writes the document's records and catalog with these settings.
    SafeFileWriter::Serializer datafileWithSettings(PlistDictionary settings) const;
    static std::optional<QString> writeSafely(const QString& path,
                                              const SafeFileWriter::Serializer& serialize);
    // The hook's moment after a successful write.
    static void didWrite();
    void adoptCatalog(std::shared_ptr<SubsetSortedData> catalog);
    // The settings' address layout, decoded once for its bytes: a template lays out every
    // selected record with it.
    const AddressBlockLayout* decodedAddressBlockLayout() const;

    std::shared_ptr<DatafileSettingsData> m_settings;
    std::shared_ptr<DatafileRecordsData> m_records;
    std::shared_ptr<SubsetSortedData> m_catalog;
    DatafileChanges m_changes{*this};
    ReadOnlyReason m_readOnlyReason = ReadOnlyReason::None;
    QString m_lockName;
    QString m_heldLockFile;
    // The catalog as read, while the user has not been asked about it.
    std::optional<PlistArray> m_unmatchedCatalog;
    bool m_updatingSettingsOnly = false;
    QString m_copyOfNextSave;
    std::optional<SavedCopy> m_savedCopy;
    bool m_isMobile = false;
    bool m_openedAsSyncFile = false;
    bool m_correctedCatalog = false;
    bool m_reverting = false;
    QString m_defaultDraftName;
    QString m_filePath;
    mutable bool m_hasDecodedLayout = false;
    mutable QByteArray m_decodedLayoutBytes;
    mutable std::shared_ptr<const AddressBlockLayout> m_decodedLayout;
};
