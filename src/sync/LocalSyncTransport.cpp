#include "LocalSyncTransport.h"

#include "CurrentRecordEngine.h"
#include "DatafileDocument.h"
#include "FeatureContext.h"
#include "Localization.h"
#include "Presenter.h"
#include "SafeFileWriter.h"
#include "StringFormat.h"
#include "SyncController.h"
#include "UserDefaults.h"
#include "VKStringCategories.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>

namespace {

QString ownExtension(const FeatureContext& context)
{
    return context.isMobile() ? QStringLiteral("nvm") : QStringLiteral("nv3");
}

} // namespace

QString SyncTransport::openErrorLogLine(const QUrl& file, const QString& error) const
{
    return stringWithFormat(QStringLiteral("Unable to open %@: Error %@"), file.toString(), error);
}

QString LocalSyncTransport::openErrorLogLine(const QUrl& file, const QString& error) const
{
    return stringWithFormat(QStringLiteral("Unable to open %@: Error: %@"), file.toLocalFile(), error);
}

QString LocalSyncTransport::rememberedKey(const QString& datafilePath)
{
    return datafilePath + QStringLiteral("-sync");
}

std::optional<QString> LocalSyncTransport::rememberedPath(const QString& datafilePath)
{
    const std::optional<QString> stored =
        UserDefaults::standardUserDefaults().stringForKey(rememberedKey(datafilePath));
    if (!stored || stored->isEmpty())
        return std::nullopt;
    // An absolute URL string as written here; a plain path as an older copy may hold it.
    QString path = stored->startsWith(QLatin1String("file:")) ? QUrl(*stored).toLocalFile() : *stored;
    if (path.startsWith(QLatin1Char('~')))
        path = QDir::homePath() + path.mid(1);
    if (path.isEmpty())
        return std::nullopt;
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? path : resolved;
}

void LocalSyncTransport::remember(const QString& datafilePath, const QUrl& syncFile)
{
    if (datafilePath.isEmpty())
        return;
    UserDefaults::standardUserDefaults().setObject(syncFile.toString(), rememberedKey(datafilePath));
}

void LocalSyncTransport::didMatch(SyncController& sync, const QUrl& file)
{
    remember(sync.context().document()->fileURL().toLocalFile(), file);
}

QString LocalSyncTransport::copyPathOfSave(const QUrl& file) const
{
    return file.toLocalFile();
}

void LocalSyncTransport::writeBack(SyncController& sync, const QUrl& file, WrittenBack done)
{
    DatafileDocument& document = *sync.context().document();
    // Written with the save, from the same bytes.
    const std::optional<DatafileDocument::SavedCopy> copy = document.takeSavedCopy();
    if (copy && copy->path == file.toLocalFile()) {
        done(copy->failure);
        return;
    }
    done(writeSavedCopy(document, file.toLocalFile()));
}

std::optional<QString> LocalSyncTransport::writeSavedCopy(DatafileDocument& document,
                                                          const QString& path)
{
    QFile source(document.fileURL().toLocalFile());
    // Just saved: the copy takes the bytes written, without serialising them again.
    if (!document.isDocumentEdited() && !document.fileChangedOnDisk() &&
        source.open(QIODevice::ReadOnly)) {
        const SafeFileWriter::Result result = SafeFileWriter::write(path, [&source](QIODevice& device) {
            QByteArray chunk;
            while (!(chunk = source.read(CopyChunkSize)).isEmpty()) {
                if (device.write(chunk) != chunk.size())
                    return false;
            }
            return source.error() == QFileDevice::NoError;
        });
        if (result.ok)
            return std::nullopt;
        return result.errorString.isEmpty() ? localized(QStringLiteral("The file could not be written."))
                                            : result.errorString;
    }
    return document.writeCopyToPath(path);
}

void LocalSyncTransport::createSyncFile(SyncController& sync)
{
    FeatureContext& context = sync.context();
    DatafileDocument* document = context.document();
    SavePanelRequest request;
    request.title = QStringLiteral(" ");
    request.nameFieldValue = context.host().windowTitle();
    request.allowedFileTypes = {ownExtension(context)};
    const std::optional<QUrl> chosen = Presenter::shared().runSavePanel(request, context.window());
    if (!chosen)
        return;
    const QUrl file = request.completedUrl(*chosen);

    const std::shared_ptr<DatafileSettingsData> settings = context.settings();
    const bool creatingID = settings->syncID().isEmpty();
    QStringList flagged;
    if (creatingID) {
        flagged = sync.flaggedRecords();
        settings->setSyncID(VKStringCategories::universallyUniqueIdentifier());
        sync.resetSyncFlags();
    }
    if (const std::optional<QString> failure = document->writeCopyToPath(file.toLocalFile())) {
        // No copy, no pairing: the datafile stays as it was.
        if (creatingID) {
            settings->setSyncID(QStringLiteral(""));
            sync.restoreSyncFlags(flagged);
        }
        sync.reportWriteBackFailure(*failure);
        return;
    }
    remember(document->fileURL().toLocalFile(), file);
    if (creatingID) {
        document->updateChangeCount(Document::ChangeType::Done);
        document->saveDocument();
    }
}

void LocalSyncTransport::fetchSyncFile(SyncController& sync, Fetched fetched)
{
    FeatureContext& context = sync.context();
    const QString datafilePath = context.document()->fileURL().toLocalFile();
    OpenPanelRequest request;
    request.message = localized(QStringLiteral("Select a Datafile for Synchronization"));
    request.fileTypes = {ownExtension(context)};
    request.canChooseFiles = true;
    request.canChooseDirectories = false;
    request.allowsMultipleSelection = false;
    request.resolvesAliases = true;
    if (const std::optional<QString> remembered = rememberedPath(datafilePath)) {
        const QFileInfo info(*remembered);
        request.directory = info.absolutePath();
        request.nameFieldValue = info.fileName();
    } else if (!datafilePath.isEmpty()) {
        request.directory = QFileInfo(datafilePath).absolutePath();
    }
    const QList<QUrl> urls = Presenter::shared().runOpenPanel(request, context.window());
    if (urls.size() != 1) {
        fetched(std::nullopt);
        return;
    }
    const QUrl file = urls.front();
    sync.setSyncFileURL(file);
    // syncDatafileLocally2: a moment later, once the panel is gone; not at all when the
    // window closed meanwhile.
    const QPointer<SyncController> guard(&sync);
    QTimer::singleShot(OpenDelay, &sync, [guard, fetched, file] {
        if (guard)
            fetched(file);
    });
}
