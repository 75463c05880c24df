#include "EditorSettingsController.h"

#include "DatafileDocument.h"
#include "DatafileSettingsData.h"
#include "EditorSearchController.h"
#include "EditorWindowController.h"
#include "FreeformTextView.h"

#include <QWidget>

EditorSettingsController::EditorSettingsController(EditorWindowController& editor)
    : m_editor(editor)
{
    m_editor.registerAction(QStringLiteral("editDatafileSettings:"),
                            [this](QObject*) { editDatafileSettings(); });
}

EditorSettingsController::~EditorSettingsController()
{
    if (auto* sheet = VKSheetController::topmostController<SettingsSheetController>())
        sheet->forgetEditor(this);
}

void EditorSettingsController::editDatafileSettings()
{
    m_editor.engine().saveIfDifferentRecord(nullptr);
    auto* sheet = VKSheetController::controller<SettingsSheetController>();
    // The sheet brings the window up to date itself; its end needs nothing more.
    sheet->beginSheetWithSettings(m_editor.settings(),
                                  m_editor.document()->fileURL().toLocalFile(), m_editor.window(),
                                  this, [](QWidget*, int) {});
}

bool EditorSettingsController::canSaveChanges() const
{
    return m_editor.canSaveChanges();
}

bool EditorSettingsController::openedReadOnly() const
{
    return m_editor.datafileDocument()->openedReadOnly();
}

void EditorSettingsController::showStoredSettings()
{
    m_editor.setupTables();
    EditorSearchController& search = m_editor.editorSearchController();
    search.adjustFindBox();
    search.activateFindBox();
    m_editor.freeformTextView()->setBackgroundColor(m_editor.settings()->backgroundFTAcolor());
    m_editor.window()->update();
}
