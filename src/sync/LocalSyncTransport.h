#pragma once

#include "SyncTransport.h"

class DatafileDocument;

// The sync file as an ordinary datafile on this machine or a mounted volume, chosen by
// the user and remembered per datafile under its full path followed by "-sync".
class LocalSyncTransport : public SyncTransport {
public:
    static constexpr int MethodCode = 4;
    // Between the panel and the opening of the file the panel has gone.
    static constexpr int OpenDelay = 1000; // ms
    static constexpr qint64 CopyChunkSize = 4 << 20;

    int methodCode() const override { return MethodCode; }
    QString openErrorLogLine(const QUrl& file, const QString& error) const override;
    void didMatch(SyncController& sync, const QUrl& file) override;
    QString copyPathOfSave(const QUrl& file) const override;
    void writeBack(SyncController& sync, const QUrl& file, WrittenBack done) override;

    // createLocalSyncFile: the save panel, a Sync ID when there is none, the copy and
    // the remembered file.
    void createSyncFile(SyncController& sync) override;
    // syncDatafileLocally: the open panel at the remembered file, then the timer.
    void fetchSyncFile(SyncController& sync, Fetched fetched) override;

    // The user default naming the datafile's sync file, and what it names: an absolute URL
    // string, or a plain path; nothing when none is remembered.
    static QString rememberedKey(const QString& datafilePath);
    static std::optional<QString> rememberedPath(const QString& datafilePath);
    static void remember(const QString& datafilePath, const QUrl& syncFile);
    // The datafile as a copy at the path: the file just saved, else written anew. Why it
    // could not be written, if it could not.
    static std::optional<QString> writeSavedCopy(DatafileDocument& document, const QString& path);
};
