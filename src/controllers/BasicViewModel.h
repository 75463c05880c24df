#pragma once

#include <QAbstractTableModel>

class EditorWindowController;

// The Basic View: one row per field definition, its name and the current record's value.
class BasicViewModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int NameColumn = 0;
    static constexpr int ValueColumn = 1;
    static inline const QString NameColumnIdentifier = QStringLiteral("Field");

    explicit BasicViewModel(EditorWindowController& editor, QObject* parent = nullptr);

    void reload();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    EditorWindowController& m_editor;
};
