#pragma once

#include "PlistValue.h"
#include "SubsetSortCriteriaData.h"
#include "VKSheetController.h"

#include <memory>

class PopUpButton;
class QCheckBox;
class QLineEdit;

// The Select Records sheet: one criterion, or two joined by And or by Or, each a row of
// what is compared, how it is read, the operator and the value. It applies nothing: on
// OK the caller sends handleOkayClick and reads the criteria, then resets the sheet.
class SelectRecordsSheetController : public VKSheetController {
    Q_OBJECT

public:
    // Keeps the criteria (written only by the controls), builds the menus for the
    // fields and shows the sheet reset: the stored criteria are never loaded into it.
    void beginSheetWithCriteria(const std::shared_ptr<SubsetSortCriteriaData>& criteria,
                                const PlistArray& fields, const QString& textName, QWidget* window,
                                DidEndCallback didEnd);
    void addFieldsToBasedOnPopups(const PlistArray& fields, const QString& textName);
    void resetSelectRecordsSheet();

    // The user's choices in the controls.
    void handleBasedOn1Click() { handleBasedOnClick(0); }
    void handleBasedOn2Click() { handleBasedOnClick(1); }
    void handleTreatAs1Click() { handleTreatAsClick(0); }
    void handleTreatAs2Click() { handleTreatAsClick(1); }
    void handleWhere1Click() { handleWhereClick(0); }
    void handleWhere2Click() { handleWhereClick(1); }
    void handleAndSelectClick();
    void handleOrSelectClick();

    // Writes the controls into the criteria.
    void handleOkayClick();

    // Indexes of the selected items, the value texts (empty while disabled), the boxes.
    int basedOnPopup1ControlValue() const;
    int basedOnPopup2ControlValue() const;
    int treatAsPopup1ControlValue() const;
    int treatAsPopup2ControlValue() const;
    int wherePopup1ControlValue() const;
    int wherePopup2ControlValue() const;
    QString whereField1ControlValue() const { return whereFieldControlValue(0); }
    QString whereField2ControlValue() const { return whereFieldControlValue(1); }
    bool andSelectControlValue() const;
    bool orSelectControlValue() const;

    const std::shared_ptr<SubsetSortCriteriaData>& criteria() const { return m_criteria; }
    void setCriteria(std::shared_ptr<SubsetSortCriteriaData> criteria)
    {
        m_criteria = std::move(criteria);
    }
    const PlistArray& fields() const { return m_fields; }

    // Outlets, row 1 and row 2.
    PopUpButton* basedOnPopup(int row) const { return m_rows[row].basedOn; }
    PopUpButton* treatAsPopup(int row) const { return m_rows[row].treatAs; }
    PopUpButton* wherePopup(int row) const { return m_rows[row].where; }
    QLineEdit* whereField(int row) const { return m_rows[row].value; }
    QCheckBox* andSelect() const { return m_andSelect; }
    QCheckBox* orSelect() const { return m_orSelect; }

    bool maintainButtons() override;
    void help(QObject* sender = nullptr) override;

protected:
    QString nibName() const override { return QStringLiteral("SelectRecordsSheet"); }
    void buildInterface(QDialog* window) override;

private:
    struct Row {
        PopUpButton* basedOn = nullptr;
        PopUpButton* treatAs = nullptr;
        PopUpButton* where = nullptr;
        QLineEdit* value = nullptr;
    };

    void handleBasedOnClick(int row);
    void handleTreatAsClick(int row);
    void handleWhereClick(int row);
    // One box checked: the other off and disabled, row 2 in use. Unchecked: the other
    // free again, row 2 back to its first items, disabled and emptied.
    void handleBoxClick(QCheckBox* box, QCheckBox* other, bool isAnd);
    void disableSecondRow();
    void setAndOrSwitches(bool andSelect, bool orSelect);
    QString whereFieldControlValue(int row) const;
    // A value field in use has its frame and background; one out of use is empty,
    // disabled and drawn as plain text.
    static void activateValueField(QLineEdit* field);
    static void deactivateValueField(QLineEdit* field);
    static int selectedCode(const PopUpButton* popUp);

    Row m_rows[2];
    QCheckBox* m_andSelect = nullptr;
    QCheckBox* m_orSelect = nullptr;
    std::shared_ptr<SubsetSortCriteriaData> m_criteria;
    PlistArray m_fields;
    // Changing controls from maintainButtons must not start it again.
    bool m_maintaining = false;
};
