#pragma once

#include <QObject>
#include <QString>

#include <memory>

class EditorWindowController;
class QMenu;
class SortCriteriaData;
class VKSortCriteriaData;

// The editor window's sorts: the Sort sheet (by fields, or by what the text says in a
// datafile without fields), the quick sorts of a List View column's contextual menu, by
// the column last opened, and the Records menu's Sort Tasks, chosen to sort or, with Alt
// held, to be removed.
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

    // Opens the sort sheet; on OK the datafile is sorted as it says, and kept as a sort
    // task when it was given a title.
    void sortDatafile();
    // Keeps a copy of the criteria under the title, replacing a task of that title.
    void addCriteria(const std::shared_ptr<VKSortCriteriaData>& criteria, const QString& title);

    // The datafile's saved sort tasks, by title in the user's alphabetical order.
    void setupSortTasksMenu(QMenu* menu);
    // Sorts by the task, or removes it.
    void sortTasksListHit(const QString& title, bool remove);

private:
    void registerQuickSorts();
    // The catalog sorts by the criteria and the first record is shown.
    void sortBy(const std::shared_ptr<SortCriteriaData>& criteria);
    template <typename Sheet> void sortRecordsSheetDidEnd(Sheet* sheet, int returnCode);

    EditorWindowController& m_editor;
    QMenu* m_sortTasksMenu = nullptr;
    qint64 m_sortColumn = 0;
};
