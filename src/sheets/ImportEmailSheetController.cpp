#include "ImportEmailSheetController.h"

#include "CurrentRecordEngine.h"
#include "DatafileDocument.h"
#include "EditorSortController.h"
#include "EditorWindowController.h"
#include "EmailMessage.h"
#include "FeatureContext.h"
#include "ImportRecordSink.h"
#include "Localization.h"
#include "Mailbox.h"
#include "ParallelChunks.h"
#include "Presenter.h"
#include "SortCriteriaData.h"
#include "StopKeyMonitor.h"
#include "StringFormat.h"
#include "SubsetSortedData.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRadioButton>
#include <QThread>

#include <atomic>

namespace {

// Enough messages to keep every core busy, few enough to show the count and see the stop
// keys often.
constexpr size_t MessagesInABatch = 256;

QStringList emailFieldNames()
{
    QStringList names;
    for (const QString& name : EmailMessage::fieldNames())
        names.append(localized(name));
    return names;
}

} // namespace

ImportRecordSink::Record ImportEmailSheetController::recordFor(const EmailMessage::Content& content,
                                                               bool textOnly)
{
    ImportRecordSink::Record record;
    for (const std::optional<QString>& value : content.fields)
        record.values.append(value.value_or(QString()));
    EmailMessage::RecordText text = EmailMessage::recordText(content, textOnly);
    record.text = std::move(text.text);
    record.rtfd = std::move(text.rtfd);
    return record;
}

namespace {

EditorWindowController* editorOf(FeatureContext& target)
{
    if (DatafileDocument* document = target.document()) {
        for (const std::unique_ptr<WindowController>& controller : document->windowControllers()) {
            auto* editor = dynamic_cast<EditorWindowController*>(controller.get());
            if (editor && &editor->featureContext() == &target)
                return editor;
        }
    }
    return nullptr;
}

// By the Date field, as e-mail dates, newest first.
void sortNewestFirst(FeatureContext& target)
{
    if (EditorWindowController* editor = editorOf(target)) {
        editor->sortController().setSortColumn(EmailMessage::DateField);
        editor->sortController().sortDatafileByCriterion(SortCriteriaData::EmailDateKind, true);
    }
}

// The work waits while the main thread does it.
void onMainThread(const std::function<void()>& work)
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), work, Qt::BlockingQueuedConnection);
}

} // namespace

struct ImportEmailSheetController::FolderRun {
    int client = 2;
    QString folderPath;
    bool textOnly = false;
    bool mergeIntoCurrent = false;
    QPointer<EditorWindowController> target;
    QPointer<ImportEmailSheetController> controller;
    // Made on the main thread before the worker starts, gone once it is through.
    std::unique_ptr<StopKeyMonitor> stopKeys;
    std::atomic<bool> cancelled{false};
    qint64 added = 0;
    // Records wait here a moment and go in together: each addition walks the whole
    // catalog, so one a message would make a large folder quadratic.
    QList<ImportRecordSink::Record> pending;
    QElapsedTimer sincePendingAdded;

    void addPending()
    {
        if (target && !pending.isEmpty())
            ImportRecordSink::insert(target->featureContext(), pending);
        pending.clear();
        sincePendingAdded.start();
    }
};

ImportEmailSheetController::~ImportEmailSheetController()
{
    if (m_importEmailThread && m_importEmailThread->isRunning()) {
        // The worker may be waiting for this thread: let it through to its end.
        m_folderRun->cancelled = true;
        while (!m_importEmailThread->wait(QDeadlineTimer(20)))
            QCoreApplication::processEvents();
    }
}

void ImportEmailSheetController::buildInterface(QDialog* window)
{
    ImportSheetBase::buildInterface(window);
    namesInFirstRecord()->hide();
    auto* kinds = new QButtonGroup(window);
    m_importHTML =
        new QRadioButton(localized(QStringLiteral("Rich text from HTML messages")), contentArea());
    m_importText = new QRadioButton(localized(QStringLiteral("Plain text only")), contentArea());
    m_importHTML->setChecked(true);
    contentLayout()->addSpacing(8);
    for (QRadioButton* button : {m_importHTML, m_importText}) {
        kinds->addButton(button);
        contentLayout()->addWidget(button);
    }
}

bool ImportEmailSheetController::importTextOnly() const
{
    return m_importText && m_importText->isChecked();
}

void ImportEmailSheetController::importEmailFile(int client, NewDatafileMaker sender)
{
    OpenPanelKind kind;
    kind.message = localized(QStringLiteral("Select a message File to Import"));
    const std::optional<QString> path = chooseImportFile(std::move(sender), kind);
    if (!path)
        return;
    setEmailClient(client);
    // Read only once the user said where the records go.
    m_emailFilePath = *path;
    m_emailFolderPath = *path;
    m_folderImport = false;
    beginEmailSheet();
}

void ImportEmailSheetController::importEmailFolder(int client, NewDatafileMaker sender)
{
    m_emailFolderName = QStringLiteral("Email");
    const std::optional<QString> folder = chooseImportFolder(
        std::move(sender), localized(QStringLiteral("Select a Messages Folder to Import")));
    if (!folder)
        return;
    setEmailClient(client);
    m_emailFolderPath = *folder;
    m_emailFolderName = stringWithFormat(localized(QStringLiteral("%@ Email")),
                                         QFileInfo(*folder).completeBaseName());
    m_folderImport = true;
    beginEmailSheet();
}

void ImportEmailSheetController::beginEmailSheet()
{
    beginImportSheet(EmailMessage::FieldCount);
}

void ImportEmailSheetController::importDidEnd()
{
    if (m_folderImport)
        importEmailFolderDidEnd(1);
    else
        importEmailFileDidEnd(1);
}

void ImportEmailSheetController::importEmailFileDidEnd(int returnCode)
{
    if (returnCode != 1)
        return;
    FeatureContext* target = importTarget(emailFieldNames(), QStringLiteral("Email"),
                                          localized(QStringLiteral("Message")));
    if (!target)
        return;
    const bool createNew = createNewIsOn();
    if (!createNew && target->hasCurrentRecordEngine())
        target->engine().goToLastRecord();
    m_importTextOnly = importTextOnly();
    target->progress().startIndeterminateProgressPanel(localized(QStringLiteral("Importing...")));
    QFile file(m_emailFilePath);
    QByteArray mailbox;
    if (file.open(QIODevice::ReadOnly))
        mailbox = file.readAll();
    if (mailbox.isEmpty()) {
        target->progress().endIndeterminateProgressPanel();
        ImportRecordSink::reportNothingImported(target->window());
        return;
    }
    {
        const StopKeyMonitor stopKeys;
        convertEmailFile(mailbox, m_emailClient, m_importTextOnly, mergeIntoCurrentIsOn(), *target,
                         [&stopKeys] { return stopKeys.stopRequested(); });
    }
    target->progress().endIndeterminateProgressPanel();
    if (target->catalog()->count() == 0) {
        ImportRecordSink::reportNothingImported(target->window());
        target->host().addRecord();
        return;
    }
    if (target->hasCurrentRecordEngine()) {
        CurrentRecordEngine& engine = target->engine();
        engine.goToFirstRecord();
        if (appendToCurrentIsOn()) {
            engine.goToNextRecord();
            engine.goToFirstRecord();
        }
    }
    if (!appendToCurrentIsOn())
        sortNewestFirst(*target);
    if (createNew) {
        bringToFront(*target);
        target->document()->saveDocument();
    }
}

qint64 ImportEmailSheetController::convertEmailFile(QByteArrayView mailbox, int client,
                                                    bool textOnly, bool mergeIntoCurrent,
                                                    FeatureContext& target,
                                                    const std::function<bool()>& stopRequested)
{
    MailboxCutter cutter(mailbox, client);
    QList<ImportRecordSink::Record> records;
    QElapsedTimer sinceShown;
    std::vector<QByteArrayView> batch;
    std::vector<ImportRecordSink::Record> made;
    bool stopped = false;
    while (!stopped) {
        // Messages are made into records a batch at a time on every core, each on its
        // own: the records are plain values until the model takes them here, in order.
        batch.clear();
        while (batch.size() < MessagesInABatch) {
            const std::optional<QByteArrayView> message = cutter.next();
            if (!message)
                break;
            batch.push_back(*message);
        }
        if (batch.empty())
            break;
        // The count and the keys as often as a user notices, not once a message.
        if (!sinceShown.isValid() || sinceShown.elapsed() >= 50) {
            target.progress().incrementProgressPanel(stringWithFormat(
                localized(QStringLiteral("Importing...  %d")), qint64(records.size() + 1)));
            QCoreApplication::processEvents();
            sinceShown.start();
        }
        made.assign(batch.size(), {});
        forEachChunk(
            qsizetype(batch.size()),
            [&](qsizetype begin, qsizetype end) {
                for (qsizetype index = begin; index < end; ++index) {
                    const QByteArrayView message = batch[size_t(index)];
                    made[size_t(index)] = recordFor(
                        EmailMessage::createRecordFromMessage(message.toByteArray(), message.size(),
                                                              client, QString(), textOnly),
                        textOnly);
                }
            },
            8);
        // A stop keeps the records of the messages before it, as if each were made after
        // the one before.
        for (ImportRecordSink::Record& record : made) {
            records.append(std::move(record));
            if (stopRequested && stopRequested()) {
                stopped = true;
                break;
            }
        }
    }
    if (!records.isEmpty())
        ImportRecordSink::insert(target, records);
    ImportRecordSink::finish(target, mergeIntoCurrent && !records.isEmpty());
    target.host().reloadStatusBar();
    return records.size();
}

void ImportEmailSheetController::importEmailFolderDidEnd(int returnCode)
{
    if (returnCode != 1)
        return;
    if (m_importEmailThread && m_importEmailThread->isRunning()) {
        // One folder at a time.
        Presenter::shared().beep();
        return;
    }
    FeatureContext* target =
        importTarget(emailFieldNames(), m_emailFolderName, localized(QStringLiteral("Message")));
    EditorWindowController* editor = target ? editorOf(*target) : nullptr;
    if (!editor)
        return;
    if (!createNewIsOn())
        editor->engine().goToLastRecord();
    auto run = std::make_shared<FolderRun>();
    run->client = m_emailClient;
    run->folderPath = m_emailFolderPath;
    run->textOnly = m_importTextOnly = importTextOnly();
    run->mergeIntoCurrent = mergeIntoCurrentIsOn();
    run->target = editor;
    run->controller = this;
    run->stopKeys = std::make_unique<StopKeyMonitor>();
    m_folderRun = run;
    editor->startMailProgressPanel(localized(QStringLiteral("Importing...")));
    m_importEmailThread.reset(QThread::create([run] { convertLionEmailFolder(run); }));
    m_importEmailThread->start();
}

void ImportEmailSheetController::convertLionEmailFolder(const std::shared_ptr<FolderRun>& run)
{
    const QStringList files = MailFolder::buildLionEmailFileArray(run->folderPath);
    const qint64 fileCount = files.size();
    const QString counting =
        stringWithFormat(localized(QStringLiteral("Importing %u Messages\n")), fileCount);
    for (const QString& path : files) {
        if (run->cancelled || run->stopKeys->stopRequested())
            break;
        std::optional<QByteArray> bytes = MailFolder::readMessageFile(path);
        if (!bytes)
            continue;
        const QString fileName = QFileInfo(path).fileName();
        const qsizetype end = MailFolder::emlxMessageEnd(*bytes);
        ImportRecordSink::Record record =
            recordFor(EmailMessage::createRecordFromMessage(std::move(*bytes), end, run->client,
                                                            fileName, run->textOnly),
                      run->textOnly);
        // The model and the window are the main thread's.
        onMainThread([&] {
            if (!run->target) {
                run->cancelled = true;
                return;
            }
            run->pending.append(std::move(record));
            if (!run->sincePendingAdded.isValid() || run->sincePendingAdded.elapsed() >= 100)
                run->addPending();
            ++run->added;
            run->target->incrementMailProgressPanel(
                stringWithFormat(QStringLiteral("%@ File Name: %@"), counting, fileName),
                fileCount);
            if (run->controller)
                Q_EMIT run->controller->messageImported(run->added);
        });
    }
    onMainThread([&] {
        run->stopKeys.reset();
        run->addPending();
        if (!run->target)
            return;
        FeatureContext& target = run->target->featureContext();
        ImportRecordSink::finish(target, run->mergeIntoCurrent && run->added > 0);
        sortNewestFirst(target);
        target.host().reloadStatusBar();
        target.progress().endIndeterminateProgressPanel();
    });
}

qint64 ImportEmailSheetController::convertOutlookEmailFolder(const QString& folderPath, int client,
                                                             bool textOnly, bool mergeIntoCurrent,
                                                             FeatureContext& target)
{
    QList<ImportRecordSink::Record> records;
    for (const QString& path : MailFolder::outlookEmailFileArray(folderPath)) {
        std::optional<QByteArray> bytes = MailFolder::readMessageFile(path);
        if (!bytes)
            continue;
        if (bytes->isEmpty()) {
            records.append({QStringList(EmailMessage::FieldCount, QString()), std::nullopt, {}});
            continue;
        }
        const qsizetype size = bytes->size();
        records.append(recordFor(EmailMessage::createRecordFromMessage(std::move(*bytes), size,
                                                                       client, QString(), textOnly),
                                 textOnly));
    }
    if (!records.isEmpty())
        ImportRecordSink::insert(target, records);
    ImportRecordSink::finish(target, mergeIntoCurrent && !records.isEmpty());
    sortNewestFirst(target);
    return records.size();
}
