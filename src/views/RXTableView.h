#pragma once

#include <QTableView>

#include <functional>
#include <optional>
#include <utility>

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
    // Decides on text dropped on the cell at (row, column): true when taken. The drop
    // comes from the cell being edited when fromEditedCell.
    using DropHandler = std::function<bool(const QString& text, int row, int column,
                                           Qt::KeyboardModifiers modifiers, bool fromEditedCell)>;
    void setDropHandler(DropHandler handler) { m_dropHandler = std::move(handler); }

    // Writes the edited cell into the model when it changed, its editor staying open.
    void commitCellEditor();
    // Writes the edited cell into the model and closes its editor.
    void endEditing();

Q_SIGNALS:
    void textDidEndEditing(TextMovement movement);
    // A left click that pressed and released on the same cell. Unlike clicked(), it
    // still comes when the press itself reloaded the table or started editing a cell.
    void cellClicked(int row, int column);

protected:
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Plain text only, onto cells; the tables are never drag sources.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool m_isBasicView = false;
    DropHandler m_dropHandler;
    // Row and column under the last left press: a model index would not outlive a reload.
    std::optional<std::pair<int, int>> m_pressedCell;
};
