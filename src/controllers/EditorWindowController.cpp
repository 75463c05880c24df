// The editor window's life cycle: making the window, preparing it for its datafile,
// the lock file of a shared datafile, becoming the main window, and closing.
#include "EditorWindowController.h"

#include "ApplicationMenus.h"
#include "DatafileDocument.h"
#include "DocumentController.h"
#include "Localization.h"
#include "MainController.h"
#include "NotificationCenter.h"
#include "Presenter.h"
#include "StringFormat.h"
#include "SystemLog.h"
#include "UserDefaults.h"
#include "VKArrayCategories.h"
#include "WindowFrameString.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

namespace {

QPointer<EditorWindowController> lastActivatedEditor;

std::function<qint64(const QString&)>& fileSizeFunction()
{
    static std::function<qint64(const QString&)> function = [](const QString& path) {
        const QFileInfo info(path);
        return info.exists() ? info.size() : qint64(0);
    };
    return function;
}

constexpr qint64 OpenToFirstRecord = 3;
constexpr qint64 OpenToLastRecord = 4;
constexpr qint64 OpenToMostRecentRecord = 5;

} // namespace

EditorWindowController::EditorWindowController() = default;

EditorWindowController::~EditorWindowController()
{
    NotificationCenter::defaultCenter().postNotification(QStringLiteral("DatafileDidClose"), this);
    NotificationCenter::defaultCenter().removeObserver(this);
}

EditorWindowController* EditorWindowController::mainEditor()
{
    return lastActivatedEditor.data();
}

void EditorWindowController::setFileSizeForTesting(
    std::function<qint64(const QString& path)> fileSize)
{
    fileSizeFunction() = fileSize ? std::move(fileSize) : [](const QString& path) {
        const QFileInfo info(path);
        return info.exists() ? info.size() : qint64(0);
    };
}

std::unique_ptr<QWidget> EditorWindowController::makeWindow()
{
    auto window = std::make_unique<QMainWindow>();
    m_mainWindow = window.get();
    if (MainController* application = MainController::mainController())
        application->menus().installInto(window->menuBar());

    // The tables, find box and editing of the text come with their own features; until
    // then the window shows the record's text, read-only.
    m_freeformText = new QPlainTextEdit(window.get());
    m_freeformText->setReadOnly(true);
    window->setCentralWidget(m_freeformText);

    m_recordNumber = new QLabel(window.get());
    m_selection = new QLabel(window.get());
    m_recordLocked = new QLabel(window.get());
    window->statusBar()->addWidget(m_recordNumber);
    window->statusBar()->addWidget(m_selection, 1);
    window->statusBar()->addPermanentWidget(m_recordLocked);
    window->resize(800, 600);
    return window;
}

DatafileDocument* EditorWindowController::datafileDocument() const
{
    return static_cast<DatafileDocument*>(document());
}

std::shared_ptr<DatafileSettingsData> EditorWindowController::settings() const
{
    return datafileDocument()->datafileSettings();
}

bool EditorWindowController::isMobile() const
{
    return datafileDocument()->isMobile();
}

bool EditorWindowController::hasSyncID() const
{
    return !settings()->syncID().isEmpty();
}

bool EditorWindowController::hasClone() const
{
    return document()->windowControllers().size() > 1;
}

bool EditorWindowController::haveCurrentSelection() const
{
    return m_catalog && m_catalog->countSelected() != m_catalog->count();
}

qint64 EditorWindowController::selectedRecordCount() const
{
    return m_catalog ? m_catalog->countSelected() : 0;
}

QString EditorWindowController::windowTitle() const
{
    return document() ? document()->displayName() : QString();
}

QString EditorWindowController::windowTitleForDocumentDisplayName(const QString& displayName) const
{
    return displayName;
}

void EditorWindowController::setNowSyncing(bool syncing)
{
    m_nowSyncing = syncing;
}

void EditorWindowController::setCurrentRecordDirty(bool dirty)
{
    if (!m_isClone)
        m_currentRecordDirty = dirty;
}

void EditorWindowController::decrementOpenTemplateCount()
{
    if (m_openTemplateCount > 0)
        --m_openTemplateCount;
}

void EditorWindowController::saveIfDifferentRecord(bool)
{
    // The window does not edit records yet: nothing waits to be committed.
}

void EditorWindowController::endEditing()
{
    if (QWidget* focused = QApplication::focusWidget())
        focused->clearFocus();
}

void EditorWindowController::prepare()
{
    window(); // the window exists before anything is laid out in it
    m_openTemplateCount = 0;
    m_preparing = true;
    m_passwordChecked = false;
    m_passwordInUse = false;

    m_catalog = datafileDocument()->datafileCatalog();
    applyViewFrame();
    m_preparing = false;

    NotificationCenter::defaultCenter().addObserver(
        DatafileDocument::RevertedDatafileWindow, document(), this, [this](const Notification&) {
            m_catalog = datafileDocument()->datafileCatalog();
            loadRecordAtIndex(0);
        });

    const qint64 index = recordToOpen();
    m_canSaveChanges = false;
    loadRecordAtIndex(index);
    m_lastHitField = -1;

    if (!m_isClone) {
        if (MainController* application = MainController::mainController()) {
            application->setOpenDatafileCount(application->openDatafileCount() + 1);
            m_countedAsOpen = true;
        }
    }
    setGlobalLockFileName();
    openWithLockFile();
    if (!m_isClone)
        document()->updateChangeCount(Document::ChangeType::Cleared);
    warnWhenTooLarge();
}

void EditorWindowController::applyViewFrame()
{
    const bool list = settings()->mode() == QLatin1String("List");
    const QString stored = list ? settings()->listViewFrame() : settings()->basicViewFrame();
    QScreen* primary = QGuiApplication::primaryScreen();
    const int primaryHeight = primary ? primary->geometry().height() : 0;
    const std::optional<QRect> frame = WindowFrameString::toGeometry(stored, primaryHeight);
    if (!frame) {
        // Nothing usable stored: the present frame becomes the mode's.
        const QRect screen = primary ? primary->availableGeometry() : QRect();
        const QString present =
            WindowFrameString::fromGeometry(m_mainWindow->geometry(), screen, primaryHeight);
        if (list)
            settings()->setListViewFrame(present, true);
        else
            settings()->setBasicViewFrame(present, true);
        return;
    }
    QRect clamped = *frame;
    QScreen* screen = QGuiApplication::screenAt(frame->center());
    if (!screen)
        screen = primary;
    if (screen) {
        const QRect available = screen->availableGeometry();
        if (clamped.width() > available.width()) {
            clamped.setWidth(available.width());
            clamped.moveLeft(0);
        }
        if (clamped.height() > available.height())
            clamped.setHeight(available.height());
    }
    m_mainWindow->setGeometry(clamped);
}

qint64 EditorWindowController::recordToOpen()
{
    const std::shared_ptr<DatafileSettingsData> settings = this->settings();
    if (settings->settingExistsForKey(DatafileSettingsData::OpenToRecordKey)) {
        m_firstOpenedRecordID = settings->mostRecentRecord();
        switch (settings->openToRecord()) {
        case OpenToMostRecentRecord:
            return m_firstOpenedRecordID.isEmpty()
                       ? 0
                       : m_catalog->indexOfSelectedIdentifier(m_firstOpenedRecordID);
        case OpenToLastRecord:
            return m_catalog->countSelected() - 1;
        default:
            return 0;
        }
    }
    // The older setting moves to the newer one.
    if (settings->openToLastRecord()) {
        settings->setOpenToRecord(OpenToLastRecord);
        return m_catalog->countSelected() - 1;
    }
    settings->setOpenToRecord(OpenToFirstRecord);
    return 0;
}

void EditorWindowController::loadRecordAtIndex(qint64 index)
{
    if (!m_catalog || !m_catalog->isValidSelectedIndex(index))
        index = 0;
    const QString identifier = m_catalog ? m_catalog->selectedIdentifierAtIndex(index) : QString();
    m_currentRecord =
        identifier.isNull() ? nullptr : m_catalog->records()->recordForIdentifier(identifier);
    showCurrentRecord();
    reloadStatusBar();
}

void EditorWindowController::showCurrentRecord()
{
    if (m_freeformText)
        m_freeformText->setPlainText(m_currentRecord ? m_currentRecord->textString() : QString());
    if (m_recordLocked)
        m_recordLocked->setText(m_currentRecord && m_currentRecord->recordLocked()
                                    ? localized(QStringLiteral("Locked"))
                                    : QString());
}

qint64 EditorWindowController::indexOfCurrentRecord() const
{
    if (!m_currentRecord || !m_catalog)
        return 0;
    const qint64 index = m_catalog->indexOfSelectedIdentifier(m_currentRecord->identifier());
    return index == VKArrayCategories::NotFound ? 0 : index;
}

void EditorWindowController::goToNextRecord()
{
    saveIfDifferentRecord(false);
    const qint64 count = selectedRecordCount();
    if (count <= 1)
        return;
    const qint64 current = m_currentRecord
                               ? m_catalog->indexOfSelectedIdentifier(m_currentRecord->identifier())
                               : VKArrayCategories::NotFound;
    loadRecordAtIndex(current == VKArrayCategories::NotFound || current + 1 >= count ? 0
                                                                                     : current + 1);
}

void EditorWindowController::setGlobalLockFileName()
{
    // The full file name, extension included, followed by ".lock", in the same folder.
    m_lockName = document()->fileURL().toLocalFile() + QStringLiteral(".lock");
}

void EditorWindowController::openWithLockFile()
{
    DatafileDocument* datafile = datafileDocument();
    const std::shared_ptr<DatafileSettingsData> settings = this->settings();
    m_lockedOnOpening = false;
    if (settings->readOnly()) {
        datafile->setOpenedReadOnly(true);
        if (settings->readOnlyWarning() && !m_isClone)
            QTimer::singleShot(100, this, [this] { datafileReadOnly(); });
        return;
    }
    if (!settings->networkShared() || document()->fileURL().isEmpty()) {
        datafile->setOpenedReadOnly(false);
        return;
    }
    if (m_isClone)
        return;
    // Made only if no one else made it: two machines opening at once cannot both claim it.
    QFile lock(m_lockName);
    if (lock.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        lock.write(QCoreApplication::applicationFilePath().toUtf8());
        lock.close();
        m_lockedOnOpening = true;
        datafile->setOpenedReadOnly(false);
        return;
    }
    if (QFileInfo::exists(m_lockName)) {
        datafile->setOpenedReadOnly(true);
        QTimer::singleShot(100, this, [this] { datafileLocked(); });
        return;
    }
    SystemLog::log(QStringLiteral("The lock file %1 could not be made: %2")
                       .arg(m_lockName, lock.errorString()));
    datafile->setOpenedReadOnly(false);
}

void EditorWindowController::datafileLocked()
{
    if (!isWindowLoaded() || !window()->isVisible())
        return;
    AlertRequest alert;
    alert.messageText = localized(QStringLiteral("This datafile is locked."));
    alert.informativeText = stringWithFormat(
        localized(QStringLiteral(
            "It is already in use, so you will not be able to save any changes.\n\nIf you "
            "believe that it is not actually in use, you can close this datafile, drag "
            "\"%@\" to the trash, and reopen this datafile")),
        QFileInfo(m_lockName).fileName());
    alert.buttons = {localized(QStringLiteral("OK"))};
    Presenter::shared().beginAlertSheet(alert, window(), [](const AlertResponse&) {});
}

void EditorWindowController::datafileReadOnly()
{
    if (!isWindowLoaded() || !window()->isVisible())
        return;
    AlertRequest alert;
    alert.messageText = localized(QStringLiteral("This datafile is set to always open read-only."));
    alert.informativeText = localized(QStringLiteral("You will not be able to save any changes."));
    alert.buttons = {localized(QStringLiteral("OK"))};
    Presenter::shared().beginAlertSheet(alert, window(), [](const AlertResponse&) {});
}

void EditorWindowController::warnWhenTooLarge()
{
    if (!settings()->warnWhenTooLarge())
        return;
    const qint64 size = fileSizeFunction()(document()->fileURL().toLocalFile());
    if (size < OneGigabyte)
        return;
    AlertRequest alert;
    alert.messageText = size <= OneAndAHalfGigabytes
                            ? localized(QStringLiteral("This datafile is over 1 GB in size."))
                            : localized(QStringLiteral("This datafile is over 1.5 GB in size."));
    alert.informativeText =
        localized(QStringLiteral("Warning: To avoid having this datafile become too large to open "
                                 "in Norva Pro, you should consider "
                                 "splitting it into two or more smaller datafiles. See the User "
                                 "Guide article for the Split Datafile "
                                 "item in the File menu."));
    alert.buttons = {localized(QStringLiteral("OK"))};
    Presenter::shared().beginAlertSheet(alert, window(), [](const AlertResponse&) {});
}

bool EditorWindowController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_mainWindow && event->type() == QEvent::WindowActivate)
        windowDidBecomeMain();
    return WindowController::eventFilter(watched, event);
}

void EditorWindowController::windowDidBecomeMain()
{
    lastActivatedEditor = this;
    DocumentController::shared().noteDocumentActivated(document());
    if (m_isClone && !document()->windowControllers().empty()) {
        if (auto* first = dynamic_cast<EditorWindowController*>(
                document()->windowControllers().front().get())) {
            first->saveIfDifferentRecord(false);
            showCurrentRecord();
        }
    }
    QTimer::singleShot(1000, this, [this] { setCanSaveChanges(); });
}

void EditorWindowController::setCanSaveChanges()
{
    if (m_passwordChecked)
        return;
    m_passwordChecked = true;
    m_canSaveChanges = false;
    if (m_isClone)
        return;
    if (!settings()->password().isEmpty()) {
        // Asking for the password comes with the datafile operations; until then a
        // protected datafile stays read-only, as after a cancelled password sheet.
        datafileDocument()->setOpenedReadOnly(true);
        m_passwordInUse = false;
        return;
    }
    m_canSaveChanges = true;
}

bool EditorWindowController::windowShouldClose()
{
    if (m_isClone)
        return true;
    // A clone (or a window still syncing) goes first.
    const auto& controllers = document()->windowControllers();
    for (std::size_t i = controllers.size(); i-- > 1;) {
        auto* other = dynamic_cast<EditorWindowController*>(controllers[i].get());
        if (other && (other->isClone() || other->nowSyncing()))
            document()->removeWindowController(other);
    }
    // Another main window still open: this one must not close over it.
    if (document()->windowControllers().size() > 1)
        return false;
    return m_openTemplateCount == 0;
}

void EditorWindowController::windowWillClose()
{
    if (m_isClone)
        return;
    if (m_lockedOnOpening) {
        QFile::remove(m_lockName);
        m_lockedOnOpening = false;
        datafileDocument()->setOpenedReadOnly(false);
    }
    const std::shared_ptr<DatafileSettingsData> settings = this->settings();
    if (settings->openToRecord() == OpenToMostRecentRecord && m_currentRecord) {
        settings->setMostRecentRecord(m_currentRecord->identifier());
        settings->setDatafileSettingsDidChange(true);
    }
    datafileDocument()->updateSettingsOnly();
    if (m_countedAsOpen) {
        m_countedAsOpen = false;
        if (MainController* application = MainController::mainController()) {
            const int count = application->openDatafileCount();
            application->setLastDatafileClosing(count == 1);
            application->setOpenDatafileCount(std::max(0, count - 1));
        }
    }
}
