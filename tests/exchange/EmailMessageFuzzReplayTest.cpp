// The e-mail fuzzer's saved corpus, replayed on every build.
#include "CorpusReplay.h"
#include "EmailMessageFuzzChecks.h"

TEST(EmailMessageFuzzReplayTest, SavedCorpus_Holds)
{
    replayCorpus(QStringLiteral("email_message"), emailMessageHolds);
}
