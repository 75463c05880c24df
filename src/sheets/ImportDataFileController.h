#pragma once

#include "ImportRecordSink.h"
#include "ImportSheetBase.h"
#include "Norva1DatafileReader.h"

#include <QString>

#include <functional>

class FeatureContext;
struct Notification;

// File ▸ Import ▸ Norva 2 Datafile…, Norva 1 Datafile…, Kestrowan File…, Marlocan Card
// Deck… and Norva 2 Template…: one panel for the file, then the converter of its kind.
// Norva 2 files are copied whole into a current file placed by the user; the older ones
// become new datafiles. Nothing is kept between imports but the application that asked.
class ImportDataFileController {
public:
    // Who asked: the application's import sink and its two menus.
    struct Sender {
        ImportSheetBase::NewDatafileMaker createNewImportedDatafile;
        std::function<void()> setupDatafilesMenu;
        std::function<void()> setupTemplatesMenu;
    };

    enum Kind : int {
        Norva2Datafile = 1,
        Norva1Datafile = 2, // also Kestrowan files
        MarlocanCardDeck = 3,
        Norva2Template = 4,
    };

    static inline const QString ImportFinishedNotification = QStringLiteral("ImportFinished");
    // The finish of a Norva 1 import saves the new datafile once it has waited this long.
    static constexpr double FinishPause = 0.5;
    static constexpr double FinishWait = 30.0;

    static void importDatafile(int kind, Sender sender);

    static void convertNorva2File(const QString& path);
    static void convertNorva2Template(const QString& path);
    static void convertNorva1File(const QString& path);
    static void convertMarlocan2File(const QString& path);

    // A Norva 1 file's records as the record sink takes them.
    static QList<ImportRecordSink::Record> sinkRecords(QList<Norva1DatafileReader::Record> read);

    // What the notifications of this class are posted with.
    static const void* notificationObject();

private:
    static void convertNorva2(const QString& path, bool isTemplate);
    static void processNorva1File(FeatureContext& target, const QByteArray& dataFork);
    static void registerImportFinished();
    static void importFinished(const Notification& notification);
};
