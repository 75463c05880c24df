#pragma once

#include <QIcon>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSizeF>
#include <QString>

#include <memory>
#include <vector>

class QAction;
class QWidget;
class Responder;

// One thing a toolbar can show: an image button, a group of image buttons side by side
// (an item with sub-items, each with its own action), or a view (an item with a
// widget). Its named action goes to its target, or without one to the first responder
// of the toolbar's window, with the item as sender.
class ToolbarItem : public QObject {
    Q_OBJECT

public:
    // The items every toolbar makes for itself. The texts are what a saved arrangement
    // holds.
    static inline const QString SeparatorItemIdentifier = QStringLiteral("NSToolbarSeparatorItem");
    static inline const QString SpaceItemIdentifier = QStringLiteral("NSToolbarSpaceItem");
    static inline const QString FlexibleSpaceItemIdentifier =
        QStringLiteral("NSToolbarFlexibleSpaceItem");
    static inline const QString ShowFontsItemIdentifier = QStringLiteral("NSToolbarShowFontsItem");
    static inline const QString ShowColorsItemIdentifier =
        QStringLiteral("NSToolbarShowColorsItem");
    static inline const QString CustomizeToolbarItemIdentifier =
        QStringLiteral("NSToolbarCustomizeToolbarItem");

    static bool isStandardItemIdentifier(const QString& identifier);
    // Separators and spaces may stand in a toolbar any number of times; every other item
    // at most once.
    static bool isRepeatableItemIdentifier(const QString& identifier);

    explicit ToolbarItem(const QString& itemIdentifier, QObject* parent = nullptr);
    ~ToolbarItem() override;

    QString itemIdentifier() const { return m_itemIdentifier; }

    QString label() const { return m_label; }
    void setLabel(const QString& label);
    // The name in the customization dialog.
    QString paletteLabel() const { return m_paletteLabel; }
    void setPaletteLabel(const QString& paletteLabel);
    QString toolTip() const;
    void setToolTip(const QString& toolTip);
    QIcon image() const;
    void setImage(const QIcon& image);
    // Set here and then kept up by the toolbar's validation while the item has an action.
    bool isEnabled() const;
    void setEnabled(bool enabled);
    // nullptr: the first responder. The target must outlive the item's place in a toolbar.
    Responder* target() const { return m_target; }
    void setTarget(Responder* target);
    // The named action ("showGeneralTab:"); empty for none.
    QString action() const { return m_action; }
    void setAction(const QString& selector);
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    // The widget a view item shows. The item does not own it: the toolbar lends it a place
    // and gives it back without a parent when the item leaves or the toolbar goes.
    QWidget* view() const;
    void setView(QWidget* view);
    QSizeF minSize() const { return m_minSize; }
    void setMinSize(const QSizeF& size);
    QSizeF maxSize() const { return m_maxSize; }
    void setMaxSize(const QSizeF& size);
    // What a view item shows in text-only display: a menu item, with a submenu when it
    // opens one. Not owned unless made with the item as its parent.
    QAction* menuFormRepresentation() const;
    void setMenuFormRepresentation(QAction* menuItem);

    // A group's items, shown side by side under the group's one label. The group takes
    // ownership.
    QList<ToolbarItem*> subitems() const { return m_subitems; }
    void setSubitems(const QList<ToolbarItem*>& subitems);

    // The command the toolbar puts on the item's button: it carries label, image, tool
    // tip and enabled state, and triggering it sends the item's action.
    QAction* buttonAction() const { return m_buttonAction; }

Q_SIGNALS:
    // Something the toolbar shows other than through buttonAction() changed (the view,
    // sizes, sub-items, the menu form, the label of a group or view).
    void appearanceChanged();
    // Target or action changed: the toolbar binds the item afresh.
    void actionChanged();

private:
    QString m_itemIdentifier;
    QString m_label;
    QString m_paletteLabel;
    Responder* m_target = nullptr;
    QString m_action;
    int m_tag = 0;
    QPointer<QWidget> m_view;
    QSizeF m_minSize;
    QSizeF m_maxSize;
    QPointer<QAction> m_menuFormRepresentation;
    QList<ToolbarItem*> m_subitems;
    QAction* m_buttonAction;
};

// The items a toolbar's controller offers, in the order they were added; it owns them.
using ToolbarItemList = std::vector<std::unique_ptr<ToolbarItem>>;
