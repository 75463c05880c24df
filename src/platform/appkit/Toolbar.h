#pragma once

#include "ActionBinding.h"
#include "PlistValue.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QMainWindow;
class QToolBar;
class QWidget;
class ToolbarCustomizationDialog;
class ToolbarDelegate;
class ToolbarItem;

// A window's toolbar: a fixed bar at the window's top showing the items its delegate
// makes, in an arrangement the user may change (when allowed) through the customization
// dialog, as icons with labels, icons only or labels only, at a regular or small size,
// shown or hidden. With autosave on, the arrangement is kept in the user defaults under
// the toolbar's identifier and read back by the next toolbar of that identifier.
//
// The items are asked for only when first needed (installing, items()), so the delegate
// may fill its list after making the toolbar. Items without a target send their action
// to the first responder of the toolbar's window; each is enabled as that responder
// validates its action.
class Toolbar : public QObject {
    Q_OBJECT

public:
    // The numbers are what the saved arrangement holds.
    enum class DisplayMode { Default = 0, IconAndLabel = 1, IconOnly = 2, LabelOnly = 3 };
    enum class SizeMode { Default = 0, Regular = 1, Small = 2 };

    // The saved arrangement: a dictionary in the user defaults under the prefix followed
    // by the identifier.
    static inline const QString ConfigurationKeyPrefix = QStringLiteral("NSToolbar Configuration ");
    static inline const QString ItemIdentifiersKey = QStringLiteral("TB Item Identifiers");
    static inline const QString DisplayModeKey = QStringLiteral("TB Display Mode");
    static inline const QString IsShownKey = QStringLiteral("TB Is Shown");
    static inline const QString IconSizeModeKey = QStringLiteral("TB Icon Size Mode");
    static QString configurationKey(const QString& identifier);

    // Icon sides in pixels.
    static constexpr int RegularIconSide = 32;
    static constexpr int SmallIconSide = 24;

    explicit Toolbar(const QString& identifier, QObject* parent = nullptr);
    ~Toolbar() override;

    QString identifier() const { return m_identifier; }
    ToolbarDelegate* delegate() const { return m_delegate; }
    // The delegate must outlive the toolbar.
    void setDelegate(ToolbarDelegate* delegate) { m_delegate = delegate; }

    bool allowsUserCustomization() const { return m_allowsUserCustomization; }
    void setAllowsUserCustomization(bool allows);
    // Turning it on reads the saved arrangement; from then on every change is saved.
    bool autosavesConfiguration() const { return m_autosaves; }
    void setAutosavesConfiguration(bool autosaves);
    DisplayMode displayMode() const { return m_displayMode; }
    void setDisplayMode(DisplayMode mode);
    SizeMode sizeMode() const { return m_sizeMode; }
    void setSizeMode(SizeMode mode);
    bool isVisible() const { return m_visible; }
    void setVisible(bool visible);

    // The items shown, in order.
    QList<ToolbarItem*> items();
    QStringList itemIdentifiers();
    // False when no item can be made for the identifier, or when the item is there
    // already and may not repeat. An index out of range appends.
    bool insertItemWithItemIdentifier(const QString& identifier, qsizetype index);
    bool canInsertItemWithItemIdentifier(const QString& identifier);
    void removeItemAtIndex(qsizetype index);
    // Replaces the arrangement, leaving out what cannot be made or may not repeat.
    void setItemIdentifiers(const QStringList& identifiers);

    QStringList allowedItemIdentifiers();
    QStringList defaultItemIdentifiers();
    // The item the customization dialog shows for an identifier, not necessarily in the
    // toolbar; nullptr when there is none.
    ToolbarItem* paletteItemForItemIdentifier(const QString& identifier);

    // The arrangement as it is saved, and applying one (bad values are left out).
    PlistDictionary configurationDictionary() const;
    void setConfigurationFromDictionary(const PlistDictionary& configuration);

    // Opens the customization dialog on the window; nothing unless customization is
    // allowed. The one open is brought forward.
    void runCustomizationPalette(QObject* sender = nullptr);
    ToolbarCustomizationDialog* customizationPalette() const;

    // Enables every item as the first responder answers now.
    void validateVisibleItems();

    // Puts the toolbar at the top of the window, replacing the toolbar it had.
    void installInWindow(QMainWindow* window);
    QMainWindow* window() const;
    static Toolbar* toolbarForWindow(const QWidget* window);
    // The bar that shows the items.
    QToolBar* toolBar() const;

Q_SIGNALS:
    // Items, display mode, size or visibility changed.
    void configurationChanged();

private:
    struct Entry {
        QPointer<ToolbarItem> item;
        std::unique_ptr<ToolbarItem> owned; // the standard items the toolbar made
    };

    void loadItems();
    bool insertEntry(const QString& identifier, qsizetype index);
    void removeEntry(qsizetype index);
    std::unique_ptr<ToolbarItem> makeStandardItem(const QString& identifier);
    void applyConfiguration(const PlistDictionary& configuration);
    void restoreSavedConfiguration();
    void configurationDidChange();
    void uninstall();

    // The bar's contents, made afresh after every change.
    void rebuildBar();
    void returnLentViews();
    void addToBar(ToolbarItem* item);
    void addWidgetToBar(QWidget* widget);
    QWidget* makeGroupWidget(ToolbarItem* group);
    QWidget* makeViewWidget(ToolbarItem* item);
    void bindItem(ToolbarItem* item);
    void unbindItem(ToolbarItem* item);
    int iconSide() const;

    QString m_identifier;
    ToolbarDelegate* m_delegate = nullptr;
    bool m_allowsUserCustomization = false;
    bool m_autosaves = false;
    bool m_restoring = false;
    DisplayMode m_displayMode = DisplayMode::Default;
    SizeMode m_sizeMode = SizeMode::Default;
    bool m_visible = true;

    bool m_loaded = false;
    std::optional<QStringList> m_savedIdentifiers;
    std::vector<Entry> m_entries;
    std::map<QString, std::unique_ptr<ToolbarItem>> m_paletteItems;

    QPointer<QToolBar> m_bar;
    QPointer<QMainWindow> m_window;
    QList<QPointer<QWidget>> m_lentViews;
    QList<QAction*> m_barActions;
    ActionBinding m_binding;
    QPointer<ToolbarCustomizationDialog> m_palette;
};
