#include "SafeFileWriter.h"

#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

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
