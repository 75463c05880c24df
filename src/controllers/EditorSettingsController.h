#pragma once

#include "SettingsSheetController.h"

#include <QObject>

class EditorWindowController;

// The datafile's settings for one editor window: Datafile ▸ Datafile Settings on the
// window's own settings (the window brought up to date with what it stored), and the
// password asked for before changes may be saved.
class EditorSettingsController : public QObject, public SettingsSheetEditor {
    Q_OBJECT

public:
    explicit EditorSettingsController(EditorWindowController& editor);
    ~EditorSettingsController() override;

    // Commits the record on screen, then opens the settings sheet.
    void editDatafileSettings();
    // Opens the Freeform Text Area's font sheet; each font picked is stored at once.
    void setCurrentTextFont();

    // Asks for the password in a sheet on the window; until it is given, nothing is saved.
    void askForPassword();
    // The right password lets the window save; "Open Read-Only" leaves it read-only.
    void enterPasswordSheetDidEnd(bool goodPasswordEntered, int returnCode);
    // Whether the window was unlocked by its password.
    bool passwordInUse() const { return m_passwordInUse; }

    // SettingsSheetEditor
    bool canSaveChanges() const override;
    bool openedReadOnly() const override;
    void showStoredSettings() override;

private:
    EditorWindowController& m_editor;
    bool m_passwordInUse = false;
    // The password sheet while it asks.
    class EnterPasswordSheetController* m_passwordSheet = nullptr;
};
