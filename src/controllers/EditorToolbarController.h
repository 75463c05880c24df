#pragma once

#include "ActionBinding.h"
#include "VKToolbarController.h"

#include <QList>
#include <QPointer>
#include <QToolButton>

#include <memory>
#include <vector>

class EditorWindowController;
class QAction;
class QMenu;
class QWidget;

// The toolbar of a datafile's editor window, customizable and saved as "DatafileEditor":
// record navigation, adding and deleting, the view switch, the text tools, printing,
// dialing and the panels. Its images come in colour or monochrome as the user default
// "GeneralToolbarFormat" says, its groups are sized for the saved icon size, and its dial
// pop-up offers the dialing sets. It answers the window's toolbar commands.
class EditorToolbarController : public VKToolbarController {
    Q_OBJECT

public:
    // "GeneralToolbarFormat": colour images; any other value is monochrome.
    static constexpr qint64 ColourFormat = 5;
    static constexpr qint64 MonochromeFormat = 6;
    // "TB Icon Size Mode" of the saved arrangement: small icons.
    static constexpr unsigned SmallSizeMode = 2;

    // Registers the toolbar commands with the window's controller and follows the
    // dialing sets and the toolbar style; the window's builder then sets the window and
    // calls setup().
    explicit EditorToolbarController(EditorWindowController& editor);
    ~EditorToolbarController() override;

    QString identifier() const override { return QStringLiteral("DatafileEditor"); }
    void addToolbarItems() override;
    // Dialing, font styles, alignment, spelling, Preferences, fonts and colours are in the
    // customization palette only.
    QStringList toolbarDefaultItemIdentifiers(Toolbar* toolbar) override;

    // A group of image items side by side, as wide as its items are high (24 for the
    // small size mode, else 32) plus 1.3 each.
    static std::unique_ptr<ToolbarItem>
    toolbarItemGroup(const QString& identifier, const QString& label, const QString& paletteLabel,
                     std::vector<std::unique_ptr<ToolbarItem>> toolbarItems, unsigned sizeMode);
    // An item of a group: disabled until validated, sending its action to the first
    // responder. The group shows the label; the item has none.
    static std::unique_ptr<ToolbarItem>
    toolbarItemForGroup(const QString& identifier, const QString& imageName,
                        const QString& itemLabel, const QString& toolTip, const QString& action);

    // The whole toolbar made afresh for a new image set or size, in the arrangement the
    // user saved, the view switch showing the window's other view.
    void showChangedStyle();
    // The dial pop-up's menu: its face, then the dialing sets (or, without a list of
    // them, the application's Dial menu), each tagged with its set's index.
    void updataPhoneMenu();
    // The view switch shows the view it leads to: Basic from the List View ("List"),
    // else List.
    void setToolbarViewButton(const QString& mode);
    // Switches "GeneralToolbarFormat" between colour and monochrome and has every editor
    // toolbar shown afresh.
    void toggleToolbarStyle();

    QMenu* phoneMenu() const { return m_phoneMenu.get(); }
    QWidget* phoneView() const { return m_phoneView; }
    QToolButton* dialPopup() const { return m_dialPopup; }

private:
    static qint64 toolbarFormat();
    unsigned savedSizeMode() const;
    QAction* addDialingItem(const QString& title, const QString& keyEquivalent, int tag);

    EditorWindowController& m_editor;
    std::unique_ptr<QMenu> m_phoneMenu;
    QPointer<QWidget> m_phoneView;
    QPointer<QToolButton> m_dialPopup;
    // Sends the dialing items' action along the window's responder chain.
    ActionBinding m_phoneBinding;
};
