#pragma once

#include "ImportSheetBase.h"

// File ▸ Import ▸ Folder of Text Files… and …with Their Names…: every text and rich-text
// file of one folder a record's text, with its name in the first field when asked.
class ImportTextFilesController : public ImportSheetBase {
    Q_OBJECT

public:
    void importFolderOfTextFiles(NewDatafileMaker sender);
    void importFolderOfTextFilesWithFileNames(NewDatafileMaker sender);
    void importFolderOfTextFilesDidEnd(int returnCode);
    void importFolderOfTextFilesWithFileNamesDidEnd(int returnCode);

    const QString& folderURL() const { return m_folderURL; }

protected:
    QString nibName() const override { return QStringLiteral("ImportTextFilesSheet"); }
    void buildInterface(QDialog* window) override;
    void importDidEnd() override;

private:
    void chooseFolder(NewDatafileMaker sender, bool withFileNames);
    void importFolder(bool withFileNames);

    QString m_folderURL;
    bool m_withFileNames = false;
};
