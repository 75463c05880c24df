#include "PropertyList.h"

#include "PlistXmlReader.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

class PropertyListFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    static PlistReadResult read(const QString& path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return PlistReadResult::failure(file.errorString(), -1);
        return readPropertyList(file);
    }

    QTemporaryDir m_dir;
};

PlistArray manyStrings(int count)
{
    PlistArray array;
    for (int i = 0; i < count; ++i)
        array.append(QStringLiteral("record %1 with a line of text").arg(i));
    return array;
}

} // namespace

TEST_F(PropertyListFileTest, RegularFile_IsReadWholeFromItsStartInEitherFormat)
{
    const PlistValue value = PlistDictionary{{"list", manyStrings(1000)}, {"n", 7}};
    for (const PlistFormat format : {PlistFormat::Xml, PlistFormat::Binary}) {
        const QString path = write(QStringLiteral("file"), propertyListBytes(value, format));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        file.peek(8);
        file.seek(100); // where the device stands does not matter
        const PlistReadResult result = readPropertyList(file);
        ASSERT_TRUE(result.ok()) << result.error->toString().toStdString();
        EXPECT_EQ(result.value, value);
    }
}

TEST_F(PropertyListFileTest, DeviceOrPipe_IsRefusedAsNotARegularFile)
{
    const QString fifo = m_dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // A writer holds the pipe open with a property list in it, so opening it does not
    // wait, and reading it to its end would wait forever.
    const int writer = ::open(QFile::encodeName(fifo).constData(), O_RDWR);
    ASSERT_GE(writer, 0);
    const QByteArray plist = "<plist><string>x</string></plist>";
    ASSERT_EQ(::write(writer, plist.constData(), size_t(plist.size())), plist.size());

    for (const QString& path : {QStringLiteral("/dev/null"), QStringLiteral("/dev/zero"), fifo}) {
        const PlistReadResult result = read(path);
        ASSERT_FALSE(result.ok()) << path.toStdString();
        EXPECT_EQ(result.error->message, path + QStringLiteral(" is not a regular file"));
    }
    ::close(writer);
}

TEST_F(PropertyListFileTest, FileWhoseSizeDoesNotHoldWhileRead_FailsAsChanged)
{
    // Kernel files state a size their contents do not have: one more, one less.
    for (const QString& path : {QStringLiteral("/proc/self/status"),
                                QStringLiteral("/sys/kernel/mm/transparent_hugepage/enabled")}) {
        QFileInfo info(path);
        if (!info.exists())
            continue;
        const PlistReadResult result = read(path);
        ASSERT_FALSE(result.ok()) << path.toStdString();
        EXPECT_EQ(result.error->message, path + QStringLiteral(" changed while it was read"));
    }
}

TEST_F(PropertyListFileTest, FileTruncatedAndRewrittenWhileRead_NeverKillsTheReader)
{
    const PlistValue value = manyStrings(200000);
    const QByteArray bytes = propertyListBytes(value, PlistFormat::Xml);
    const QString path = write(QStringLiteral("busy.plist"), bytes);

    std::atomic<bool> stop = false;
    std::thread rewriter([&] {
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY);
        while (!stop) {
            if (ftruncate(fd, 0) != 0 || pwrite(fd, bytes.constData(), size_t(bytes.size()), 0) < 0)
                break;
        }
        ::close(fd);
    });
    int refused = 0;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1000);
    while (std::chrono::steady_clock::now() < until) {
        const PlistReadResult result = read(path);
        if (result.ok()) {
            EXPECT_EQ(result.value, value);
        } else {
            ++refused;
            EXPECT_FALSE(result.error->message.isEmpty());
        }
    }
    stop = true;
    rewriter.join();
    RecordProperty("refused", refused);
}

TEST(PlistXmlReleasingPagesTest, ErrorAfterReleasedPages_NamesItsLine)
{
    // More than one release step of the reader, with a fault on the last line.
    QByteArray text = "<plist><array>\n";
    const QByteArray line = "<string>a line of text that is some forty bytes</string>\n";
    const int lines = (80 << 20) / int(line.size());
    text.reserve(qsizetype(lines + 2) * line.size());
    for (int i = 0; i < lines; ++i)
        text += line;
    text += "<oops/>\n</array></plist>\n";

    const size_t size = size_t(text.size());
    void* memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(memory, MAP_FAILED);
    std::memcpy(memory, text.constData(), size);
    const PlistReadResult result =
        PlistXmlReader::readReleasingPages(QByteArrayView(static_cast<const char*>(memory), text.size()));
    munmap(memory, size);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error->line, lines + 2);
    EXPECT_EQ(result.error->byteOffset, text.indexOf("<oops/>"));
}
