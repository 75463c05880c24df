#include "EditorToolbarController.h"

#include "ActionRouter.h"
#include "DatafileSettingsData.h"
#include "EditorWindowController.h"
#include "Localization.h"
#include "NotificationCenter.h"
#include "PopUpButton.h"
#include "SystemLog.h"
#include "Toolbar.h"
#include "UserDefaults.h"
#include "VKImageCategories.h"
#include "VKMenuCategories.h"
#include "VKToolbarCategories.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QMenu>
#include <QToolButton>

namespace {

const QString GeneralToolbarFormatKey = QStringLiteral("GeneralToolbarFormat");
const QString DialingSetListKey = QStringLiteral("DialingSetList");
const QString DialPhoneAction = QStringLiteral("dialPhone:");
const QString SwitchViewIdentifier = QStringLiteral("SwitchView");
const QString DialPhonePopupIdentifier = QStringLiteral("DialPhonePopup");
const QString Shared = QStringLiteral("Shared");

// A top-level image item. Tool tips come from the strings table, which names the keys as
// Linux does; labels only where marked.
struct Item {
    const char* identifier;
    const char* label;
    const char* paletteLabel;
    const char* toolTip;
    const char* colourImage;
    const char* monochromeImage;
    bool enabled;
    const char* action;
    bool localizedLabels = false;
    bool sharedIdentifier = false; // the identifier is the "Shared" table's text
};

// An item of a group: the group gives the label.
struct GroupItem {
    const char* identifier;
    const char* toolTip;
    const char* colourImage;
    const char* monochromeImage;
    const char* action;
};

QString latin1(const char* text)
{
    return QString::fromLatin1(text);
}

} // namespace

EditorToolbarController::EditorToolbarController(EditorWindowController& editor)
    : m_editor(editor), m_phoneMenu(std::make_unique<QMenu>()),
      m_phoneBinding([this] { return ActionRouter::firstResponderForWindow(window()); })
{
    setEditorWindowController(&editor);
    editor.registerAction(QStringLiteral("showHideToolbar:"),
                          [this](QObject* sender) { showHideToolbar(sender); });
    editor.registerAction(QStringLiteral("customizeToolbar:"), [this](QObject* sender) {
        if (toolbar())
            toolbar()->setAllowsUserCustomization(true);
        customizeToolbar(sender);
    });
    editor.registerAction(QStringLiteral("toggleToolbarStyle:"),
                          [this](QObject*) { toggleToolbarStyle(); });

    // The dial pop-up: a pull-down whose face is its menu's first item.
    m_phoneView = new QWidget;
    auto* layout = new QHBoxLayout(m_phoneView);
    layout->setContentsMargins(0, 0, 0, 0);
    m_dialPopup = new QToolButton(m_phoneView);
    m_dialPopup->setPopupMode(QToolButton::InstantPopup);
    m_dialPopup->setAutoRaise(true);
    m_dialPopup->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }"));
    // The focus stays in the text or field being dialed from.
    m_dialPopup->setFocusPolicy(Qt::NoFocus);
    m_dialPopup->setToolTip(localized(QStringLiteral("Select a dialing option.")));
    layout->addWidget(m_dialPopup);
    m_phoneBinding.validateWhenShown(m_phoneMenu.get());

    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.addObserver(QStringLiteral("DialingSetChanged"), nullptr, this,
                       [this](const Notification&) { updataPhoneMenu(); });
    center.addObserver(QStringLiteral("ToolbarStyleChanged"), nullptr, this,
                       [this](const Notification&) { showChangedStyle(); });
}

EditorToolbarController::~EditorToolbarController()
{
    // The toolbar gives the pop-up back before it goes, and shows the menu no more.
    setToolbar(nullptr);
    delete m_phoneView;
}

qint64 EditorToolbarController::toolbarFormat()
{
    return UserDefaults::standardUserDefaults().integerForKey(GeneralToolbarFormatKey);
}

unsigned EditorToolbarController::savedSizeMode() const
{
    const std::optional<PlistDictionary> configuration =
        UserDefaults::standardUserDefaults().dictionaryForKey(
            Toolbar::configurationKey(identifier()));
    const PlistValue* mode =
        configuration ? configuration->find(Toolbar::IconSizeModeKey) : nullptr;
    if (!mode || !mode->isNumber() || mode->integerValue() < 0)
        return 0;
    return unsigned(mode->integerValue());
}

std::unique_ptr<ToolbarItem> EditorToolbarController::toolbarItemGroup(
    const QString& identifier, const QString& label, const QString& paletteLabel,
    std::vector<std::unique_ptr<ToolbarItem>> toolbarItems, unsigned sizeMode)
{
    auto group = std::make_unique<ToolbarItem>(identifier);
    group->setPaletteLabel(paletteLabel);
    group->setLabel(label);
    const double height = sizeMode == SmallSizeMode ? 24 : 32;
    const double count = double(toolbarItems.size());
    const QSizeF size(count * height + 1.3 * count, height);
    group->setMinSize(size);
    group->setMaxSize(size);
    QList<ToolbarItem*> subitems;
    for (std::unique_ptr<ToolbarItem>& item : toolbarItems)
        subitems.append(item.release());
    group->setSubitems(subitems);
    return group;
}

std::unique_ptr<ToolbarItem>
EditorToolbarController::toolbarItemForGroup(const QString& identifier, const QString& imageName,
                                             [[maybe_unused]] const QString& itemLabel,
                                             const QString& toolTip, const QString& action)
{
    auto item = std::make_unique<ToolbarItem>(identifier);
    const QPixmap image = VKImageCategories::imageNamed(imageName);
    if (image.isNull())
        SystemLog::log(
            QStringLiteral("Toolbar item %1: no image named %2").arg(identifier, imageName));
    item->setImage(VKImageCategories::iconNamed(imageName));
    item->setMaxSize(image.size());
    item->setEnabled(false);
    item->setToolTip(toolTip);
    item->setTag(0);
    item->setAction(action);
    return item;
}

void EditorToolbarController::addToolbarItems()
{
    updataPhoneMenu();
    const bool colour = toolbarFormat() == ColourFormat;
    const unsigned sizeMode = savedSizeMode();
    const auto imageName = [colour](const char* colourImage, const char* monochromeImage) {
        return latin1(colour ? colourImage : monochromeImage);
    };

    const auto add = [&](const Item& item) {
        const QString label = latin1(item.label);
        const QString paletteLabel = latin1(item.paletteLabel);
        VKToolbarCategories::addToolbarItem(
            toolbarItems(),
            item.sharedIdentifier ? localized(latin1(item.identifier), Shared)
                                  : latin1(item.identifier),
            item.localizedLabels ? localized(label) : label,
            item.localizedLabels ? localized(paletteLabel) : paletteLabel,
            localized(latin1(item.toolTip)), imageName(item.colourImage, item.monochromeImage),
            item.enabled, nullptr, latin1(item.action));
    };
    // The items' tool tips name keys too: they come from the strings table like the
    // others'.
    const auto addGroup = [&](const char* identifier, const char* label, const char* paletteLabel,
                              std::initializer_list<GroupItem> items) {
        std::vector<std::unique_ptr<ToolbarItem>> subitems;
        for (const GroupItem& item : items) {
            subitems.push_back(toolbarItemForGroup(
                latin1(item.identifier), imageName(item.colourImage, item.monochromeImage),
                QString(), localized(latin1(item.toolTip)), latin1(item.action)));
        }
        toolbarItems().push_back(toolbarItemGroup(latin1(identifier), latin1(label),
                                                  latin1(paletteLabel), std::move(subitems),
                                                  sizeMode));
    };

    addGroup(
        "BackForwardGroup", "  Back  Forward ", "Back Forward",
        {{"BackOneRecord", "Go back one viewed record.\nCommand-Control-Option-Semicolon",
          "TB_C_backOneRecord", "TB_M_backOneRecord.icns", "goBackOneRecord:"},
         {"ForwardOneRecord", "Go forward one viewed record.\nCommand-Control-Option-Apostrophe",
          "TB_C_forwardOneRecord", "TB_M_forwardOneRecord.icns", "goForwardOneRecord:"}});
    addGroup("RecordNavigationGroup", "Record Navigation", "Record Navigation",
             {{"FirstRecord", "Go to first record.\nCommand-Control-Semicolon", "TB_C_first",
               "TB_M_first.icns", "goToFirstRecord:"},
              {"PreviousRecord", "Go to previous record.\nCommand-Semicolon", "TB_C_previous",
               "TB_M_previous.icns", "goToPreviousRecord:"},
              {"NextRecord", "Go to next record.\nCommand-Apostrophe", "TB_C_next",
               "TB_M_next.icns", "goToNextRecord:"},
              {"LastRecord", "Go to last record.\nCommand-Control-Apostrophe", "TB_C_last",
               "TB_M_last.icns", "goToLastRecord:"}});
    addGroup("AddDeleteGroup", "  Add  Delete ", "Add Delete",
             {{"AddRecord", "Add new record.\nCommand-Equal", "TB_C_plus", "TB_M_plus.icns",
               "addRecordWithToggle:"},
              {"DeleteRecord", "Delete current record.\nCommand-Hyphen", "TB_C_minus",
               "TB_M_minus.icns", "deleteRecordWithToggle:"}});
    add({"SwitchView", "Switch View", "Switch View",
         "Switch between Basic View and List View.\nCommand-Shift-V", "TB_C_listView",
         "TB_M_listView.icns", true, "switchView:"});
    add({"GrabURL", "Grab Web Address", "Grab Web Address",
         "Grab link from Web browser.\nCommand-Option-Control-G", "TB_C_grabURL",
         "TB_M_grabURL.icns", false, "grabURLWithToggle:"});
    add({"InsertFileLink", "Insert Link", "Insert Link To File or Folder",
         "Insert link to a file or a folder.\nCommand-Control-Shift-L", "TB_C_insertFileLink",
         "TB_M_insertFileLink.icns", false, "insertFileLink:"});
    add({"DateTime", "Date/Time", "Date/Time", "Insert date/time.\nCommand-Option-T", "TB_C_date",
         "TB_M_date.icns", false, "insertDateTime:"});
    add({"ToggleHighlighter", "Toggle Highlighter", "Toggle Highlighter",
         "Toggle Highlighter on selected text.\nCommand-Option-Control-H", "TB_C_highlight",
         "TB_M_highlight.icns", false, "toggleHighlighter:"});
    add({"Ampersand", "And Search", "And Search", "Insert && for multi-key search.\nCommand-&",
         "TB_C_ampersand", "TB_M_ampersand.icns", false, "insertAmpersand:"});
    addGroup("ScaleGroup", " Reduce  Enlarge", "Reduce Enlarge",
             {{"Reduce Scale", "Reduce Freeform Text Area content\nCommand-Shift-Hyphen",
               "TB_C_reduce", "TB_M_reduce.icns", "decreaseScale:"},
              {"Enlarge Scale", "Enlarge Freeform Text Area content\nCommand-Shift-Equal",
               "TB_C_enlarge", "TB_M_enlarge.icns", "increaseScale:"}});
    add({"ApplyDefaultFontAndRuler", "Default Font & Ruler", "Apply Default Font and Ruler",
         "Apply Default Font and Ruler to Selected Text.", "TB_C_defaultFont",
         "TB_M_defaultFont.icns", false, "changeSelectedTextToDefaultFontAndRuler:"});
    add({"ToggleFreeformRuler", "Toggle Ruler", "Toggle Ruler",
         "Toggle Ruler in Freeform Text Area.\nCommand-Option-R", "TB_C_toggleFreeformRuler",
         "TB_M_toggleFreeformRuler.icns", false, "toggleFreeformRuler:"});
    addGroup("LinkActivationGroup", "Link Activation", "Link Activation",
             {{"Activate Links", "Activate URL links in freeform text.\nCommand-Control-A",
               "TB_C_activateLinks", "TB_M_activateLinks.icns", "activateLinks:"},
              {"Remove Links", "Remove URL links in selected freeform text.\nCommand-Control-R",
               "TB_C_removeLinks", "TB_M_removeLinks.icns", "removeLink:"}});
    add({"OpenLinkPanel", "Open Link Panel", "Open Link Panel",
         "Open Link Panel.\nCommand-Control-L", "TB_C_link", "TB_M_link.icns", true,
         "orderFrontLinkPanel:"});
    add({"PrintRecord", "Print Record", "Print Current Record",
         "Print the current record\nCommand-P", "ToolbarPrint", "TB_M_print.icns", false,
         "printDocument:", true});
    add({"PrintEnvelopesAndLabels", "Print Single Enve/Label", "Print Single Envelope or Label",
         "Print single envelope or label, using current record content.", "TB_C_envelope",
         "TB_M_envelope.icns", false, "printSingleEnvelopeOrLabel:", true});
    add({"User Guide", "User Guide", "View User Guide", "View the User Guide in your browser",
         "ToolbarGuide", "TB_M_help.icns", true, "helpGuide:", true, true});
    add({"DialDefault", "Dial Phone", "Dial Phone", "Dial phone using default set.\nCommand-D",
         "TB_C_phone", "TB_M_phone.icns", true, "dialPhoneWithBasicSet:"});

    // The pop-up is as high as the other buttons; its face shows its arrow.
    const int side = sizeMode == SmallSizeMode ? Toolbar::SmallIconSide : Toolbar::RegularIconSide;
    m_dialPopup->setIconSize(QSize(side - 4, side - 4));
    m_dialPopup->setFixedSize(side + 4, side);
    m_phoneView->setFixedSize(side + 4, side);
    VKToolbarCategories::addToolbarItem(
        toolbarItems(), DialPhonePopupIdentifier, QStringLiteral("Dial Popup Menu"),
        QStringLiteral("Dial Popup Menu"), localized(QStringLiteral("Select a dialing option.")),
        m_phoneView, 0, 0, 0, 0, nullptr, m_phoneMenu.get(), true, nullptr, QString(), 0);

    addGroup("FontStylesGroup", "Font Styles", "Font Styles",
             {{"Bold", "Make the selected text bold\nCommand-B", "ToolbarFontBold",
               "TB_M_bold.icns", "toggleBold:"},
              {"Italic", "Make the selected text italic\nCommand-I", "ToolbarFontItalic",
               "TB_M_italic.icns", "toggleItalic:"},
              {"Underline", "Make the selected text underlined\nCommand-U", "ToolbarFontUnderline",
               "TB_M_underline.icns", "underline:"}});
    addGroup("AlignTextGroup", "Align Text", "Align Text",
             {{"AlignLeft", "Align left the selected text\nCommand-{", "ToolbarAlignLeft",
               "TB_M_alignLeft.icns", "alignLeft:"},
              {"AlignCenter", "Align center the selected text\nCommand-|", "ToolbarAlignCenter",
               "TB_M_alignCenter.icns", "alignCenter:"},
              {"AlignJustify", "Align justified the selected text", "ToolbarAlignJustify",
               "TB_M_alignJustified.icns", "alignJustified:"},
              {"AlignRight", "Align right the selected text\nCommand-}", "ToolbarAlignRight",
               "TB_M_alignRight.icns", "alignRight:"}});
    add({"SharedCheckSpelling", "Spelling", "Check Spelling",
         "Display the spelling panel\nCommand-Colon", "ToolbarCheckSpelling",
         "TB_M_checkSpelling.icns", false, "showGuessPanel:", true});
    add({"Preferences...", "Preferences", "Preferences",
         "Show the Preferences window\nCommand-Comma", "ToolbarPrefsGeneral",
         "TB_M_preferences.icns", true, "startPreferences:", true, true});
    add({"ShowFonts", "Show Fonts", "Show Font Panel", "Show Font Panel\nCommand-T",
         "ToolbarFontPanel", "TB_M_fonts.icns", true, "orderFrontFontPanel:", true});
    add({"ShowColors", "Show Colors", "Show Color Panel", "Show Color Panel\nCommand-Shift-C",
         "ToolbarColors", "TB_M_color.icns", true, "orderFrontColorPanel:", true});
    add({"RecordInfo", "Record Info", "Show Record Info", "Show Record Info", "ToolbarInfo.tiff",
         "TB_M_info.tif", true, "showRecordInfo:", true});
}

QStringList EditorToolbarController::toolbarDefaultItemIdentifiers(Toolbar*)
{
    return {QStringLiteral("BackForwardGroup"),
            QStringLiteral("RecordNavigationGroup"),
            QStringLiteral("AddDeleteGroup"),
            SwitchViewIdentifier,
            QStringLiteral("GrabURL"),
            QStringLiteral("InsertFileLink"),
            QStringLiteral("DateTime"),
            QStringLiteral("ToggleHighlighter"),
            QStringLiteral("Ampersand"),
            QStringLiteral("ScaleGroup"),
            QStringLiteral("ApplyDefaultFontAndRuler"),
            QStringLiteral("ToggleFreeformRuler"),
            QStringLiteral("LinkActivationGroup"),
            QStringLiteral("OpenLinkPanel"),
            QStringLiteral("PrintRecord"),
            QStringLiteral("PrintEnvelopesAndLabels"),
            QStringLiteral("RecordInfo"),
            ToolbarItem::FlexibleSpaceItemIdentifier,
            localized(QStringLiteral("User Guide"), Shared)};
}

void EditorToolbarController::showChangedStyle()
{
    // Before the window has its toolbar there is nothing to show afresh.
    if (!toolbar())
        return;
    makeToolbar(true, true, [this] {
        if (m_editor.document())
            setToolbarViewButton(m_editor.settings()->mode());
    });
}

void EditorToolbarController::setToolbarViewButton(const QString& mode)
{
    ToolbarItem* item =
        VKToolbarCategories::toolbarItemForIdentifier(toolbarItems(), SwitchViewIdentifier);
    if (!item)
        return;
    const bool list = mode == QLatin1String("List");
    const QString name =
        toolbarFormat() == ColourFormat
            ? (list ? QStringLiteral("TB_C_basicView") : QStringLiteral("TB_C_listView"))
            : (list ? QStringLiteral("TB_M_basicView") : QStringLiteral("TB_M_listView"));
    item->setImage(VKImageCategories::iconNamed(name));
}

void EditorToolbarController::toggleToolbarStyle()
{
    UserDefaults::standardUserDefaults().setInteger(
        toolbarFormat() == ColourFormat ? MonochromeFormat : ColourFormat, GeneralToolbarFormatKey);
    if (const std::function<void()>& updateAllToolbars = m_editor.menus().updateAllToolbars)
        updateAllToolbars();
    else
        showChangedStyle();
}

void EditorToolbarController::updataPhoneMenu()
{
    // The menu deletes the items it made; their bindings go with them.
    m_phoneMenu->clear();
    QAction* face = addDialingItem(QStringLiteral(" "), QString(), 0);
    face->setIcon(VKImageCategories::iconNamed(QStringLiteral("TB_C_phone2")));
    // A pull-down shows its first item on the button, not in the menu.
    face->setVisible(false);

    const PlistValue list = UserDefaults::standardUserDefaults().objectForKey(DialingSetListKey);
    if (const PlistArray* sets = list.asArray()) {
        for (qsizetype index = 0; index < sets->size(); ++index) {
            // A set that is no dictionary has no name to show; the others keep their index.
            const PlistDictionary* set = sets->at(index).asDictionary();
            if (!set)
                continue;
            const PlistValue* name = set->find(QStringLiteral("SetName"));
            const PlistValue* isDefault = set->find(QStringLiteral("IsDefault"));
            // A name is no mnemonic: "A&B" shows its ampersand.
            const QString title =
                name && name->asString()
                    ? QString(*name->asString()).replace(u'&', QStringLiteral("&&"))
                    : QString();
            addDialingItem(title,
                           isDefault && isDefault->boolValue() ? QStringLiteral("d") : QString(),
                           int(index));
        }
    } else if (QMenu* dialMenu = m_editor.menus().dialMenu) {
        // The application's Dial menu lists what its dialing sets gave it.
        const QList<QAction*> items = dialMenu->actions();
        for (qsizetype index = 0; index < items.size(); ++index) {
            const QAction* source = items.at(index);
            if (source->isSeparator())
                continue;
            QAction* item =
                addDialingItem(source->text(), VKMenuCategories::keyEquivalent(source), int(index));
            item->setShortcut(source->shortcut());
        }
    }
    m_dialPopup->setMenu(m_phoneMenu.get());
    m_dialPopup->setIcon(face->icon());
}

QAction* EditorToolbarController::addDialingItem(const QString& title, const QString& keyEquivalent,
                                                 int tag)
{
    QAction* item = VKMenuCategories::addItemWithTitle(m_phoneMenu.get(), title, nullptr,
                                                       DialPhoneAction, keyEquivalent);
    // The key is shown here but belongs to the Dial menu: one shortcut, not two.
    item->setShortcutContext(Qt::WidgetShortcut);
    PopUpButton::setTag(item, tag);
    m_phoneBinding.bind(item, DialPhoneAction);
    return item;
}
