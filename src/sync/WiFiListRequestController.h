#pragma once

#include "PlistValue.h"
#include "WiFiDiscovery.h"
#include "WiFiRequests.h"
#include "WindowController.h"

#include <QByteArray>
#include <QPointer>

#include <functional>
#include <memory>

class ListRequestTableModel;
class ProgressPanel;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;

// The datafiles that the mobile app's desktop edition holds, listed from its WiFi server
// and downloaded, one at a time, into the user's datafiles folder, where the Datafiles
// menu lists them and they open. The window is the application's one and stays when
// closed; each start asks the server afresh.
class WiFiListRequestController : public WindowController, public WiFiDiscoveryClient {
    Q_OBJECT

public:
    static inline const QString NibName = QStringLiteral("WiFiListRequestController");
    // A list is names: no reply beyond this is taken in.
    static constexpr qint64 MaxListReplySize = qint64(16) << 20;

    struct Hooks {
        // The application's key equivalents, in this window too.
        std::function<void(QWidget*)> installKeyEquivalents;
        // The Datafiles menu, rebuilt after a download.
        std::function<void()> setupDatafilesMenu;
    };

    explicit WiFiListRequestController(Hooks hooks = {});
    ~WiFiListRequestController() override;

    // The menu command: the window shown and a new request started.
    void openWiFiListRequest();
    void bringToFront();

    void startWiFiListRequest();
    bool performListRequest();
    void handleReturnedList(const QByteArray& data);
    void clickedTable();
    void clickedDownloadButton();
    void clickedDoneButton();
    bool performGet();
    void saveGottenFile(const QByteArray& data);
    // Asks whether the existing file may be replaced; the answer is kept too.
    bool confirmOverwrite();
    void overWriteConfirmed(int returnCode);

    // The table's data source: one column of titles, never edited.
    int numberOfRowsInTableView() const { return int(m_WiFiList.size()); }
    QString tableViewObjectValue(int row) const;
    bool tableViewShouldEditTableColumn(int) const { return false; }
    void tableViewSetObjectValue(const QString&, int) {}
    bool tableViewShouldSelectRow(int) const { return true; }
    bool tableViewShouldSelectTableColumn() const { return true; }

    // The window's own progress panel.
    void startIndeterminateProgressPanel(const QString& message);
    void incrementProgressPanel(const QString& message);
    void endIndeterminateProgressPanel();
    static void updateMinorStatus(const QString& status);

    // A title the app may send that names a file in the datafiles folder and nothing else.
    static bool isSafeTitle(const PlistValue& title);

    // Discovery's client.
    QWidget* discoveryWindow() const override;
    QString expectedPort() const override { return WiFiDiscovery::PlusPort; }
    QString wrongPort() const override { return WiFiDiscovery::MobilePort; }
    QString incorrectDatafileTypeText() const override;
    void startExchange(int operation) override;
    void pickerDidEnd() override;
    void pickerCancelled() override;
    void traceDiscovery(const QString& line) override { updateMinorStatus(line); }
    void shutDownNetServices();

    WiFiDiscovery& discovery() { return m_discovery; }
    const PlistArray& wifiList() const { return m_WiFiList; }
    QString pathOfDatafileOnDevice() const { return m_pathOfDatafileOnDevice; }
    QString fullDatafileName() const { return m_fullDatafileName; }
    bool replaceExistingDatafile() const { return m_replaceExistingDatafile; }
    bool overwriteConfirmedRan() const { return m_overwriteConfirmedRan; }

    // Outlets, once the window is loaded.
    QTableView* listTable() const { return m_listTable; }
    QPushButton* downloadButton() const { return m_downloadButton; }
    QPushButton* doneButton() const { return m_doneButton; }
    ProgressPanel* progressPanel() const { return m_progressPanel.get(); }

    // WindowController: the window's own title, no document's.
    QString windowTitleForDocumentDisplayName(const QString&) const override;

protected:
    std::unique_ptr<QWidget> makeWindow() override;
    void windowDidLoad() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showAlert(const QString& message, const QString& informative);
    void downloadFailed(const QString& informative);
    void reloadTable();
    // The list as shown: empty, or the reply's entries that are safe, sorted by title.
    void setList(PlistArray list);
    HttpExchange::Result get(const QUrl& url);

    Hooks m_hooks;
    WiFiDiscovery m_discovery;
    PlistArray m_WiFiList;
    QString m_pathOfDatafileOnDevice;
    QString m_fullDatafileName;
    bool m_replaceExistingDatafile = false;
    bool m_overwriteConfirmedRan = false;

    QTableView* m_listTable = nullptr;
    ListRequestTableModel* m_listModel = nullptr;
    QPushButton* m_downloadButton = nullptr;
    QPushButton* m_doneButton = nullptr;
    std::unique_ptr<ProgressPanel> m_progressPanel;
};
