// The contacts and bookmarks fuzzers' saved corpora, replayed on every build.
#include "BookmarksFuzzChecks.h"
#include "ContactsFuzzChecks.h"
#include "CorpusReplay.h"

TEST(ImportReadersFuzzReplayTest, ContactsCorpus_Holds)
{
    replayCorpus(QStringLiteral("contacts"), contactsHold);
}

TEST(ImportReadersFuzzReplayTest, BookmarksCorpus_Holds)
{
    replayCorpus(QStringLiteral("bookmarks"), bookmarksHold);
}
