#pragma once

#include "CSVRecordReader.h"
#include "ImportSheetBase.h"

// File ▸ Import ▸ CSV…: a comma-separated file, read whole before the sheet asks where its
// records go, each line a record. Records that have fewer or more values than the first
// are padded or joined, and the user is told how often and on which lines.
class ImportCSVSheetController : public ImportSheetBase {
    Q_OBJECT

public:
    static inline const QString MalformedDataMessage =
        QStringLiteral("The imported file contained some malformed data.");

    void importCSVFile(NewDatafileMaker sender);
    void importCSVFileDidEnd(int returnCode);
    // Parses the file's text; the first record's number of values, 0 when it is not CSV.
    qsizetype convertCSVtoArrayOfRecords();

    const QList<QStringList>& arrayOfRecords() const { return m_parsed.records; }
    qsizetype incomingFieldCount() const { return m_parsed.fieldCount; }
    qint64 malformedRecordCount() const { return m_parsed.malformedRecordCount; }

protected:
    QString nibName() const override { return QStringLiteral("ImportCSVSheet"); }
    void importDidEnd() override { importCSVFileDidEnd(1); }

private:
    void reportMalformedData(QWidget* window) const;

    QString m_CSVFileContent;
    CSVRecordReader::Result m_parsed;
};
