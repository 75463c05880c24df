#include "WiFiListRequestController.h"

#include "Application.h"
#include "DocumentController.h"
#include "FileURL.h"
#include "KeyedUnarchiver.h"
#include "Localization.h"
#include "Presenter.h"
#include "ProgressPanel.h"
#include "SafeFileWriter.h"
#include "StringFormat.h"
#include "SyncController.h"
#include "SystemLog.h"
#include "UserDefaults.h"
#include "WindowFrameAutosave.h"

#include <QAbstractTableModel>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString TitleKey = QStringLiteral("title");
const QString DatafileExtension = QStringLiteral(".nv3");

} // namespace

// The list window's table, read through the controller's data-source operations.
class ListRequestTableModel : public QAbstractTableModel {
public:
    ListRequestTableModel(WiFiListRequestController& controller, QObject* parent)
        : QAbstractTableModel(parent), m_controller(controller)
    {
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_controller.numberOfRowsInTableView();
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override { return parent.isValid() ? 0 : 1; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
            return QVariant();
        return m_controller.tableViewObjectValue(index.row());
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        Qt::ItemFlags flags = QAbstractTableModel::flags(index) & ~Qt::ItemIsEditable;
        if (!m_controller.tableViewShouldSelectRow(index.row()))
            flags &= ~Qt::ItemIsSelectable;
        return flags;
    }
    void reload()
    {
        beginResetModel();
        endResetModel();
    }

private:
    WiFiListRequestController& m_controller;
};

WiFiListRequestController::WiFiListRequestController(Hooks hooks) : m_hooks(std::move(hooks)), m_discovery(*this)
{
    // The application's commands work from this window too.
    setNextResponder(dynamic_cast<Responder*>(Application::shared().delegate()));
    // Loads the window, which closing only hides.
    WindowFrameAutosave::setFrameAutosaveName(window(), NibName);
}

WiFiListRequestController::~WiFiListRequestController()
{
    m_discovery.shutDownNetServices();
}

QString WiFiListRequestController::windowTitleForDocumentDisplayName(const QString&) const
{
    return localized(QStringLiteral("Datafiles on Norva Mobile PLUS"));
}

std::unique_ptr<QWidget> WiFiListRequestController::makeWindow()
{
    auto window = std::make_unique<QWidget>();
    window->setWindowTitle(windowTitleForDocumentDisplayName(QString()));
    if (m_hooks.installKeyEquivalents)
        m_hooks.installKeyEquivalents(window.get());
    auto* layout = new QVBoxLayout(window.get());
    m_listTable = new QTableView;
    m_listModel = new ListRequestTableModel(*this, m_listTable);
    m_listTable->setModel(m_listModel);
    m_listTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listTable->horizontalHeader()->setStretchLastSection(true);
    m_listTable->horizontalHeader()->hide();
    m_listTable->verticalHeader()->hide();
    m_listTable->setShowGrid(false);
    layout->addWidget(m_listTable);
    auto* buttons = new QHBoxLayout;
    m_downloadButton = new QPushButton(localized(QStringLiteral("Download")));
    m_doneButton = new QPushButton(localized(QStringLiteral("Done")));
    m_doneButton->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(m_downloadButton);
    buttons->addWidget(m_doneButton);
    layout->addLayout(buttons);
    window->resize(360, 320);

    connect(m_listTable->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { clickedTable(); });
    connect(m_downloadButton, &QPushButton::clicked, this, [this] { clickedDownloadButton(); });
    connect(m_doneButton, &QPushButton::clicked, this, [this] { clickedDoneButton(); });
    return window;
}

void WiFiListRequestController::windowDidLoad()
{
    m_WiFiList = PlistArray();
    reloadTable();
    m_downloadButton->setEnabled(false);
}

bool WiFiListRequestController::eventFilter(QObject* watched, QEvent* event)
{
    // However it closes, nothing is looked for behind a hidden window.
    if (event->type() == QEvent::Close && isWindowLoaded() && watched == window())
        m_discovery.shutDownNetServices();
    return WindowController::eventFilter(watched, event);
}

void WiFiListRequestController::openWiFiListRequest()
{
    showWindow();
    startWiFiListRequest();
}

void WiFiListRequestController::bringToFront()
{
    showWindow();
}

QWidget* WiFiListRequestController::discoveryWindow() const
{
    return const_cast<WiFiListRequestController*>(this)->window();
}

QString WiFiListRequestController::incorrectDatafileTypeText() const
{
    return WiFiRequests::incorrectDatafileTypeText(false);
}

void WiFiListRequestController::updateMinorStatus(const QString& status)
{
    SyncController::updateMinorStatus(status);
}

void WiFiListRequestController::showAlert(const QString& message, const QString& informative)
{
    WiFiDiscovery::showOKAlert(window(), message, informative);
}

void WiFiListRequestController::reloadTable()
{
    if (m_listModel)
        m_listModel->reload();
}

// Listing

void WiFiListRequestController::startWiFiListRequest()
{
    m_discovery.setServiceChosen(false);
    m_discovery.setIPhonePath(QString());
    m_discovery.setWiFiOperation(WiFiRequests::ListOperation);
    m_listTable->clearSelection();
    m_discovery.beginWiFiConnection();
}

void WiFiListRequestController::startExchange(int operation)
{
    if (operation == WiFiRequests::ListOperation)
        performListRequest();
    else if (operation == WiFiRequests::GetOperation)
        performGet();
}

void WiFiListRequestController::pickerDidEnd()
{
    m_downloadButton->setEnabled(false);
}

void WiFiListRequestController::pickerCancelled()
{
    clickedDoneButton();
}

void WiFiListRequestController::shutDownNetServices()
{
    m_discovery.shutDownNetServices();
}

bool WiFiListRequestController::performListRequest()
{
    shutDownNetServices();
    if (m_discovery.iPhonePath().isEmpty()) {
        showAlert(localized(QStringLiteral("No Norva Mobile Server Detected")),
                  localized(QStringLiteral("Make sure the WiFi Server page is open in Norva Mobile.")));
        return false;
    }
    const HttpExchange::Result result =
        WiFiRequests::sendUpload(WiFiRequests::baseURL(m_discovery.iPhonePath()), QByteArrayLiteral("LIST"),
                                 QStringLiteral("(null)"), QString(), MaxListReplySize);
    if (!result.succeeded()) {
        updateMinorStatus(QStringLiteral("LIST REQUEST failed"));
        showAlert(localized(QStringLiteral("Connection Failed")), WiFiRequests::connectionFailureText(result));
        return false;
    }
    handleReturnedList(*result.data);
    return true;
}

bool WiFiListRequestController::isSafeTitle(const PlistValue& title)
{
    const QString* name = title.asString();
    return name && !name->isEmpty() && *name != QLatin1String(".") && *name != QLatin1String("..") &&
           !name->contains(QLatin1Char('/')) && !name->contains(QChar(0));
}

void WiFiListRequestController::handleReturnedList(const QByteArray& data)
{
    const PlistReadResult decoded = KeyedUnarchiver::unarchiveObjectWithData(data);
    const PlistArray* root = decoded.ok() ? decoded.value.asArray() : nullptr;
    if (!root) {
        updateMinorStatus(decoded.ok() ? QStringLiteral("The list is not an array.") : decoded.error->message);
        updateMinorStatus(QStringLiteral("List download failed"));
        // No rows left on screen for a list that is gone.
        setList(PlistArray());
        return;
    }
    PlistArray entries;
    for (const PlistValue& entry : *root) {
        const PlistDictionary* item = entry.asDictionary();
        if (!item)
            continue;
        const PlistValue title = item->value(TitleKey);
        if (!isSafeTitle(title)) {
            updateMinorStatus(stringWithFormat(QStringLiteral("Left out the title \"%@\": it cannot name a datafile."),
                                               title.stringValue()));
            continue;
        }
        entries.append(entry);
    }
    setList(entries);
    updateMinorStatus(QStringLiteral("List download successful"));
}

void WiFiListRequestController::setList(PlistArray list)
{
    std::vector<PlistValue> sorted(list.begin(), list.end());
    std::stable_sort(sorted.begin(), sorted.end(), [](const PlistValue& a, const PlistValue& b) {
        return QString::compare(a.asDictionary()->stringForKey(TitleKey), b.asDictionary()->stringForKey(TitleKey),
                                Qt::CaseInsensitive) < 0;
    });
    m_WiFiList = PlistArray(std::move(sorted));
    reloadTable();
    clickedTable();
}

QString WiFiListRequestController::tableViewObjectValue(int row) const
{
    if (row < 0 || row >= m_WiFiList.size())
        return QString();
    const PlistDictionary* entry = m_WiFiList.at(row).asDictionary();
    return entry ? entry->stringForKey(TitleKey) : QString();
}

void WiFiListRequestController::clickedTable()
{
    m_downloadButton->setEnabled(m_listTable->selectionModel()->hasSelection());
}

void WiFiListRequestController::clickedDoneButton()
{
    shutDownNetServices();
    performClose();
    m_downloadButton->setEnabled(false);
}

// Download

void WiFiListRequestController::clickedDownloadButton()
{
    const QModelIndexList rows = m_listTable->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return;
    m_pathOfDatafileOnDevice = tableViewObjectValue(rows.front().row());
    performGet();
}

HttpExchange::Result WiFiListRequestController::get(const QUrl& url)
{
    QNetworkRequest request(url);
    return HttpExchange::send(request, QByteArrayLiteral("GET"));
}

bool WiFiListRequestController::performGet()
{
    if (m_discovery.iPhonePath().isEmpty()) {
        showAlert(localized(QStringLiteral("No Norva Mobile Server Detected")),
                  localized(QStringLiteral("Make sure the WiFi Server page is open in Norva Mobile.")));
        setList(PlistArray());
        return false;
    }
    const QUrl url = WiFiRequests::datafileURL(m_discovery.iPhonePath(), m_pathOfDatafileOnDevice + DatafileExtension);
    HttpExchange::Result result = get(url);
    // The app sometimes answers the first request with nothing: once more, and no more.
    if (result.succeeded() && result.data->isEmpty())
        result = get(url);
    if (!result.succeeded()) {
        showAlert(localized(QStringLiteral("Download Failed")), WiFiRequests::downloadFailureText(result));
        return false;
    }
    const WiFiRequests::Reply reply = WiFiRequests::readReply(*result.data);
    if (reply == WiFiRequests::Reply::FileNotFound) {
        m_discovery.setServiceChosen(false);
        shutDownNetServices();
        return false;
    }
    if (reply != WiFiRequests::Reply::Datafile) {
        downloadFailed(localized(QStringLiteral("Norva Mobile sent no datafile.")));
        return reply == WiFiRequests::Reply::Empty;
    }
    saveGottenFile(*result.data);
    return true;
}

void WiFiListRequestController::downloadFailed(const QString& informative)
{
    updateMinorStatus(QStringLiteral("File download failed"));
    showAlert(localized(QStringLiteral("Download Failed")), informative);
}

void WiFiListRequestController::saveGottenFile(const QByteArray& data)
{
    const QString folder = FileURL::folderPath(
        UserDefaults::standardUserDefaults().stringForKey(QStringLiteral("DatafilesFolderURL")).value_or(QString()));
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        downloadFailed(localized(QStringLiteral("The datafiles folder is not set or cannot be found.")));
        return;
    }
    // Checked as listed, and again here: the file goes into the folder and nowhere else.
    if (!isSafeTitle(m_pathOfDatafileOnDevice)) {
        downloadFailed(localized(QStringLiteral("The datafile's name cannot be used here.")));
        return;
    }
    m_fullDatafileName = stringWithFormat(QStringLiteral("%@/%@%@"), folder, m_pathOfDatafileOnDevice, DatafileExtension);
    const QUrl url = QUrl::fromLocalFile(m_fullDatafileName);
    // Its window would go on showing, and later save, what the file no longer holds.
    if (DocumentController::shared().documentForURL(url)) {
        showAlert(localized(QStringLiteral("Download Failed")),
                  stringWithFormat(localized(QStringLiteral("“%@” is open. Close it before replacing it.")),
                                   QFileInfo(m_fullDatafileName).fileName()));
        return;
    }
    if (QFileInfo::exists(m_fullDatafileName) && !confirmOverwrite())
        return;
    const SafeFileWriter::Result written = SafeFileWriter::write(m_fullDatafileName, data);
    if (!written.ok) {
        downloadFailed(written.errorString.isEmpty() ? localized(QStringLiteral("The file could not be written."))
                                                     : written.errorString);
        return;
    }
    if (m_hooks.setupDatafilesMenu)
        m_hooks.setupDatafilesMenu();
    updateMinorStatus(QStringLiteral("File download successful"));
    QString failure;
    if (!DocumentController::shared().openDocumentWithContentsOfURL(url, true, failure)) {
        SystemLog::log(stringWithFormat(QStringLiteral("Unable to open %@: Error %@"), m_fullDatafileName, failure));
        DocumentController::shared().presentOpenFailure(url, failure);
    }
}

bool WiFiListRequestController::confirmOverwrite()
{
    AlertRequest alert;
    alert.style = AlertRequest::Style::Warning;
    alert.messageText = localized(QStringLiteral("This datafile already exists."));
    alert.informativeText =
        localized(QStringLiteral("This action cannot be undone.\nAre you sure you want to replace it?"));
    alert.buttons = {localized(QStringLiteral("Replace")), localized(QStringLiteral("Cancel"))};
    m_replaceExistingDatafile = Presenter::shared().runModalAlert(alert).returnCode == AlertFirstButtonReturn;
    return m_replaceExistingDatafile;
}

void WiFiListRequestController::overWriteConfirmed(int returnCode)
{
    if (returnCode == AlertFirstButtonReturn) {
        m_replaceExistingDatafile = true;
        updateMinorStatus(QStringLiteral("\nNSAlertFirstButtonReturn\n"));
    } else if (returnCode == AlertSecondButtonReturn) {
        m_replaceExistingDatafile = false;
        updateMinorStatus(QStringLiteral("\nNSAlertSecondButtonReturn\n"));
    }
    m_overwriteConfirmedRan = true;
}

// The window's own progress panel

void WiFiListRequestController::startIndeterminateProgressPanel(const QString& message)
{
    if (!m_progressPanel)
        m_progressPanel = std::make_unique<ProgressPanel>();
    m_progressPanel->start(message);
}

void WiFiListRequestController::incrementProgressPanel(const QString& message)
{
    if (m_progressPanel)
        m_progressPanel->increment(message);
}

void WiFiListRequestController::endIndeterminateProgressPanel()
{
    if (m_progressPanel)
        m_progressPanel->end();
}
