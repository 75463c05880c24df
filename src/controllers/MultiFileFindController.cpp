#include "MultiFileFindController.h"

#include "Application.h"
#include "CurrentRecordEngine.h"
#include "DatafileDocument.h"
#include "DocumentController.h"
#include "EditorSearchController.h"
#include "FeatureContext.h"
#include "FileURL.h"
#include "Localization.h"
#include "NotificationCenter.h"
#include "PopUpButton.h"
#include "RecordKeySearch.h"
#include "StopKeyMonitor.h"
#include "UserDefaults.h"
#include "UserGuide.h"
#include "VKFileManagerCategories.h"
#include "VKFilePathStringCategories.h"
#include "VKPopUpButtonCategories.h"
#include "WindowFrameAutosave.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QWindow>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString NameKey = QStringLiteral("Name");
const QString PathKey = QStringLiteral("Path");
const QString ItemsKey = QStringLiteral("Items");
const QString IsGroupKey = QStringLiteral("IsGroup");

using VKFileManagerCategories::canonicalPathOrSelf;
using VKFileManagerCategories::targetOfSymbolicLink;
using VKFilePathStringCategories::nameWithoutExtension;

void scan(const QString& folderPath, PlistArray& array, PlistArray& allDatafiles,
          QStringList& descent)
{
    const QString listed = targetOfSymbolicLink(folderPath).value_or(folderPath);
    QFileInfoList entries = QDir(listed).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    std::sort(entries.begin(), entries.end(), [](const QFileInfo& a, const QFileInfo& b) {
        return a.fileName().compare(b.fileName(), Qt::CaseInsensitive) < 0;
    });
    // A link back to a folder being scanned would be scanned for ever.
    descent.append(canonicalPathOrSelf(listed));
    for (const QFileInfo& entry : std::as_const(entries)) {
        const QString name = entry.fileName();
        const QString full = listed + QLatin1Char('/') + name;
        const std::optional<QString> target =
            entry.isSymLink() ? targetOfSymbolicLink(full) : std::nullopt;
        const QString path = target.value_or(full);
        const QFileInfo info = target ? QFileInfo(path) : entry;
        if (info.isDir()) {
            if (descent.contains(canonicalPathOrSelf(path)))
                continue;
            PlistArray items;
            scan(path, items, allDatafiles, descent);
            array.append(PlistDictionary{{NameKey, nameWithoutExtension(name)},
                                         {ItemsKey, items},
                                         {IsGroupKey, QStringLiteral("YES")}});
            continue;
        }
        const QString extension = info.suffix();
        if (extension != QLatin1String("nv3") && extension != QLatin1String("nvm"))
            continue;
        const PlistDictionary datafile{{NameKey, nameWithoutExtension(name)},
                                       {PathKey, path},
                                       {IsGroupKey, QStringLiteral("NO")}};
        array.append(datafile);
        allDatafiles.append(datafile);
    }
    descent.removeLast();
}

// The features' view of the datafile's window; nullptr without a window that shows records.
FeatureContext* editorOf(DatafileDocument* document)
{
    auto* owner = document ? dynamic_cast<FeatureContextOwner*>(document->editor()) : nullptr;
    FeatureContext* context = owner ? &owner->featureContext() : nullptr;
    return context && context->hasCurrentRecordEngine() ? context : nullptr;
}

QList<DatafileDocument*> openDatafiles()
{
    QList<DatafileDocument*> datafiles;
    for (Document* document : DocumentController::shared().documents()) {
        // Templates are passed over.
        if (auto* datafile = qobject_cast<DatafileDocument*>(document); editorOf(datafile))
            datafiles.append(datafile);
    }
    return datafiles;
}

void bringForward(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

// Brings `front` forward once the window manager has activated `datafile`, a window shown
// for the first time: the manager maps it later and gives it the focus then, after every
// request made meanwhile. Given up after a while where the manager does not.
class BringForwardOnceActive : public QObject {
public:
    BringForwardOnceActive(QWidget* datafile, QWidget* front) : QObject(datafile), m_front(front)
    {
        datafile->installEventFilter(this);
        QTimer::singleShot(GiveUpAfterMs, this, &QObject::deleteLater);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::WindowActivate) {
            if (m_front)
                bringForward(m_front);
            deleteLater();
        }
        return false;
    }

private:
    static constexpr int GiveUpAfterMs = 2000;
    QPointer<QWidget> m_front;
};

} // namespace

MultiFileFindController::MultiFileFindController(std::function<void(QWidget*)> installKeyEquivalents)
    : m_installKeyEquivalents(std::move(installKeyEquivalents))
{
    // With no document behind the window, the application's commands go to its delegate.
    setNextResponder(dynamic_cast<Responder*>(Application::shared().delegate()));
    setupDatafilesArray();
    WindowFrameAutosave::setFrameAutosaveName(window(), NibName);
    NotificationCenter::defaultCenter().addObserver(
        QStringLiteral("AllDatafilesClosed"), nullptr, this,
        [this](const Notification&) { allDatafilesClosed(); });
}

MultiFileFindController::~MultiFileFindController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    if (m_stopAtEndOfEachDatafile)
        UserDefaults::standardUserDefaults().setBool(m_stopAtEndOfEachDatafile->isChecked(),
                                                     StopSearchAtEndOfDatafileKey);
}

QString MultiFileFindController::windowTitleForDocumentDisplayName(const QString&) const
{
    return localized(QStringLiteral("Multi-File Find"));
}

std::unique_ptr<QWidget> MultiFileFindController::makeWindow()
{
    auto window = std::make_unique<QMainWindow>(nullptr, Qt::Tool);
    if (m_installKeyEquivalents)
        m_installKeyEquivalents(window.get());

    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    auto* form = new QFormLayout;
    m_findWhat = new QLineEdit;
    form->addRow(localized(QStringLiteral("Find:")), m_findWhat);
    layout->addLayout(form);

    m_caseSensitive = new QCheckBox(localized(QStringLiteral("Case sensitive")));
    m_wholeWord = new QCheckBox(localized(QStringLiteral("Whole word")));
    m_stopAtEndOfEachDatafile =
        new QCheckBox(localized(QStringLiteral("Stop at end of each datafile")));
    auto* boxes = new QHBoxLayout;
    for (QCheckBox* box : {m_caseSensitive, m_wholeWord, m_stopAtEndOfEachDatafile})
        boxes->addWidget(box);
    boxes->addStretch();
    layout->addLayout(boxes);

    m_searchOpenDatafiles = new QRadioButton(localized(QStringLiteral("Search open datafiles")));
    m_searchDatafilesInMenu =
        new QRadioButton(localized(QStringLiteral("Search all datafiles in the Datafiles menu")));
    m_searchDatafilesInFolder = new QRadioButton(localized(QStringLiteral("Search datafiles in:")));
    m_folderToSearchIn = new PopUpButton;
    m_searchOpenDatafiles->setChecked(true);
    layout->addWidget(m_searchOpenDatafiles);
    layout->addWidget(m_searchDatafilesInMenu);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(m_searchDatafilesInFolder);
    folderRow->addWidget(m_folderToSearchIn, 1);
    layout->addLayout(folderRow);

    m_findWhere = new QLabel;
    m_findWhere->setTextFormat(Qt::PlainText);
    layout->addWidget(m_findWhere);

    auto* buttons = new QHBoxLayout;
    m_helpButton = new QPushButton(QStringLiteral("?"));
    m_bringDatafileForward = new QPushButton(localized(QStringLiteral("Bring Datafile Forward")));
    m_findNextButton = new QPushButton(localized(QStringLiteral("Find Next")));
    m_findNextButton->setDefault(true);
    buttons->addWidget(m_helpButton);
    buttons->addStretch();
    buttons->addWidget(m_bringDatafileForward);
    buttons->addWidget(m_findNextButton);
    layout->addLayout(buttons);
    window->setCentralWidget(content);

    connect(m_findNextButton, &QPushButton::clicked, this, [this] { findNext(); });
    connect(m_findWhat, &QLineEdit::returnPressed, this, [this] { findNext(); });
    connect(m_bringDatafileForward, &QPushButton::clicked, this,
            [this] { bringDatafileForward(); });
    connect(m_helpButton, &QPushButton::clicked, this, [this] { help(); });
    connect(m_searchDatafilesInFolder, &QRadioButton::clicked, this,
            [this] { clickedInFolderRadio(); });
    for (QRadioButton* other : {m_searchOpenDatafiles, m_searchDatafilesInMenu})
        connect(other, &QRadioButton::clicked, this, [this] { clickedInOtherRadio(); });
    return window;
}

void MultiFileFindController::windowDidLoad()
{
    addFoldersToPopup();
    m_stopAtEndOfEachDatafile->setChecked(
        UserDefaults::standardUserDefaults().boolForKey(StopSearchAtEndOfDatafileKey));
    m_folderToSearchIn->setEnabled(false);
    m_bringDatafileForward->setEnabled(false);
}

void MultiFileFindController::openMultiFileFindDialog()
{
    bringForward(window());
}

void MultiFileFindController::bringToFront()
{
    openMultiFileFindDialog();
}

bool MultiFileFindController::eventFilter(QObject* watched, QEvent* event)
{
    if (isWindowLoaded() && watched == window() && event->type() == QEvent::Close) {
        if (m_searching) {
            event->ignore();
            return true;
        }
        windowWillClose();
    }
    return WindowController::eventFilter(watched, event);
}

void MultiFileFindController::windowWillClose()
{
    NotificationCenter::defaultCenter().postNotification(ClosedNotification, nullptr);
}

// The datafile tree

void MultiFileFindController::scanDirectory(const QString& folderPath, PlistArray& array,
                                            PlistArray& allDatafiles)
{
    QStringList descent;
    scan(folderPath, array, allDatafiles, descent);
}

void MultiFileFindController::setupDatafilesArray()
{
    m_datafileArray = PlistArray();
    m_allDatafiles = PlistArray();
    const std::optional<QString> stored =
        UserDefaults::standardUserDefaults().stringForKey(QStringLiteral("DatafilesFolderURL"));
    const QString folder = stored ? FileURL::folderPath(*stored) : QString();
    if (!folder.isEmpty())
        scanDirectory(folder, m_datafileArray, m_allDatafiles);
}

void MultiFileFindController::addFoldersToPopup()
{
    m_folderToSearchIn->removeAllItems();
    for (qsizetype index = 0; index < m_datafileArray.size(); ++index) {
        const PlistDictionary* entry = m_datafileArray.at(index).asDictionary();
        if (entry && entry->stringForKey(IsGroupKey) == QLatin1String("YES"))
            VKPopUpButtonCategories::addItemWithTitle(m_folderToSearchIn,
                                                      entry->stringForKey(NameKey), 0, int(index));
    }
    // Without a folder there is nothing to choose.
    const bool anyFolder = m_folderToSearchIn->numberOfItems() > 0;
    m_searchDatafilesInFolder->setEnabled(anyFolder);
    if (!anyFolder)
        m_folderToSearchIn->setEnabled(false);
    m_folderToSearchIn->synchronizeTitleAndSelectedItem();
}

// The search

bool MultiFileFindController::caseSensitiveIsOn() const
{
    return m_caseSensitive->isChecked();
}

bool MultiFileFindController::wholeWordIsOn() const
{
    return m_wholeWord->isChecked();
}

bool MultiFileFindController::stopAtEndOfEachDatafileIsOn() const
{
    return m_stopAtEndOfEachDatafile->isChecked();
}

QString MultiFileFindController::findWhat() const
{
    return m_findWhat->text();
}

void MultiFileFindController::forgetCurrentDocument()
{
    m_currentDocument = nullptr;
}

void MultiFileFindController::findNext()
{
    const QString text = findWhat();
    if (text.isEmpty() || m_searching)
        return;
    if (text != m_findWhatText) {
        m_findWhatText = text;
        restartSearch();
    }
    const QPointer<MultiFileFindController> self(this);
    m_findNextButton->setEnabled(false);
    m_bringDatafileForward->setEnabled(false);
    window()->repaint();
    m_searching = true;
    m_stopKeys = std::make_unique<StopKeyMonitor>();
    Step step = Step::Hit;
    if (m_searchDatafilesInMenu->isChecked())
        step = findNextInDatafilesMenu();
    else if (m_searchDatafilesInFolder->isChecked())
        step = findNextInFolder();
    else
        step = findNextInOpenDatafiles();
    if (!self)
        return;
    m_stopKeys.reset();
    m_searching = false;
    if (step == Step::Exhausted || step == Step::Stopped)
        completeSearch(false);
    else if (step == Step::StoppedAtEnd)
        completeSearch(true);
    m_findNextButton->setEnabled(true);
    m_findWhat->selectAll();
    window()->repaint();
}

MultiFileFindController::Step MultiFileFindController::findNextInOpenDatafiles()
{
    const QList<DatafileDocument*> open = openDatafiles();
    if (open.isEmpty())
        return Step::Nothing;
    if (m_currentDocIndex >= open.size())
        m_currentDocIndex = 0;
    for (;;) {
        if (searchDocument(open.at(m_currentDocIndex)))
            return Step::Hit;
        m_goToFirstRecord = true;
        if (++m_currentDocIndex >= open.size())
            return Step::Exhausted;
        if (stopRequested())
            return Step::Stopped;
    }
}

MultiFileFindController::Step MultiFileFindController::findNextInDatafilesMenu()
{
    return findNextInList(m_allDatafiles, true);
}

MultiFileFindController::Step MultiFileFindController::findNextInFolder()
{
    m_datafilesToSearch = PlistArray();
    if (const QAction* folder = m_folderToSearchIn->selectedItem()) {
        const PlistDictionary* entry =
            m_datafileArray.at(PopUpButton::representedObject(folder).toInt()).asDictionary();
        if (const PlistValue* items = entry ? entry->find(ItemsKey) : nullptr;
            items && items->asArray())
            m_datafilesToSearch = *items->asArray();
    }
    return findNextInList(m_datafilesToSearch, false);
}

MultiFileFindController::Step MultiFileFindController::findNextInList(const PlistArray& entries,
                                                                      bool stopsAtEnd)
{
    if (entries.isEmpty())
        return Step::Nothing;
    if (m_currentDocIndex >= entries.size())
        m_currentDocIndex = 0;
    for (;;) {
        m_needToCloseDocument = true;
        const PlistDictionary* entry = entries.at(m_currentDocIndex).asDictionary();
        const QString path = entry ? FileURL::expandTilde(entry->stringForKey(PathKey)) : QString();
        // A subfolder, or a datafile that cannot be opened, is passed over.
        Search search = Search::NotSearched;
        if (!path.isEmpty()) {
            const QUrl url = QUrl::fromLocalFile(path);
            if (auto* open = qobject_cast<DatafileDocument*>(
                    DocumentController::shared().documentForURL(url))) {
                m_needToCloseDocument = false;
                if (editorOf(open))
                    search = searchDocument(open) ? Search::Hit : Search::Missed;
            } else {
                search = searchDatafileNotOpen(url);
            }
        }
        if (search == Search::Hit) {
            m_needToCloseDocument = false;
            return Step::Hit;
        }
        if (search == Search::Missed) {
            forgetCurrentDocument();
            m_goToFirstRecord = true;
        }
        if (++m_currentDocIndex >= entries.size())
            return Step::Exhausted;
        if (stopsAtEnd && search != Search::NotSearched && stopAtEndOfEachDatafileIsOn())
            return Step::StoppedAtEnd;
        if (stopRequested())
            return Step::Stopped;
    }
}

MultiFileFindController::Search MultiFileFindController::searchDatafileNotOpen(const QUrl& url)
{
    QString failureReason;
    std::unique_ptr<Document> read =
        DocumentController::shared().readDocumentWithContentsOfURL(url, failureReason);
    auto* datafile = qobject_cast<DatafileDocument*>(read.get());
    if (!datafile)
        return Search::NotSearched;
    // Searched in memory, without a window: most datafiles hold no hit, and go again at
    // once, their records freed off the main thread. A catalog that needs correcting is
    // searched as the user chooses it in the window.
    if (!datafile->catalogAwaitsCorrection()) {
        showCurrentDatafileName(datafile->displayName());
        const RecordKeySearch search(
            RecordKeySearch::fieldIdentifiers(datafile->datafileSettings()->fields(),
                                              EditorSearchController::MaxHitField),
            m_findWhatText, caseSensitiveIsOn() ? Qt::CaseSensitive : Qt::CaseInsensitive,
            wholeWordIsOn());
        if (search.firstSelectedRecordHolding(*datafile->datafileCatalog()) < 0)
            return Search::Missed;
    }
    // A hit: the datafile opens with its window, where the search runs again to show it.
    DocumentController::shared().openDocument(std::move(read), false);
    FeatureContext* editor = editorOf(datafile);
    if (!editor) {
        datafile->close();
        return Search::NotSearched;
    }
    // Searched whole, whatever record it opens to.
    editor->engine().loadRecordAtIndex(0);
    editor->engine().setLastHitField(EditorSearchController::NoHit);
    m_goToFirstRecord = false;
    if (searchDocument(datafile))
        return Search::Hit;
    datafile->close();
    return Search::Missed;
}

bool MultiFileFindController::searchDocument(DatafileDocument* document)
{
    FeatureContext* editor = editorOf(document);
    m_currentDocument = document;
    showCurrentDatafileName(editor->host().windowTitle());
    if (m_goToFirstRecord) {
        m_goToFirstRecord = false;
        editor->engine().goToFirstRecord();
        // Already on the first record, a hit there is no place to go on from.
        editor->engine().setLastHitField(EditorSearchController::NoHit);
    }
    const bool hit =
        editor->host().findInAllFields(m_findWhatText, caseSensitiveIsOn(), wholeWordIsOn());
    if (hit)
        showHit(*editor);
    return hit;
}

void MultiFileFindController::showHit(FeatureContext& editor)
{
    QWidget* datafileWindow = editor.window();
    bringForward(datafileWindow);
    editor.host().makeMain();
    if (QWindow* shown = datafileWindow->windowHandle(); shown && !shown->isExposed())
        new BringForwardOnceActive(datafileWindow, window());
    bringForward(window());
    m_bringDatafileForward->setEnabled(true);
}

void MultiFileFindController::completeSearch(bool keepPosition)
{
    showCurrentDatafileName(localized(SearchCompleted));
    forgetCurrentDocument();
    m_needToCloseDocument = true;
    m_goToFirstRecord = true;
    if (!keepPosition)
        m_currentDocIndex = 0;
}

bool MultiFileFindController::stopRequested()
{
    // Input that came meanwhile reaches the watch, and the status line is painted.
    QCoreApplication::processEvents();
    return m_stopKeys && m_stopKeys->stopRequested();
}

void MultiFileFindController::showCurrentDatafileName(const QString& name)
{
    m_findWhere->show();
    m_findWhere->setText(name);
    // Painted now: the search keeps the event loop waiting.
    m_findWhere->repaint();
}

void MultiFileFindController::bringDatafileForward()
{
    FeatureContext* editor = editorOf(m_currentDocument);
    if (!editor)
        return;
    bringForward(editor->window());
    editor->host().makeMain();
}

void MultiFileFindController::clickedInFolderRadio()
{
    m_folderToSearchIn->setEnabled(true);
    restartSearch();
}

void MultiFileFindController::clickedInOtherRadio()
{
    m_folderToSearchIn->setEnabled(false);
    restartSearch();
}

void MultiFileFindController::restartSearch()
{
    m_currentDocIndex = 0;
    m_goToFirstRecord = true;
    m_needToCloseDocument = true;
    forgetCurrentDocument();
}

void MultiFileFindController::allDatafilesClosed()
{
    if (m_bringDatafileForward)
        m_bringDatafileForward->setEnabled(false);
}

void MultiFileFindController::help()
{
    UserGuide::openPage(QStringLiteral("EditFind.html"));
}
