#pragma once

#include <QAbstractTableModel>
#include <QStringList>

class EditorWindowController;

// The List View: one row per selected record, one column per shown field and the
// "Text" column with the first line of the Freeform Text Area. Each cell is looked up
// when asked for, so a large datafile costs nothing until it is shown.
class ListViewModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static inline const QString TextColumnIdentifier = QStringLiteral("Text");
    static constexpr qsizetype TextCellLength = 300;

    explicit ListViewModel(EditorWindowController& editor, QObject* parent = nullptr);

    struct Column {
        QString identifier;
        QString title;
    };
    void setColumns(QList<Column> columns);
    const QList<Column>& columns() const { return m_columns; }
    QString columnIdentifier(int column) const;
    void reload();
    // The row's cells are shown anew from its record.
    void reloadRow(qint64 row);
    // Every row's values anew, the rows and any cell being edited left as they are.
    void reloadAllRows();

    // The first line of a text, cut to the cell's length.
    static QString textCell(const QString& text);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    EditorWindowController& m_editor;
    QList<Column> m_columns;
};
