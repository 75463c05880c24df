#include "SynchronizationController.h"

#include "EditorTableController.h"
#include "EditorToolbarController.h"
#include "EditorWindowController.h"
#include "Localization.h"
#include "VKArrayCategories.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QString BasicMode = QStringLiteral("Basic");

} // namespace

SynchronizationController::SynchronizationController() = default;

SynchronizationController::~SynchronizationController() = default;

void SynchronizationController::makeWindow()
{
    m_window = std::make_unique<QWidget>(nullptr, Qt::Window);
    m_window->setObjectName(WindowName);
    m_window->setWindowTitle(localized(QStringLiteral("Synchronization Conflicts")));
    m_window->installEventFilter(this);
    auto* layout = new QVBoxLayout(m_window.get());
    m_recordListTable = new QTableWidget(0, 2, m_window.get());
    const std::pair<int, const char*> columns[] = {{LocalNumberColumn, "Local Record"},
                                                   {RemoteNumberColumn, "Remote Record"}};
    for (const auto& [identifier, title] : columns) {
        auto* header = new QTableWidgetItem(localized(QString::fromLatin1(title)));
        header->setData(Qt::UserRole, identifier);
        m_recordListTable->setHorizontalHeaderItem(identifier, header);
    }
    m_recordListTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_recordListTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_recordListTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_recordListTable->verticalHeader()->hide();
    m_recordListTable->horizontalHeader()->setStretchLastSection(true);
    m_recordListTable->horizontalHeader()->setSectionsClickable(false);
    connect(m_recordListTable, &QTableWidget::cellClicked, this, [this] { clickedTable(); });
    layout->addWidget(m_recordListTable);

    auto* navigation = new QHBoxLayout;
    m_previousButton = new QPushButton(localized(QStringLiteral("Previous")), m_window.get());
    m_nextButton = new QPushButton(localized(QStringLiteral("Next")), m_window.get());
    m_recordFinishedButton = new QPushButton(localized(QStringLiteral("Record Finished")), m_window.get());
    navigation->addWidget(m_previousButton);
    navigation->addWidget(m_nextButton);
    navigation->addStretch();
    navigation->addWidget(m_recordFinishedButton);
    layout->addLayout(navigation);
    auto* ending = new QHBoxLayout;
    m_cancelButton = new QPushButton(localized(QStringLiteral("Cancel")), m_window.get());
    m_doneButton = new QPushButton(localized(QStringLiteral("Done")), m_window.get());
    ending->addStretch();
    ending->addWidget(m_cancelButton);
    ending->addWidget(m_doneButton);
    layout->addLayout(ending);
    connect(m_previousButton, &QPushButton::clicked, this, [this] { clickedPreviousButton(); });
    connect(m_nextButton, &QPushButton::clicked, this, [this] { clickedNextButton(); });
    connect(m_recordFinishedButton, &QPushButton::clicked, this,
            [this] { clickedRecordFinishedButton(); });
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { clickedCancelButton(); });
    connect(m_doneButton, &QPushButton::clicked, this, [this] { clickedDoneButton(); });
    m_window->resize(360, 300);
}

void SynchronizationController::switchToBasicView(EditorWindowController& editor)
{
    const std::shared_ptr<DatafileSettingsData> settings = editor.settings();
    if (settings->mode() == BasicMode)
        return;
    editor.toolbarController().setToolbarViewButton(BasicMode);
    settings->setMode(BasicMode);
    settings->setDatafileSettingsDidChange(true);
    if (EditorTableController* tables = editor.tableController())
        tables->changeMode(BasicMode);
}

void SynchronizationController::initSyncController(EditorWindowController& local,
                                                   EditorWindowController& remote,
                                                   const QStringList& recordList,
                                                   int creationMethod,
                                                   EditorWindowController* sender, Finished done,
                                                   Finished cancelled)
{
    m_creationMethod = creationMethod;
    m_sender = sender;
    m_localDatafile = &local;
    m_remoteDatafile = &remote;
    m_done = std::move(done);
    m_cancelled = std::move(cancelled);
    // One record at a time in both windows, side by side.
    if (!local.settings()->fields().isEmpty()) {
        switchToBasicView(local);
        switchToBasicView(remote);
    }
    if (!m_window)
        makeWindow();
    m_unresolvedRecordIDs = recordList;
    m_IDindex = 0;
    reloadTable();
    selectCurrentRow();
    remote.window()->raise();
    remote.window()->update();
    m_doneButton->setEnabled(false);
    m_window->show();
    m_window->raise();
}

QString SynchronizationController::tableViewObjectValue(int columnIdentifier, qsizetype row) const
{
    if (row < 0 || row >= m_unresolvedRecordIDs.size())
        return QString();
    EditorWindowController* editor = columnIdentifier != 0 ? m_remoteDatafile : m_localDatafile;
    if (!editor)
        return QString();
    const qint64 index = editor->engine().indexOfRecordWithIdentifier(m_unresolvedRecordIDs.at(row));
    return QString::asprintf("%ld", index == VKArrayCategories::NotFound ? 0L : long(index + 1));
}

void SynchronizationController::reloadTable()
{
    m_recordListTable->setRowCount(int(m_unresolvedRecordIDs.size()));
    for (int row = 0; row < m_recordListTable->rowCount(); ++row) {
        for (int column = 0; column < m_recordListTable->columnCount(); ++column) {
            const int identifier =
                m_recordListTable->horizontalHeaderItem(column)->data(Qt::UserRole).toInt();
            m_recordListTable->setItem(row, column,
                                       new QTableWidgetItem(tableViewObjectValue(identifier, row)));
        }
    }
}

void SynchronizationController::selectCurrentRow()
{
    if (m_unresolvedRecordIDs.isEmpty())
        return;
    m_recordListTable->clearSelection();
    m_recordListTable->selectRow(int(m_IDindex));
    const QString& identifier = m_unresolvedRecordIDs.at(m_IDindex);
    for (EditorWindowController* editor : {m_localDatafile.data(), m_remoteDatafile.data()}) {
        if (!editor)
            continue;
        CurrentRecordEngine& engine = editor->engine();
        const qint64 index = engine.indexOfRecordWithIdentifier(identifier);
        // One not shown there leaves the window at its first record.
        engine.loadRecordAtIndex(index);
    }
}

void SynchronizationController::clickedNextButton()
{
    if (m_unresolvedRecordIDs.isEmpty())
        return;
    m_IDindex = m_IDindex + 1 >= m_unresolvedRecordIDs.size() ? 0 : m_IDindex + 1;
    selectCurrentRow();
}

void SynchronizationController::clickedPreviousButton()
{
    if (m_unresolvedRecordIDs.isEmpty())
        return;
    m_IDindex = m_IDindex == 0 ? m_unresolvedRecordIDs.size() - 1 : m_IDindex - 1;
    selectCurrentRow();
}

void SynchronizationController::clickedRecordFinishedButton()
{
    if (m_unresolvedRecordIDs.isEmpty())
        return;
    m_unresolvedRecordIDs.removeAt(m_IDindex);
    if (m_unresolvedRecordIDs.isEmpty()) {
        reloadTable();
        m_doneButton->setEnabled(true);
        return;
    }
    if (m_IDindex >= m_unresolvedRecordIDs.size())
        m_IDindex = 0;
    reloadTable();
    selectCurrentRow();
}

void SynchronizationController::clickedTable()
{
    const int row = m_recordListTable->currentRow();
    if (row < 0 || row >= m_unresolvedRecordIDs.size())
        return;
    m_IDindex = row;
    selectCurrentRow();
}

void SynchronizationController::clickedDoneButton()
{
    if (!m_unresolvedRecordIDs.isEmpty() || !m_done)
        return;
    std::exchange(m_done, {})();
}

void SynchronizationController::clickedCancelButton()
{
    if (Finished cancelled = std::exchange(m_cancelled, {}))
        cancelled();
}

void SynchronizationController::closeWindow()
{
    m_closing = true;
    if (m_window)
        m_window->hide();
}

bool SynchronizationController::eventFilter(QObject* watched, QEvent* event)
{
    // Closed by its close box: the sync is given up, as with Cancel.
    if (watched == m_window.get() && event->type() == QEvent::Close && !m_closing) {
        clickedCancelButton();
        return false;
    }
    return QObject::eventFilter(watched, event);
}
