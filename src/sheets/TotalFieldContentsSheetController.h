#pragma once

#include "FieldOperationSheetController.h"

class QCheckBox;
class QTableWidget;

// Fields ▸ Total Field Contents: the fields to add up and whether they are money. The
// money box keeps its state from one run to the next.
class TotalFieldContentsSheetController : public FieldOperationSheetController {
    Q_OBJECT

public:
    void beginTotalFieldContentsForWindow(QWidget* window, const PlistArray& fields,
                                          DidEndCallback didEnd);
    // The definitions of the ticked fields, in field order.
    PlistArray fieldsToTotal() const;
    bool treatAsMoney() const;
    // Ticks or clears the row's box, as a click does.
    void setFieldToTotal(int row, bool total);

    QTableWidget* fieldTableView() const { return m_fieldTableView; }
    QCheckBox* treatAsMoneyCheck() const { return m_treatAsMoneyCheck; }

protected:
    QString nibName() const override { return QStringLiteral("TotalFieldContentsSheet"); }
    void buildInterface(QDialog* window) override;

private:
    void tableViewSetObjectValue(int row, bool total);

    PlistArray m_fields;
    QList<bool> m_fieldsToTotal;
    qint32 m_enabledCount = 0;
    bool m_filling = false;
    QTableWidget* m_fieldTableView = nullptr;
    QCheckBox* m_treatAsMoneyCheck = nullptr;
};
