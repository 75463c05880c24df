#pragma once

#include "ImportSheetBase.h"

// File ▸ Import ▸ Tab-Delimited Text…: a tab-separated file, each line a record and each
// piece between tabs a value in field order. Pieces beyond the datafile's fields are
// dropped and the user is told; a new datafile is saved only when none were.
class ImportTabDelimitedSheetController : public ImportSheetBase {
    Q_OBJECT

public:
    void importTabDelimitedFile(NewDatafileMaker sender);
    void importTabDelimitedFileDidEnd(int returnCode);
    // Reads the file into the target's records; whether some line had more pieces than the
    // datafile has fields.
    bool convertTabDelimitedFile(FeatureContext& target);

    qsizetype incomingFieldCount() const { return m_incomingFieldCount; }

protected:
    QString nibName() const override { return QStringLiteral("ImportTabDelimitedSheet"); }
    void importDidEnd() override { importTabDelimitedFileDidEnd(1); }

private:
    void reportTooManyTabs(QWidget* window) const;

    QString m_tabDelimitedFileContent;
    qsizetype m_incomingFieldCount = 0;
};
