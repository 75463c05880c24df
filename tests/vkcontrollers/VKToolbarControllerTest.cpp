#include "VKToolbarController.h"

#include "ActionRouter.h"
#include "InternalInconsistency.h"
#include "SystemLog.h"
#include "Toolbar.h"
#include "ToolbarCustomizationDialog.h"
#include "UserDefaults.h"
#include "VKToolbarCategories.h"
#include "WindowController.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// The base's items and defaults under an identifier of its own.
class TestToolbarController : public VKToolbarController {
public:
    QString identifier() const override { return QStringLiteral("TestToolbar"); }
};

class NamelessToolbarController : public VKToolbarController {};

// The window's controller answers checkForUpdates: and keeps who sent it.
class Window : public WindowController {
public:
    Window()
    {
        registerAction("checkForUpdates:", [this](QObject* sender) { senders.append(sender); });
    }
    QMainWindow* mainWindow() { return static_cast<QMainWindow*>(window()); }
    QList<QObject*> senders;

protected:
    std::unique_ptr<QWidget> makeWindow() override { return std::make_unique<QMainWindow>(); }
};

class VKToolbarControllerTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        m_defaults = std::make_unique<UserDefaults>(m_folder.path());
        UserDefaults::setStandardUserDefaults(m_defaults.get());
    }
    void TearDown() override
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        UserDefaults::setStandardUserDefaults(nullptr);
    }

    std::unique_ptr<TestToolbarController> makeController(Window& window)
    {
        auto controller = std::make_unique<TestToolbarController>();
        controller->setEditorWindowController(&window);
        controller->setWindow(window.mainWindow());
        controller->setup();
        return controller;
    }

    QTemporaryDir m_folder;
    std::unique_ptr<UserDefaults> m_defaults;
    // The images are the application's; this test has none of them.
    ScopedLogCapture m_log;
};

const QStringList kShownDefaults{
    ToolbarItem::SeparatorItemIdentifier, ToolbarItem::ShowFontsItemIdentifier,
    ToolbarItem::ShowColorsItemIdentifier, ToolbarItem::FlexibleSpaceItemIdentifier, "Feedback"};

} // namespace

TEST_F(VKToolbarControllerTest, Identifier_MustBeOverridden)
{
    NamelessToolbarController controller;
    try {
        (void)controller.identifier();
        FAIL() << "no exception";
    } catch (const InternalInconsistency& error) {
        EXPECT_EQ(error.message(), "VKToolbarController -identifier -- Forgot to override to "
                                   "specify the toolbar identifier.");
    }
    EXPECT_THROW(controller.setup(), InternalInconsistency);
    EXPECT_EQ(controller.toolbar(), nullptr);
    EXPECT_FALSE(controller.toolbarIsVisible());
}

TEST_F(VKToolbarControllerTest, Setup_OffersTheBaseItems_AndShowsTheDefaultsItHas)
{
    Window window;
    auto controller = makeController(window);
    Toolbar* toolbar = controller->toolbar();
    ASSERT_NE(toolbar, nullptr);
    EXPECT_EQ(Toolbar::toolbarForWindow(window.mainWindow()), toolbar);
    EXPECT_EQ(toolbar->identifier(), "TestToolbar");
    EXPECT_TRUE(toolbar->allowsUserCustomization());
    EXPECT_TRUE(toolbar->autosavesConfiguration());
    EXPECT_TRUE(controller->toolbarIsVisible());

    const struct {
        QString identifier, label, paletteLabel, toolTip, action;
    } expected[] = {
        {"Check for Updates...", "Check for Updates", "Check for Updates",
         "Check for software updates", "checkForUpdates:"},
        {"Preferences...", "Preferences", "Preferences",
         "Show the Preferences window\nCommand-Comma", "startPreferences:"},
        {"Feedback", "Feedback", "Provide Feedback", "Send feedback on the application",
         "helpFeedback:"},
    };
    ASSERT_EQ(controller->toolbarItems().size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        const ToolbarItem* item = controller->toolbarItems()[i].get();
        SCOPED_TRACE(item->itemIdentifier().toStdString());
        EXPECT_EQ(item->itemIdentifier(), expected[i].identifier);
        EXPECT_EQ(item->label(), expected[i].label);
        EXPECT_EQ(item->paletteLabel(), expected[i].paletteLabel);
        EXPECT_EQ(item->toolTip(), expected[i].toolTip);
        EXPECT_EQ(item->action(), expected[i].action);
        EXPECT_TRUE(item->target() == nullptr);
        EXPECT_EQ(item->tag(), 0);
    }
    // Without the application's images, each item says which it misses.
    EXPECT_EQ(m_log.lines().size(), 3);

    // An identifier the list lacks gives no item: "User Guide" is left out.
    EXPECT_EQ(controller->toolbarItemForItemIdentifier(toolbar, "User Guide", true), nullptr);
    EXPECT_EQ(controller->toolbarItemForItemIdentifier(toolbar, "Feedback", true),
              controller->toolbarItems()[2].get());
    EXPECT_EQ(controller->toolbarDefaultItemIdentifiers(toolbar).last(), "User Guide");
    EXPECT_EQ(toolbar->itemIdentifiers(), kShownDefaults);
    EXPECT_EQ(
        controller->toolbarAllowedItemIdentifiers(toolbar),
        QStringList({"Check for Updates...", "Preferences...", "Feedback",
                     ToolbarItem::CustomizeToolbarItemIdentifier,
                     ToolbarItem::FlexibleSpaceItemIdentifier, ToolbarItem::SpaceItemIdentifier,
                     ToolbarItem::SeparatorItemIdentifier}));

    controller->showHideToolbar();
    EXPECT_FALSE(controller->toolbarIsVisible());
    EXPECT_EQ(VKToolbarCategories::toolbarHeightForWindow(window.mainWindow()), 0);
    EXPECT_TRUE(controller->performAction("showHideToolbar:"));
    EXPECT_TRUE(controller->toolbarIsVisible());
}

TEST_F(VKToolbarControllerTest, ArrangementChangedInTheDialog_ComesBackInTheNextController)
{
    const QStringList arranged{ToolbarItem::SeparatorItemIdentifier,
                               ToolbarItem::ShowColorsItemIdentifier,
                               ToolbarItem::ShowFontsItemIdentifier, "Feedback"};
    {
        Window window;
        auto controller = makeController(window);
        controller->customizeToolbar();
        ToolbarCustomizationDialog* dialog = controller->toolbar()->customizationPalette();
        ASSERT_NE(dialog, nullptr);
        // One item out, two swapped, text only, small, then hidden.
        dialog->toolbarItemsList()->setCurrentRow(3);
        dialog->removeItem();
        dialog->toolbarItemsList()->setCurrentRow(1);
        dialog->moveItemDown();
        dialog->showPopup()->setCurrentIndex(2);
        Q_EMIT dialog->showPopup()->activated(2);
        dialog->smallSizeCheck()->setChecked(true);
        controller->showHideToolbar();
        EXPECT_EQ(controller->toolbar()->itemIdentifiers(), arranged);
    }

    Window window;
    auto controller = makeController(window);
    Toolbar* toolbar = controller->toolbar();
    EXPECT_EQ(toolbar->itemIdentifiers(), arranged);
    EXPECT_EQ(toolbar->displayMode(), Toolbar::DisplayMode::LabelOnly);
    EXPECT_EQ(toolbar->sizeMode(), Toolbar::SizeMode::Small);
    EXPECT_FALSE(controller->toolbarIsVisible());
    EXPECT_FALSE(toolbar->toolBar()->isVisibleTo(window.mainWindow()));
    EXPECT_EQ(toolbar->toolBar()->toolButtonStyle(), Qt::ToolButtonTextOnly);
    // The size mode is where readers of the saved arrangement find it.
    const PlistValue saved = m_defaults->objectForKey("NSToolbar Configuration TestToolbar");
    ASSERT_TRUE(saved.isDictionary());
    EXPECT_EQ(saved.asDictionary()->value("TB Icon Size Mode").integerValue(), 2);

    // Restore Defaults brings back the default list.
    ToolbarCustomizationDialog dialog(toolbar);
    dialog.restoreDefaultsButton()->click();
    EXPECT_EQ(toolbar->itemIdentifiers(), kShownDefaults);
}

TEST_F(VKToolbarControllerTest, UnreadableSavedArrangement_GivesTheDefaults)
{
    for (const PlistValue& saved :
         {PlistValue("garbage"), PlistValue(PlistDictionary{{"TB Item Identifiers", 12}}),
          PlistValue(PlistDictionary{{"TB Item Identifiers", PlistArray({"Feedback", 1})}})}) {
        m_defaults->setObject(saved, "NSToolbar Configuration TestToolbar");
        Window window;
        auto controller = makeController(window);
        EXPECT_EQ(controller->toolbar()->itemIdentifiers(), kShownDefaults);
        EXPECT_TRUE(controller->toolbarIsVisible());
    }
}

TEST_F(VKToolbarControllerTest, Items_SendToTheFirstResponderWithTheItemAsSender_EnabledAsItAnswers)
{
    Window window;
    QMainWindow* mainWindow = window.mainWindow();
    auto* central = new QWidget;
    auto* plainField = new QLineEdit(central);
    auto* feedbackField = new QLineEdit(central);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(plainField);
    layout->addWidget(feedbackField);
    mainWindow->setCentralWidget(central);
    Responder feedbackResponder;
    int feedbacks = 0;
    feedbackResponder.registerAction("helpFeedback:", [&feedbacks](QObject*) { ++feedbacks; });
    ActionRouter::setResponderForView(feedbackField, &feedbackResponder);

    auto controller = makeController(window);
    Toolbar* toolbar = controller->toolbar();
    ASSERT_TRUE(toolbar->insertItemWithItemIdentifier("Check for Updates...", 0));
    mainWindow->show();
    QApplication::setActiveWindow(mainWindow);
    ASSERT_TRUE(QTest::qWaitForWindowActive(mainWindow));
    plainField->setFocus();
    QCoreApplication::processEvents();

    ToolbarItem* update = controller->toolbarItems()[0].get();
    ToolbarItem* feedback = controller->toolbarItems()[2].get();
    EXPECT_TRUE(update->isEnabled());
    EXPECT_FALSE(feedback->isEnabled());
    auto* updateButton =
        qobject_cast<QToolButton*>(toolbar->toolBar()->widgetForAction(update->buttonAction()));
    ASSERT_NE(updateButton, nullptr);
    QTest::mouseClick(updateButton, Qt::LeftButton);
    EXPECT_EQ(window.senders, QList<QObject*>{update});

    feedbackField->setFocus();
    QCoreApplication::processEvents();
    EXPECT_TRUE(feedback->isEnabled());
    feedback->buttonAction()->trigger();
    EXPECT_EQ(feedbacks, 1);

    controller.reset();
    ActionRouter::setResponderForView(feedbackField, nullptr);
}
