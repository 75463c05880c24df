#pragma once

#include "DatafileRecordsData.h"
#include "DatafileSettingsData.h"
#include "FormatResult.h"

#include <QByteArrayView>

#include <memory>
#include <optional>

class QIODevice;

// The datafile file: a property list whose top level holds "Settings", "Records" and
// "Catalog". Read into the model or written from it, whole; every reader of a datafile
// goes through here, so the file's shape is checked in one place.
class DatafileFormat {
public:
    static inline const QString SettingsKey = QStringLiteral("Settings");
    static inline const QString RecordsKey = QStringLiteral("Records");
    static inline const QString CatalogKey = QStringLiteral("Catalog");

    // The three parts as stored, each checked for its kind: the settings and every record
    // a dictionary, the catalog an array of dictionaries (a missing one is empty).
    struct Parts {
        PlistDictionary settings;
        PlistDictionary records;
        PlistArray catalog;
    };
    // The parts as the model: the catalog stays the array read, with a note whether it
    // lists exactly the records, so that the caller can offer to rebuild it.
    struct Contents {
        std::shared_ptr<DatafileSettingsData> settings;
        std::shared_ptr<DatafileRecordsData> records;
        PlistArray catalog;
        bool catalogMatchesRecords = true;
    };
    template <typename Value> using Result = FormatResult<Value>;

    static Result<Parts> readParts(QByteArrayView bytes);
    static Result<Parts> readParts(QIODevice& device);
    // Refuses settings written by a newer version.
    static Result<Contents> read(QByteArrayView bytes);
    static Result<Contents> read(QIODevice& device);
    static Result<Contents> contentsOf(Parts parts);

    static bool write(const Parts& parts, QIODevice& device);
    // The same from the model's records, written from themselves: no dictionary is made
    // for any of them.
    static bool write(const PlistDictionary& settings, const DatafileRecordsData& records,
                      const PlistArray& catalog, QIODevice& device);

    // Whether the catalog names every record once, and nothing else.
    static bool catalogMatchesRecords(const PlistArray& catalog, const PlistDictionary& records);
    // A catalog of every record, each shown and shown before, in the records' own order.
    static PlistArray catalogForRecords(const PlistDictionary& records);

private:
    class RecordsMade;
    // With records handed over, each record stands in the parts as the UID of the one made.
    static Result<Parts> partsOf(const PlistReadResult& read, bool recordsHandedOver = false);
    // Leaves out the values the file cannot be written with, wherever they are; one log
    // line names the parts that held them.
    static void leaveOutWhatXmlCannotHold(Parts& parts);
    static Result<Contents> contentsOf(Parts parts, const RecordsMade* made);
};
