#pragma once

#include "ModifyFieldsSheetController.h"

#include <QObject>
#include <QString>

#include <optional>

class EditorWindowController;
class QSplitter;

// The editor window's field definitions: Fields ▸ Modify Fields (the sheet edits a copy;
// OK stores it, drops the values of deleted fields and has every window rebuild its
// tables), the fields other commands add at the front or the back, and opening the
// field pane those commands need.
class EditorFieldsController : public QObject, public ModifyFieldsEditor {
    Q_OBJECT

public:
    // The heights the Basic View's split gives the fields and the Freeform Text Area.
    struct SplitHeights {
        float top = 0;
        float bottom = 0;
        bool operator==(const SplitHeights&) const = default;
    };
    // Opens a field pane of 12 points or less to half of what the split leaves; nullopt
    // for a pane already open.
    static std::optional<SplitHeights> openedSplit(double height, double dividerThickness,
                                                   double topHeight);

    explicit EditorFieldsController(EditorWindowController& editor);
    ~EditorFieldsController() override;

    // Opens the Modify Fields sheet on the window.
    void modifyFields();
    // On OK stores the sheet's fields, drops the values of deleted fields, leaves a Basic
    // View that has no field left and tells every window of the document; on Cancel
    // forgets that fields were deleted.
    void modifyFieldsDidEnd(ModifyFieldsSheetController* sheet, int returnCode);
    // Every record loses the values of fields no longer defined.
    void removeDeletedFields();

    // A new field first, or at position 500 (the end of a shorter list); its identifier.
    // The caller posts the field-format change.
    QString addNewFieldWithName(const QString& name);
    QString appendNewFieldWithName(const QString& name);

    // Opens a collapsed field pane of the Basic View.
    void resetSpliterView();

    // ModifyFieldsEditor
    QList<qint64> emptyFieldList() const override;
    bool fieldsDeleted() const override { return m_fieldsDeleted; }
    void setFieldsDeleted(bool deleted) override { m_fieldsDeleted = deleted; }

private:
    QString insertNewFieldWithName(const QString& name, bool append);
    bool basicMode() const;

    EditorWindowController& m_editor;
    bool m_fieldsDeleted = false;
};
