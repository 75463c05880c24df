#include "KeyedArchiveFuzzChecks.h"
#include "PlistFuzzChecks.h"
#include "SystemLog.h"
#include "TextReadersFuzzChecks.h"
#include "TypedStreamFuzzChecks.h"

#include "CorpusReplay.h"

TEST(FuzzCorpusReplayTest, XmlPropertyListCorpus_ReadsOrFailsCleanly)
{
    replayCorpus(QStringLiteral("xml"), xmlPlistRoundTripHolds);
}

TEST(FuzzCorpusReplayTest, BinaryPropertyListCorpus_ReadsOrFailsCleanly)
{
    replayCorpus(QStringLiteral("binary"), binaryPlistRoundTripHolds);
}

TEST(FuzzCorpusReplayTest, OpenStepPropertyListCorpus_ReadsOrFailsCleanly)
{
    replayCorpus(QStringLiteral("openstep"), openStepPlistRoundTripHolds);
}

TEST(FuzzCorpusReplayTest, TypedStreamCorpus_ReadsOrFailsCleanly)
{
    ScopedLogCapture quiet;
    replayCorpus(QStringLiteral("typedstream"), typedStreamRoundTripHolds);
}

TEST(FuzzCorpusReplayTest, TextReadersCorpus_AnswerOrRefuse)
{
    replayCorpus(QStringLiteral("text_readers"), textReadersHold);
}

TEST(FuzzCorpusReplayTest, KeyedArchiveCorpus_DecodesOrFailsCleanly)
{
    replayCorpus(QStringLiteral("keyed_archive"), keyedArchiveDecodesOrFailsCleanly);
}
