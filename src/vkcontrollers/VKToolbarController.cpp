#include "VKToolbarController.h"

#include "InternalInconsistency.h"
#include "Localization.h"
#include "Toolbar.h"
#include "VKToolbarCategories.h"
#include "WindowController.h"

#include <QMainWindow>

VKToolbarController::VKToolbarController()
{
    registerAction(QStringLiteral("showHideToolbar:"),
                   [this](QObject* sender) { showHideToolbar(sender); });
    registerAction(QStringLiteral("customizeToolbar:"),
                   [this](QObject* sender) { customizeToolbar(sender); });
}

VKToolbarController::~VKToolbarController()
{
    // The toolbar holds the items it shows: it goes first.
    m_toolbar.reset();
}

WindowController* VKToolbarController::editorWindowController() const
{
    return m_editorWindowController;
}

void VKToolbarController::setEditorWindowController(WindowController* controller)
{
    m_editorWindowController = controller;
}

QMainWindow* VKToolbarController::window() const
{
    return m_window;
}

void VKToolbarController::setWindow(QMainWindow* window)
{
    m_window = window;
}

void VKToolbarController::setup()
{
    makeToolbar(true, true);
}

void VKToolbarController::makeToolbar(bool allowsUserCustomization, bool autosavesConfiguration,
                                      const std::function<void()>& beforeInstalling)
{
    auto toolbar = std::make_unique<Toolbar>(identifier());
    // The old items stay until the old toolbar, which still shows them, has gone.
    ToolbarItemList oldItems = std::exchange(m_toolbarItems, {});
    toolbar->setDelegate(this);
    toolbar->setAllowsUserCustomization(allowsUserCustomization);
    toolbar->setAutosavesConfiguration(autosavesConfiguration);
    setToolbar(std::move(toolbar));
    oldItems.clear();
    addToolbarItems();
    if (beforeInstalling)
        beforeInstalling();
    if (m_window)
        m_toolbar->installInWindow(m_window);
}

void VKToolbarController::addToolbarItems()
{
    using VKToolbarCategories::addToolbarItem;
    const QString shared = QStringLiteral("Shared");
    addToolbarItem(m_toolbarItems, localized(QStringLiteral("Check for Updates..."), shared),
                   localized(QStringLiteral("Check for Updates")),
                   localized(QStringLiteral("Check for Updates")),
                   localized(QStringLiteral("Check for software updates")),
                   QStringLiteral("ToolbarPrefsUpdates"), true, nullptr,
                   QStringLiteral("checkForUpdates:"));
    addToolbarItem(
        m_toolbarItems, localized(QStringLiteral("Preferences..."), shared),
        localized(QStringLiteral("Preferences")), localized(QStringLiteral("Preferences")),
        localized(QStringLiteral("Show the Preferences window\nCommand-Comma")),
        QStringLiteral("ToolbarPrefsGeneral"), true, nullptr, QStringLiteral("startPreferences:"));
    addToolbarItem(
        m_toolbarItems, localized(QStringLiteral("Feedback"), shared),
        localized(QStringLiteral("Feedback")), localized(QStringLiteral("Provide Feedback")),
        localized(QStringLiteral("Send feedback on the application")),
        QStringLiteral("ToolbarFeedback"), true, nullptr, QStringLiteral("helpFeedback:"));
}

QString VKToolbarController::identifier() const
{
    throw InternalInconsistency(QStringLiteral("VKToolbarController -identifier -- Forgot to "
                                               "override to specify the toolbar identifier."));
}

bool VKToolbarController::toolbarIsVisible() const
{
    return m_toolbar && m_toolbar->isVisible();
}

ToolbarItem* VKToolbarController::toolbarItemForItemIdentifier(Toolbar*, const QString& identifier,
                                                               bool)
{
    return VKToolbarCategories::toolbarItemForIdentifier(m_toolbarItems, identifier);
}

QStringList VKToolbarController::toolbarAllowedItemIdentifiers(Toolbar*)
{
    return VKToolbarCategories::toolbarItemIdentifiersIncludingStandardItems(m_toolbarItems, true);
}

QStringList VKToolbarController::toolbarDefaultItemIdentifiers(Toolbar*)
{
    const QString shared = QStringLiteral("Shared");
    return {ToolbarItem::SeparatorItemIdentifier,
            ToolbarItem::ShowFontsItemIdentifier,
            ToolbarItem::ShowColorsItemIdentifier,
            ToolbarItem::FlexibleSpaceItemIdentifier,
            localized(QStringLiteral("Feedback"), shared),
            localized(QStringLiteral("User Guide"), shared)};
}

void VKToolbarController::showHideToolbar(QObject*)
{
    if (m_toolbar)
        m_toolbar->setVisible(!m_toolbar->isVisible());
}

void VKToolbarController::customizeToolbar(QObject* sender)
{
    if (m_toolbar)
        m_toolbar->runCustomizationPalette(sender);
}

void VKToolbarController::setToolbar(std::unique_ptr<Toolbar> toolbar)
{
    m_toolbar = std::move(toolbar);
}

void VKToolbarController::setToolbarItems(ToolbarItemList items)
{
    m_toolbarItems = std::move(items);
}
