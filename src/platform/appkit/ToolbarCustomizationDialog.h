#pragma once

#include <QDialog>
#include <QPointer>

class QCheckBox;
class QComboBox;
class QListWidget;
class QPushButton;
class Toolbar;

// "Customize Toolbar": the items a toolbar allows beside the ones it shows, buttons to
// add, remove and move them, "Restore Defaults", the Show pop-up and "Use Small Size".
// Every change goes to the toolbar at once, which shows it and (with autosave) saves it.
// Tests drive it through its slots and controls without running it.
class ToolbarCustomizationDialog : public QDialog {
    Q_OBJECT

public:
    explicit ToolbarCustomizationDialog(Toolbar* toolbar, QWidget* parent = nullptr);

    QListWidget* allowedItemsList() const { return m_allowedList; }
    QListWidget* toolbarItemsList() const { return m_toolbarList; }
    // "Icon and Text", "Icon Only", "Text Only".
    QComboBox* showPopup() const { return m_showPopup; }
    QCheckBox* smallSizeCheck() const { return m_smallSizeCheck; }
    QPushButton* addButton() const { return m_addButton; }
    QPushButton* removeButton() const { return m_removeButton; }
    QPushButton* moveUpButton() const { return m_moveUpButton; }
    QPushButton* moveDownButton() const { return m_moveDownButton; }
    QPushButton* restoreDefaultsButton() const { return m_restoreDefaultsButton; }

public Q_SLOTS:
    // The selected allowed item goes after the selected toolbar item (last without one).
    void addItem();
    void removeItem();
    void moveItemUp();
    void moveItemDown();
    void restoreDefaults();
    void showChosen(int index);
    void smallSizeToggled(bool small);

private:
    void reloadToolbarItems(int selectRow);
    void reloadModes();
    void maintainButtons();
    void moveItem(int from, int to);

    QPointer<Toolbar> m_toolbar;
    QListWidget* m_allowedList = nullptr;
    QListWidget* m_toolbarList = nullptr;
    QComboBox* m_showPopup = nullptr;
    QCheckBox* m_smallSizeCheck = nullptr;
    QPushButton* m_addButton = nullptr;
    QPushButton* m_removeButton = nullptr;
    QPushButton* m_moveUpButton = nullptr;
    QPushButton* m_moveDownButton = nullptr;
    QPushButton* m_restoreDefaultsButton = nullptr;
};
