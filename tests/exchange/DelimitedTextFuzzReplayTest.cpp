// The delimited-text fuzzer's saved corpus, replayed on every build.
#include "CorpusReplay.h"
#include "DelimitedTextFuzzChecks.h"

TEST(DelimitedTextFuzzReplayTest, SavedCorpus_Holds)
{
    replayCorpus(QStringLiteral("delimited_text"), delimitedTextHolds);
}
