#pragma once

#include "ImportSheetBase.h"

// File ▸ Import ▸ Entourage Contacts…: a tab-separated contacts export whose first line
// names the columns; each later line a record, its last column the record's text.
class ImportEntourageContactsController : public ImportSheetBase {
    Q_OBJECT

public:
    void importEntourageContactsFile(NewDatafileMaker sender);
    void importEntourageContactsFileDidEnd(int returnCode);
    // Reads the file into the target's records.
    void convertEntourageContactsFile(FeatureContext& target);

    qsizetype incomingFieldCount() const { return m_incomingFieldCount; }

protected:
    QString nibName() const override { return QStringLiteral("ImportEntourageContactsSheet"); }
    void buildInterface(QDialog* window) override;
    void importDidEnd() override { importEntourageContactsFileDidEnd(1); }

private:
    QString m_entourageContactsFileContent;
    qsizetype m_incomingFieldCount = 0;
};
