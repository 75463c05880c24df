#include "EditorFieldsController.h"

#include "DatafileDocument.h"
#include "EditorTableController.h"
#include "EditorViewController.h"
#include "EditorWindowController.h"
#include "FieldDefinitions.h"
#include "NotificationCenter.h"

#include <QPointer>
#include <QSplitter>

#include <algorithm>
#include <cmath>

namespace {

// A field pane this low counts as collapsed.
constexpr double CollapsedHeight = 12.0;

} // namespace

EditorFieldsController::EditorFieldsController(EditorWindowController& editor) : m_editor(editor)
{
    m_editor.registerAction(QStringLiteral("modifyFields:"), [this](QObject*) { modifyFields(); });
}

EditorFieldsController::~EditorFieldsController()
{
    if (auto* sheet = VKSheetController::topmostController<ModifyFieldsSheetController>())
        sheet->forgetEditor(this);
}

std::optional<EditorFieldsController::SplitHeights>
EditorFieldsController::openedSplit(double height, double dividerThickness, double topHeight)
{
    if (topHeight > CollapsedHeight)
        return std::nullopt;
    // The half is taken of the single-precision value, as the split stores heights.
    const float top = float(float(height - dividerThickness - 2 * CollapsedHeight) * 0.5);
    const float bottom = float(height - dividerThickness - top - CollapsedHeight);
    return SplitHeights{top, bottom};
}

bool EditorFieldsController::basicMode() const
{
    return m_editor.settings()->mode() == EditorTableController::BasicMode;
}

void EditorFieldsController::modifyFields()
{
    if (m_editor.nowSyncing())
        return;
    m_editor.endEditing();
    m_editor.engine().saveIfDifferentRecord(nullptr);
    const std::shared_ptr<DatafileSettingsData> settings = m_editor.settings();
    const PlistDictionary sheetSettings{{DatafileSettingsData::FieldsKey, settings->fields()},
                                        {DatafileSettingsData::SyncIDKey, settings->syncID()}};
    auto* sheet = VKSheetController::controller<ModifyFieldsSheetController>();
    // The window may close with the sheet up; its did-end then has no one to tell.
    const QPointer<EditorFieldsController> self(this);
    sheet->beginModifyFieldsForWindow(m_editor.window(), sheetSettings, this,
                                      [self, sheet](QWidget*, int returnCode) {
                                          if (self)
                                              self->modifyFieldsDidEnd(sheet, returnCode);
                                      });
}

void EditorFieldsController::modifyFieldsDidEnd(ModifyFieldsSheetController* sheet, int returnCode)
{
    if (returnCode != 1) {
        m_fieldsDeleted = false;
        return;
    }
    const std::shared_ptr<DatafileSettingsData> settings = m_editor.settings();
    // The sheet's list stays the sheet's: the next opening edits a copy of the datafile's.
    settings->setFields(sheet->fields().deepCopy());
    if (m_fieldsDeleted) {
        m_fieldsDeleted = false;
        removeDeletedFields();
    }
    if (settings->fields().isEmpty() && basicMode())
        m_editor.viewController().switchView();
    NotificationCenter::defaultCenter().postNotification(
        DatafileDocument::DatafileFieldFormatChangedNotification, m_editor.datafileDocument());
}

void EditorFieldsController::removeDeletedFields()
{
    if (basicMode() && m_editor.tableController())
        m_editor.tableController()->selectRow(0);
    m_editor.engine().removeValuesOfUndefinedFields();
}

QString EditorFieldsController::addNewFieldWithName(const QString& name)
{
    return FieldDefinitions::insertNewDefinition(*m_editor.settings(), name, 0);
}

QString EditorFieldsController::appendNewFieldWithName(const QString& name)
{
    DatafileSettingsData& settings = *m_editor.settings();
    return FieldDefinitions::insertNewDefinition(
        settings, name, FieldDefinitions::appendPosition(settings.fields().size()));
}

void EditorFieldsController::resetSpliterView()
{
    QSplitter* splitter = m_editor.splitterView();
    if (!splitter || splitter->count() < 2)
        return;
    const QList<int> sizes = splitter->sizes();
    const std::optional<SplitHeights> opened =
        openedSplit(splitter->height(), splitter->handleWidth(), sizes.value(0));
    if (!opened)
        return;
    // A splitter shares out all of its height: the text takes what the fields leave.
    const int top = int(std::lround(opened->top));
    splitter->setSizes({top, std::max(0, splitter->height() - splitter->handleWidth() - top)});
    m_editor.viewController().setCurrentSplitHeight(opened->top);
}

QList<qint64> EditorFieldsController::emptyFieldList() const
{
    return m_editor.engine().emptyFieldList();
}
