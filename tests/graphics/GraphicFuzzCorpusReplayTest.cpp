#include "CorpusReplay.h"
#include "GraphicFuzzChecks.h"

TEST(GraphicFuzzCorpusReplayTest, GraphicCorpus_ReadsAndRoundTripsOrGivesNone)
{
    replayCorpus(QStringLiteral("graphic"), graphicRoundTripHolds);
}
