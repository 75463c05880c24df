#include "SafeFileWriter.h"

#include <QByteArray>
#include <QSaveFile>

namespace {

std::optional<qint64> failAfterBytes;

// Passes writes on until its budget is spent, then fails them: a disk that fills up.
class FailingDevice : public QIODevice {
public:
    FailingDevice(QIODevice& target, qint64 budget) : m_target(target), m_budget(budget)
    {
        open(QIODevice::WriteOnly);
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 length) override
    {
        if (length > m_budget) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        m_budget -= length;
        return m_target.write(data, length);
    }

private:
    QIODevice& m_target;
    qint64 m_budget;
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

SafeFileWriter::Result SafeFileWriter::write(const QString& path, const Serializer& serialize)
{
    // QSaveFile writes to a temporary file in the same folder, gives it the existing
    // file's permissions and renames it over the target only on commit.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {false, QStringLiteral("Cannot write %1: %2").arg(path, file.errorString())};
    std::optional<FailingDevice> failing;
    if (failAfterBytes)
        failing.emplace(file, *failAfterBytes);
    QIODevice& device = failing ? static_cast<QIODevice&>(*failing) : file;
    if (!serialize(device)) {
        const QString reason = file.error() != QFileDevice::NoError ? file.errorString()
                               : !device.errorString().isEmpty() && failing
                                   ? device.errorString()
                                   : QStringLiteral("the data could not be written");
        file.cancelWriting();
        return {false, QStringLiteral("Cannot write %1: %2").arg(path, reason)};
    }
    if (!file.commit())
        return {false, QStringLiteral("Cannot write %1: %2").arg(path, file.errorString())};
    return {true, {}};
}
