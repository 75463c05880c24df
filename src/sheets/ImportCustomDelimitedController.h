#pragma once

#include "ImportRecordSink.h"
#include "ImportSheetBase.h"

#include <QTextDocument>

#include <memory>

class QPlainTextEdit;

// File ▸ Import ▸ Custom-Delimited Text…: a text or rich-text file cut at a delimiter the
// user types, each non-empty piece a record's text; the fields stay empty.
class ImportCustomDelimitedController : public ImportSheetBase {
    Q_OBJECT

public:
    void importCustomDelimitedFile(NewDatafileMaker sender);
    void importCustomDelimitedFileDidEnd(int returnCode);

    // The delimiter as typed, line ends and all.
    QString delimiterText() const;
    QPlainTextEdit* delimiterTextView() const { return m_delimiterText; }

    // The file's pieces as records, cut at the delimiter.
    QList<ImportRecordSink::Record> records(const QString& delimiter) const;

protected:
    QString nibName() const override { return QStringLiteral("ImportCustomDelimited"); }
    void buildInterface(QDialog* window) override;
    void importDidEnd() override { importCustomDelimitedFileDidEnd(1); }

private:
    bool readFile(const QString& path);

    QString m_plainTextFileContent;
    std::unique_ptr<QTextDocument> m_rtfFileContent;
    bool m_importingPlainText = false;
    QPlainTextEdit* m_delimiterText = nullptr;
};
