#pragma once

#include "DatafileFormat.h"

#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class FeatureContext;
class IncomingDatafile;
class QWidget;
class RecordData;

// The editor window's commands on the datafile as a whole: merging another datafile
// into it, saving it as the other kind, saving the selected records as a new datafile,
// splitting it in two and showing its file.
//   EditorDatafileController.cpp          showing the file
//   EditorDatafileControllerMerging.cpp   merging
//   EditorDatafileControllerSaving.cpp    saving as the other kind, saving selected records
//   EditorDatafileControllerSplitting.cpp deleting the selected records, splitting
class EditorDatafileController : public QObject {
    Q_OBJECT

public:
    // The mobile kind's size limit; a larger mobile datafile is reported.
    static constexpr qint64 MobileSizeLimit = 419'430'400;

    explicit EditorDatafileController(FeatureContext& context);

    // The file (EditorDatafileController.cpp).
    // Shows the datafile's file in the file manager.
    void revealInFinder();

    // Merging (EditorDatafileControllerMerging.cpp).
    // Asks how to merge, then which datafile.
    void mergeDatafiles();
    void combineFilesDidEnd(int returnCode, int combiningMode);
    // Asks for the datafile of this kind to merge, then merges it.
    void combineDatafiles();
    // Merges the file's records by field position in the combining mode, and tells what
    // it did.
    void combineDatafile(const IncomingDatafile& incoming, const QString& fileName);
    int combiningMode() const { return m_combiningMode; }
    void setCombiningMode(int mode) { m_combiningMode = mode; }

    // Saving (EditorDatafileControllerSaving.cpp).
    void saveAsOtherFormatDatafile();
    void saveAsNorvaMobileDatafile();
    void saveAsNorva3Datafile();
    // The selected records into a new desktop datafile; whether it was written.
    bool performSaveSelectedAs();
    // The plain text a record takes into the mobile kind: its own, else its rich text's,
    // every line break a line feed.
    static QString mobileText(const RecordData& record);
    // The size in megabytes, as the warning shows it, of a mobile datafile too large;
    // nothing for one within the limit.
    static std::optional<QString> tooLargeSizeText(qint64 bytes);
    void reportFileTooLarge(const QString& sizeText);

    // Splitting (EditorDatafileControllerSplitting.cpp).
    // Deletes every selected record, all of them if need be, and saves.
    void deleteSelectedRecords();
    // The selected records, or the second half of all, into a new datafile and out of
    // this one.
    void splitDatafile();
    void splitDatafileDidEnd(int returnCode);

    // A new datafile as the save panel asks for it, in the datafiles folder; nothing when
    // cancelled.
    static std::optional<QUrl> askForNewDatafile(const QString& title, const QString& extension,
                                                 const QString& proposedName, QWidget* window);
    // Writes a datafile made from another and opens it (the kind is the file's
    // extension's); false, after telling the user why on the window, when it could not be
    // written.
    static bool writeAndOpen(const QUrl& url, const DatafileFormat::Parts& datafile,
                             QWidget* window);
    // The same for a datafile made of new records, which the document opened takes over.
    static bool writeAndOpen(const QUrl& url, const PlistDictionary& settings,
                             const std::shared_ptr<DatafileRecordsData>& records,
                             const PlistArray& catalog, QWidget* window);

private:
    void registerCommand(const char* selector, std::function<void()> command);
    void saveAsOtherKind(bool toMobile);
    // Writes a new datafile's file unless a datafile open here is that file; false, after
    // telling the user why on the window, when it was not written.
    static bool writeNewDatafile(const QUrl& url,
                                 const std::function<std::optional<QString>(const QString& path)>& write,
                                 QWidget* window);
    // The selected records into a new desktop datafile, moving out of this one or copied.
    bool saveSelectedRecords(bool moving);
    // Splitting's last step: the selected records into a new file, then out of here.
    void moveSelectedRecordsToNewFile();

    FeatureContext& m_context;
    int m_combiningMode = 0;
    QUrl m_mergedURL;
};
