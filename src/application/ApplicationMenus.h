#pragma once

#include "ActionBinding.h"

#include <QList>
#include <QPointer>
#include <QString>

#include <memory>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

// The application's menus, made once and shown in the menu bar of every window: each
// item sends its named action to the first responder, which also decides whether it is
// enabled. Every command of the editor is here, built or not: one that nothing answers
// yet is shown disabled.
class ApplicationMenus {
public:
    // Commands go to ActionRouter::firstResponder() unless told otherwise.
    explicit ApplicationMenus(ActionBinding::FirstResponderFunction firstResponder = {});
    ~ApplicationMenus();

    void installInto(QMenuBar* menuBar) const;
    // A tool window shows no menu bar, yet the menus' key equivalents work in it.
    void installKeyEquivalentsInto(QWidget* window) const;
    // Shows the Dial menu in the menu bars once it has items, hides it when it has none.
    void dialMenuDidChange() const;

    QMenu* fileMenu() const { return m_fileMenu; }
    QMenu* editMenu() const { return m_editMenu; }
    QMenu* helpMenu() const { return m_helpMenu; }
    // Filled by the features that own them; an empty one is shown disabled.
    QMenu* datafilesMenu() const { return m_datafilesMenu; }
    QMenu* templatesMenu() const { return m_templatesMenu; }
    QMenu* dialMenu() const { return m_dialMenu; }
    QMenu* importMenu() const { return m_importMenu; }
    // Managed by the editor window in front.
    QMenu* sortTasksMenu() const { return m_sortTasksMenu; }
    QMenu* scaleMenu() const { return m_scaleMenu; }
    // The quick sorts of the List View, also its cells' contextual menu.
    QMenu* sortMenu() const { return m_sortMenu; }
    QAction* saveAsOtherFormatItem() const { return m_saveAsOtherFormatItem; }
    QAction* searchOptionLockItem() const { return m_searchOptionLockItem; }

    ActionBinding& binding() { return m_binding; }
    const ActionBinding& binding() const { return m_binding; }
    // A new item of the menu that sends the action, with its key equivalent as the
    // system's tables write it and the modifiers of KeyEquivalents ("s" is Command-S, "S"
    // Command-Shift-S; empty: none).
    QAction* addItem(QMenu* menu, const QString& title, const QString& selector,
                     const QString& keyEquivalent, unsigned modifierMask);
    QAction* addItem(QMenu* menu, const QString& title, const QString& selector,
                     const QString& keyEquivalent = QString());

private:
    QMenu* makeMenu(const QString& title, QMenu* parent = nullptr);
    void buildFileMenu();
    void buildEditMenu();
    void buildViewMenu();
    void buildRecordsMenu();
    void buildFieldsMenu();
    void buildDatafileMenu();
    void buildFormatMenu();
    void buildHelpMenu();

    ActionBinding m_binding;
    std::vector<std::unique_ptr<QMenu>> m_topMenus; // in menu-bar order
    QMenu* m_fileMenu = nullptr;
    QMenu* m_editMenu = nullptr;
    QMenu* m_helpMenu = nullptr;
    QMenu* m_datafilesMenu = nullptr;
    QMenu* m_templatesMenu = nullptr;
    QMenu* m_dialMenu = nullptr;
    QMenu* m_importMenu = nullptr;
    QMenu* m_sortTasksMenu = nullptr;
    QMenu* m_scaleMenu = nullptr;
    QMenu* m_sortMenu = nullptr;
    QMenu* m_recordsMenu = nullptr;
    QAction* m_saveAsOtherFormatItem = nullptr;
    QAction* m_searchOptionLockItem = nullptr;
    // The Dial menu's place in each menu bar it was installed into.
    mutable QList<QPointer<QAction>> m_shownDialMenus;
};
