#include "SafeFileWriter.h"

#include "PlistXmlWriter.h"

#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <optional>

namespace {

mode_t modeOf(const QString& path)
{
    struct stat info {};
    return stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class SafeFileWriterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("Datafile.nv3"));
        ASSERT_TRUE(SafeFileWriter::write(m_path, m_original).ok);
    }

    QStringList folderEntries() const
    {
        return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }

    QTemporaryDir m_dir;
    QString m_path;
    const QByteArray m_original = QByteArray("original contents\n").repeated(1000);
};

} // namespace

TEST_F(SafeFileWriterTest, Write_ReplacesTheFileWhole)
{
    const SafeFileWriter::Result result = SafeFileWriter::write(m_path, QByteArray("new"));
    EXPECT_TRUE(result.ok);
    EXPECT_TRUE(result.errorString.isEmpty());
    EXPECT_EQ(contents(m_path), QByteArray("new"));
    EXPECT_EQ(folderEntries(), QStringList{QStringLiteral("Datafile.nv3")});
}

TEST_F(SafeFileWriterTest, Write_SerializerFailsPartWay_LeavesTheOldFileByteIdentical)
{
    const SafeFileWriter::Result result = SafeFileWriter::write(m_path, [](QIODevice& device) {
        device.write(QByteArray(5000, 'x'));
        return false;
    });
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.errorString.contains(m_path));
    EXPECT_EQ(contents(m_path), m_original);
    // No temporary file is left behind.
    EXPECT_EQ(folderEntries(), QStringList{QStringLiteral("Datafile.nv3")});
}

TEST_F(SafeFileWriterTest, Write_KeepsTheExistingPermissions)
{
    const auto permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(m_path, permissions));
    ASSERT_TRUE(SafeFileWriter::write(m_path, QByteArray("new")).ok);
    EXPECT_EQ(QFile::permissions(m_path) & ~(QFile::ReadUser | QFile::WriteUser), permissions);
}

TEST_F(SafeFileWriterTest, Write_KeepsThePermissionBitsExactly)
{
    // Bits narrower than what the saver may do (root may write anything) stay as they
    // were; only root may save over a file it cannot write.
    const bool root = geteuid() == 0;
    for (const mode_t mode : {0640, 0660, 0600, 0604, 0444, 0060}) {
        if (!root && (mode & 0200) == 0)
            continue;
        ASSERT_EQ(chmod(QFile::encodeName(m_path).constData(), mode), 0);
        const SafeFileWriter::Result result = SafeFileWriter::write(m_path, QByteArray("new"));
        ASSERT_TRUE(result.ok) << result.errorString.toStdString();
        EXPECT_EQ(modeOf(m_path), mode) << std::oct << mode;
    }
}

TEST_F(SafeFileWriterTest, Write_FileOfAnotherOwner_KeepsItsOwnerAndGroup)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another user";
    const uid_t owner = 65534;
    const gid_t group = 65534;
    ASSERT_EQ(chown(QFile::encodeName(m_path).constData(), owner, group), 0);
    ASSERT_EQ(chmod(QFile::encodeName(m_path).constData(), 0660), 0);
    ASSERT_TRUE(SafeFileWriter::write(m_path, QByteArray("new")).ok);
    struct stat info {};
    ASSERT_EQ(stat(QFile::encodeName(m_path).constData(), &info), 0);
    EXPECT_EQ(info.st_uid, owner);
    EXPECT_EQ(info.st_gid, group);
    EXPECT_EQ(info.st_mode & 07777, 0660u);
}

TEST_F(SafeFileWriterTest, Write_DiskFillsPartWay_ErrorNamesTheReasonAndOldFileStays)
{
    const QByteArray big(300000, 'x');
    struct Case {
        const char* name;
        SafeFileWriter::Serializer serialize;
    };
    const Case cases[] = {
        {"bytes", [&big](QIODevice& device) { return device.write(big) == big.size(); }},
        {"property list", [&big](QIODevice& device) {
             return PlistXmlWriter::write(PlistArray{big, big, big, big}, device);
         }},
        {"small pieces", [](QIODevice& device) {
             for (int i = 0; i < 20000; ++i) {
                 if (device.write("some forty bytes of text for one record\n") != 40)
                     return false;
             }
             return true;
         }},
        // A serializer that does not look at what its writes answer.
        {"writes unchecked", [&big](QIODevice& device) {
             device.write(big);
             device.write("tail");
             return true;
         }},
    };
    const QString noSpace = QString::fromLocal8Bit(std::strerror(ENOSPC));
    for (const Case& c : cases) {
        SafeFileWriter::setFailAfterBytesForTesting(100000);
        const SafeFileWriter::Result result = SafeFileWriter::write(m_path, c.serialize);
        SafeFileWriter::setFailAfterBytesForTesting(std::nullopt);
        EXPECT_FALSE(result.ok) << c.name;
        EXPECT_TRUE(result.errorString.endsWith(noSpace)) << c.name << ": " << result.errorString.toStdString();
        EXPECT_EQ(contents(m_path), m_original) << c.name;
    }

    // The same through the file system: beyond the limit on a file's size a write is
    // cut short, and only the next one says why.
    const QString tooLarge = QString::fromLocal8Bit(std::strerror(EFBIG));
    struct rlimit limit {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    for (const Case& c : cases) {
        struct rlimit small = limit;
        small.rlim_cur = 100000;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        const SafeFileWriter::Result result = SafeFileWriter::write(m_path, c.serialize);
        setrlimit(RLIMIT_FSIZE, &limit);
        EXPECT_FALSE(result.ok) << c.name;
        EXPECT_TRUE(result.errorString.endsWith(tooLarge)) << c.name << ": " << result.errorString.toStdString();
        EXPECT_EQ(contents(m_path), m_original) << c.name;
    }
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(folderEntries(), QStringList{QStringLiteral("Datafile.nv3")});
}

TEST_F(SafeFileWriterTest, Write_ThroughASymbolicLink_ReplacesTheTargetAndKeepsTheLink)
{
    const QString link = m_dir.filePath(QStringLiteral("Link.nv3"));
    ASSERT_TRUE(QFile::link(m_path, link));
    ASSERT_TRUE(SafeFileWriter::write(link, QByteArray("via link")).ok);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(contents(m_path), QByteArray("via link"));
}

TEST_F(SafeFileWriterTest, Write_UnwritableLocation_ReportsFailure)
{
    const QString missingFolder = m_dir.filePath(QStringLiteral("missing/Datafile.nv3"));
    const SafeFileWriter::Result result = SafeFileWriter::write(missingFolder, QByteArray("x"));
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.errorString.isEmpty());
    EXPECT_FALSE(QFile::exists(missingFolder));
}

// The file and its copy from one serialisation: the copy is never newer than the file.
TEST_F(SafeFileWriterTest, WriteWithCopy_EachFailure_KeepsTheCopyNoNewerThanTheFile)
{
    struct Case {
        const char* name;
        std::optional<qint64> failFileAfter;
        std::optional<qint64> failCopyAfter;
        bool serializerRefuses;
        bool fileNew;
        bool copyNew;
    };
    const Case cases[] = {
        {"both written", std::nullopt, std::nullopt, false, true, true},
        {"copy fails part-way", std::nullopt, 3000, false, true, false},
        {"copy fails at once", std::nullopt, 0, false, true, false},
        {"file fails part-way", 3000, std::nullopt, false, false, false},
        {"serializer refuses", std::nullopt, std::nullopt, true, false, false},
    };
    const QString copyPath = m_dir.filePath(QStringLiteral("Copy.nv3"));
    const QByteArray oldCopy = QByteArray("old copy\n").repeated(700);
    const QByteArray written = QByteArray("new contents\n").repeated(800);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(SafeFileWriter::write(m_path, m_original).ok);
        ASSERT_TRUE(SafeFileWriter::write(copyPath, oldCopy).ok);
        SafeFileWriter::setFailAfterBytesForTesting(c.failFileAfter);
        SafeFileWriter::setFailCopyAfterBytesForTesting(c.failCopyAfter);
        const SafeFileWriter::PairResult result =
            SafeFileWriter::writeWithCopy(m_path, copyPath, [&](QIODevice& device) {
                // In pieces, as a serializer writes.
                for (qsizetype at = 0; at < written.size(); at += 1000) {
                    if (device.write(written.mid(at, 1000)) < 0)
                        return false;
                }
                return !c.serializerRefuses;
            });
        SafeFileWriter::setFailAfterBytesForTesting(std::nullopt);
        SafeFileWriter::setFailCopyAfterBytesForTesting(std::nullopt);
        EXPECT_EQ(result.file.ok, c.fileNew);
        EXPECT_EQ(result.copy.ok, c.copyNew);
        EXPECT_EQ(contents(m_path), c.fileNew ? written : m_original);
        EXPECT_EQ(contents(copyPath), c.copyNew ? written : oldCopy);
        if (!c.copyNew) {
            EXPECT_TRUE(result.copy.errorString.startsWith(QStringLiteral("Cannot write ")));
        }
        EXPECT_EQ(folderEntries(), (QStringList{QStringLiteral("Copy.nv3"), QStringLiteral("Datafile.nv3")}));
    }
}

TEST_F(SafeFileWriterTest, WriteWithCopy_UnwritableCopyLocation_WritesTheFileAndReportsTheCopy)
{
    const SafeFileWriter::PairResult result = SafeFileWriter::writeWithCopy(
        m_path, m_dir.filePath(QStringLiteral("missing/Copy.nv3")),
        [](QIODevice& device) { return device.write(QByteArray("new")) == 3; });
    EXPECT_TRUE(result.file.ok);
    EXPECT_FALSE(result.copy.ok);
    EXPECT_TRUE(result.copy.errorString.contains(QStringLiteral("missing/Copy.nv3")));
    EXPECT_EQ(contents(m_path), QByteArray("new"));
}
