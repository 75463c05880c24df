#include "PreferencesToolbarController.h"

#include "Localization.h"
#include "SystemLog.h"
#include "Toolbar.h"
#include "UserDefaults.h"
#include "VKImageCategories.h"
#include "VKToolbarCategories.h"
#include "WindowController.h"

#include <QAction>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

const QStringList kPanes{"Updates", "General", "Modem", "Dialing", "Services", "Special"};
const QStringList kPaneActions{"showUpdatesTab:", "showGeneralTab:",  "showModemTab:",
                               "showDialingTab:", "showServicesTab:", "showSpecialTab:"};

// Stands in for the Preferences window's controller: it answers the pane actions.
class PreferencesWindow : public WindowController {
public:
    PreferencesWindow()
    {
        for (const QString& selector : kPaneActions) {
            registerAction(selector, [this, selector](QObject* sender) {
                actions.append(selector);
                senders.append(sender);
            });
        }
    }
    QMainWindow* mainWindow() { return static_cast<QMainWindow*>(window()); }
    QStringList actions;
    QList<QObject*> senders;

protected:
    std::unique_ptr<QWidget> makeWindow() override { return std::make_unique<QMainWindow>(); }
};

// The base's three items, to see them with the application's images and strings.
class BaseItemsController : public VKToolbarController {
public:
    QString identifier() const override { return QStringLiteral("BaseItems"); }
};

class PreferencesToolbarControllerTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        m_defaults = std::make_unique<UserDefaults>(m_folder.path());
        UserDefaults::setStandardUserDefaults(m_defaults.get());
        m_controller.setWindow(m_window.mainWindow());
    }
    void TearDown() override
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        UserDefaults::setStandardUserDefaults(nullptr);
    }

    QTemporaryDir m_folder;
    std::unique_ptr<UserDefaults> m_defaults;
    PreferencesWindow m_window;
    PreferencesToolbarController m_controller;
};

QStringList labelsOf(const QList<ToolbarItem*>& items)
{
    QStringList labels;
    for (const ToolbarItem* item : items)
        labels.append(item->label());
    return labels;
}

} // namespace

TEST_F(PreferencesToolbarControllerTest, ShowsTheSixPanesWithLabelsAndImages_NotCustomizable)
{
    ScopedLogCapture log;
    m_controller.setup();
    Toolbar* toolbar = m_controller.toolbar();
    EXPECT_EQ(Toolbar::toolbarForWindow(m_window.mainWindow()), toolbar);
    EXPECT_EQ(toolbar->identifier(), "PreferencesToolbar");
    EXPECT_EQ(toolbar->itemIdentifiers(), kPanes);
    EXPECT_EQ(labelsOf(toolbar->items()), kPanes);
    EXPECT_EQ(toolbar->displayMode(), Toolbar::DisplayMode::IconAndLabel);
    EXPECT_EQ(toolbar->toolBar()->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    for (const ToolbarItem* item : toolbar->items()) {
        SCOPED_TRACE(item->itemIdentifier().toStdString());
        EXPECT_EQ(item->paletteLabel(), item->itemIdentifier());
        EXPECT_TRUE(item->toolTip().isEmpty());
        EXPECT_TRUE(item->isEnabled());
        EXPECT_FALSE(item->image().pixmap(24, 24).isNull());
    }
    EXPECT_TRUE(log.lines().isEmpty()) << log.lines().join('\n').toStdString();

    EXPECT_FALSE(toolbar->allowsUserCustomization());
    m_controller.customizeToolbar();
    EXPECT_EQ(toolbar->customizationPalette(), nullptr);
}

TEST_F(PreferencesToolbarControllerTest, ItemClick_SendsThePanesActionWithTheItem)
{
    m_controller.setup();
    QToolBar* bar = m_controller.toolbar()->toolBar();
    for (ToolbarItem* item : m_controller.toolbar()->items()) {
        auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(item->buttonAction()));
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    EXPECT_EQ(m_window.actions, kPaneActions);
    ASSERT_EQ(m_window.senders.size(), 6);
    EXPECT_EQ(m_window.senders.front(), m_controller.toolbar()->items().front());
}

TEST_F(PreferencesToolbarControllerTest, ShowChangedStyle_RebuildsInPlaceWithoutSaving)
{
    // An arrangement saved under the identifier is read by the first set-up only.
    m_defaults->setObject(PlistDictionary{{Toolbar::ItemIdentifiersKey, PlistArray({"General"})}},
                          Toolbar::configurationKey("PreferencesToolbar"));
    m_controller.setup();
    EXPECT_EQ(m_controller.toolbar()->itemIdentifiers(), QStringList{"General"});
    const PlistValue savedBefore =
        m_defaults->objectForKey(Toolbar::configurationKey("PreferencesToolbar"));

    const Toolbar* before = m_controller.toolbar();
    m_controller.showChangedStyle();
    Toolbar* after = m_controller.toolbar();
    EXPECT_NE(after, before);
    EXPECT_FALSE(after->autosavesConfiguration());
    EXPECT_FALSE(after->allowsUserCustomization());
    EXPECT_EQ(Toolbar::toolbarForWindow(m_window.mainWindow()), after);
    EXPECT_EQ(after->itemIdentifiers(), kPanes);

    after->setVisible(false);
    after->setDisplayMode(Toolbar::DisplayMode::IconOnly);
    EXPECT_EQ(m_defaults->objectForKey(Toolbar::configurationKey("PreferencesToolbar")),
              savedBefore);
    // The old bar leaves the window.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(m_window.mainWindow()->findChildren<QToolBar*>(), QList<QToolBar*>{after->toolBar()});
}

TEST_F(PreferencesToolbarControllerTest, BaseItems_HaveTheirImages_AndToolTipsNameLinuxKeys)
{
    EXPECT_EQ(localized("Show the Preferences window\nCommand-Comma"),
              "Show the Preferences window\nCtrl+Comma");
    BaseItemsController controller;
    ScopedLogCapture log;
    controller.setup();
    ASSERT_EQ(controller.toolbarItems().size(), 3u);
    for (const auto& item : controller.toolbarItems())
        EXPECT_FALSE(item->image().isNull()) << item->itemIdentifier().toStdString();
    EXPECT_TRUE(log.lines().isEmpty());
    EXPECT_EQ(controller.toolbarItems()[1]->toolTip(), "Show the Preferences window\nCtrl+Comma");

    // An image named with another format's extension is our artwork of that name.
    EXPECT_FALSE(VKImageCategories::iconNamed("UpdatesPane.icns").isNull());
    EXPECT_FALSE(VKImageCategories::iconNamed("UpdatesPane").isNull());
    EXPECT_TRUE(VKImageCategories::iconNamed("NoSuchPane").isNull());
}
