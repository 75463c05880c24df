#pragma once

#include "PlistValue.h"
#include "WindowController.h"

#include <QPointer>

#include <functional>
#include <memory>

class DatafileDocument;
class FeatureContext;
class PopUpButton;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QUrl;
class StopKeyMonitor;

// The Multi-File Find window: searches the open datafiles, every datafile of the
// datafiles folder and its subfolders, or those directly in one of its folders, one
// after the other. Each Find Next goes on from the last hit and shows the next one in
// its datafile's window; a datafile that was not open is opened without a window and
// closed again when it holds no further hit. Escape (or Ctrl+period) stops a search
// between two datafiles.
class MultiFileFindController : public WindowController {
    Q_OBJECT

public:
    static inline const QString NibName = QStringLiteral("MultiFileFindController");
    static inline const QString StopSearchAtEndOfDatafileKey =
        QStringLiteral("StopSearchAtEndOfDatafile");
    static inline const QString ClosedNotification = QStringLiteral("MultifileFIndClosed");
    static inline const QString SearchCompleted = QStringLiteral("<<Search Completed>>");

    // A tool window, above the editor windows and without a menu bar; the application's
    // key equivalents work in it. The datafiles folder is scanned once, as the window is
    // made.
    explicit MultiFileFindController(std::function<void(QWidget*)> installKeyEquivalents = {});
    // Writes the stop-at-end box back into the user defaults.
    ~MultiFileFindController() override;

    void openMultiFileFindDialog();
    void bringToFront();

    void findNext();
    void bringDatafileForward();
    void clickedInFolderRadio();
    void clickedInOtherRadio();
    void allDatafilesClosed();
    void help();
    // The datafile searched, in the status line, painted at once.
    void showCurrentDatafileName(const QString& name);

    bool caseSensitiveIsOn() const;
    bool wholeWordIsOn() const;
    bool stopAtEndOfEachDatafileIsOn() const;
    QString findWhat() const;

    // The folder's datafiles ("nv3", "nvm") and subfolders, in case-insensitive order,
    // into the array: {"Name", "Path", "IsGroup" = "NO"} and {"Name", "Items",
    // "IsGroup" = "YES"}; every datafile is appended to allDatafiles too. Links are
    // followed, except back into a folder being scanned.
    static void scanDirectory(const QString& folderPath, PlistArray& array,
                              PlistArray& allDatafiles);

    const PlistArray& datafileArray() const { return m_datafileArray; }
    const PlistArray& allDatafiles() const { return m_allDatafiles; }
    qint32 currentDocIndex() const { return m_currentDocIndex; }

    // Outlets, once the window is loaded.
    QLineEdit* findWhatField() const { return m_findWhat; }
    QCheckBox* caseSensitive() const { return m_caseSensitive; }
    QCheckBox* wholeWord() const { return m_wholeWord; }
    QCheckBox* stopAtEndOfEachDatafile() const { return m_stopAtEndOfEachDatafile; }
    QRadioButton* searchOpenDatafiles() const { return m_searchOpenDatafiles; }
    QRadioButton* searchDatafilesInMenu() const { return m_searchDatafilesInMenu; }
    QRadioButton* searchDatafilesInFolder() const { return m_searchDatafilesInFolder; }
    PopUpButton* folderToSearchIn() const { return m_folderToSearchIn; }
    QPushButton* findNextButton() const { return m_findNextButton; }
    QPushButton* bringDatafileForwardButton() const { return m_bringDatafileForward; }
    QPushButton* helpButton() const { return m_helpButton; }
    QLabel* findWhere() const { return m_findWhere; }

    // WindowController
    void windowWillClose() override;

    // WindowController: the window's own title, no document's.
    QString windowTitleForDocumentDisplayName(const QString&) const override;

protected:
    std::unique_ptr<QWidget> makeWindow() override;
    void windowDidLoad() override;
    // The window does not close while a search runs.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // How one step of the search ended: nothing to search, a hit, the scope's end, a stop
    // key, or the end of a datafile with the stop-at-end box on.
    enum class Step { Nothing, Hit, Exhausted, Stopped, StoppedAtEnd };

    void setupDatafilesArray();
    void addFoldersToPopup();
    Step findNextInOpenDatafiles();
    Step findNextInDatafilesMenu();
    Step findNextInFolder();
    // The datafile entries of a folder scope, one after the other.
    Step findNextInList(const PlistArray& entries, bool stopsAtEnd);
    // How one datafile's search ended.
    enum class Search { NotSearched, Missed, Hit };
    Search searchDatafileNotOpen(const QUrl& url);
    // Searches the document from where it stands; a hit brings its window forward.
    bool searchDocument(DatafileDocument* document);
    void showHit(FeatureContext& editor);
    void completeSearch(bool keepPosition);
    // Between two datafiles: whether the user pressed a stop key meanwhile.
    bool stopRequested();
    void forgetCurrentDocument();
    // The first datafile of the scope next, from its first record.
    void restartSearch();

    std::function<void(QWidget*)> m_installKeyEquivalents;
    PlistArray m_datafileArray;
    PlistArray m_allDatafiles;
    PlistArray m_datafilesToSearch;
    QString m_findWhatText;
    qint32 m_currentDocIndex = 0;
    QPointer<DatafileDocument> m_currentDocument;
    bool m_goToFirstRecord = true;
    bool m_needToCloseDocument = true;
    bool m_searching = false;
    // While a search runs, Escape or Ctrl+period asks it to stop between datafiles.
    std::unique_ptr<StopKeyMonitor> m_stopKeys;

    QLineEdit* m_findWhat = nullptr;
    QCheckBox* m_caseSensitive = nullptr;
    QCheckBox* m_wholeWord = nullptr;
    QCheckBox* m_stopAtEndOfEachDatafile = nullptr;
    QRadioButton* m_searchOpenDatafiles = nullptr;
    QRadioButton* m_searchDatafilesInMenu = nullptr;
    QRadioButton* m_searchDatafilesInFolder = nullptr;
    PopUpButton* m_folderToSearchIn = nullptr;
    QPushButton* m_findNextButton = nullptr;
    QPushButton* m_bringDatafileForward = nullptr;
    QPushButton* m_helpButton = nullptr;
    QLabel* m_findWhere = nullptr;
};
