#pragma once

#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class SyncController;

// One way of reaching a datafile's sync file (a file on this machine, the mobile app,
// Dropbox). The sync controller runs the same steps for every one; a transport holds only
// what differs: how the sync file is brought here and written back, and the few marks of
// its own on the way.
class SyncTransport {
public:
    // The sync file as a file on this machine; nothing when the user cancelled or the
    // transport told the user why it could not be had.
    using Fetched = std::function<void(const std::optional<QUrl>& file)>;
    // Nothing on success, else why the sync file could not be written; an empty reason
    // when the transport has told the user itself.
    using WrittenBack = std::function<void(const std::optional<QString>& failure)>;

    virtual ~SyncTransport() = default;

    // The sync method code (2 mobile app, 3 Dropbox, 4 local file).
    virtual int methodCode() const = 0;

    // Makes the sync file a new full copy of the datafile.
    virtual void createSyncFile(SyncController& sync) = 0;
    // Brings the sync file here, asking the user where needed; calls back once.
    virtual void fetchSyncFile(SyncController& sync, Fetched fetched) = 0;
    // Whether the sync file's window is shown as it opens.
    virtual bool opensDisplayed() const { return true; }
    // The line logged when the file cannot be opened.
    virtual QString openErrorLogLine(const QUrl& file, const QString& error) const;
    // The field structures differ: before the user is told.
    virtual void didMismatch(SyncController&, const QUrl&) {}
    // The field structures agree: the merge follows.
    virtual void didMatch(SyncController&, const QUrl&) {}
    // Whether the "-REMOTE" window is titled after its own datafile, or else after the
    // local one (a download's name means nothing to the user).
    virtual bool titlesRemoteAfterItself() const { return true; }
    // Where the local save also writes its bytes when the write-back is a plain copy of
    // them (the disk takes both in one stretch); empty when the write-back is otherwise.
    virtual QString copyPathOfSave(const QUrl&) const { return {}; }
    // Replaces the sync file by the local datafile as it was just saved.
    virtual void writeBack(SyncController& sync, const QUrl& file, WrittenBack done) = 0;
    // The sync stopped short of a write-back: the file could not be opened, or the
    // conflicts were given up.
    virtual void didEnd(SyncController&, const QUrl&) {}
    // The write-back failed and the changed records are flagged and saved again: the user
    // is told.
    virtual void writeBackFailed(SyncController& sync, const QString& failure);
    // A transport that looks for its peer on the network stops looking.
    virtual void shutDownNetServices() {}
};
