#include "PropertyList.h"

#include "PlistBinaryReader.h"
#include "PlistBinaryWriter.h"
#include "PlistOpenStepReader.h"
#include "PlistOpenStepWriter.h"
#include "PlistXmlReader.h"
#include "PlistXmlWriter.h"

#include "ParallelChunks.h"

#include <QFileDevice>

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace {

// Files up to this size are read in one piece on the calling thread.
constexpr qsizetype kParallelReadPiece = 16 << 20;

// Memory of its own for a file's bytes, so that the XML reader may give pages back as it
// passes them. A copy, not a mapping of the file: a mapped file that is truncated while
// it is read kills the process.
class FileBuffer {
public:
    explicit FileBuffer(size_t size) : m_size(size)
    {
        void* memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory == MAP_FAILED)
            return;
        madvise(memory, size, MADV_HUGEPAGE);
        m_data = static_cast<char*>(memory);
    }
    ~FileBuffer()
    {
        if (m_data)
            munmap(m_data, m_size);
    }
    FileBuffer(const FileBuffer&) = delete;
    FileBuffer& operator=(const FileBuffer&) = delete;

    char* data() const { return m_data; }
    QByteArrayView bytes() const { return QByteArrayView(m_data, qsizetype(m_size)); }

private:
    char* m_data = nullptr;
    size_t m_size;
};

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// Reads the whole file behind the descriptor into memory of its size, from its start.
PlistReadResult readFile(int fd, const QString& name, const PlistXmlReader::Handover* handover)
{
    struct stat before {};
    if (fstat(fd, &before) != 0)
        return PlistReadResult::failure(systemError(errno), -1);
    // A device or a pipe has no end to read to: /dev/zero would fill the memory and a
    // pipe would wait for its writer.
    if (!S_ISREG(before.st_mode))
        return PlistReadResult::failure(QStringLiteral("%1 is not a regular file").arg(name), -1);
    const auto size = size_t(before.st_size);
    const QString changed = QStringLiteral("%1 changed while it was read").arg(name);
    if (size == 0) {
        char extra = 0;
        if (pread(fd, &extra, 1, 0) > 0)
            return PlistReadResult::failure(changed, -1);
        return readPropertyList(QByteArrayView());
    }

    FileBuffer buffer(size);
    if (!buffer.data())
        return PlistReadResult::failure(systemError(ENOMEM), -1);
    // Fresh memory costs a page fault per page, and copying it on one thread is a good
    // part of opening a large datafile: large files are read in pieces side by side.
    std::atomic<int> readError = 0;
    std::atomic<bool> shrank = false;
    forEachChunk(
        qsizetype(size),
        [&](qsizetype begin, qsizetype end) {
            auto done = size_t(begin);
            while (done < size_t(end) && !readError && !shrank) {
                const ssize_t n = pread(fd, buffer.data() + done, size_t(end) - done, off_t(done));
                if (n < 0 && errno != EINTR)
                    readError = errno;
                else if (n == 0)
                    shrank = true;
                else if (n > 0)
                    done += size_t(n);
            }
        },
        kParallelReadPiece);
    if (readError)
        return PlistReadResult::failure(systemError(readError), -1);
    if (shrank)
        return PlistReadResult::failure(changed, -1);
    char extra = 0;
    struct stat after {};
    if (pread(fd, &extra, 1, off_t(size)) > 0 || fstat(fd, &after) != 0 || !sameFile(before, after))
        return PlistReadResult::failure(changed, -1);

    const QByteArrayView bytes = buffer.bytes();
    if (PlistBinaryReader::isBinary(bytes))
        return PlistBinaryReader::read(bytes);
    return PlistXmlReader::readReleasingPages(bytes, handover);
}

// Either format, told apart by the first bytes; only XML hands over.
PlistReadResult readBytes(QByteArrayView bytes, const PlistXmlReader::Handover* handover)
{
    if (PlistBinaryReader::isBinary(bytes))
        return PlistBinaryReader::read(bytes);
    return PlistXmlReader::read(bytes, handover);
}

PlistReadResult readDevice(QIODevice& device, const PlistXmlReader::Handover* handover)
{
    auto* file = qobject_cast<QFileDevice*>(&device);
    if (file && file->isOpen() && file->handle() >= 0)
        return readFile(file->handle(), file->fileName(), handover);
    const QByteArray bytes = device.readAll();
    if (file && file->error() != QFileDevice::NoError)
        return PlistReadResult::failure(file->errorString(), -1);
    return readBytes(bytes, handover);
}

} // namespace

PlistReadResult readPropertyList(QByteArrayView bytes)
{
    return readBytes(bytes, nullptr);
}

PlistReadResult readPropertyList(QByteArrayView bytes, const PlistXmlReader::Handover& handover)
{
    return readBytes(bytes, &handover);
}

PlistReadResult readPropertyList(QIODevice& device)
{
    return readDevice(device, nullptr);
}

PlistReadResult readPropertyList(QIODevice& device, const PlistXmlReader::Handover& handover)
{
    return readDevice(device, &handover);
}

PlistReadResult readOpenStepPropertyList(QByteArrayView bytes)
{
    return PlistOpenStepReader::read(bytes);
}

bool writePropertyList(const PlistValue& value, QIODevice& device, PlistFormat format)
{
    switch (format) {
    case PlistFormat::Binary:
        return PlistBinaryWriter::write(value, device);
    case PlistFormat::OpenStep:
        return PlistOpenStepWriter::write(value, device);
    case PlistFormat::Xml:
        break;
    }
    return PlistXmlWriter::write(value, device);
}

QByteArray propertyListBytes(const PlistValue& value, PlistFormat format)
{
    switch (format) {
    case PlistFormat::Binary:
        return PlistBinaryWriter::toBytes(value);
    case PlistFormat::OpenStep:
        return PlistOpenStepWriter::toBytes(value);
    case PlistFormat::Xml:
        break;
    }
    return PlistXmlWriter::toBytes(value);
}
