#include "ParallelChunks.h"

#include <atomic>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

TEST(ParallelChunksTest, EveryIndexVisitedOnceWhateverTheCount)
{
    for (const qsizetype count : {0, 1, 2048, 2049, 100001}) {
        std::vector<std::atomic<int>> visits(static_cast<size_t>(count));
        forEachChunk(count, [&](qsizetype begin, qsizetype end) {
            EXPECT_LT(begin, end);
            for (qsizetype index = begin; index < end; ++index)
                ++visits[size_t(index)];
        });
        for (qsizetype index = 0; index < count; ++index)
            ASSERT_EQ(visits[size_t(index)], 1) << "index " << index << " of " << count;
    }
}

TEST(ParallelChunksTest, AnExceptionInTheWorkReachesTheCaller)
{
    EXPECT_THROW(forEachChunk(100000,
                              [](qsizetype begin, qsizetype) {
                                  if (begin > 0)
                                      throw std::runtime_error("chunk failed");
                              }),
                 std::runtime_error);
}
