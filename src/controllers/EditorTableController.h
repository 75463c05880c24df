#pragma once

#include "RXTableView.h"
#include "RecordData.h"

#include <QFont>
#include <QObject>
#include <QString>

class BasicViewModel;
class EditorWindowController;
class FieldCellDelegate;
class FieldCellEditor;
class ListViewModel;
class QMenu;
class QModelIndex;
class QStackedWidget;

// The Basic and List tables of one editor window: builds the List View's columns from
// the field definitions, sizes rows and columns, loads the record of the selected List
// row, writes column widths back into the settings and rules the editing of cells.
// Cell editing and links: EditorTableControllerEditing.cpp.
class EditorTableController : public QObject {
    Q_OBJECT

public:
    static inline const QString BasicMode = QStringLiteral("Basic");
    static inline const QString ListMode = QStringLiteral("List");
    static constexpr double NoFieldsTextColumnWidth = 3000.0;
    // The "Text" column's width when columns are fitted to content and titles.
    static constexpr double TextColumnFittedWidth = 300.0;
    static constexpr int NameColumnPadding = 8;
    // Posted by the preferences when "GeneralUseAlternatingColors" changes.
    static inline const QString UseAlternatingColorChangedNotification =
        QStringLiteral("UseAlternatingColorChanged");

    // Where a movement out of a cell goes: a field (Basic row, List column), and in the
    // List View, for Return, the next record.
    struct CellTarget {
        qint64 field = 0;
        bool nextRecord = false;
        bool operator==(const CellTarget&) const = default;
    };
    // Tab and Return go to the next field, Backtab to the previous, both wrapping;
    // Return in the List View goes to the next record in the same field.
    static std::optional<CellTarget> movementTarget(bool basicView, TextMovement movement,
                                                    qint64 field, qint64 fieldCount);

    EditorTableController(EditorWindowController& editor, QWidget* parent);
    ~EditorTableController() override;

    // The stack holding both tables, one shown per mode.
    QStackedWidget* modeTabView() const { return m_modeTabView; }
    RXTableView* basicTableView() const { return m_basicTableView; }
    RXTableView* listTableView() const { return m_listTableView; }
    RXTableView* currentTableView() const;
    QString currentTableViewName() const;
    EditorWindowController& theEditorWindowController() const { return m_editor; }
    BasicViewModel* basicViewModel() const { return m_basicModel; }
    ListViewModel* listViewModel() const { return m_listModel; }

    // The window outlives its controller: the tables must stop asking for data.
    void detachModels();
    void setupTables();
    void setupListTable();
    void useAlternatingColorChanged();
    void reload();
    void changeMode(const QString& mode);
    std::shared_ptr<RecordData> recordForRow(qint64 row) const;
    float listViewRowHeight() const { return m_listViewRowHeight; }
    void setListViewRowHeight();
    void selectRow(qint64 index);
    quint64 currentField() const { return m_currentField; }
    void setCurrentField(quint64 field) { m_currentField = field; }
    // The selection in the cell being edited, as the user may have changed it; empty
    // when no cell is edited.
    QPair<qsizetype, qsizetype> tableTextSelectedRange() const;
    // The Basic row's height: the base height, times the lines its value wraps to.
    int heightOfRow(qint64 row) const;
    void tableViewSelectionDidChange();
    void tableViewColumnDidResize(int column, int width);

    // Column widths (EditorTableControllerWidths.cpp): List columns fitted to their
    // values or titles, each width stored as a user resize stores it.
    void adjustColumnWidthToFieldContent(int column);
    void adjustColumnWidthToHeaderContent(int column);
    void adjustColumnWidthToLargerOfFieldOrHeaderContent(int column);
    void adjustAllColumnsToMaximumContent();
    void adjustAllColumnsToLargerOfFieldOrHeaderContent();
    // A click on a List column header: Alt fits that column to its values, Alt-Shift to
    // its title; adding Meta does so for every column; Control (alone or with Alt) fits
    // every column to the larger of values and title.
    void tableViewMouseDownInHeaderOfTableColumn(int column, Qt::KeyboardModifiers modifiers);

    // Cell editing (EditorTableControllerEditing.cpp).
    bool tableViewActive() const;
    // The contextual menu of a List View cell, its column made the sort column; none
    // outside the cells.
    QMenu* menuForListCell(const QModelIndex& cell);
    void endEditing();
    // Whether a cell may start editing: not in a clone, while syncing or in a locked record.
    bool control() const;
    void controlTextDidChange(FieldCellEditor& editor);
    void tableViewHit(std::optional<int> clickedColumn = std::nullopt,
                      std::optional<int> clickedRow = std::nullopt);
    void singleClicked(int column, int row);
    void doubleClicked(int column, int row);
    void updateLineWrapping();
    void selectRangeInField(RXTableView* table, qint64 column, qint64 row, qsizetype location,
                            qsizetype length, bool highlightFindField);
    bool rxTableView(RXTableView* table, int column, int row) const;
    void textDidEndEditing(RXTableView* table, TextMovement movement);
    // Editing starts in the field of the current record, its text selected and its links
    // marked (in the Basic View the field's row, in the List View its column), and the
    // field becomes the current one.
    void editFieldOfCurrentRecord(qint64 field);
    // Colours the whole text of the cell being edited (the search shows a hit so).
    void setFieldFoundTextColor(const QColor& color);
    // Text dropped on the cell at (column, row) of a table fills that field: refused with
    // a beep where there is no field, on the cell it came from, and on a value unless
    // Control is held; silently in a clone or while syncing. Text dragged from the cell
    // being edited moves unless Alt is held. The change is made once the drag is over
    // (EditorTableControllerDrops.cpp).
    bool acceptDrop(RXTableView* table, const QString& text, int row, int column,
                    Qt::KeyboardModifiers modifiers, bool fromEditedCell);
    // Marks the links in the text of the cell being edited.
    void activateURLInField();
    // Follows a link clicked in a field: a record link shows that record; web, mail,
    // telephone and file links go to the system; any other scheme is reported as not
    // found. False when nothing could follow it.
    bool clickedOnLink(const QString& link);

private:
    bool editCell(RXTableView* table, int column, int row, bool select);
    // Writes a column's width into its field definition or "TextColumnWidth".
    void storeColumnWidth(const QString& identifier, float width);
    void setColumnWidth(int column, float width);
    // A width or height in points as the table's whole pixels, truncated and kept within
    // range: sizes follow stored settings, which may hold any number.
    static int lengthInPixels(double length);
    float halfFontSize() const;
    float minimumColumnWidth() const;
    // The identifier of a Basic row's or a List column's field; empty for none.
    QString fieldIdentifierOf(const RXTableView* table, qint64 field) const;
    void dropText(RXTableView* table, const QString& value,
                  const std::shared_ptr<RecordData>& target, const QString& identifier,
                  qint64 column, qint64 row, bool move);

    EditorWindowController& m_editor;
    QStackedWidget* m_modeTabView = nullptr;
    RXTableView* m_basicTableView = nullptr;
    RXTableView* m_listTableView = nullptr;
    BasicViewModel* m_basicModel = nullptr;
    ListViewModel* m_listModel = nullptr;
    QList<FieldCellDelegate*> m_delegates;
    quint64 m_currentField = 0;
    float m_listViewRowHeight = 17.0f;
    QFont m_fieldFont;
    // Set while the tables are rebuilt or reloaded: their signals are ours, not the user's.
    bool m_updating = false;
};
