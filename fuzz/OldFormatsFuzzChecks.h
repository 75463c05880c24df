#pragma once

// What every input of the old Macintosh formats' readers must satisfy, shared by the
// fuzzers and the corpus replay tests: they answer without crashing and never give more
// than the bytes hold.
#include "ForkContainers.h"
#include "MarlocanDeckReader.h"
#include "Norva1DatafileReader.h"
#include "ResourceFork.h"

#include <QByteArrayView>

// A resource fork's map and its field names.
inline bool resourceForkHolds(QByteArrayView bytes)
{
    const std::optional<ResourceFork> fork = ResourceFork::read(bytes);
    if (!fork)
        return true;
    const quint32 type = ResourceFork::fourCharCode("Pfld");
    for (int index = 0; index <= fork->count1Resources(type) + 1; ++index) {
        const std::optional<QByteArray> resource = fork->get1IndResource(type, index);
        if (!resource)
            continue;
        if (index < 1 || index > fork->count1Resources(type) || resource->size() > bytes.size())
            return false;
        const QStringList names = Norva1DatafileReader::fieldNames(*resource);
        qsizetype taken = 2;
        for (const QString& name : names)
            taken += name.size() + 1;
        if (!names.isEmpty() && taken > resource->size())
            return false;
    }
    return true;
}

// AppleSingle, AppleDouble and MacBinary: the forks come from within the bytes.
inline bool forkContainersHold(QByteArrayView bytes)
{
    for (const auto& read :
         {ForkContainers::readAppleSingleOrDouble, ForkContainers::readMacBinary}) {
        if (const std::optional<MacFileForks> forks = read(bytes)) {
            const qsizetype total = forks->dataFork.value_or(QByteArray()).size() +
                                    forks->resourceFork.value_or(QByteArray()).size();
            if (total > bytes.size() + bytes.size())
                return false;
            if ((forks->dataFork && !bytes.contains(*forks->dataFork)) ||
                (forks->resourceFork && !bytes.contains(*forks->resourceFork)))
                return false;
        }
    }
    return true;
}

// A Norva 1 data fork and a card deck: one record a record end, never more values than
// fields, and cards without carriage returns that together are no longer than the deck.
inline bool oldTextFormatsHold(QByteArrayView bytes)
{
    const QString text = Norva1DatafileReader::dataForkText(bytes);
    if (text.size() != bytes.size())
        return false;
    for (const qsizetype fields : {0, 3}) {
        const Norva1DatafileReader::Result read = Norva1DatafileReader::records(text, fields);
        if (read.records.size() != text.count(QChar(Norva1DatafileReader::RecordTerminator)) ||
            read.hasRecords != !read.records.isEmpty())
            return false;
        for (const Norva1DatafileReader::Record& record : read.records) {
            if (record.values.size() > fields || (record.text && record.text->isEmpty()))
                return false;
        }
    }
    if (const std::optional<QStringList> cards = MarlocanDeckReader::cards(bytes)) {
        qsizetype length = 0;
        for (const QString& card : *cards) {
            if (card.contains(QLatin1Char('\r')))
                return false;
            length += card.size();
        }
        if (length > bytes.size())
            return false;
    }
    return true;
}
