#include "VKFileManagerCategories.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace VKFileManagerCategories;

TEST(VKFileManagerCategoriesTest, FileSizeAtPathIsZeroForWhatCannotBeRead)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    QFile file(root.filePath("data"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(QByteArray(1234, 'x')), 1234);
    file.close();

    EXPECT_EQ(fileSizeAtPath(file.fileName()), 1234);
    EXPECT_EQ(fileSizeAtPath(root.filePath("missing")), 0);
    EXPECT_EQ(fileSizeAtPath(QString()), 0);

    // Past the 32-bit range the size holds at its largest value (a sparse file).
    QFile big(root.filePath("big"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    if (!big.resize(qint64(5) * 1024 * 1024 * 1024))
        GTEST_SKIP() << "no sparse files here";
    big.close();
    EXPECT_EQ(fileSizeAtPath(big.fileName()), std::numeric_limits<int>::max());
}
