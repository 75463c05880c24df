// The old-format fuzzers' saved corpora, replayed on every build.
#include "CorpusReplay.h"
#include "OldFormatsFuzzChecks.h"

TEST(OldFormatsFuzzReplayTest, SavedCorpora_Hold)
{
    replayCorpus(QStringLiteral("resource_fork"), resourceForkHolds);
    replayCorpus(QStringLiteral("fork_containers"), forkContainersHold);
    replayCorpus(QStringLiteral("old_text_formats"), oldTextFormatsHold);
    // Every input of each, through every reader.
    for (const char* folder : {"resource_fork", "fork_containers", "old_text_formats"}) {
        replayCorpus(QString::fromLatin1(folder), [](QByteArrayView bytes) {
            return resourceForkHolds(bytes) && forkContainersHold(bytes) &&
                   oldTextFormatsHold(bytes);
        });
    }
}
