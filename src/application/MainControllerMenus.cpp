// The Datafiles, Templates and Dial menus of the application delegate.
#include "MainController.h"

#include "ApplicationMenus.h"
#include "DialingSets.h"
#include "Document.h"
#include "DocumentController.h"
#include "FileURL.h"
#include "HotKeySheetController.h"
#include "KeyEquivalents.h"
#include "Localization.h"
#include "NotificationCenter.h"
#include "PopUpButton.h"
#include "Presenter.h"
#include "StringFormat.h"
#include "SystemLog.h"
#include "UserDefaults.h"
#include "VKFileManagerCategories.h"
#include "VKFilePathStringCategories.h"
#include "WindowController.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include <algorithm>

namespace {

const QString hotKeySettingsKey = QStringLiteral("HotKeySettings");

// "name.ext" splits into "name" and "ext"; a leading dot starts no extension.
QString extensionOf(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.mid(dot + 1) : QString();
}

// Removes the items after the first count, submenus with their items. They go once
// control is back in the event loop: the item being chosen may be one of them, when
// opening its file brought up an alert and Norva became active again behind it.
void removeItemsAfter(QMenu* menu, int count)
{
    const QList<QAction*> items = menu->actions();
    for (qsizetype index = count; index < items.size(); ++index) {
        QAction* item = items[index];
        menu->removeAction(item);
        if (QMenu* submenu = item->menu(); submenu && submenu->parent() == menu)
            submenu->deleteLater();
        else if (item->parent() == menu)
            item->deleteLater();
    }
}

} // namespace

// What the two folder menus differ in.
struct MainController::FolderMenu {
    QString urlKey;
    QString panelMessage;
    bool MainController::*panelShowing;
    QUrl MainController::*chosenURL;
    // The datafiles folder chosen in this session is not asked for again when it goes.
    bool keepsChosenFolder;
    bool templates;
    QMenu* (ApplicationMenus::*menu)() const;
};

// The "HotKeySettings" rows, read once for a whole scan.
class MainController::HotKeyLookup {
public:
    HotKeyLookup()
    {
        const std::optional<PlistArray> rows =
            UserDefaults::standardUserDefaults().arrayForKey(hotKeySettingsKey);
        if (!rows)
            return;
        for (const PlistValue& row : *rows) {
            const PlistDictionary* settings = row.asDictionary();
            if (!settings)
                continue;
            const QString path = VKFileManagerCategories::canonicalPathOrSelf(
                FileURL::expandTilde(settings->stringForKey(QStringLiteral("Path"))));
            // The stored paths of older versions: URL strings, with escaped blanks.
            QString urlForm = QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
            urlForm.remove(QStringLiteral("file:/localhost"));
            urlForm.replace(QStringLiteral("%2520"), QStringLiteral(" "));
            m_rows.push_back(
                {path, urlForm, settings->stringForKey(QStringLiteral("KeyEquivalent"))});
        }
    }

    QString equivalentForPath(const QString& path) const
    {
        for (const Row& row : m_rows) {
            if (row.path == path || row.urlForm == path)
                return row.keyEquivalent;
        }
        return QString();
    }

private:
    struct Row {
        QString path;
        QString urlForm;
        QString keyEquivalent;
    };
    std::vector<Row> m_rows;
};

const MainController::FolderMenu& MainController::datafilesFolder()
{
    static const MainController::FolderMenu folder{
        QStringLiteral("DatafilesFolderURL"),
        QStringLiteral("Select Your Datafiles Folder (Shown in the Popup Menu)."),
        &MainController::m_findDatafilesFolderDialogShowing,
        &MainController::m_newDatafilesURL,
        true,
        false,
        &ApplicationMenus::datafilesMenu};
    return folder;
}

const MainController::FolderMenu& MainController::templatesFolder()
{
    static const MainController::FolderMenu folder{
        QStringLiteral("TemplatesFolderURL"),
        QStringLiteral("Select Your Templates Folder (Shown in the Popup Menu)."),
        &MainController::m_findTemplatesFolderDialogShowing,
        &MainController::m_newTemplatesURL,
        false,
        true,
        &ApplicationMenus::templatesMenu};
    return folder;
}

namespace {

QUrl storedFolderURL(const QString& key)
{
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    defaults.synchronize();
    const QString stored = defaults.stringForKey(key).value_or(QString());
    if (stored.isEmpty()) {
        SystemLog::log(QStringLiteral("directoryURL is nil - 2"));
        return QUrl();
    }
    return QUrl(stored);
}

QString folderPathOf(const QUrl& url)
{
    return url.isEmpty() ? QString() : FileURL::folderPath(url.toString());
}

// These alerts are in English whatever the language.
bool confirmFolderChange(const QString& message, const QString& informativeText)
{
    AlertRequest alert;
    alert.messageText = message;
    alert.informativeText = informativeText;
    alert.buttons = {QStringLiteral("Change It"), QStringLiteral("Cancel")};
    return Presenter::shared().runModalAlert(alert).returnCode == AlertFirstButtonReturn;
}

} // namespace

void MainController::registerMenuActions()
{
    registerAction(QStringLiteral("openFromDatafileMenu:"),
                   [this](QObject* item) { openFromDatafileMenu(item); });
    registerAction(QStringLiteral("openFromTemplateMenu:"),
                   [this](QObject* item) { openFromTemplateMenu(item); });
    registerAction(QStringLiteral("resetDatafilesFolder:"),
                   [this](QObject*) { resetDatafilesFolder(); });
    registerAction(QStringLiteral("resetTemplatesFolder:"),
                   [this](QObject*) { resetTemplatesFolder(); });
    registerAction(QStringLiteral("revealDatafilesFolderInFinder:"),
                   [this](QObject*) { revealDatafilesFolderInFinder(); });
    registerAction(QStringLiteral("revealTemplatesFolderInFinder:"),
                   [this](QObject*) { revealTemplatesFolderInFinder(); });
    registerAction(QStringLiteral("editDatafileHotKeys:"), [this](QObject*) {
        VKSheetController::controller<HotKeySheetController>()->show(
            [this] { setupDatafilesMenu(); });
    });
}

QUrl MainController::datafilesFolderURL() const
{
    return storedFolderURL(datafilesFolder().urlKey);
}

QUrl MainController::templatesFolderURL() const
{
    return storedFolderURL(templatesFolder().urlKey);
}

void MainController::checkDatafilesURL()
{
    checkFolderURL(datafilesFolder());
}

void MainController::checkTemplatesURL()
{
    checkFolderURL(templatesFolder());
}

void MainController::checkFolderURL(const FolderMenu& folder)
{
    bool& panelShowing = this->*folder.panelShowing;
    if (panelShowing)
        return;
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    if (defaults.stringForKey(folder.urlKey)) {
        const QString path = folderPathOf(storedFolderURL(folder.urlKey));
        if (!path.isEmpty() && QFileInfo::exists(path))
            return;
    }
    if (folder.keepsChosenFolder && !(this->*folder.chosenURL).isEmpty())
        return;

    panelShowing = true;
    OpenPanelRequest request;
    request.message = localized(folder.panelMessage);
    request.prompt = QStringLiteral("Select");
    request.canChooseFiles = false;
    request.canChooseDirectories = true;
    request.allowsMultipleSelection = false;
    request.canCreateDirectories = true;
    request.resolvesAliases = false;
    request.directory = QDir::homePath();
    const QList<QUrl> chosen =
        Presenter::shared().runOpenPanel(request, QApplication::activeWindow());
    if (!chosen.isEmpty()) {
        this->*folder.chosenURL = chosen.first();
        defaults.setObject(FileURL::folderURLString(chosen.first().toLocalFile()), folder.urlKey);
        if (folder.templates)
            defaults.synchronize();
    }
    panelShowing = false;
}

void MainController::setupDatafilesMenu()
{
    setupFolderMenu(datafilesFolder());
}

void MainController::setupTemplatesMenu()
{
    setupFolderMenu(templatesFolder());
}

void MainController::setupFolderMenu(const FolderMenu& folder)
{
    checkFolderURL(folder);
    const QUrl url = storedFolderURL(folder.urlKey);
    if (url.isEmpty()) {
        SystemLog::log(QStringLiteral("directoryURL is nil - 1"));
        return;
    }
    PlistArray entries;
    scanDirectory(folderPathOf(url), (menus().*folder.menu)(), entries, folder.templates);
}

void MainController::setupNorvaMenus()
{
    setupDatafilesMenu();
    setupTemplatesMenu();
}

void MainController::resetupNorvaMenus()
{
    if (m_findDatafilesFolderDialogShowing || m_findTemplatesFolderDialogShowing)
        return;
    setupNorvaMenus();
}

std::optional<QString> MainController::targetOfAlias(const QString& path)
{
    return VKFileManagerCategories::targetOfSymbolicLink(path);
}

QString MainController::findHotKeysEquivalentForPath(const QString& path)
{
    return HotKeyLookup().equivalentForPath(path);
}

int MainController::scanDirectory(const QString& folderPath, QMenu* menu, PlistArray& array,
                                  bool scanningTemplateMenus)
{
    QStringList descent;
    const HotKeyLookup hotKeys;
    return scanDirectory(folderPath, menu, array, scanningTemplateMenus, descent, hotKeys);
}

int MainController::scanDirectory(const QString& folderPath, QMenu* menu, PlistArray& array,
                                  bool scanningTemplateMenus, QStringList& descent,
                                  const HotKeyLookup& hotKeys)
{
    // A folder that is a link is listed where it points.
    const QString listed = targetOfAlias(folderPath).value_or(folderPath);
    // The listing knows each entry's kind, so only links cost a look at the disk.
    QFileInfoList entries = QDir(listed).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    std::sort(entries.begin(), entries.end(), [](const QFileInfo& a, const QFileInfo& b) {
        return a.fileName().compare(b.fileName(), Qt::CaseInsensitive) < 0;
    });

    removeItemsAfter(menu, scanningTemplateMenus ? templatesMenuFixedItemCount
                                                 : datafilesMenuFixedItemCount);

    // A link back to a folder being scanned would be scanned for ever.
    descent.append(VKFileManagerCategories::canonicalPathOrSelf(listed));
    int count = 0;
    for (const QFileInfo& entry : std::as_const(entries)) {
        const QString name = entry.fileName();
        const QString full = listed + QLatin1Char('/') + name;
        const std::optional<QString> target =
            entry.isSymLink() ? targetOfAlias(full) : std::nullopt;
        const QString path = target.value_or(full);
        const QString display = VKFilePathStringCategories::nameWithoutExtension(name);
        const QFileInfo info = target ? QFileInfo(path) : entry;
        if (info.isDir()) {
            if (display.startsWith(QLatin1Char('.')) ||
                descent.contains(VKFileManagerCategories::canonicalPathOrSelf(path)))
                continue;
            auto* submenu = new QMenu(display, menu);
            PlistArray items;
            if (scanDirectory(path, submenu, items, scanningTemplateMenus, descent, hotKeys) < 1) {
                delete submenu;
                continue;
            }
            menu->addMenu(submenu);
            array.append(PlistDictionary{{QStringLiteral("Name"), display},
                                         {QStringLiteral("Items"), items},
                                         {QStringLiteral("IsGroup"), QStringLiteral("YES")}});
            ++count;
            continue;
        }

        const QString extension = extensionOf(QFileInfo(path).fileName());
        QString title = display;
        QString selector;
        QString keyEquivalent;
        if (scanningTemplateMenus) {
            if (extension != QLatin1String("zlabel") && extension != QLatin1String("zenv"))
                continue;
            selector = QStringLiteral("openFromTemplateMenu:");
        } else {
            if (extension != QLatin1String("nv3") && extension != QLatin1String("nvm"))
                continue;
            selector = QStringLiteral("openFromDatafileMenu:");
            keyEquivalent = hotKeys.equivalentForPath(path);
            // Mobile datafiles show their extension.
            if (extension == QLatin1String("nvm"))
                title = stringWithFormat(QStringLiteral("%@.nvm"), display);
        }
        QAction* item = menu->addAction(title);
        KeyEquivalents::setShortcut(item, KeyEquivalents::keySequence(keyEquivalent));
        PopUpButton::setRepresentedObject(item, path);
        menus().binding().bind(item, selector, nullptr, this);
        array.append(
            PlistDictionary{{QStringLiteral("Name"), display}, {QStringLiteral("Path"), path}});
        ++count;
    }
    descent.removeLast();
    return count;
}

void MainController::openFromDatafileMenu(QObject* item)
{
    openFromMenu(item);
}

void MainController::openFromTemplateMenu(QObject* item)
{
    m_testForRecordsThatDontFit = true;
    openFromMenu(item);
}

void MainController::openFromMenu(QObject* item)
{
    auto* action = qobject_cast<QAction*>(item);
    if (!action)
        return;
    const QString path = PopUpButton::representedObject(action).toString();
    const QUrl url = QUrl::fromLocalFile(FileURL::expandTilde(path));
    DocumentController& documents = DocumentController::shared();
    QString failureReason;
    if (documents.openDocumentWithContentsOfURL(url, true, failureReason))
        return;
    SystemLog::log(
        stringWithFormat(QStringLiteral("Unable to open %@: Error %@"), path, failureReason));
    documents.presentOpenFailure(url, failureReason);
}

void MainController::resetDatafilesFolder()
{
    if (!confirmFolderChange(
            QStringLiteral("Are you sure you want to change your Datafiles folder?"),
            QStringLiteral("If you change it, be sure to move or copy any datafiles into the "
                           "new Datafiles folder.")))
        return;
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    defaults.removeObjectForKey(datafilesFolder().urlKey);
    if (!defaults.synchronize())
        return;
    m_newDatafilesURL.clear();
    setupDatafilesMenu();
}

void MainController::resetTemplatesFolder()
{
    if (!confirmFolderChange(
            QStringLiteral("Are you sure you want to change your Templates folder?"),
            QStringLiteral("If you change it, be sure to move or copy any templates into the "
                           "new Templates folder.")))
        return;
    // The panel comes with the next rebuild of the menu.
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    defaults.removeObjectForKey(templatesFolder().urlKey);
    defaults.synchronize();
}

void MainController::revealDatafilesFolderInFinder()
{
    const QString path = folderPathOf(datafilesFolderURL());
    if (!path.isEmpty())
        Presenter::shared().revealFile(path);
}

void MainController::revealTemplatesFolderInFinder()
{
    const QString path = folderPathOf(templatesFolderURL());
    if (!path.isEmpty())
        Presenter::shared().revealFile(path);
}

void MainController::setupDialMenu()
{
    QMenu* dialMenu = menus().dialMenu();
    dialMenu->clear();
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    std::optional<PlistArray> sets = defaults.arrayForKey(DialingSets::DialingSetListKey);
    if (!sets) {
        sets = DialingSets::defaultSets();
        defaults.setObject(*sets, DialingSets::DialingSetListKey);
    }
    for (qsizetype index = 0; index < sets->size(); ++index) {
        const PlistDictionary* set = sets->at(index).asDictionary();
        const PlistValue isDefault = set ? set->value(QStringLiteral("IsDefault")) : PlistValue();
        QAction* item =
            dialMenu->addAction(set ? set->stringForKey(QStringLiteral("SetName")) : QString());
        item->setShortcut(
            KeyEquivalents::keySequence(isDefault.boolValue() ? QStringLiteral("d") : QString()));
        PopUpButton::setTag(item, int(index));
        menus().binding().bind(item, QStringLiteral("dialPhone:"));
    }
    menus().dialMenuDidChange();
}

void MainController::applicationDidBecomeActive()
{
    // Every datafile window minimised: the first comes back.
    QWidget* firstMinimized = nullptr;
    bool anyShown = false;
    for (Document* document : DocumentController::shared().documents()) {
        const auto& controllers = document->windowControllers();
        if (controllers.empty())
            continue;
        QWidget* window = controllers.front()->window();
        if (!window)
            continue;
        if (window->isMinimized()) {
            if (!firstMinimized)
                firstMinimized = window;
        } else {
            anyShown = true;
        }
    }
    if (!anyShown && firstMinimized)
        firstMinimized->showNormal();
    // A folder panel coming up activates the application too: the other folder is asked
    // for once that panel is answered, never on top of it.
    resetupNorvaMenus();
}
