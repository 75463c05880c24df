#pragma once

#include "ActionBinding.h"

#include <QString>

#include <memory>

class QAction;
class QMenu;
class QMenuBar;

// The application's menus, made once and shown in the menu bar of every window:
// each item sends its named action to the first responder, which also decides
// whether it is enabled when the menu opens.
class ApplicationMenus {
public:
    // Commands go to ActionRouter::firstResponder() unless told otherwise.
    explicit ApplicationMenus(ActionBinding::FirstResponderFunction firstResponder = {});
    ~ApplicationMenus();

    void installInto(QMenuBar* menuBar) const;

    QMenu* fileMenu() const { return m_fileMenu.get(); }
    QMenu* editMenu() const { return m_editMenu.get(); }
    QMenu* helpMenu() const { return m_helpMenu.get(); }
    // Filled by the features that own them; an empty one is shown disabled.
    QMenu* datafilesMenu() const { return m_datafilesMenu.get(); }
    QMenu* templatesMenu() const { return m_templatesMenu.get(); }
    QMenu* dialMenu() const { return m_dialMenu.get(); }

    ActionBinding& binding() { return m_binding; }
    // A new item of the menu that sends the action, with its key equivalent as the
    // system's tables write it ("s" is Command-S, "S" Command-Shift-S; empty: none).
    QAction* addItem(QMenu* menu, const QString& title, const QString& selector,
                     const QString& keyEquivalent);

private:
    ActionBinding m_binding;
    std::unique_ptr<QMenu> m_fileMenu;
    std::unique_ptr<QMenu> m_editMenu;
    std::unique_ptr<QMenu> m_helpMenu;
    std::unique_ptr<QMenu> m_datafilesMenu;
    std::unique_ptr<QMenu> m_templatesMenu;
    std::unique_ptr<QMenu> m_dialMenu;
};
