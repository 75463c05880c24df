#pragma once

#include <QtGlobal>

#include <functional>

// Runs work over [0, count) in contiguous chunks of at least minimumChunk items on
// several threads and returns once every chunk is done; a count that makes one chunk
// runs on the calling thread. The work may only read shared data and write what
// belongs to its own indexes. An exception thrown by the work stops the rest and is
// thrown on to the caller.
void forEachChunk(qsizetype count, const std::function<void(qsizetype begin, qsizetype end)>& work,
                  qsizetype minimumChunk = 2048);
