#include "ParallelChunks.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

void forEachChunk(qsizetype count, const std::function<void(qsizetype begin, qsizetype end)>& work,
                  qsizetype minimumChunk)
{
    minimumChunk = std::max<qsizetype>(1, minimumChunk);
    const qsizetype cores = std::max(1u, std::thread::hardware_concurrency());
    const qsizetype threads = std::min(cores, (count + minimumChunk - 1) / minimumChunk);
    if (threads <= 1) {
        if (count > 0)
            work(0, count);
        return;
    }
    // A few chunks per thread even out records of uneven size; each thread takes the
    // next chunk left until none is.
    const qsizetype chunk = std::max(minimumChunk, count / (threads * 4) + 1);
    std::atomic<qsizetype> next{0};
    std::mutex failureLock;
    std::exception_ptr failure;
    const auto takeChunks = [&] {
        try {
            for (qsizetype begin = next.fetch_add(chunk); begin < count;
                 begin = next.fetch_add(chunk))
                work(begin, std::min(count, begin + chunk));
        } catch (...) {
            // Handed to the caller as if the work had run on its thread; the rest stops.
            const std::lock_guard lock(failureLock);
            if (!failure)
                failure = std::current_exception();
            next = count;
        }
    };
    std::vector<std::jthread> helpers;
    helpers.reserve(size_t(threads - 1));
    for (qsizetype i = 1; i < threads; ++i) {
        try {
            helpers.emplace_back(takeChunks);
        } catch (const std::system_error&) {
            break; // no more threads to be had: the ones running take what is left
        }
    }
    takeChunks();
    helpers.clear();
    if (failure)
        std::rethrow_exception(failure);
}
