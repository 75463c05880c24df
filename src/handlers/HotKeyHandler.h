#pragma once

#include "VKPopupSingleHandler.h"

class FilePathField;
class QPushButton;

// One row of the datafile hot keys: the key (Ctrl+1 to Ctrl+9, Ctrl+0), the datafile's
// path, typed, dropped or browsed for. A key serves one datafile only; Add takes the
// first key no row has.
class HotKeyHandler : public VKPopupSingleHandler {
    Q_OBJECT

public:
    // The menu's key for a mode: the digit for 1 to 9, "0" from 10 on, none below 1.
    static QString keyEquivalentForMode(qint64 mode);

    bool initForViewsListView(VKViewsListView* list, const PlistDictionary& settings,
                              const QVariant& userInfo) override;
    // {"Mode", "Path", "KeyEquivalent"}.
    PlistDictionary mutableSettings() const override;
    // Add is offered while there are fewer than ten rows.
    void enableRemoveButtons(bool enable) override;
    QString nibName() const override { return QStringLiteral("HotKeyView"); }
    bool modesAreUnique() const override { return true; }
    qint64 defaultMode() const override { return -1; }

    // The path field's action.
    void path() { notifyOfChange(); }
    // Chooses the datafile in an open panel; its path is kept with "~" for the home folder.
    void browse();

    FilePathField* pathField() const { return m_pathField; }
    QPushButton* browseButton() const { return m_browseButton; }

protected:
    void buildInterface(QHBoxLayout* row) override;

private:
    FilePathField* m_pathField = nullptr;
    QPushButton* m_browseButton = nullptr;
};
