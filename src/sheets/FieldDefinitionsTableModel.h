#pragma once

#include "PlistValue.h"

#include <QAbstractTableModel>

#include <functional>

// The field table of the Modify Fields and New Datafile sheets over the list being
// edited: a field's name (column "Fields", editable) and whether the List View shows
// it (column "Show", a check box; a definition without "Show" is shown). Rows are
// dragged as "DatafileFieldsPboard", an XML property list of full copies of the dragged
// definitions, and dropped above the row under the pointer.
class FieldDefinitionsTableModel : public QAbstractTableModel {
public:
    static inline const QString FieldsPboardType = QStringLiteral("DatafileFieldsPboard");
    enum Column { FieldsColumn, ShowColumn, ColumnCount };

    explicit FieldDefinitionsTableModel(QObject* parent = nullptr);

    const PlistArray& fields() const { return m_fields; }
    void setFields(const PlistArray& fields);
    // Reloads the table after the list changed.
    void reload();
    // Decides whether a drop may move definitions; a refused drop leaves the order.
    void setAcceptsDrop(std::function<bool()> acceptsDrop) { m_acceptsDrop = std::move(acceptsDrop); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    // Copying only: the view must never remove the dragged rows itself.
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }
    Qt::DropActions supportedDropActions() const override { return Qt::CopyAction | Qt::MoveAction; }
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

    // The dragged definitions a pasteboard carries; empty when it carries none.
    static PlistArray draggedFields(const QMimeData* data);

private:
    PlistDictionary* definition(int row) const;

    PlistArray m_fields;
    std::function<bool()> m_acceptsDrop;
};
