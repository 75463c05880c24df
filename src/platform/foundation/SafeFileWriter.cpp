#include "SafeFileWriter.h"

#include <QByteArray>
#include <QFile>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

namespace {

std::optional<qint64> failAfterBytes;
std::optional<qint64> failCopyAfterBytes;

// Passes each write on whole, asking the file for the rest after a short write: a full
// disk says why only when asked again, and the reason is kept in errorString(). Once a
// write failed, every later one fails, so a serializer that goes on cannot commit a
// partial file. With a budget, writes beyond it fail as a full disk does.
class WholeWriteDevice : public QIODevice {
public:
    WholeWriteDevice(QFileDevice& target, std::optional<qint64> budget)
        : m_target(target), m_budget(budget)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

    bool failed() const { return m_failed; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 length) override
    {
        if (m_failed)
            return -1;
        qint64 done = 0;
        while (done < length) {
            qint64 piece = length - done;
            if (m_budget) {
                if (*m_budget == 0)
                    return fail(QString::fromLocal8Bit(std::strerror(ENOSPC)));
                piece = std::min(piece, *m_budget);
            }
            const qint64 written = m_target.write(data + done, piece);
            if (written <= 0) {
                return fail(m_target.error() != QFileDevice::NoError
                                ? m_target.errorString()
                                : QStringLiteral("the data could not be written"));
            }
            done += written;
            if (m_budget)
                *m_budget -= written;
        }
        startWriteBack(length);
        return length;
    }

private:
    // The disk starts on what has been written while the rest is being made, so that the
    // commit's sync waits for the last stretch only.
    void startWriteBack(qint64 length)
    {
        m_written += length;
        if (m_written - m_writeBackFrom < kWriteBackStep || m_target.handle() < 0)
            return;
        sync_file_range(m_target.handle(), m_writeBackFrom, m_written - m_writeBackFrom,
                        SYNC_FILE_RANGE_WRITE);
        m_writeBackFrom = m_written;
    }

    static constexpr qint64 kWriteBackStep = 16 << 20;

    qint64 fail(const QString& reason)
    {
        m_failed = true;
        setErrorString(reason);
        return -1;
    }

    QFileDevice& m_target;
    std::optional<qint64> m_budget;
    bool m_failed = false;
    qint64 m_written = 0;
    qint64 m_writeBackFrom = 0;
};

// A file of a shared group stays shared: the new file gets the owner and group of the
// one it replaces where the system allows it (giving a file away needs root; a member
// may set its group), and its permission bits always.
void keepOwnerAndPermissions(int fd, const struct stat& old)
{
    if (fchown(fd, old.st_uid, old.st_gid) != 0 && fchown(fd, uid_t(-1), old.st_gid) != 0) {
        // Not allowed: the saver's own group stays.
    }
    // After the change of owner, which may clear bits.
    if (fchmod(fd, old.st_mode & 0777) != 0) {
        // QSaveFile has set them as near as it can.
    }
}

// One file being written: QSaveFile writes to a temporary file in the same folder and
// renames it over the target only on commit. Unbuffered: every write reaches the file at
// once, so a failure is seen, with its reason, where it happens.
class Target {
public:
    Target(const QString& path, std::optional<qint64> budget) : m_path(path), m_file(path)
    {
        // The file replaced, through any symbolic link, as QSaveFile resolves it.
        struct stat old {};
        const bool replacing =
            stat(QFile::encodeName(path).constData(), &old) == 0 && S_ISREG(old.st_mode);
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            m_openError = m_file.errorString();
            return;
        }
        if (replacing)
            keepOwnerAndPermissions(m_file.handle(), old);
        m_device.emplace(m_file, budget);
    }

    bool isOpen() const { return m_device.has_value(); }
    QIODevice& device() { return *m_device; }
    bool failed() const { return !m_device || m_device->failed(); }

    SafeFileWriter::Result failure(const QString& reason) const
    {
        return {false, QStringLiteral("Cannot write %1: %2").arg(m_path, reason)};
    }
    // Why the bytes did not all arrive; the serializer's own refusal when nothing else.
    SafeFileWriter::Result cancel()
    {
        const QString reason = !m_device                             ? m_openError
                               : m_device->failed()                  ? m_device->errorString()
                               : m_file.error() != QFileDevice::NoError ? m_file.errorString()
                                                                     : QStringLiteral("the data could not be written");
        if (m_device)
            m_file.cancelWriting();
        return failure(reason);
    }
    SafeFileWriter::Result commit()
    {
        if (failed())
            return cancel();
        if (!m_file.commit())
            return failure(m_file.errorString());
        return {true, {}};
    }

private:
    QString m_path;
    QSaveFile m_file;
    QString m_openError;
    std::optional<WholeWriteDevice> m_device;
};

// Hands every write to the file and to its copy. The copy failing leaves the file to go
// on alone; the file failing stops the serializer.
class TeeDevice : public QIODevice {
public:
    TeeDevice(Target& file, Target& copy) : m_file(file), m_copy(copy)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 length) override
    {
        if (m_file.device().write(data, length) != length)
            return -1;
        if (!m_copy.failed())
            m_copy.device().write(data, length);
        return length;
    }

private:
    Target& m_file;
    Target& m_copy;
};

} // namespace

void SafeFileWriter::setFailAfterBytesForTesting(std::optional<qint64> bytes)
{
    failAfterBytes = bytes;
}

SafeFileWriter::Result SafeFileWriter::write(const QString& path, const QByteArray& bytes)
{
    return write(path, [&bytes](QIODevice& device) { return device.write(bytes) == bytes.size(); });
}

void SafeFileWriter::setFailCopyAfterBytesForTesting(std::optional<qint64> bytes)
{
    failCopyAfterBytes = bytes;
}

SafeFileWriter::Result SafeFileWriter::write(const QString& path, const Serializer& serialize)
{
    Target file(path, failAfterBytes);
    if (!file.isOpen())
        return file.cancel();
    if (!serialize(file.device()))
        return file.cancel();
    return file.commit();
}

SafeFileWriter::PairResult SafeFileWriter::writeWithCopy(const QString& path, const QString& copyPath,
                                                         const Serializer& serialize)
{
    Target file(path, failAfterBytes);
    if (!file.isOpen()) {
        const Result failed = file.cancel();
        return {failed, failed};
    }
    Target copy(copyPath, failCopyAfterBytes ? failCopyAfterBytes : failAfterBytes);
    TeeDevice both(file, copy);
    if (!serialize(both) || file.failed()) {
        const Result failed = file.cancel();
        copy.cancel();
        return {failed, {false, failed.errorString}};
    }
    const Result written = file.commit();
    if (!written.ok) {
        copy.cancel();
        return {written, {false, written.errorString}};
    }
    return {written, copy.commit()};
}
