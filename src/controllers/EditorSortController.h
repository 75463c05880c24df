#pragma once

#include <QObject>
#include <QString>

#include <memory>

class EditorWindowController;
class QMenu;
class SortCriteriaData;

// The editor window's quick sorts and saved sort tasks: the sorts of a List View
// column's contextual menu, by the column last opened, and the Records menu's Sort
// Tasks, chosen to sort or, with Alt held, to be removed.
class EditorSortController : public QObject {
    Q_OBJECT

public:
    explicit EditorSortController(EditorWindowController& editor);

    // The field-definition index of the column whose sort menu was opened last; the
    // number of definitions stands for the Freeform Text Area.
    qint64 sortColumn() const { return m_sortColumn; }
    void setSortColumn(qint64 column) { m_sortColumn = column; }

    // Sorts every record by the sort column's values read as the compare kind.
    void sortDatafileByCriterion(qint64 compareKind, bool descending);

    // The datafile's saved sort tasks, by title in the user's alphabetical order.
    void setupSortTasksMenu(QMenu* menu);
    // Sorts by the task, or removes it.
    void sortTasksListHit(const QString& title, bool remove);

private:
    void registerQuickSorts();
    // The catalog sorts by the criteria and the first record is shown.
    void sortBy(const std::shared_ptr<SortCriteriaData>& criteria);

    EditorWindowController& m_editor;
    QMenu* m_sortTasksMenu = nullptr;
    qint64 m_sortColumn = 0;
};
