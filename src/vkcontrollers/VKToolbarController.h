#pragma once

#include "Responder.h"
#include "ToolbarDelegate.h"
#include "ToolbarItem.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QMainWindow;
class Toolbar;
class WindowController;

// The base of every window toolbar's controller: it makes the toolbar, keeps every item
// it can offer in one list (the catalogue of allowed items and the store the toolbar
// takes them from) and answers the toolbar's questions from that list.
//
// The window's builder sets the outlets, then calls setup():
//
//     class TemplateToolbarController : public VKToolbarController {
//     public:
//         QString identifier() const override { return QStringLiteral("TemplatePage"); }
//         void addToolbarItems() override {
//             VKToolbarCategories::addToolbarItem(toolbarItems(), "Zoom", ...);
//         }
//         QStringList toolbarDefaultItemIdentifiers(Toolbar*) override { return {"Zoom"}; }
//     };
//
//     controller->setEditorWindowController(this);
//     controller->setWindow(mainWindow);
//     controller->setup();
class VKToolbarController : public QObject, public Responder, public ToolbarDelegate {
    Q_OBJECT

public:
    VKToolbarController();
    ~VKToolbarController() override;

    // Outlets: the controller of the toolbar's window (for subclasses) and the window
    // that receives the toolbar.
    WindowController* editorWindowController() const;
    void setEditorWindowController(WindowController* controller);
    QMainWindow* window() const;
    void setWindow(QMainWindow* window);

    // A new empty item list and a new toolbar with the identifier, customizable and
    // autosaved; addToolbarItems(); then the toolbar goes onto the window. The saved
    // arrangement is read once the items are there.
    void setup();
    // Fills the item list. The base adds "Check for Updates...", "Preferences..." and
    // "Feedback"; subclasses replace it.
    virtual void addToolbarItems();
    // The toolbar's identifier, under which its arrangement is saved. Every subclass
    // overrides it; the base throws InternalInconsistency.
    virtual QString identifier() const;
    bool toolbarIsVisible() const;

    // ToolbarDelegate
    ToolbarItem* toolbarItemForItemIdentifier(Toolbar* toolbar, const QString& identifier,
                                              bool willBeInsertedIntoToolbar) override;
    // Every listed item's identifier, then customize, flexible space, space, separator.
    QStringList toolbarAllowedItemIdentifiers(Toolbar* toolbar) override;
    // The base's: separator, fonts, colours, flexible space, "Feedback", "User Guide".
    QStringList toolbarDefaultItemIdentifiers(Toolbar* toolbar) override;
    void toolbarWillAddItem(Toolbar*, ToolbarItem*) override {}
    void toolbarDidRemoveItem(Toolbar*, ToolbarItem*) override {}

    // Actions "showHideToolbar:" and "customizeToolbar:".
    void showHideToolbar(QObject* sender = nullptr);
    void customizeToolbar(QObject* sender = nullptr);

    Toolbar* toolbar() const { return m_toolbar.get(); }
    // The previous toolbar goes, and its bar leaves the window.
    void setToolbar(std::unique_ptr<Toolbar> toolbar);
    ToolbarItemList& toolbarItems() { return m_toolbarItems; }
    void setToolbarItems(ToolbarItemList items);

protected:
    // What setup() and a subclass's rebuild after a style change share: a new empty
    // item list, a new toolbar with the identifier and this delegate, customization and
    // autosave as asked, addToolbarItems(), then beforeInstalling (when given), then the
    // toolbar onto the window.
    void makeToolbar(bool allowsUserCustomization, bool autosavesConfiguration,
                     const std::function<void()>& beforeInstalling = {});

private:
    std::unique_ptr<Toolbar> m_toolbar;
    ToolbarItemList m_toolbarItems;
    QPointer<WindowController> m_editorWindowController;
    QPointer<QMainWindow> m_window;
};
