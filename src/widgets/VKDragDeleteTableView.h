#pragma once

#include <QMimeData>
#include <QPointer>
#include <QTableView>

// A table view that keeps a private pasteboard for the drags of its rows; the table's
// owner fills and reads it.
class VKDragDeleteTableView : public QTableView {
    Q_OBJECT

public:
    using QTableView::QTableView;

    QMimeData* dragPasteboard() const { return m_dragPasteboard; }
    void setDragPasteboard(QMimeData* pasteboard) { m_dragPasteboard = pasteboard; }

private:
    QPointer<QMimeData> m_dragPasteboard;
};
