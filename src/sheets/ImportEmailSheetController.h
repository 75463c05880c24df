#pragma once

#include "EmailMessage.h"
#include "ImportRecordSink.h"
#include "ImportSheetBase.h"

#include <QByteArrayView>
#include <QThread>

#include <functional>
#include <memory>

class QRadioButton;

// File ▸ Import ▸ the mail items: the messages of one program's mailbox file, cut on the
// main thread and converted a batch at a time on every core, or every message file below
// a mail folder, read and parsed on a worker while the window shows how far it got. Each message is a record of
// the eight e-mail fields, its text rich from HTML or plain by choice, newest first.
// Escape or Ctrl+period stops after the current message and keeps what came in.
class ImportEmailSheetController : public ImportSheetBase {
    Q_OBJECT

public:
    ~ImportEmailSheetController() override;

    // Mailbox files of clients 3 to 8.
    void importEmailFile(int client, NewDatafileMaker sender);
    void importEmailFileDidEnd(int returnCode);
    // A folder of message files, client 2.
    void importEmailFolder(int client, NewDatafileMaker sender);
    void importEmailFolderDidEnd(int returnCode);

    int emailClient() const { return m_emailClient; }
    void setEmailClient(int client) { m_emailClient = client; }
    bool importTextOnly() const;
    QRadioButton* importHTML() const { return m_importHTML; }
    QRadioButton* importText() const { return m_importText; }
    // A new datafile's draft name for the folder chosen.
    const QString& emailFolderName() const { return m_emailFolderName; }
    // The last folder import's worker while it lives; nullptr before the first.
    QThread* importEmailThread() const { return m_importEmailThread.get(); }

    // The messages of a mailbox file's bytes added to the target, one record each after
    // its records, all selected (duplicates stripped when merging); how many came in.
    // `stopRequested` is asked after each message.
    static qint64 convertEmailFile(QByteArrayView mailbox, int client, bool textOnly,
                                   bool mergeIntoCurrent, FeatureContext& target,
                                   const std::function<bool()>& stopRequested);
    // A message's record, its HTML read as rich or plain text: a plain value, made on any
    // thread.
    static ImportRecordSink::Record recordFor(const EmailMessage::Content& content, bool textOnly);
    // Every file directly in the folder as a message of a mail client that ends its lines
    // with CR; nothing shows progress. How many came in.
    static qint64 convertOutlookEmailFolder(const QString& folderPath, int client, bool textOnly,
                                            bool mergeIntoCurrent, FeatureContext& target);

Q_SIGNALS:
    // A folder import's record is in: the count so far.
    void messageImported(qint64 count);

protected:
    QString nibName() const override { return QStringLiteral("ImportEmailSheet"); }
    void buildInterface(QDialog* window) override;
    void importDidEnd() override;

private:
    struct FolderRun;
    static void convertLionEmailFolder(const std::shared_ptr<FolderRun>& run);
    void beginEmailSheet();

    int m_emailClient = 0;
    QString m_emailFilePath;
    QString m_emailFolderPath;
    QString m_emailFolderName = QStringLiteral("Email");
    bool m_importTextOnly = false;
    bool m_folderImport = false;
    std::unique_ptr<QThread> m_importEmailThread;
    std::shared_ptr<FolderRun> m_folderRun;

    QRadioButton* m_importHTML = nullptr;
    QRadioButton* m_importText = nullptr;
};
