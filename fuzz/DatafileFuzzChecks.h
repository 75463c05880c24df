#pragma once

#include "Clock.h"
#include "DatafileFormat.h"

#include <QBuffer>
#include <QScopeGuard>

// What every datafile input must satisfy, shared by the fuzzer and the corpus replay
// test: a file that is refused says why; a file that opens saves, and what was saved
// opens again to the same settings, records and catalog, and saves to the same bytes.
inline bool datafileRoundTripHolds(QByteArrayView bytes)
{
    // A record without its dates takes the present moment: both reads must take the same.
    Clock::setNowForTesting([] { return PlistDate{800'000'000}; });
    const auto restoreClock = qScopeGuard([] { Clock::setNowForTesting(nullptr); });
    const auto save = [](const DatafileFormat::Contents& contents) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        const DatafileFormat::Parts parts{contents.settings->dictionary(),
                                          contents.records->dictionary(), contents.catalog};
        return DatafileFormat::write(parts, buffer) ? buffer.data() : QByteArray();
    };
    const DatafileFormat::Result<DatafileFormat::Contents> read = DatafileFormat::read(bytes);
    if (!read.ok())
        return !read.error.message.isEmpty();
    const QByteArray saved = save(*read.value);
    if (saved.isEmpty())
        return false;
    const DatafileFormat::Result<DatafileFormat::Contents> again = DatafileFormat::read(saved);
    // Containers compare as values.
    const auto same = [](const auto& a, const auto& b) { return PlistValue(a) == PlistValue(b); };
    return again.ok() &&
           same(again.value->settings->dictionary(), read.value->settings->dictionary()) &&
           same(again.value->records->dictionary(), read.value->records->dictionary()) &&
           same(again.value->catalog, read.value->catalog) &&
           again.value->catalogMatchesRecords == read.value->catalogMatchesRecords &&
           save(*again.value) == saved;
}
