#include "VKFilePathStringCategories.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace VKFilePathStringCategories;

TEST(VKFilePathStringCategoriesTest, CleaningNamesAndAppendingThem)
{
    struct Case {
        const char* name;
        const char* expected;
    };
    for (const Case& c : {Case{"  Notes 1/2: draft  ", "Notes 1-2- draft"}, Case{"   ", "Untitled"},
                          Case{"", "Untitled"}, Case{"/", "-"}})
        EXPECT_EQ(stringByCleaningFilenameWithDefault(c.name, "Untitled"), c.expected) << c.name;

    EXPECT_EQ(stringByAppendingPathComponent("/tmp", "a/b", "x"), "/tmp/a-b");
    EXPECT_EQ(stringByAppendingPathComponent("/tmp/", " ", "x"), "/tmp/x");
    EXPECT_EQ(stringByAppendingPathComponent("", "a", "x"), "a");
}

TEST(VKFilePathStringCategoriesTest, BackupFilePathPutsTheTildeBeforeTheExtension)
{
    struct Case {
        const char* path;
        const char* expected;
    };
    for (const Case& c :
         {Case{"/home/ann/File.ext", "/home/ann/File~.ext"},
          Case{"/home/ann/File", "/home/ann/File~"}, Case{"/home/a.b/File", "/home/a.b/File~"},
          Case{"/home/ann/.hidden", "/home/ann/.hidden~"}, Case{"a.tar.gz", "a.tar~.gz"}})
        EXPECT_EQ(backupFilePath(c.path), c.expected) << c.path;
}

TEST(VKFilePathStringCategoriesTest, ValidatedPathsCreateTheMissingFolders)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());

    const QString folder = validatedDirectoryPath(root.path() + "/a//b/../c/");
    EXPECT_EQ(folder, root.path() + "/a/c");
    EXPECT_TRUE(QFileInfo(folder).isDir());

    const QString file = validatedFilePath(root.path() + "/x/y/File.norva");
    EXPECT_EQ(file, root.path() + "/x/y/File.norva");
    EXPECT_TRUE(QFileInfo(root.path() + "/x/y").isDir());
    EXPECT_FALSE(QFileInfo::exists(file));

    EXPECT_EQ(validatedDirectoryPath("~/"), QDir::homePath());

    // A folder that cannot be made is not reported here.
    QFile blocker(root.path() + "/blocker");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_EQ(validatedDirectoryPath(root.path() + "/blocker/sub"), root.path() + "/blocker/sub");
}
