// The Preferences window: its panes, the switching between them and what every pane
// shares (loading, Factory Settings, help).
#include "PreferencesController.h"

#include "Application.h"
#include "ApplicationMenus.h"
#include "Localization.h"
#include "MainController.h"
#include "PreferencesToolbarController.h"
#include "Toolbar.h"
#include "UserDefaults.h"
#include "UserGuide.h"
#include "VKUserDefaultsCategories.h"
#include "WindowFrameAutosave.h"
#include "WindowPlacement.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLayout>
#include <QMainWindow>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

struct PreferencesController::PaneInfo {
    const char* title;
    int contentHeight;
    const char* helpPage;
};

namespace {

const QString showHideToolbarAction = QStringLiteral("showHideToolbar:");
// Nothing may come closer to the bottom of the screen than this.
constexpr int bottomMargin = 5;

} // namespace

const PreferencesController::PaneInfo& PreferencesController::paneInfo(Pane pane)
{
    static const PaneInfo panes[] = {
        {"Updates", 240, "NvProPrefsUpdates.html"},   {"General", 556, "NvProPrefsGeneral.html"},
        {"Modem", 217, "NvProPrefsModem.html"},       {"Dialing", 606, "NvProPrefsDialing.html"},
        {"Services", 343, "NvProPrefsServices.html"}, {"Special", 294, "NvProPrefsSpecial.html"},
    };
    return panes[pane];
}

PreferencesController::PreferencesController()
    : m_toolbar(std::make_unique<PreferencesToolbarController>())
{
    registerActions();
    // With no document behind the window, the application's commands go to its delegate.
    setNextResponder(dynamic_cast<Responder*>(Application::shared().delegate()));
    // Where the user left it, or else in the middle of the screen the first time it shows.
    m_centreWhenShown = !UserDefaults::standardUserDefaults().stringForKey(
        WindowFrameAutosave::defaultsKey(NibName));
    QWidget* preferences = window();
    WindowFrameAutosave::setFrameAutosaveName(preferences, NibName);
    m_toolbar->setEditorWindowController(this);
    m_toolbar->setWindow(mainWindow());
    m_toolbar->setup();
    showUpdatesTab();
}

PreferencesController::~PreferencesController()
{
    // The panes' controls go with the window, after this object's members: they must not
    // call back into them on their way out.
    if (isWindowLoaded()) {
        for (QObject* control : window()->findChildren<QObject*>())
            control->disconnect(this);
    }
}

void PreferencesController::registerActions()
{
    registerAction(QStringLiteral("showUpdatesTab:"), [this](QObject*) { showUpdatesTab(); });
    registerAction(QStringLiteral("showGeneralTab:"), [this](QObject*) { showGeneralTab(); });
    registerAction(QStringLiteral("showModemTab:"), [this](QObject*) { showModemTab(); });
    registerAction(QStringLiteral("showDialingTab:"), [this](QObject*) { showDialingTab(); });
    registerAction(QStringLiteral("showServicesTab:"), [this](QObject*) { showServicesTab(); });
    registerAction(QStringLiteral("showSpecialTab:"), [this](QObject*) { showSpecialTab(); });
    // The window keeps its toolbar: the command is answered here, and refused.
    registerAction(showHideToolbarAction, [](QObject*) {});
}

std::unique_ptr<QWidget> PreferencesController::makeWindow()
{
    auto window = std::make_unique<QMainWindow>(nullptr, Qt::Tool);
    if (MainController* application = MainController::mainController())
        application->menus().installKeyEquivalentsInto(window.get());
    auto* stack = new QStackedWidget;
    m_prefsTabView = stack;
    window->setCentralWidget(stack);
    return window;
}

void PreferencesController::windowDidLoad()
{
    QWidget* const panes[] = {makeUpdatesPane(), makeGeneralPane(),  makeModemPane(),
                              makeDialingPane(), makeServicesPane(), makeSpecialPane()};
    for (QWidget* page : panes) {
        // The window, not the tallest pane, decides the height.
        page->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
        m_prefsTabView->addWidget(page);
    }
    observeUpdateStatus();
    awakeFromNib();
}

QMainWindow* PreferencesController::mainWindow()
{
    return static_cast<QMainWindow*>(window());
}

void PreferencesController::openPreferencesDialog()
{
    if (std::exchange(m_centreWhenShown, false))
        WindowPlacement::centre(window());
    showWindow();
    WindowPlacement::keepOnScreen(window());
}

void PreferencesController::bringToFront()
{
    showWindow();
    WindowPlacement::keepOnScreen(window());
    window()->raise();
    window()->activateWindow();
}

void PreferencesController::showPane(Pane pane)
{
    const PaneInfo& info = paneInfo(pane);
    window()->setWindowTitle(localized(QString::fromLatin1(info.title)));
    m_prefsTabView->setCurrentIndex(pane);
    resizeWindowForContentViewToHeight(info.contentHeight);
}

void PreferencesController::showUpdatesTab()
{
    showPane(UpdatesPane);
}

void PreferencesController::showGeneralTab()
{
    showPane(GeneralPane);
}


void PreferencesController::showDialingTab()
{
    showPane(DialingPane);
}

void PreferencesController::showServicesTab()
{
    showPane(ServicesPane);
}

void PreferencesController::showSpecialTab()
{
    showPane(SpecialPane);
}

PreferencesController::Pane PreferencesController::selectedPane() const
{
    return Pane(m_prefsTabView->currentIndex());
}

int PreferencesController::toolbarHeightForWindow()
{
    // From the bars' own heights: a window not shown yet has not laid them out.
    QMainWindow* preferences = mainWindow();
    // The title bar, once the window manager has framed the window.
    int height = preferences->frameGeometry().height() - preferences->height();
    if (QWidget* menuBar = preferences->menuWidget(); menuBar && !menuBar->isHidden())
        height += menuBar->sizeHint().height();
    for (QToolBar* bar : preferences->findChildren<QToolBar*>())
        if (!bar->isHidden() && preferences->toolBarArea(bar) == Qt::TopToolBarArea)
            height += bar->sizeHint().height();
    return height;
}

QRect PreferencesController::frameForContentHeight(const QRect& frame, int contentHeight,
                                                   int toolbarHeight, const QRect& available)
{
    QRect fitted(frame.left(), frame.top(), frame.width(), contentHeight + toolbarHeight);
    const int lowestBottom = available.top() + available.height() - bottomMargin;
    if (fitted.top() + fitted.height() > lowestBottom)
        fitted.moveTop(lowestBottom - fitted.height());
    // A pane taller than the screen keeps the title bar on it.
    if (fitted.top() < available.top()) {
        fitted.moveTop(available.top());
        fitted.setHeight(std::min(fitted.height(), available.height()));
    }
    return fitted;
}

void PreferencesController::resizeWindowForContentViewToHeight(int height)
{
    QWidget* preferences = window();
    const int toolbarHeight = toolbarHeightForWindow();
    const QRect frame = preferences->frameGeometry();
    WindowPlacement::setFrame(
        preferences, frameForContentHeight(frame, height, toolbarHeight,
                                           WindowPlacement::availableGeometryAt(frame.center())));
}

bool PreferencesController::validateAction(const QString& selector) const
{
    return selector != showHideToolbarAction;
}

bool PreferencesController::windowShouldClose()
{
    makeDefault();
    return true;
}

bool PreferencesController::eventFilter(QObject* watched, QEvent* event)
{
    // No document asks first: the window itself decides.
    if (event->type() == QEvent::Close && isWindowLoaded() && watched == window() &&
        !windowShouldClose()) {
        event->ignore();
        return true;
    }
    return WindowController::eventFilter(watched, event);
}

void PreferencesController::awakeFromNib()
{
    loadUpdatesPane();
    loadGeneralPane();
    loadModemPane();
    loadDialingPane();
    loadServicesPane();
    loadSpecialPane();
}

QPushButton* PreferencesController::addPaneButtons(QWidget* pane, Pane which,
                                                   void (PreferencesController::*factory)())
{
    auto* row = new QHBoxLayout;
    auto* help = new QPushButton(QStringLiteral("?"));
    help->setToolTip(localized(QStringLiteral("Help")));
    const QString page = QString::fromLatin1(paneInfo(which).helpPage);
    connect(help, &QPushButton::clicked, this, [page] { UserGuide::openPage(page); });
    row->addWidget(help);
    row->addStretch();
    QPushButton* factorySettings = nullptr;
    if (factory) {
        factorySettings = new QPushButton(localized(QStringLiteral("Factory Settings")));
        connect(factorySettings, &QPushButton::clicked, this, [this, factory] { (this->*factory)(); });
        row->addWidget(factorySettings);
    }
    auto* column = qobject_cast<QVBoxLayout*>(pane->layout());
    column->addStretch();
    column->addLayout(row);
    return factorySettings;
}

void PreferencesController::restoreFactorySettings(const QStringList& keys)
{
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    VKUserDefaultsCategories::restoreFactorySettingsForKeys(defaults, keys);
    defaults.synchronize();
    awakeFromNib();
}

void PreferencesController::enableFactorySettingsButton(QPushButton* button, const QStringList& keys)
{
    button->setEnabled(VKUserDefaultsCategories::changedFromFactorySettingsForKeys(
        UserDefaults::standardUserDefaults(), keys));
}
