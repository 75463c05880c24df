#pragma once

#include "Clock.h"
#include "DatafileFormat.h"

#include <QBuffer>
#include <QScopeGuard>

// What every datafile input must satisfy, shared by the fuzzer and the corpus replay
// test: a file that is refused says why; a file that opens saves, and what was saved
// opens again to the same records, settings and catalog, and saves to the same bytes.
// Values the format cannot hold as they were read (a date past the year 9999) are
// written as the nearest it can, so values are compared from the first save on.
inline bool datafileRoundTripHolds(QByteArrayView bytes)
{
    // A record without its dates takes the present moment: every read must take the same.
    Clock::setNowForTesting([] { return PlistDate{800'000'000}; });
    const auto restoreClock = qScopeGuard([] { Clock::setNowForTesting(nullptr); });
    // Written straight from the records or from their dictionaries, the bytes are the same.
    const auto save = [](const DatafileFormat::Contents& contents) {
        const PlistDictionary settings = contents.settings->dictionary();
        QBuffer fromRecords;
        QBuffer fromDictionaries;
        fromRecords.open(QIODevice::WriteOnly);
        fromDictionaries.open(QIODevice::WriteOnly);
        const DatafileFormat::Parts parts{settings, contents.records->dictionary(), contents.catalog};
        const bool written =
            DatafileFormat::write(settings, *contents.records, contents.catalog, fromRecords) &&
            DatafileFormat::write(parts, fromDictionaries);
        return written && fromRecords.data() == fromDictionaries.data() ? fromRecords.data()
                                                                          : QByteArray();
    };
    // Containers compare as values; keys whatever order a dictionary keeps them in.
    const auto same = [](const auto& a, const auto& b) { return PlistValue(a) == PlistValue(b); };
    const auto sameKeys = [](const PlistDictionary& a, const PlistDictionary& b) {
        QStringList first = a.keys();
        QStringList second = b.keys();
        first.sort();
        second.sort();
        return first == second;
    };

    const DatafileFormat::Result<DatafileFormat::Contents> read = DatafileFormat::read(bytes);
    if (!read.ok())
        return !read.error.message.isEmpty();
    const QByteArray saved = save(*read.value);
    const DatafileFormat::Result<DatafileFormat::Contents> again = DatafileFormat::read(saved);
    if (saved.isEmpty() || !again.ok())
        return false;
    const QByteArray savedAgain = save(*again.value);
    const DatafileFormat::Result<DatafileFormat::Contents> third = DatafileFormat::read(savedAgain);
    return third.ok() && savedAgain == saved &&
           sameKeys(again.value->settings->dictionary(), read.value->settings->dictionary()) &&
           same(third.value->settings->dictionary(), again.value->settings->dictionary()) &&
           same(again.value->catalog, read.value->catalog) &&
           again.value->catalogMatchesRecords == read.value->catalogMatchesRecords &&
           sameKeys(again.value->records->dictionary(), read.value->records->dictionary()) &&
           same(third.value->records->dictionary(), again.value->records->dictionary());
}
