// The resource forks of old Macintosh files, the containers that carry them, the places
// they are found, and their Mac OS Roman text.
#include "ForkContainers.h"
#include "MacRomanCodec.h"
#include "OldMacFiles.h"
#include "ResourceFork.h"
#include "ResourceForkLocator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace old_mac_files;

namespace {

constexpr quint32 Pfld = ResourceFork::fourCharCode("Pfld");

const QByteArray TwoFieldLists = resourceFork(
    {{"STR ", "not names"}, {"Pfld", "first"}, {"Pfld", "second"}, {"ICN#", "icon"}});

} // namespace

TEST(ResourceForkTest, Get1IndResource_ByIndexOfItsType_InMapOrder)
{
    const std::optional<ResourceFork> fork = ResourceFork::read(TwoFieldLists);
    ASSERT_TRUE(fork);
    EXPECT_EQ(fork->count1Resources(Pfld), 2);
    EXPECT_EQ(fork->get1IndResource(Pfld, 1), QByteArray("first"));
    EXPECT_EQ(fork->get1IndResource(Pfld, 2), QByteArray("second"));
    EXPECT_EQ(fork->get1IndResource(ResourceFork::fourCharCode("STR "), 1), QByteArray("not names"));
    EXPECT_FALSE(fork->get1IndResource(Pfld, 0));
    EXPECT_FALSE(fork->get1IndResource(Pfld, 3));
    EXPECT_FALSE(fork->get1IndResource(ResourceFork::fourCharCode("TEXT"), 1));
}

TEST(ResourceForkTest, Read_CutShortAnywhere_NeverReadsPastTheEnd)
{
    // Only the whole fork holds the map; every shorter one is no fork or lacks the data.
    for (qsizetype length = 0; length < TwoFieldLists.size(); ++length) {
        const std::optional<ResourceFork> fork = ResourceFork::read(TwoFieldLists.first(length));
        EXPECT_FALSE(fork && fork->get1IndResource(Pfld, 1)) << length;
    }
    // A resource whose length runs past the data.
    QByteArray damaged = resourceFork({{"Pfld", "abc"}});
    damaged[256 + 3] = char(0x7F);
    const std::optional<ResourceFork> fork = ResourceFork::read(damaged);
    ASSERT_TRUE(fork);
    EXPECT_FALSE(fork->get1IndResource(Pfld, 1));
    // A map that claims more references than it can hold.
    QByteArray crowded = resourceFork({{"Pfld", "abc"}});
    const qsizetype typeList = crowded.size() - 8 - 12 - 2;
    crowded[typeList + 6] = char(0xFF);
    crowded[typeList + 7] = char(0xFF);
    EXPECT_FALSE(ResourceFork::read(crowded));
}

TEST(MacRomanCodecTest, ToUnicode_TheUpperHalfAndPascalStrings)
{
    EXPECT_EQ(MacRomanCodec::toUnicode(QByteArray("\x80\xA5\xDB\xD2x\x0D", 6)),
              QString::fromUtf8("Ä•€“x\r"));
    EXPECT_EQ(MacRomanCodec::pascalString(QByteArray("\x03" "abcd"), 0), QString("abc"));
    EXPECT_EQ(MacRomanCodec::pascalString(QByteArray("\x00", 1), 0), QString(""));
    EXPECT_FALSE(MacRomanCodec::pascalString(QByteArray("\x05" "abc"), 0));
    EXPECT_FALSE(MacRomanCodec::pascalString(QByteArray("abc"), 3));
}

TEST(ForkContainersTest, EachContainer_GivesItsForks)
{
    const QByteArray fork = resourceFork({{"Pfld", "names"}});
    const std::optional<MacFileForks> doubled = ForkContainers::readAppleSingleOrDouble(appleDouble(fork));
    ASSERT_TRUE(doubled);
    EXPECT_EQ(doubled->resourceFork, fork);
    EXPECT_FALSE(doubled->dataFork);

    const std::optional<MacFileForks> single =
        ForkContainers::readAppleSingleOrDouble(appleSingle("records\x06", fork));
    ASSERT_TRUE(single);
    EXPECT_EQ(single->dataFork, QByteArray("records\x06"));
    EXPECT_EQ(single->resourceFork, fork);

    const QByteArray binary = macBinary("Old File", "records\x06", fork);
    const std::optional<MacFileForks> unpacked = ForkContainers::readMacBinary(binary);
    ASSERT_TRUE(unpacked);
    EXPECT_EQ(unpacked->dataFork, QByteArray("records\x06"));
    EXPECT_EQ(unpacked->resourceFork, fork);
}

TEST(ForkContainersTest, DamagedOrForeign_AreNoContainers)
{
    EXPECT_EQ(ForkContainers::macBinaryCrc("123456789"), 0x31C3);
    const QByteArray fork = resourceFork({{"Pfld", "names"}});
    QByteArray badCrc = macBinary("Old", "data", fork);
    badCrc[5] = 'X';
    QByteArray shortForks = macBinary("Old", "data", fork);
    shortForks.chop(200);
    QByteArray entryPastEnd = appleSingle("data", fork);
    entryPastEnd.chop(1);
    for (const QByteArray& bytes : {badCrc, shortForks, QByteArray("plain text records\x06"),
                                    QByteArray(128, '\0')})
        EXPECT_FALSE(ForkContainers::readMacBinary(bytes));
    EXPECT_FALSE(ForkContainers::readAppleSingleOrDouble(entryPastEnd));
    EXPECT_FALSE(ForkContainers::readAppleSingleOrDouble(QByteArray("\x00\x05\x16\x07", 4)));

    EXPECT_TRUE(ForkContainers::isUnreadableArchive(
        "(This file must be converted with BinHex 4.0)\r:!!!"));
    EXPECT_TRUE(ForkContainers::isUnreadableArchive("SIT!\x00\x01rLau"));
    EXPECT_FALSE(ForkContainers::isUnreadableArchive("Smith\rJohn\x06"));
}

namespace {

class ResourceForkLocatorTest : public ::testing::Test {
protected:
    QString write(const QString& relative, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir m_dir;
    const QByteArray m_fork = resourceFork({{"Pfld", "names"}});
    const QByteArray m_records = QByteArray("Smith\rJohn\x06");
};

} // namespace

TEST_F(ResourceForkLocatorTest, Locate_EveryPlaceAForkGoes)
{
    struct Case {
        const char* where;
        QString file;
    };
    const QList<Case> cases{
        {"AppleDouble beside", (write("beside/._Old", appleDouble(m_fork)),
                                write("beside/Old", m_records))},
        {"unpacked zip", (write("zip/__MACOSX/Cards/._Old", appleDouble(m_fork)),
                          write("zip/Cards/Old", m_records))},
        {"file server", (write("server/.AppleDouble/Old", appleDouble(m_fork)),
                         write("server/Old", m_records))},
        {"MacBinary", write("Old.bin", macBinary("Old", m_records, m_fork))},
        {"AppleSingle", write("Old.as", appleSingle(m_records, m_fork))},
    };
    for (const Case& test : cases) {
        const ResourceForkLocator::Result found = ResourceForkLocator::locate(test.file);
        EXPECT_EQ(found.status, ResourceForkLocator::Status::Read) << test.where;
        EXPECT_EQ(found.dataFork, m_records) << test.where;
        EXPECT_EQ(found.resourceFork, m_fork) << test.where;
    }
}

TEST_F(ResourceForkLocatorTest, Locate_NoForkOrNoFile)
{
    // A companion without a resource fork (Finder information only) is no fork.
    write("._Alone", appleDouble(QByteArray()));
    const ResourceForkLocator::Result alone = ResourceForkLocator::locate(write("Alone", m_records));
    EXPECT_EQ(alone.status, ResourceForkLocator::Status::Read);
    EXPECT_EQ(alone.dataFork, m_records);
    EXPECT_FALSE(alone.resourceFork);

    QDir(m_dir.path()).mkdir("Folder");
    EXPECT_EQ(ResourceForkLocator::locate(m_dir.filePath("Folder")).status,
              ResourceForkLocator::Status::Unreadable);
    EXPECT_EQ(ResourceForkLocator::locate(m_dir.filePath("missing")).status,
              ResourceForkLocator::Status::Unreadable);
    EXPECT_EQ(ResourceForkLocator::locate(write("Packed.hqx", "(This file must be converted with "
                                                               "BinHex 4.0)\r\r:"))
                  .status,
              ResourceForkLocator::Status::UnreadableArchive);
}
