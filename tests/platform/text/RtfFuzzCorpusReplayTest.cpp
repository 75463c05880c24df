#include "RtfFuzzChecks.h"

#include "CorpusReplay.h"

TEST(RtfFuzzCorpusReplayTest, RtfCorpus_ReadsOrFailsCleanly)
{
    replayCorpus(QStringLiteral("rtf"), rtfRoundTripHolds);
}

TEST(RtfFuzzCorpusReplayTest, FlatRtfdCorpus_ReadsOrFailsCleanly)
{
    replayCorpus(QStringLiteral("rtfd"), rtfdRoundTripHolds);
}
