#include "TemplatePageToolbarController.h"

#include "ActionRouter.h"
#include "DatafileFolderWalk.h"
#include "Localization.h"
#include "Toolbar.h"
#include "ToolbarItemTable.h"
#include "VKImageCategories.h"
#include "VKMenuCategories.h"
#include "VKToolbarCategories.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QMenu>
#include <QToolButton>

namespace {

const QString SelectDatafileAction = QStringLiteral("selectDatafile:");
const QString Shared = QStringLiteral("Shared");

} // namespace

TemplatePageToolbarController::TemplatePageToolbarController()
    : m_datafileMenu(std::make_unique<QMenu>()),
      m_datafileBinding([this] { return ActionRouter::firstResponderForWindow(window()); })
{
    // The pop-up: a pull-down whose face is its menu's first item.
    m_datafileView = new QWidget;
    auto* layout = new QHBoxLayout(m_datafileView);
    layout->setContentsMargins(0, 0, 0, 0);
    m_datafilePopup = new QToolButton(m_datafileView);
    m_datafilePopup->setObjectName(QStringLiteral("datafilePopup"));
    m_datafilePopup->setPopupMode(QToolButton::InstantPopup);
    m_datafilePopup->setAutoRaise(true);
    m_datafilePopup->setFocusPolicy(Qt::NoFocus);
    m_datafilePopup->setToolTip(localized(QStringLiteral("Select the datafile to display.")));
    const int side = Toolbar::RegularIconSide;
    m_datafilePopup->setIconSize(QSize(side - 4, side - 4));
    m_datafilePopup->setFixedSize(side + 14, side);
    m_datafileView->setFixedSize(side + 14, side);
    layout->addWidget(m_datafilePopup);
    m_datafileBinding.validateWhenShown(m_datafileMenu.get());
}

TemplatePageToolbarController::~TemplatePageToolbarController()
{
    // The toolbar gives the pop-up back before it goes.
    setToolbar(nullptr);
    delete m_datafileView;
}

void TemplatePageToolbarController::updateDatafileMenu()
{
    QMenu* menu = m_datafileMenu.get();
    if (menu->actions().size() < 2) {
        menu->clear();
        QAction* face = VKMenuCategories::addItemWithTitle(
            menu, QStringLiteral(" "), nullptr, SelectDatafileAction, QString(),
            VKImageCategories::iconNamed(QStringLiteral("TB_C_datafile")));
        // A pull-down shows its first item on the button, not in the menu.
        face->setVisible(false);
        m_datafileBinding.bind(face, SelectDatafileAction);
        const QString disassociate = QStringLiteral("disassociateDatafile:");
        m_datafileBinding.bind(VKMenuCategories::addItemWithTitle(menu,
                                                                  localized(QStringLiteral("None")),
                                                                  nullptr, disassociate, QString()),
                               disassociate);
        menu->addSeparator();
    } else {
        DatafileFolderWalk::removeItemsFromIndex(menu, FixedDatafileItemCount);
    }
    const QString folder = DatafileFolderWalk::datafilesFolderPath();
    PlistArray unused;
    if (!folder.isEmpty())
        DatafileFolderWalk([this](QAction* item) {
            m_datafileBinding.bind(item, SelectDatafileAction);
        }).scanDirectory(folder, menu, unused);
    m_datafilePopup->setMenu(menu);
    m_datafilePopup->setIcon(menu->actions().constFirst()->icon());
}

void TemplatePageToolbarController::addToolbarItems()
{
    updateDatafileMenu();
    const auto add = [this](const ToolbarItemRow& row) { addToolbarItemRow(toolbarItems(), row); };
    add({"FirstPage", "First", "Go To First Page", "Go to first page.\nCommand-Control-Semicolon",
         "TB_C_first", false, "goToFirstPage:"});
    add({"PreviousPage", "Previous", "Go To Previous Page",
         "Go to previous page\nCommand-Semicolon.", "TB_C_previous", false, "goToPreviousPage:"});
    add({"NextPage", "Next", "Go To Next Page", "Go to next page.\nCommand-Apostrophe", "TB_C_next",
         false, "goToNextPage:"});
    add({"LastPage", "Last", "Go To Last Page", "Go to last page.\nCommand-Control-Apostrophe",
         "TB_C_last", false, "goToLastPage:"});
    VKToolbarCategories::addToolbarItem(
        toolbarItems(), QStringLiteral("SelectDatafile"), QStringLiteral("Select Datafile"),
        QStringLiteral("Select Datafile"),
        localized(QStringLiteral("Select the datafile to display.")), m_datafileView, 0, 0, 0, 0,
        nullptr, m_datafileMenu.get(), true, nullptr, QString(), 0);
    add({"EditDesignLayout", "Edit Design", "Edit the current design",
         "Open a sheet to edit the displayed design.", "TB_C_templateDesign", true,
         "editDesignLayout:"});
    add({"EditPageLayout", "Edit Page", "Edit Page Options",
         "Open a sheet to edit the displayed page margins and options.", "TB_C_templatePage", true,
         "editPageLayout:"});
    add({"TestAddressBlockFit", "Test Addresses", "Test Addresses Block Fit",
         "Test whether address blocks fit.", "TB_C_updatetemplate", true,
         "testNonPrintableRecords:"});
    add({"NumberOfLabelCopies", "Label Copies", "Number of Label Copies",
         "Set number of copies of each label", "TB_C_labelCopies", true, "editLabelCopies:", true});
    add({"NSToolbarPrintItem", "Print", "Print Current Record", "Print\nCommand-P", "ToolbarPrint",
         false, "printDocument:", true});
    add({"Preferences...", "Preferences", "Preferences", "Show the Preferences window",
         "ToolbarPrefsGeneral", true, "startPreferences:", true, true});
    add({"User Guide", "User Guide", "View User Guide", "View the User Guide in your browser",
         "ToolbarGuide", true, "helpGuide:", true, true});
}

QStringList TemplatePageToolbarController::toolbarDefaultItemIdentifiers(Toolbar*)
{
    return {QStringLiteral("SelectDatafile"),
            QStringLiteral("EditPageLayout"),
            QStringLiteral("EditDesignLayout"),
            QStringLiteral("TestAddressBlockFit"),
            QStringLiteral("NumberOfLabelCopies"),
            QStringLiteral("NSToolbarPrintItem"),
            QStringLiteral("FirstPage"),
            QStringLiteral("PreviousPage"),
            QStringLiteral("NextPage"),
            QStringLiteral("LastPage"),
            ToolbarItem::FlexibleSpaceItemIdentifier,
            localized(QStringLiteral("User Guide"), Shared)};
}
