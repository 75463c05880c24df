#pragma once

// A realistic datafile of N records, the same for every run: ten fields, a page of
// text, some rich-text bytes and words beyond ASCII.
#include "PlistValue.h"

#include <QStringList>
#include <QUuid>

#include <iterator>
#include <random>

class DatafileGenerator {
public:
    explicit DatafileGenerator(quint32 seed) : m_random(seed) {}

    PlistValue datafile(int recordCount)
    {
        PlistArray fields;
        QStringList fieldIdentifiers;
        for (int i = 0; i < kFieldCount; ++i) {
            fieldIdentifiers.append(uuid());
            fields.append(PlistDictionary{{"Identifier", fieldIdentifiers.last()},
                                          {"Name", QStringLiteral("Field %1").arg(i + 1)},
                                          {"Width", 150.0},
                                          {"Show", true}});
        }
        PlistDictionary settings{
            {"DataFormat", 1},
            {"Fields", fields},
            {"EditorMode", "List"},
            {"Criteria",
             PlistDictionary{{"SearchString", ""}, {"MatchCase", false}, {"Subset", 0}}},
            {"ListFontName", "Helvetica"},
            {"TextFontName", "Helvetica Neue"},
            {"PrintInfo", bytes(300)},
        };

        PlistDictionary records;
        records.reserve(recordCount);
        PlistArray catalog;
        catalog.reserve(recordCount);
        for (int i = 0; i < recordCount; ++i) {
            const QString identifier = uuid();
            records.insert(identifier, record(identifier, fieldIdentifiers));
            catalog.append(PlistDictionary{{"Identifier", identifier},
                                           {"CurrentlySelected", true},
                                           {"PreviouslySelected", true}});
        }
        return PlistDictionary{{"Settings", settings}, {"Records", records}, {"Catalog", catalog}};
    }

private:
    static constexpr int kFieldCount = 10;

    PlistDictionary record(const QString& identifier, const QStringList& fieldIdentifiers)
    {
        PlistDictionary fieldValues;
        for (const QString& field : fieldIdentifiers)
            fieldValues.insert(field, text(5 + below(36)));
        const double created = kStartOfPeriod + below(kPeriod);
        const double modified = created + below(kPeriod / 10);
        const double viewed = modified + below(kPeriod / 10);
        return PlistDictionary{
            {"RecordIdentifier", identifier},
            {"RecordName", ""},
            {"NeedsSync", below(2) == 0},
            {"IsSum", false},
            {"RecordLocked", below(20) == 0},
            {"RecordWasLocked", false},
            {"RecordCreatedDate", PlistDate{created}},
            {"RecordModifiedDate", PlistDate{modified}},
            {"RecordViewedDate", PlistDate{viewed}},
            {"RecordCreatedBy", userName()},
            {"RecordModifiedBy", userName()},
            {"RecordViewedBy", userName()},
            {"Fields", fieldValues},
            {"TextString", text(300)},
            {"TextRTFD", bytes(2048)},
        };
    }

    quint32 next() { return quint32(m_random()); }
    int below(int bound) { return int(next() % quint32(bound)); }

    QString uuid()
    {
        QUuid id(next(), ushort(next()), ushort((next() & 0x0fff) | 0x4000),
                 uchar((next() & 0x3f) | 0x80), uchar(next()), uchar(next()), uchar(next()),
                 uchar(next()), uchar(next()), uchar(next()), uchar(next()));
        return id.toString(QUuid::WithoutBraces).toUpper();
    }

    // Words, some beyond ASCII, cut to exactly the length asked for.
    QString text(int length)
    {
        static const QString words[] = {
            "record", "invoice", "meeting", "Tuesday", "address", "garden", "café", "Müller",
            "naïve",  "Øresund", "東京",    "données", "Straße",  "call",   "back", "order",
            "note",   "sample",  "project", "über",    "reply",   "Zoë"};
        QString result;
        result.reserve(length + 16);
        while (result.size() < length) {
            result += words[below(int(std::size(words)))];
            result += QLatin1Char(' ');
        }
        result.truncate(length);
        return result;
    }

    QByteArray bytes(int length)
    {
        QByteArray result(length, Qt::Uninitialized);
        for (char& byte : result)
            byte = char(next());
        return result;
    }

    QString userName()
    {
        static const QString names[] = {"Jane Appleseed", "José Núñez", "Mika Häkkinen", "Li Wei",
                                        "Sam Taylor"};
        return names[below(int(std::size(names)))];
    }

    // 2015-01-01 in seconds since 2001-01-01, and ten years.
    static constexpr int kStartOfPeriod = 441763200;
    static constexpr int kPeriod = 315360000;

    std::mt19937 m_random;
};

inline PlistValue generateDatafile(int recordCount)
{
    return DatafileGenerator(20240601).datafile(recordCount);
}
