#pragma once

#include "SettingsSheetController.h"

#include <QObject>

class EditorWindowController;

// Datafile ▸ Datafile Settings for one editor window: the sheet on the window's own
// settings, and the window brought up to date with what it stored.
class EditorSettingsController : public QObject, public SettingsSheetEditor {
    Q_OBJECT

public:
    explicit EditorSettingsController(EditorWindowController& editor);
    ~EditorSettingsController() override;

    // Commits the record on screen, then opens the settings sheet.
    void editDatafileSettings();

    // SettingsSheetEditor
    bool canSaveChanges() const override;
    bool openedReadOnly() const override;
    void showStoredSettings() override;

private:
    EditorWindowController& m_editor;
};
