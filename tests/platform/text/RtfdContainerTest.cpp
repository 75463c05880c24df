#include "FlatRtfd.h"
#include "RichText.h"

#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

QList<RtfdFile> twoFiles()
{
    return {{QStringLiteral("TXT.rtf"), QByteArray("{\\rtf1}")},
            {QStringLiteral("a.png"), QByteArray("PNG")}};
}

QByteArray twoFileBytes()
{
    return QByteArray::fromHex("72746664"
                               "00000000"
                               "03000000"
                               "02000000"
                               "07000000"
                               "5458542e727466"
                               "05000000"
                               "612e706e67"
                               "0f000000"
                               "0b000000"
                               "01000000"
                               "07000000"
                               "7b5c727466317d"
                               "01000000"
                               "03000000"
                               "504e47");
}

} // namespace

TEST(RtfdContainerTest, TwoFileFolder_MatchesThePublishedLayoutBothWays)
{
    EXPECT_EQ(FlatRtfd::write(twoFiles()).toHex().toStdString(),
              twoFileBytes().toHex().toStdString());
    const FlatRtfd::ReadResult read = FlatRtfd::read(twoFileBytes());
    ASSERT_TRUE(read.ok()) << read.error->toStdString();
    EXPECT_EQ(read.files, twoFiles());
}

TEST(RtfdContainerTest, FolderDescriptionsPaddingAndSubfolders_Read)
{
    // The platform's own entries naming the folder, a padded file and a subfolder.
    const QByteArray bytes = QByteArray::fromHex("72746664"
                                                 "00000000"
                                                 "03000000"
                                                 "03000000"
                                                 "13000000"
                                                 "5f5f40507265666572726564"
                                                 "4e616d65405f5f" // __@PreferredName@__
                                                 "01000000"
                                                 "78" // "x"
                                                 "03000000"
                                                 "737562" // "sub"
                                                 "0a000000"
                                                 "16000000"
                                                 "1c000000"
                                                 "01000000"
                                                 "02000000"
                                                 "6e6d" // preferred name "nm"
                                                 "01000000"
                                                 "00000080"
                                                 "02000000"
                                                 "04000000"
                                                 "00000000"
                                                 "6869" // "hi" after 4 bytes of padding
                                                 "03000000"
                                                 "01000000"
                                                 "01000000"
                                                 "79" // "y"
                                                 "0b000000"
                                                 "01000000"
                                                 "03000000"
                                                 "616263");
    const FlatRtfd::ReadResult read = FlatRtfd::read(bytes);
    ASSERT_TRUE(read.ok()) << read.error->toStdString();
    const QList<RtfdFile> expected{{QStringLiteral("x"), "hi"}, {QStringLiteral("sub/y"), "abc"}};
    EXPECT_EQ(read.files, expected);
    EXPECT_EQ(FlatRtfd::read(FlatRtfd::write(expected)).files, expected);
}

TEST(RtfdContainerTest, TruncatedOrHostileContainers_GiveErrors)
{
    const QByteArray valid = twoFileBytes();
    for (qsizetype length = 0; length < valid.size(); ++length) {
        const FlatRtfd::ReadResult read = FlatRtfd::read(valid.left(length));
        EXPECT_FALSE(read.ok()) << "truncated to " << length;
        EXPECT_TRUE(read.files.isEmpty());
        EXPECT_FALSE(RichText::fromRtfd(valid.left(length)).ok());
    }

    const auto entry = [](const QByteArray& name) {
        return FlatRtfd::write({{QString::fromUtf8(name), "data"}});
    };
    QByteArray slash = entry("axb");
    slash.replace("axb", "a/b");
    QByteArray duplicate =
        FlatRtfd::write({{QStringLiteral("ab"), "1"}, {QStringLiteral("cd"), "2"}});
    duplicate.replace("cd", "ab");
    QByteArray unknownKind = twoFileBytes();
    unknownKind[44] = 7; // the first entry's kind
    const QByteArray cases[] = {
        QByteArray::fromHex("7274666400000000"
                            "03000000"
                            "ffffffff"), // huge count
        QByteArray::fromHex("7274666400000000"
                            "01000000"
                            "00000000"), // a file, not a folder
        QByteArray::fromHex("7274666401000000"
                            "03000000"
                            "00000000"), // unknown version
        entry(".."),
        duplicate,
        unknownKind,
        slash,
    };
    for (const QByteArray& bytes : cases)
        EXPECT_FALSE(FlatRtfd::read(bytes).ok()) << bytes.toHex().toStdString();

    // Folders nested past any real RTFD are refused rather than followed.
    QList<RtfdFile> deep{{QString(QStringLiteral("d/")).repeated(20) + QStringLiteral("f"), "x"}};
    EXPECT_FALSE(FlatRtfd::read(FlatRtfd::write(deep)).ok());
}

TEST(RtfdContainerTest, FolderWithoutText_IsAnError)
{
    const RichTextResult result =
        RichText::fromRtfd(FlatRtfd::write({{QStringLiteral("a.png"), "PNG"}}));
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.document, nullptr);
}
