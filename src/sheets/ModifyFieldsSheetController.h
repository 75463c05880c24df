#pragma once

#include "PlistValue.h"
#include "VKSheetController.h"

#include <QList>
#include <QPointer>

#include <optional>

class FieldDefinitionsTableModel;
class QPushButton;
class QTableView;

// What the Modify Fields sheet asks of the editor window that opened it.
class ModifyFieldsEditor {
public:
    virtual ~ModifyFieldsEditor() = default;
    // Positions of the fields that no selected record fills.
    virtual QList<qint64> emptyFieldList() const = 0;
    // Raised when the sheet deletes fields; the editor's did-end reads and clears it.
    virtual bool fieldsDeleted() const = 0;
    virtual void setFieldsDeleted(bool deleted) = 0;
};

// The Modify Fields sheet: a copy of the datafile's field definitions, in which fields
// are inserted, renamed, shown or hidden in the List View, reordered by dragging and
// deleted (asked first). Nothing reaches the datafile before the caller's did-end reads
// fields() on OK. A datafile with a Sync ID keeps its fields: inserting, deleting and
// dropping are refused, and a line says why.
class ModifyFieldsSheetController : public VKSheetController {
    Q_OBJECT

public:
    ~ModifyFieldsSheetController() override;

    // Settings: a dictionary with "Fields" and "SyncID". The editor is told of deletions
    // and asked for the empty fields.
    void beginModifyFieldsForWindow(QWidget* window, const PlistDictionary& settings,
                                    ModifyFieldsEditor* editor, DidEndCallback didEnd);
    // The editor going away while the sheet is up is told nothing more.
    void forgetEditor(const ModifyFieldsEditor* editor);

    // The list being edited.
    const PlistArray& fields() const;
    void setFields(const PlistArray& fields);
    bool hasSyncID() const { return m_hasSyncID; }
    void setHasSyncID(bool hasSyncID) { m_hasSyncID = hasSyncID; }

    // A "New Field" after the selected row (first with none selected), being renamed.
    void insertField();
    // Asks, then deletes the selected rows.
    void deleteField();
    void deleteFieldDidEnd(int returnCode);
    // Selects the fields no selected record fills, ready to be deleted.
    void highlightEmptyFIelds();
    // Commits the name being typed.
    void forceEndEditing();
    void okay(QObject* sender = nullptr) override;
    void help(QObject* sender = nullptr) override;

    // The table's selection rules.
    void tableViewSelectionDidChange();
    // A drop moves the dragged definitions unless the datafile has a Sync ID.
    bool acceptsDrop() const { return !m_hasSyncID; }

    // Outlets.
    QTableView* fieldTableView() const { return m_fieldTableView; }
    FieldDefinitionsTableModel* fieldTableModel() const { return m_model; }
    QPushButton* insertFieldButton() const { return m_insertFieldButton; }
    QPushButton* deleteFieldButton() const { return m_deleteFieldButton; }
    QPushButton* highlightEmptyFIeldsButton() const { return m_highlightEmptyFIeldsButton; }
    QLabel* syncIDwarning() const { return m_syncIDwarning; }

    static QString syncIDWarningText();

protected:
    QString nibName() const override { return QStringLiteral("ModifyFieldsSheet"); }
    void buildInterface(QDialog* window) override;
    // Controls above the table, for a sheet that adds its own.
    virtual void addControlsAboveTable(QVBoxLayout*) {}
    // The list, flags and selection as every opening starts them.
    void resetForFields(const PlistArray& fields);
    void deselectAll();

private:
    std::optional<qint64> selectedRow() const;
    QList<qint64> selectedRows() const;
    void selectRows(const QList<qint64>& rows);
    void editName(qint64 row);

    QTableView* m_fieldTableView = nullptr;
    FieldDefinitionsTableModel* m_model = nullptr;
    QPushButton* m_insertFieldButton = nullptr;
    QPushButton* m_deleteFieldButton = nullptr;
    QPushButton* m_highlightEmptyFIeldsButton = nullptr;
    QLabel* m_syncIDwarning = nullptr;

    ModifyFieldsEditor* m_editor = nullptr;
    bool m_hasSyncID = false;
    QList<qint64> m_emptyFieldsList;
    bool m_emptyFieldsSelected = false;
    bool m_emptyFieldsDeleted = false;
    // Set while the sheet changes the selection itself.
    bool m_selecting = false;
};
