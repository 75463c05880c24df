#pragma once

#include <QHeaderView>
#include <QPixmap>
#include <QString>

#include <optional>

// The order a table is sorted in: by a column's identifier, in a direction.
struct SortDescriptor {
    QString key;
    bool ascending = true;

    bool operator==(const SortDescriptor&) const = default;
};

// One column of a table, as the table set-up describes it; a TableColumnModel answers
// its header and flags from it and the view takes its width and resizing.
struct TableColumn {
    QString identifier;
    QString title;
    bool editable = false;
    QHeaderView::ResizeMode resizingMask = QHeaderView::Interactive;
    qreal minWidth = 10;
    qreal maxWidth = 3000;
    qreal width = 100;
    Qt::Alignment alignment = Qt::AlignLeading | Qt::AlignVCenter;
    // Present when clicking the header sorts by this column.
    std::optional<SortDescriptor> sortDescriptorPrototype;
    // Shown in place of the title, and in every cell.
    QPixmap headerImage;
    QPixmap dataImage;
};
