#include "EditorSettingsController.h"

#include "CurrentTextFontSheetController.h"
#include "DatafileDocument.h"
#include "DatafileSettingsData.h"
#include "EditorSearchController.h"
#include "EditorWindowController.h"
#include "EnterPasswordSheetController.h"
#include "FreeformTextView.h"

#include <QPointer>
#include <QWidget>

EditorSettingsController::EditorSettingsController(EditorWindowController& editor)
    : m_editor(editor)
{
    m_editor.registerAction(QStringLiteral("editDatafileSettings:"),
                            [this](QObject*) { editDatafileSettings(); });
    m_editor.registerAction(QStringLiteral("setCurrentTextFont:"),
                            [this](QObject*) { setCurrentTextFont(); });
}

EditorSettingsController::~EditorSettingsController()
{
    if (auto* sheet = VKSheetController::topmostController<SettingsSheetController>())
        sheet->forgetEditor(this);
    // The password sheet of a closing window ends with it, calling back no one.
    if (m_passwordSheet) {
        m_passwordSheet->setDidEnd(nullptr);
        m_passwordSheet->cancel();
    }
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

void EditorSettingsController::askForPassword()
{
    m_passwordInUse = false;
    auto* sheet = VKSheetController::controller<EnterPasswordSheetController>();
    m_passwordSheet = sheet;
    const QPointer<EditorSettingsController> self(this);
    sheet->beginEnterPasswordSheet(
        m_editor.userPassword(), m_editor.window(),
        [self](bool canSave) {
            if (self)
                self->m_editor.engine().setCanSaveChanges(canSave);
        },
        [self, sheet](QWidget*, int returnCode) {
            if (self)
                self->enterPasswordSheetDidEnd(sheet->goodPasswordEntered(), returnCode);
        });
}

void EditorSettingsController::enterPasswordSheetDidEnd(bool goodPasswordEntered, int returnCode)
{
    m_passwordSheet = nullptr;
    DatafileDocument* document = m_editor.datafileDocument();
    if (returnCode != 1) {
        m_editor.engine().setCanSaveChanges(false);
        document->setReadOnlyReason(DatafileDocument::ReadOnlyReason::NoPassword);
        m_passwordInUse = false;
        return;
    }
    m_editor.engine().setCanSaveChanges(goodPasswordEntered);
    m_passwordInUse = true;
    // Only the password's own read-only state goes: a file locked elsewhere or one the
    // user may not write stays read-only whatever password was given.
    if (document->readOnlyReason() == DatafileDocument::ReadOnlyReason::NoPassword)
        document->setReadOnlyReason(DatafileDocument::ReadOnlyReason::None);
    document->setGlobalLockFileName();
}

void EditorSettingsController::setCurrentTextFont()
{
    auto* sheet = VKSheetController::controller<CurrentTextFontSheetController>();
    sheet->beginSheetWithSettings(m_editor.settings(), m_editor.window(), openedReadOnly(), {});
}
