#include "Toolbar.h"

#include "ActionRouter.h"
#include "SystemLog.h"
#include "ToolbarCustomizationDialog.h"
#include "ToolbarDelegate.h"
#include "ToolbarItem.h"
#include "UserDefaults.h"
#include "WindowController.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

const QString kOne = QStringLiteral("One");
const QString kTwo = QStringLiteral("Two");
const QString kThree = QStringLiteral("Three");
const QString kSearch = QStringLiteral("Search");
const QString& kSeparator = ToolbarItem::SeparatorItemIdentifier;
const QString& kSpace = ToolbarItem::SpaceItemIdentifier;
const QString& kFlexibleSpace = ToolbarItem::FlexibleSpaceItemIdentifier;

// Three image items sending "one:", "two:" and "three:", and a view item whose menu form
// opens a submenu; the default arrangement names an item it does not have and one item
// twice.
class Delegate : public ToolbarDelegate {
public:
    Delegate()
    {
        for (const QString& name : {kOne, kTwo, kThree}) {
            auto item = std::make_unique<ToolbarItem>(name);
            item->setLabel(name);
            item->setPaletteLabel(name + " palette");
            item->setAction(name.toLower() + ':');
            items.push_back(std::move(item));
        }
        searchField = std::make_unique<QLineEdit>();
        searchField->resize(120, 22);
        auto search = std::make_unique<ToolbarItem>(kSearch);
        search->setLabel(kSearch);
        search->setView(searchField.get());
        search->setMinSize(QSizeF(100, 22));
        search->setMaxSize(QSizeF(200, 22));
        searchMenu.addAction("Recent");
        auto* form = new QAction(kSearch, search.get());
        form->setMenu(&searchMenu);
        search->setMenuFormRepresentation(form);
        items.push_back(std::move(search));
    }

    ToolbarItem* item(const QString& identifier) const
    {
        for (const auto& item : items) {
            if (item->itemIdentifier() == identifier)
                return item.get();
        }
        return nullptr;
    }

    ToolbarItem* toolbarItemForItemIdentifier(Toolbar*, const QString& identifier, bool) override
    {
        return item(identifier);
    }
    QStringList toolbarAllowedItemIdentifiers(Toolbar*) override
    {
        return {
            kOne,           kTwo,   kThree,    kSearch, ToolbarItem::CustomizeToolbarItemIdentifier,
            kFlexibleSpace, kSpace, kSeparator};
    }
    QStringList toolbarDefaultItemIdentifiers(Toolbar*) override { return defaults; }
    void toolbarWillAddItem(Toolbar*, ToolbarItem* item) override
    {
        log.append("add " + item->itemIdentifier());
    }
    void toolbarDidRemoveItem(Toolbar*, ToolbarItem* item) override
    {
        log.append("remove " + item->itemIdentifier());
    }

    QStringList defaults{kOne, kSeparator, kTwo, "Unknown", kOne, kSeparator, kFlexibleSpace};
    QStringList log;
    std::unique_ptr<QLineEdit> searchField;
    QMenu searchMenu;
    ToolbarItemList items;
};

// The window's controller: the first responder for the toolbar's items.
class Controller : public WindowController {
public:
    Controller()
    {
        for (const QString selector : {"one:", "two:"}) {
            registerAction(selector, [this, selector](QObject* sender) {
                log.append(selector);
                senders.append(sender);
            });
        }
    }
    QStringList log;
    QList<QObject*> senders;

protected:
    std::unique_ptr<QWidget> makeWindow() override { return std::make_unique<QMainWindow>(); }
};

class ToolbarTest : public testing::Test {
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

    std::unique_ptr<Toolbar> makeToolbar(bool autosaves = true)
    {
        auto toolbar = std::make_unique<Toolbar>("TestToolbar");
        toolbar->setDelegate(&m_delegate);
        toolbar->setAllowsUserCustomization(true);
        toolbar->setAutosavesConfiguration(autosaves);
        return toolbar;
    }

    PlistValue saved() const
    {
        return m_defaults->objectForKey(Toolbar::configurationKey("TestToolbar"));
    }

    QTemporaryDir m_folder;
    std::unique_ptr<UserDefaults> m_defaults;
    Delegate m_delegate;
};

QStringList identifiersOf(QListWidget* list)
{
    QStringList result;
    for (int row = 0; row < list->count(); ++row)
        result.append(list->item(row)->data(Qt::UserRole).toString());
    return result;
}

} // namespace

TEST_F(ToolbarTest, Defaults_LeaveOutUnknownItemsAndRepeatsOfOneThatMayNotRepeat)
{
    auto toolbar = makeToolbar();
    EXPECT_EQ(toolbar->itemIdentifiers(),
              QStringList({kOne, kSeparator, kTwo, kSeparator, kFlexibleSpace}));
    // The toolbar's own items are made per place; the delegate's are its own objects.
    EXPECT_EQ(toolbar->items().at(0), m_delegate.item(kOne));
    EXPECT_NE(toolbar->items().at(1), toolbar->items().at(3));
    EXPECT_EQ(m_delegate.log,
              QStringList({"add One", "add NSToolbarSeparatorItem", "add Two",
                           "add NSToolbarSeparatorItem", "add NSToolbarFlexibleSpaceItem"}));

    // An item that is there already is not added twice; a separator is.
    EXPECT_FALSE(toolbar->insertItemWithItemIdentifier(kTwo, 0));
    EXPECT_FALSE(toolbar->insertItemWithItemIdentifier("Unknown", 0));
    EXPECT_TRUE(toolbar->insertItemWithItemIdentifier(kSeparator, 0));
    EXPECT_TRUE(toolbar->insertItemWithItemIdentifier(kThree, 99));
    EXPECT_EQ(toolbar->itemIdentifiers(), QStringList({kSeparator, kOne, kSeparator, kTwo,
                                                       kSeparator, kFlexibleSpace, kThree}));
    ASSERT_TRUE(saved().isDictionary());
}

TEST_F(ToolbarTest, Arrangement_ChangedAndSavedComesBackInTheNextToolbarOfThatIdentifier)
{
    {
        auto toolbar = makeToolbar();
        EXPECT_TRUE(saved().isNull());
        toolbar->removeItemAtIndex(1);
        toolbar->insertItemWithItemIdentifier(kSearch, 0);
        toolbar->setDisplayMode(Toolbar::DisplayMode::LabelOnly);
        toolbar->setSizeMode(Toolbar::SizeMode::Small);
        toolbar->setVisible(false);
    }
    const PlistDictionary configuration = *saved().asDictionary();
    EXPECT_EQ(configuration.value(Toolbar::DisplayModeKey), PlistValue(3));
    EXPECT_EQ(configuration.value(Toolbar::IconSizeModeKey), PlistValue(2));
    EXPECT_EQ(configuration.value(Toolbar::IsShownKey), PlistValue(0));
    EXPECT_EQ(configuration.value(Toolbar::ItemIdentifiersKey),
              PlistValue(PlistArray({"Search", "One", "Two", kSeparator, kFlexibleSpace})));

    auto again = makeToolbar();
    EXPECT_EQ(again->itemIdentifiers(),
              QStringList({kSearch, kOne, kTwo, kSeparator, kFlexibleSpace}));
    EXPECT_EQ(again->displayMode(), Toolbar::DisplayMode::LabelOnly);
    EXPECT_EQ(again->sizeMode(), Toolbar::SizeMode::Small);
    EXPECT_FALSE(again->isVisible());

    // Without autosave nothing is read.
    auto unsaved = makeToolbar(false);
    EXPECT_EQ(unsaved->itemIdentifiers(),
              QStringList({kOne, kSeparator, kTwo, kSeparator, kFlexibleSpace}));
    EXPECT_TRUE(unsaved->isVisible());
}

TEST_F(ToolbarTest, SavedArrangement_ThatCannotBeReadGivesTheDefaultsOfWhatCannotBeRead)
{
    const QStringList defaults{kOne, kSeparator, kTwo, kSeparator, kFlexibleSpace};
    const struct {
        const char* name;
        PlistValue saved;
        QStringList identifiers;
        Toolbar::DisplayMode displayMode;
        bool logged;
    } cases[] = {
        {"not a dictionary", PlistValue("One Two"), defaults, Toolbar::DisplayMode::Default, true},
        {"identifiers not an array",
         PlistDictionary{{Toolbar::ItemIdentifiersKey, "Two"}, {Toolbar::DisplayModeKey, 2}},
         defaults, Toolbar::DisplayMode::IconOnly, true},
        {"an identifier not a string",
         PlistDictionary{{Toolbar::ItemIdentifiersKey, PlistArray({"Two", 3})}}, defaults,
         Toolbar::DisplayMode::Default, true},
        {"display mode out of range",
         PlistDictionary{{Toolbar::ItemIdentifiersKey, PlistArray({"Two"})},
                         {Toolbar::DisplayModeKey, 7}},
         {kTwo},
         Toolbar::DisplayMode::Default,
         true},
        {"unknown and repeated identifiers",
         PlistDictionary{{Toolbar::ItemIdentifiersKey,
                          PlistArray({"Two", "Gone", "Two", kSpace, kSpace, "Three"})}},
         {kTwo, kSpace, kSpace, kThree},
         Toolbar::DisplayMode::Default,
         false},
        {"an empty arrangement",
         PlistDictionary{{Toolbar::ItemIdentifiersKey, PlistArray()}},
         {},
         Toolbar::DisplayMode::Default,
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_defaults->setObject(c.saved, Toolbar::configurationKey("TestToolbar"));
        ScopedLogCapture log;
        auto toolbar = makeToolbar();
        EXPECT_EQ(toolbar->itemIdentifiers(), c.identifiers);
        EXPECT_EQ(toolbar->displayMode(), c.displayMode);
        EXPECT_EQ(!log.lines().isEmpty(), c.logged) << log.lines().join('\n').toStdString();
    }
}

TEST_F(ToolbarTest, DisplayModes_ShowImagesLabelsAndAViewsMenuForm)
{
    QMainWindow window;
    m_delegate.defaults = {kSearch, kOne};
    auto toolbar = makeToolbar(false);
    toolbar->installInWindow(&window);
    ASSERT_EQ(Toolbar::toolbarForWindow(&window), toolbar.get());
    QToolBar* bar = toolbar->toolBar();
    EXPECT_EQ(window.toolBarArea(bar), Qt::TopToolBarArea);
    EXPECT_FALSE(bar->isMovable());

    // Icon and text: the view with its label below, held to the item's sizes.
    QLineEdit* field = m_delegate.searchField.get();
    ASSERT_EQ(field->window(), &window);
    EXPECT_EQ(field->minimumSize(), QSize(100, 22));
    EXPECT_EQ(field->maximumSize(), QSize(200, 22));
    EXPECT_EQ(field->parentWidget()->findChild<QLabel*>()->text(), kSearch);
    auto* oneButton =
        qobject_cast<QToolButton*>(bar->widgetForAction(m_delegate.item(kOne)->buttonAction()));
    ASSERT_NE(oneButton, nullptr);
    EXPECT_EQ(oneButton->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    // A label's ampersand is shown, not taken for a mnemonic.
    m_delegate.item(kOne)->setLabel("Font & Ruler");
    oneButton =
        qobject_cast<QToolButton*>(bar->widgetForAction(m_delegate.item(kOne)->buttonAction()));
    ASSERT_NE(oneButton, nullptr);
    EXPECT_EQ(oneButton->text(), "Font && Ruler");
    EXPECT_EQ(m_delegate.item(kOne)->label(), "Font & Ruler");
    EXPECT_EQ(bar->iconSize(), QSize(32, 32));

    toolbar->setDisplayMode(Toolbar::DisplayMode::IconOnly);
    toolbar->setSizeMode(Toolbar::SizeMode::Small);
    EXPECT_EQ(field->window(), &window);
    EXPECT_EQ(field->parentWidget()->findChild<QLabel*>(), nullptr);
    EXPECT_EQ(bar->toolButtonStyle(), Qt::ToolButtonIconOnly);
    EXPECT_EQ(bar->iconSize(), QSize(24, 24));

    // Text only: the view gives way to a button titled with its label opening its submenu.
    toolbar->setDisplayMode(Toolbar::DisplayMode::LabelOnly);
    EXPECT_EQ(field->parentWidget(), nullptr);
    QToolButton* menuButton = nullptr;
    for (QToolButton* button : bar->findChildren<QToolButton*>()) {
        if (button->menu())
            menuButton = button;
    }
    ASSERT_NE(menuButton, nullptr);
    EXPECT_EQ(menuButton->text(), kSearch);
    EXPECT_EQ(menuButton->menu(), &m_delegate.searchMenu);
    EXPECT_EQ(menuButton->popupMode(), QToolButton::InstantPopup);

    // The view is lent, never given: the toolbar gone, it lives on without a parent.
    toolbar->setDisplayMode(Toolbar::DisplayMode::IconAndLabel);
    EXPECT_EQ(field->window(), &window);
    toolbar.reset();
    EXPECT_EQ(field->parentWidget(), nullptr);
    EXPECT_EQ(Toolbar::toolbarForWindow(&window), nullptr);
}

TEST_F(ToolbarTest, Groups_ShowTheirSubitemsSideBySideUnderOneLabel)
{
    auto group = std::make_unique<ToolbarItem>("Navigation");
    group->setLabel("Record Navigation");
    QList<ToolbarItem*> subitems;
    for (const char* name : {"first:", "last:"}) {
        auto* subitem = new ToolbarItem(name);
        subitem->setAction(name);
        subitems.append(subitem);
    }
    group->setSubitems(subitems);
    group->setMinSize(QSizeF(66.6, 32));
    group->setMaxSize(QSizeF(66.6, 32));
    ToolbarItem* raw = group.get();
    m_delegate.items.push_back(std::move(group));
    m_delegate.defaults = {"Navigation"};

    QMainWindow window;
    auto toolbar = makeToolbar(false);
    toolbar->installInWindow(&window);
    QList<QToolButton*> buttons;
    for (QToolButton* button : toolbar->toolBar()->findChildren<QToolButton*>()) {
        if (button->defaultAction() == subitems[0]->buttonAction() ||
            button->defaultAction() == subitems[1]->buttonAction())
            buttons.append(button);
    }
    ASSERT_EQ(buttons.size(), 2);
    EXPECT_EQ(buttons[0]->parentWidget(), buttons[1]->parentWidget());
    EXPECT_EQ(buttons[0]->parentWidget()->maximumSize(), QSize(67, 32));
    EXPECT_EQ(buttons[0]->size(), QSize(32, 32));
    EXPECT_EQ(buttons[0]->parentWidget()->parentWidget()->findChild<QLabel*>()->text(),
              "Record Navigation");
    // Nobody answers either action: both are disabled, each on its own.
    EXPECT_FALSE(subitems[0]->isEnabled());
    EXPECT_EQ(raw->subitems(), subitems);
}

TEST_F(ToolbarTest, Items_SendTheirActionToTheWindowsFirstResponder_AndFollowItsAnswers)
{
    Controller controller;
    auto* window = static_cast<QMainWindow*>(controller.window());
    auto* central = new QWidget;
    auto* plainField = new QLineEdit(central);
    auto* answeringField = new QLineEdit(central);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(plainField);
    layout->addWidget(answeringField);
    window->setCentralWidget(central);
    Responder fieldResponder;
    QStringList fieldLog;
    fieldResponder.registerAction("three:", [&fieldLog](QObject*) { fieldLog.append("three:"); });
    ActionRouter::setResponderForView(answeringField, &fieldResponder);

    m_delegate.defaults = {kOne, kThree};
    auto toolbar = makeToolbar(false);
    toolbar->installInWindow(window);
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    plainField->setFocus();
    QCoreApplication::processEvents();

    ToolbarItem* one = m_delegate.item(kOne);
    ToolbarItem* three = m_delegate.item(kThree);
    EXPECT_TRUE(one->isEnabled());
    EXPECT_FALSE(three->isEnabled());

    // The focus moves to a view that answers "three:": enabled once the turn is over.
    answeringField->setFocus();
    QCoreApplication::processEvents();
    EXPECT_TRUE(three->isEnabled());
    EXPECT_TRUE(one->isEnabled());

    // A click sends the action with the item, not its button, as sender.
    auto* oneButton =
        qobject_cast<QToolButton*>(toolbar->toolBar()->widgetForAction(one->buttonAction()));
    ASSERT_NE(oneButton, nullptr);
    QTest::mouseClick(oneButton, Qt::LeftButton);
    EXPECT_EQ(controller.log, QStringList{"one:"});
    EXPECT_EQ(controller.senders, QList<QObject*>{one});
    three->buttonAction()->trigger();
    EXPECT_EQ(fieldLog, QStringList{"three:"});

    plainField->setFocus();
    QCoreApplication::processEvents();
    EXPECT_FALSE(three->isEnabled());

    // An item with a target leaves the chain alone.
    Responder target;
    QList<QObject*> targetSenders;
    target.registerAction("three:",
                          [&targetSenders](QObject* sender) { targetSenders.append(sender); });
    three->setTarget(&target);
    toolbar->validateVisibleItems();
    EXPECT_TRUE(three->isEnabled());
    three->buttonAction()->trigger();
    EXPECT_EQ(targetSenders, QList<QObject*>{three});
    EXPECT_EQ(fieldLog.size(), 1);
    toolbar.reset();
    ActionRouter::setResponderForView(answeringField, nullptr);
}

TEST_F(ToolbarTest, StandardItems_ComeWithTheirImagesAndActions_CustomizeOnlyWhenAllowed)
{
    m_delegate.defaults = {ToolbarItem::ShowFontsItemIdentifier,
                           ToolbarItem::ShowColorsItemIdentifier,
                           ToolbarItem::CustomizeToolbarItemIdentifier};
    QMainWindow window;
    auto toolbar = makeToolbar(false);
    toolbar->setAllowsUserCustomization(false);
    toolbar->installInWindow(&window);
    const QList<ToolbarItem*> items = toolbar->items();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->action(), "orderFrontFontPanel:");
    EXPECT_EQ(items[1]->action(), "orderFrontColorPanel:");
    for (ToolbarItem* item : items)
        EXPECT_FALSE(item->image().pixmap(32, 32).isNull()) << item->itemIdentifier().toStdString();

    ToolbarItem* customize = items[2];
    EXPECT_FALSE(customize->isEnabled());
    customize->buttonAction()->trigger();
    EXPECT_EQ(toolbar->customizationPalette(), nullptr);

    toolbar->setAllowsUserCustomization(true);
    EXPECT_TRUE(customize->isEnabled());
    customize->buttonAction()->trigger();
    ToolbarCustomizationDialog* palette = toolbar->customizationPalette();
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->parentWidget(), &window);
    EXPECT_EQ(palette->windowModality(), Qt::WindowModal);
    // Asked again, the one open comes forward.
    toolbar->runCustomizationPalette();
    EXPECT_EQ(toolbar->customizationPalette(), palette);
    toolbar.reset();
}

TEST_F(ToolbarTest, CustomizationDialog_ChangesShowAtOnceAndAreSaved)
{
    QMainWindow window;
    auto toolbar = makeToolbar();
    toolbar->installInWindow(&window);
    ToolbarCustomizationDialog dialog(toolbar.get());
    EXPECT_EQ(dialog.windowTitle(), "Customize Toolbar");
    QListWidget* allowed = dialog.allowedItemsList();
    QListWidget* current = dialog.toolbarItemsList();
    EXPECT_EQ(identifiersOf(allowed), m_delegate.toolbarAllowedItemIdentifiers(nullptr));
    EXPECT_EQ(allowed->item(0)->text(), "One palette");
    EXPECT_EQ(identifiersOf(current), toolbar->itemIdentifiers());

    // One is in the toolbar already: it cannot be added again, a separator can.
    allowed->setCurrentRow(0);
    EXPECT_FALSE(dialog.addButton()->isEnabled());
    allowed->setCurrentRow(7);
    EXPECT_TRUE(dialog.addButton()->isEnabled());
    allowed->setCurrentRow(2);
    current->setCurrentRow(0);
    dialog.addButton()->click();
    const QStringList added{kOne, kThree, kSeparator, kTwo, kSeparator, kFlexibleSpace};
    EXPECT_EQ(toolbar->itemIdentifiers(), added);
    EXPECT_EQ(identifiersOf(current), added);
    EXPECT_EQ(current->currentRow(), 1);

    dialog.moveDownButton()->click();
    dialog.moveDownButton()->click();
    EXPECT_EQ(toolbar->itemIdentifiers(),
              QStringList({kOne, kSeparator, kTwo, kThree, kSeparator, kFlexibleSpace}));
    current->setCurrentRow(0);
    EXPECT_FALSE(dialog.moveUpButton()->isEnabled());
    dialog.removeButton()->click();
    current->setCurrentRow(4);
    EXPECT_FALSE(dialog.moveDownButton()->isEnabled());
    dialog.moveUpButton()->click();
    const QStringList arranged{kSeparator, kTwo, kThree, kFlexibleSpace, kSeparator};
    EXPECT_EQ(toolbar->itemIdentifiers(), arranged);

    dialog.showPopup()->setCurrentIndex(2);
    Q_EMIT dialog.showPopup()->activated(2);
    EXPECT_EQ(toolbar->displayMode(), Toolbar::DisplayMode::LabelOnly);
    dialog.smallSizeCheck()->setChecked(true);
    EXPECT_EQ(toolbar->sizeMode(), Toolbar::SizeMode::Small);
    EXPECT_EQ(toolbar->toolBar()->toolButtonStyle(), Qt::ToolButtonTextOnly);

    const PlistDictionary configuration = *saved().asDictionary();
    PlistArray identifiers;
    for (const QString& identifier : arranged)
        identifiers.append(identifier);
    EXPECT_EQ(configuration.value(Toolbar::ItemIdentifiersKey), PlistValue(identifiers));
    EXPECT_EQ(configuration.value(Toolbar::DisplayModeKey), PlistValue(3));
    EXPECT_EQ(configuration.value(Toolbar::IconSizeModeKey), PlistValue(2));

    // Restore Defaults brings back the default items, leaving the modes.
    dialog.restoreDefaultsButton()->click();
    const QStringList defaults{kOne, kSeparator, kTwo, kSeparator, kFlexibleSpace};
    EXPECT_EQ(toolbar->itemIdentifiers(), defaults);
    EXPECT_EQ(identifiersOf(current), defaults);
    EXPECT_EQ(toolbar->displayMode(), Toolbar::DisplayMode::LabelOnly);

    // Changes made elsewhere show in the dialog.
    toolbar->setDisplayMode(Toolbar::DisplayMode::IconOnly);
    EXPECT_EQ(dialog.showPopup()->currentIndex(), 1);
    toolbar->removeItemAtIndex(0);
    EXPECT_EQ(current->count(), 4);

    // The dialog goes with its toolbar.
    toolbar.reset();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    dialog.restoreDefaults();
}
