#include "PlistFuzzChecks.h"
#include "SystemLog.h"
#include "TypedStreamFuzzChecks.h"

#include <QDirIterator>
#include <QFile>

#include <gtest/gtest.h>

namespace {

void replay(const QString& folder, bool (*holds)(QByteArrayView))
{
    int count = 0;
    QDirIterator files(QStringLiteral(NORVA_CORPUS_DIR "/") + folder, QDir::Files);
    while (files.hasNext()) {
        QFile file(files.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        EXPECT_TRUE(holds(file.readAll())) << file.fileName().toStdString();
        ++count;
    }
    EXPECT_GT(count, 0) << "no corpus in " << folder.toStdString();
}

} // namespace

TEST(FuzzCorpusReplayTest, XmlPropertyListCorpus_ReadsOrFailsCleanly)
{
    replay(QStringLiteral("xml"), xmlPlistRoundTripHolds);
}

TEST(FuzzCorpusReplayTest, BinaryPropertyListCorpus_ReadsOrFailsCleanly)
{
    replay(QStringLiteral("binary"), binaryPlistRoundTripHolds);
}

TEST(FuzzCorpusReplayTest, TypedStreamCorpus_ReadsOrFailsCleanly)
{
    ScopedLogCapture quiet;
    replay(QStringLiteral("typedstream"), typedStreamRoundTripHolds);
}
