#pragma once

#include <QTableView>

class FieldCellEditor;

// How the user left a cell.
enum class TextMovement { Other = 0, Return = 16, Tab = 17, Backtab = 18 };

// The table of both editor views: cells are edited only where the controller starts
// it, and leaving a cell with Return, Tab or Backtab is reported as a movement.
class RXTableView : public QTableView {
    Q_OBJECT

public:
    explicit RXTableView(QWidget* parent = nullptr);

    bool isBasicView() const { return m_isBasicView; }
    void setIsBasicView(bool basic) { m_isBasicView = basic; }

    // The editor of the cell being edited; nullptr when none is.
    FieldCellEditor* cellEditor() const;
    // Starts editing the cell, its text all selected or the caret at its end.
    bool editCell(int column, int row, bool select);
    // Writes the edited cell into the model when it changed, its editor staying open.
    void commitCellEditor();
    // Writes the edited cell into the model and closes its editor.
    void endEditing();

Q_SIGNALS:
    void textDidEndEditing(TextMovement movement);

protected:
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    bool m_isBasicView = false;
};
