#pragma once

#include <QtGlobal>

#include <atomic>
#include <functional>

// Runs work over [0, count) in contiguous chunks of at least minimumChunk items on
// several threads and returns once every chunk is done; a count that makes one chunk
// runs on the calling thread. The work may only read shared data and write what
// belongs to its own indexes. An exception thrown by the work stops the rest and is
// thrown on to the caller.
void forEachChunk(qsizetype count, const std::function<void(qsizetype begin, qsizetype end)>& work,
                  qsizetype minimumChunk = 2048);

// The first index in [begin, end) where the predicate holds, or -1: tried on several
// threads, and no index after one known to hold is tried. The predicate may only read.
template <typename Predicate>
qint64 firstIndexWhere(qint64 begin, qint64 end, const Predicate& holds, qsizetype minimumChunk = 256)
{
    if (begin >= end)
        return -1;
    std::atomic<qint64> first{end};
    forEachChunk(
        end - begin,
        [&](qsizetype chunkBegin, qsizetype chunkEnd) {
            for (qint64 index = begin + chunkBegin; index < begin + chunkEnd; ++index) {
                qint64 known = first.load(std::memory_order_relaxed);
                if (index >= known)
                    return;
                if (!holds(index))
                    continue;
                while (index < known && !first.compare_exchange_weak(known, index)) {
                }
                return;
            }
        },
        minimumChunk);
    return first < end ? first.load() : -1;
}
