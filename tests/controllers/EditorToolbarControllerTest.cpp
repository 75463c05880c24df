// The editor window's toolbar: its items in either image set, its groups' sizes, the
// dial pop-up's menu, rebuilding in the user's arrangement, and buttons that act where
// the focus is.
#include "EditorTestBase.h"
#include "RecordDataTesting.h"

#include "EditorTableController.h"
#include "EditorToolbarController.h"
#include "FreeformTextView.h"
#include "NotificationCenter.h"
#include "PopUpButton.h"
#include "SystemLog.h"
#include "Toolbar.h"
#include "ToolbarCustomizationDialog.h"
#include "VKImageCategories.h"
#include "VKMenuCategories.h"
#include "VKToolbarCategories.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

namespace {

const QString FormatKey = QStringLiteral("GeneralToolbarFormat");

// Every image item, sub-items included, with its colour and monochrome image.
struct ImageRow {
    const char* identifier;
    const char* colour;
    const char* monochrome;
};

constexpr ImageRow imageRows[] = {
    {"BackOneRecord", "TB_C_backOneRecord", "TB_M_backOneRecord"},
    {"ForwardOneRecord", "TB_C_forwardOneRecord", "TB_M_forwardOneRecord"},
    {"FirstRecord", "TB_C_first", "TB_M_first"},
    {"PreviousRecord", "TB_C_previous", "TB_M_previous"},
    {"NextRecord", "TB_C_next", "TB_M_next"},
    {"LastRecord", "TB_C_last", "TB_M_last"},
    {"AddRecord", "TB_C_plus", "TB_M_plus"},
    {"DeleteRecord", "TB_C_minus", "TB_M_minus"},
    {"GrabURL", "TB_C_grabURL", "TB_M_grabURL"},
    {"InsertFileLink", "TB_C_insertFileLink", "TB_M_insertFileLink"},
    {"DateTime", "TB_C_date", "TB_M_date"},
    {"ToggleHighlighter", "TB_C_highlight", "TB_M_highlight"},
    {"Ampersand", "TB_C_ampersand", "TB_M_ampersand"},
    {"Reduce Scale", "TB_C_reduce", "TB_M_reduce"},
    {"Enlarge Scale", "TB_C_enlarge", "TB_M_enlarge"},
    {"ApplyDefaultFontAndRuler", "TB_C_defaultFont", "TB_M_defaultFont"},
    {"ToggleFreeformRuler", "TB_C_toggleFreeformRuler", "TB_M_toggleFreeformRuler"},
    {"Activate Links", "TB_C_activateLinks", "TB_M_activateLinks"},
    {"Remove Links", "TB_C_removeLinks", "TB_M_removeLinks"},
    {"OpenLinkPanel", "TB_C_link", "TB_M_link"},
    {"PrintRecord", "ToolbarPrint", "TB_M_print"},
    {"PrintEnvelopesAndLabels", "TB_C_envelope", "TB_M_envelope"},
    {"User Guide", "ToolbarGuide", "TB_M_help"},
    {"DialDefault", "TB_C_phone", "TB_M_phone"},
    {"Bold", "ToolbarFontBold", "TB_M_bold"},
    {"Italic", "ToolbarFontItalic", "TB_M_italic"},
    {"Underline", "ToolbarFontUnderline", "TB_M_underline"},
    {"AlignLeft", "ToolbarAlignLeft", "TB_M_alignLeft"},
    {"AlignCenter", "ToolbarAlignCenter", "TB_M_alignCenter"},
    {"AlignJustify", "ToolbarAlignJustify", "TB_M_alignJustified"},
    {"AlignRight", "ToolbarAlignRight", "TB_M_alignRight"},
    {"SharedCheckSpelling", "ToolbarCheckSpelling", "TB_M_checkSpelling"},
    {"Preferences...", "ToolbarPrefsGeneral", "TB_M_preferences"},
    {"ShowFonts", "ToolbarFontPanel", "TB_M_fonts"},
    {"ShowColors", "ToolbarColors", "TB_M_color"},
    {"RecordInfo", "ToolbarInfo", "TB_M_info"},
};

// The item of the list, or of one of its groups.
ToolbarItem* findItem(EditorToolbarController& controller, const QString& identifier)
{
    for (const auto& item : controller.toolbarItems()) {
        if (item->itemIdentifier() == identifier)
            return item.get();
        for (ToolbarItem* subitem : item->subitems()) {
            if (subitem->itemIdentifier() == identifier)
                return subitem;
        }
    }
    return nullptr;
}

// Whether the icon is the artwork of that name (and there is such artwork).
bool showsImage(const QIcon& icon, const QString& name)
{
    const QIcon expected = VKImageCategories::iconNamed(name);
    return !expected.isNull() &&
           icon.pixmap(QSize(32, 32)).toImage() == expected.pixmap(QSize(32, 32)).toImage();
}

QToolButton* buttonFor(QWidget* window, const ToolbarItem* item)
{
    for (QToolButton* button : window->findChildren<QToolButton*>()) {
        if (button->defaultAction() == item->buttonAction() && button->isVisible())
            return button;
    }
    return nullptr;
}

class EditorToolbarControllerTest : public EditorTestBase {
protected:
    void SetUp() override
    {
        EditorTestBase::SetUp();
        // As the application gives them: its Dial menu, in the window's menu bar.
        DatafileDocument::setEditorFactory([this](DatafileDocument&) {
            EditorWindowMenus menus;
            menus.install = [this](QMenuBar* menuBar) { menuBar->addMenu(&m_dialMenu); };
            menus.dialMenu = &m_dialMenu;
            return std::make_unique<EditorWindowController>(std::move(menus));
        });
    }

    // Two records, a field, the mode given; the window shown and active.
    EditorWindowController* openDatafile(const QString& mode = QStringLiteral("List"))
    {
        auto document = std::make_unique<DatafileDocument>();
        document->datafileSettings()->setFields(
            PlistArray{PlistDictionary{{DatafileSettingsData::FieldIdentifierKey, "N"},
                                       {DatafileSettingsData::FieldNameKey, "Name"},
                                       {"Show", true}}});
        document->datafileSettings()->setMode(mode);
        for (const char* name : {"Ann", "Bob"}) {
            auto record = std::make_shared<RecordData>();
            record->setFields(PlistDictionary{{"N", name}}, RecordDataTesting::key());
            document->datafileRecords()->setRecord(record, record->identifier());
            document->datafileCatalog()->insertIdentifierAtEnd(record->identifier());
        }
        document->datafileCatalog()->rebuildSelectedIdentifiers();
        EditorWindowController* editor = editorOf(show(std::move(document)));
        QWidget* window = editor->window();
        window->activateWindow();
        QApplication::setActiveWindow(window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        return editor;
    }

    static QStringList titlesOf(const QMenu* menu)
    {
        QStringList titles;
        for (const QAction* item : menu->actions())
            titles.append(item->text());
        return titles;
    }

    static QList<int> tagsOf(const QMenu* menu)
    {
        QList<int> tags;
        for (const QAction* item : menu->actions())
            tags.append(PopUpButton::tag(item));
        return tags;
    }

    QMenu m_dialMenu;
};

} // namespace

TEST_F(EditorToolbarControllerTest, ImageNames_ColourForFormat5_MonochromeOtherwise)
{
    const struct {
        std::optional<qint64> format;
        bool colour;
    } cases[] = {{5, true}, {6, false}, {std::nullopt, false}, {7, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format ? *c.format : -1);
        if (c.format)
            m_defaults.setInteger(*c.format, FormatKey);
        else
            m_defaults.removeObjectForKey(FormatKey);
        ScopedLogCapture log;
        EditorWindowController* editor = openDatafile("List");
        EditorToolbarController& toolbar = editor->toolbarController();
        // Every image is there.
        EXPECT_TRUE(log.lines().isEmpty()) << log.lines().join('\n').toStdString();
        for (const ImageRow& row : imageRows) {
            ToolbarItem* item = findItem(toolbar, row.identifier);
            ASSERT_NE(item, nullptr) << row.identifier;
            EXPECT_TRUE(showsImage(item->image(), c.colour ? row.colour : row.monochrome))
                << row.identifier;
        }
        // The List View's switch leads to the Basic View; the pop-up's face is one image.
        EXPECT_TRUE(showsImage(findItem(toolbar, "SwitchView")->image(),
                               c.colour ? "TB_C_basicView" : "TB_M_basicView"));
        EXPECT_TRUE(showsImage(toolbar.dialPopup()->icon(), "TB_C_phone2"));
        EXPECT_TRUE(showsImage(toolbar.phoneMenu()->actions().front()->icon(), "TB_C_phone2"));
    }
}

TEST_F(EditorToolbarControllerTest, DefaultArrangement_PaletteOnlyItems_AndToolTipsNameLinuxKeys)
{
    EditorWindowController* editor = openDatafile();
    EditorToolbarController& controller = editor->toolbarController();
    Toolbar* toolbar = controller.toolbar();
    EXPECT_EQ(toolbar->identifier(), "DatafileEditor");
    EXPECT_TRUE(toolbar->allowsUserCustomization());
    EXPECT_TRUE(toolbar->autosavesConfiguration());
    EXPECT_EQ(Toolbar::toolbarForWindow(editor->window()), toolbar);
    EXPECT_EQ(toolbar->itemIdentifiers(),
              QStringList({"BackForwardGroup", "RecordNavigationGroup", "AddDeleteGroup",
                           "SwitchView", "GrabURL", "InsertFileLink", "DateTime",
                           "ToggleHighlighter", "Ampersand", "ScaleGroup",
                           "ApplyDefaultFontAndRuler", "ToggleFreeformRuler", "LinkActivationGroup",
                           "OpenLinkPanel", "PrintRecord", "PrintEnvelopesAndLabels", "RecordInfo",
                           ToolbarItem::FlexibleSpaceItemIdentifier, "User Guide"}));
    const QStringList allowed = toolbar->allowedItemIdentifiers();
    for (const char* paletteOnly :
         {"DialDefault", "DialPhonePopup", "FontStylesGroup", "AlignTextGroup",
          "SharedCheckSpelling", "Preferences...", "ShowFonts", "ShowColors"}) {
        EXPECT_TRUE(allowed.contains(paletteOnly)) << paletteOnly;
        EXPECT_FALSE(toolbar->itemIdentifiers().contains(paletteOnly)) << paletteOnly;
    }
    // Labels show their spaces and ampersands as given.
    EXPECT_EQ(findItem(controller, "BackForwardGroup")->label(), "  Back  Forward ");
    EXPECT_EQ(findItem(controller, "ApplyDefaultFontAndRuler")->buttonAction()->text(),
              "Default Font && Ruler");

    // Keys are named as on this system, in the menus' order.
    EXPECT_EQ(findItem(controller, "BackOneRecord")->toolTip(),
              "Go back one viewed record.\nMeta+Ctrl+Alt+Semicolon");
    EXPECT_EQ(findItem(controller, "Remove Links")->toolTip(),
              "Remove URL links in selected freeform text.\nMeta+Ctrl+R");
    EXPECT_EQ(findItem(controller, "Ampersand")->toolTip(),
              "Insert && for multi-key search.\nCtrl+&");
    int withKeys = 0;
    for (const auto& item : controller.toolbarItems()) {
        QList<ToolbarItem*> items = item->subitems();
        items.prepend(item.get());
        for (const ToolbarItem* each : items) {
            SCOPED_TRACE(each->itemIdentifier().toStdString());
            for (const char* macName : {"Command", "Option", "Control-", "Control\n"})
                EXPECT_FALSE(each->toolTip().contains(macName)) << each->toolTip().toStdString();
            withKeys += each->toolTip().contains("Ctrl+") ? 1 : 0;
        }
    }
    EXPECT_EQ(withKeys, 32);
}

TEST_F(EditorToolbarControllerTest, GroupSizes_SmallFromTheSavedSizeMode_ElseRegular)
{
    EditorWindowController* editor = openDatafile();
    EditorToolbarController& controller = editor->toolbarController();
    const QString key = Toolbar::configurationKey("DatafileEditor");
    const struct {
        std::optional<qint64> sizeMode;
        double height;
    } cases[] = {{2, 24}, {std::nullopt, 32}, {0, 32}, {1, 32}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sizeMode ? *c.sizeMode : -1);
        PlistDictionary configuration =
            m_defaults.dictionaryForKey(key).value_or(PlistDictionary());
        if (c.sizeMode)
            configuration.insert(Toolbar::IconSizeModeKey, *c.sizeMode);
        else
            configuration.remove(Toolbar::IconSizeModeKey);
        m_defaults.setObject(configuration, key);
        controller.showChangedStyle();
        controller.toolbar()->setItemIdentifiers(
            {"RecordNavigationGroup", "AlignTextGroup", "FontStylesGroup", "AddDeleteGroup"});
        QCoreApplication::processEvents(); // the bar lays its items out

        const double h = c.height;
        for (const auto& [identifier, width] : {std::pair{"RecordNavigationGroup", 4 * h + 5.2},
                                                {"AlignTextGroup", 4 * h + 5.2},
                                                {"FontStylesGroup", 3 * h + 3.9},
                                                {"AddDeleteGroup", 2 * h + 2.6}}) {
            const ToolbarItem* group = findItem(controller, identifier);
            EXPECT_DOUBLE_EQ(group->maxSize().width(), width) << identifier;
            EXPECT_DOUBLE_EQ(group->maxSize().height(), h) << identifier;
            EXPECT_EQ(group->minSize(), group->maxSize()) << identifier;
        }
        if (h == 24)
            EXPECT_DOUBLE_EQ(findItem(controller, "RecordNavigationGroup")->maxSize().width(),
                             101.2);
        else
            EXPECT_DOUBLE_EQ(findItem(controller, "AlignTextGroup")->maxSize().width(), 133.2);
        // The buttons are as high as their group, side by side within its width.
        const QToolButton* first = buttonFor(editor->window(), findItem(controller, "FirstRecord"));
        const QToolButton* last = buttonFor(editor->window(), findItem(controller, "LastRecord"));
        ASSERT_TRUE(first && last);
        EXPECT_EQ(first->size(), QSize(int(h), int(h)));
        EXPECT_LE(last->geometry().right() - first->geometry().left() + 1, 4 * h + 5.2);
    }
}

TEST_F(EditorToolbarControllerTest, DialMenu_FromTheDialingSets_OrTheApplicationsDialMenu)
{
    QAction* basic = m_dialMenu.addAction("Basic");
    basic->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    m_dialMenu.addAction("Long Distance");
    EditorWindowController* editor = openDatafile();
    EditorToolbarController& controller = editor->toolbarController();
    const QMenu* menu = controller.phoneMenu();
    EXPECT_EQ(controller.dialPopup()->menu(), menu);

    // No list of dialing sets: the application's Dial menu, after the face.
    EXPECT_EQ(titlesOf(menu), QStringList({" ", "Basic", "Long Distance"}));
    EXPECT_EQ(tagsOf(menu), QList<int>({0, 0, 1}));
    EXPECT_FALSE(menu->actions().front()->isVisible()); // the face is on the button
    EXPECT_EQ(menu->actions().at(1)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
    for (const QAction* item : menu->actions())
        EXPECT_EQ(VKMenuCategories::actionSelector(item), "dialPhone:");

    // An empty list: the face alone.
    m_defaults.setObject(PlistArray(), "DialingSetList");
    NotificationCenter::defaultCenter().postNotification("DialingSetChanged", nullptr);
    EXPECT_EQ(titlesOf(menu), QStringList({" "}));

    // The sets in their order, tagged with their index; one that is no set is left out.
    const auto set = [](const char* name, bool isDefault) {
        return PlistDictionary{{"SetName", name}, {"IsDefault", isDefault}, {"Prefix", ""}};
    };
    m_defaults.setObject(
        PlistArray{set("Home", false), set("A&B", true), "junk", set("Work", false)},
        "DialingSetList");
    NotificationCenter::defaultCenter().postNotification("DialingSetChanged", nullptr);
    EXPECT_EQ(titlesOf(menu), QStringList({" ", "Home", "A&&B", "Work"}));
    EXPECT_EQ(tagsOf(menu), QList<int>({0, 0, 1, 3}));
    QStringList keys;
    for (const QAction* item : menu->actions())
        keys.append(VKMenuCategories::keyEquivalent(item));
    EXPECT_EQ(keys, QStringList({"", "", "d", ""}));
    EXPECT_EQ(menu->actions().at(2)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));

    m_defaults.setObject(PlistArray{set("Work", true), set("Home", false)}, "DialingSetList");
    NotificationCenter::defaultCenter().postNotification("DialingSetChanged", nullptr);
    EXPECT_EQ(titlesOf(menu), QStringList({" ", "Work", "Home"}));
    EXPECT_EQ(tagsOf(menu), QList<int>({0, 0, 1}));

    // Ctrl+D is the Dial menu's alone: shown in the pop-up, it takes nothing from the key.
    int dialed = 0;
    QObject::connect(basic, &QAction::triggered, [&dialed] { ++dialed; });
    QTest::keyClick(editor->window(), Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(dialed, 1);
    EXPECT_EQ(controller.dialPopup()->focusPolicy(), Qt::NoFocus);
}

TEST_F(EditorToolbarControllerTest, Rebuilds_KeepTheArrangementAndTheViewSwitch)
{
    m_defaults.setInteger(EditorToolbarController::ColourFormat, FormatKey);
    EditorWindowController* editor = openDatafile("Basic");
    EditorToolbarController& controller = editor->toolbarController();
    Toolbar* before = controller.toolbar();
    before->removeItemAtIndex(0);
    EXPECT_TRUE(before->insertItemWithItemIdentifier("DialPhonePopup", 1));
    const QStringList arrangement = before->itemIdentifiers();
    EXPECT_TRUE(showsImage(findItem(controller, "SwitchView")->image(), "TB_C_listView"));

    // The style toggled: monochrome, the arrangement kept, the switch still leading to List.
    editor->performAction("toggleToolbarStyle:");
    EXPECT_EQ(m_defaults.integerForKey(FormatKey), EditorToolbarController::MonochromeFormat);
    Toolbar* after = controller.toolbar();
    EXPECT_NE(after, before);
    EXPECT_EQ(after->itemIdentifiers(), arrangement);
    EXPECT_TRUE(after->autosavesConfiguration());
    EXPECT_TRUE(showsImage(findItem(controller, "SwitchView")->image(), "TB_M_listView"));
    EXPECT_TRUE(showsImage(findItem(controller, "FirstRecord")->image(), "TB_M_first"));
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(editor->window()->findChildren<QToolBar*>(), QList<QToolBar*>{after->toolBar()});
    // The pop-up moved to the new bar.
    EXPECT_TRUE(controller.phoneView()->isVisible());
    EXPECT_TRUE(after->toolBar()->isAncestorOf(controller.phoneView()));

    // The style announced: shown afresh, for the mode the window is in now.
    editor->settings()->setMode("List");
    m_defaults.setInteger(EditorToolbarController::ColourFormat, FormatKey);
    NotificationCenter::defaultCenter().postNotification("ToolbarStyleChanged", nullptr);
    EXPECT_EQ(controller.toolbar()->itemIdentifiers(), arrangement);
    EXPECT_TRUE(showsImage(findItem(controller, "SwitchView")->image(), "TB_C_basicView"));
    editor->performAction("toggleToolbarStyle:");
    EXPECT_EQ(m_defaults.integerForKey(FormatKey), EditorToolbarController::MonochromeFormat);
    editor->performAction("toggleToolbarStyle:");
    EXPECT_EQ(m_defaults.integerForKey(FormatKey), EditorToolbarController::ColourFormat);
}

TEST_F(EditorToolbarControllerTest, CustomizationSheet_EndingShowsTheToolbarAtItsNewSize)
{
    EditorWindowController* editor = openDatafile();
    EditorToolbarController& controller = editor->toolbarController();
    EXPECT_DOUBLE_EQ(findItem(controller, "RecordNavigationGroup")->maxSize().height(), 32);
    const Toolbar* before = controller.toolbar();
    editor->performAction("customizeToolbar:");
    ToolbarCustomizationDialog* palette = controller.toolbar()->customizationPalette();
    ASSERT_NE(palette, nullptr);
    palette->smallSizeCheck()->setChecked(true);
    palette->accept();
    // Once the sheet has gone.
    QTest::qWait(0);
    QCoreApplication::processEvents();
    EXPECT_NE(controller.toolbar(), before);
    EXPECT_EQ(controller.toolbar()->sizeMode(), Toolbar::SizeMode::Small);
    EXPECT_DOUBLE_EQ(findItem(controller, "RecordNavigationGroup")->maxSize().width(), 101.2);

    // Any sheet of the window does the same; one of another window does not.
    QMainWindow elsewhere;
    elsewhere.show();
    QDialog other(&elsewhere);
    other.open();
    other.accept();
    const Toolbar* unchanged = controller.toolbar();
    QCoreApplication::processEvents();
    EXPECT_EQ(controller.toolbar(), unchanged);
    QDialog sheet(editor->window());
    sheet.open();
    sheet.accept();
    QCoreApplication::processEvents();
    EXPECT_NE(controller.toolbar(), unchanged);
}

TEST_F(EditorToolbarControllerTest,
       RemoveLinks_EnabledBySelectedText_ClickedKeepsTheFocus_OffInACell)
{
    EditorWindowController* editor = openDatafile();
    // Wide enough for the Link Activation group to be on the bar.
    editor->window()->resize(1600, 600);
    editor->engine().setCanSaveChanges(true);
    FreeformTextView* text = editor->freeformTextView();
    editor->engine().currentRecord()->setTextString("see http://example.com today", RecordDataTesting::key());
    editor->engine().loadCurrentRecord();
    const auto linkAt = [text](int position) {
        QTextCursor cursor(text->document());
        cursor.setPosition(position + 1);
        return cursor.charFormat().isAnchor();
    };
    ASSERT_TRUE(linkAt(6));
    ToolbarItem* removeLinks = findItem(editor->toolbarController(), "Remove Links");
    ASSERT_NE(removeLinks, nullptr);
    EXPECT_EQ(removeLinks->action(), "removeLink:");
    // No button of the toolbar takes the focus from the text it acts on.
    const QToolBar* bar = editor->toolbarController().toolbar()->toolBar();
    for (const QToolButton* button : bar->findChildren<QToolButton*>())
        EXPECT_EQ(button->focusPolicy(), Qt::NoFocus) << button->toolTip().toStdString();

    QTextCursor cursor(text->document());
    cursor.setPosition(4);
    cursor.setPosition(22, QTextCursor::KeepAnchor);
    text->setTextCursor(cursor);
    text->setFocus();
    QCoreApplication::processEvents();
    EXPECT_TRUE(removeLinks->isEnabled());

    QToolButton* button = buttonFor(editor->window(), removeLinks);
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(linkAt(6));
    EXPECT_EQ(QApplication::focusWidget(), text);
    EXPECT_TRUE(editor->engine().currentRecordDirty());

    // The focus in a field cell: nothing to remove a link from.
    editor->tableController()->singleClicked(0, 0);
    QCoreApplication::processEvents();
    EXPECT_FALSE(removeLinks->isEnabled());
}
