#pragma once

#include "PlistValue.h"
#include "SortCriteriaData.h"
#include "VKSheetController.h"

#include <memory>

class PopUpButton;
class QCheckBox;
class QLineEdit;
class QRadioButton;

// The sort sheet of a datafile with fields: a primary key (a field, the Freeform Text
// Area or a record date), an optional secondary field, how the keys compare, reverse,
// and a title to keep the sort under as a sort task. On OK the caller sends
// handleOkayClick, reads the criteria and the title, sorts, then resets the sheet.
class SortFieldBasedRecordsSheetController : public VKSheetController {
    Q_OBJECT

public:
    // Keeps the criteria and shows the sheet reset for the fields.
    void beginSheetWithCriteria(const std::shared_ptr<SortCriteriaData>& criteria,
                                const PlistArray& fields, const QString& textName, QWidget* window,
                                DidEndCallback didEnd);
    void addFieldsToPopups(const PlistArray& fields, const QString& textName);
    void resetSortRecordsSheet();

    void handlePrimaryPopupClick();
    void handleSecondaryCheckboxClick();
    void handleCaseInsensitiveClick() { handleTextRadioClick(); }
    void handleCaseSensitiveClick() { handleTextRadioClick(); }
    void handleStandardDatesClick() { handleOtherRadioClick(); }
    void handleEmailDatesClick() { handleOtherRadioClick(); }
    void handleNumbersClick() { handleOtherRadioClick(); }
    void handleAddToSortTasksClick();

    // Writes the controls into the criteria and the title.
    void handleOkayClick();

    // The sort-task title: empty unless the sort is to be kept.
    QString title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }
    const std::shared_ptr<SortCriteriaData>& criteria() const { return m_criteria; }
    void setCriteria(std::shared_ptr<SortCriteriaData> criteria)
    {
        m_criteria = std::move(criteria);
    }
    const PlistArray& fields() const { return m_fields; }
    void setFields(const PlistArray& fields) { m_fields = fields; }

    // Outlets.
    PopUpButton* primaryPopup() const { return m_primaryPopup; }
    PopUpButton* secondaryPopup() const { return m_secondaryPopup; }
    QCheckBox* secondarySort() const { return m_secondarySort; }
    QRadioButton* asCaseInsensitiveText() const { return m_asCaseInsensitiveText; }
    QRadioButton* asCaseSensitiveText() const { return m_asCaseSensitiveText; }
    QRadioButton* asStandardDates() const { return m_asStandardDates; }
    QRadioButton* asEmailDates() const { return m_asEmailDates; }
    QRadioButton* asNumbers() const { return m_asNumbers; }
    QCheckBox* reverseSortCheckbox() const { return m_reverseSortCheckbox; }
    QCheckBox* addToSortTasksCheckbox() const { return m_addToSortTasksCheckbox; }
    QLineEdit* sortTaskTitle() const { return m_sortTaskTitle; }

    void help(QObject* sender = nullptr) override;

protected:
    QString nibName() const override { return QStringLiteral("SortFieldBasedRecordsSheet"); }
    void buildInterface(QDialog* window) override;

private:
    void handleTextRadioClick();
    void handleOtherRadioClick();
    // Text comparisons are the only ones a secondary field can follow.
    bool comparesAsText() const;
    QList<QRadioButton*> radios() const;

    PopUpButton* m_primaryPopup = nullptr;
    PopUpButton* m_secondaryPopup = nullptr;
    QCheckBox* m_secondarySort = nullptr;
    QRadioButton* m_asCaseInsensitiveText = nullptr;
    QRadioButton* m_asCaseSensitiveText = nullptr;
    QRadioButton* m_asStandardDates = nullptr;
    QRadioButton* m_asEmailDates = nullptr;
    QRadioButton* m_asNumbers = nullptr;
    QCheckBox* m_reverseSortCheckbox = nullptr;
    QCheckBox* m_addToSortTasksCheckbox = nullptr;
    QLineEdit* m_sortTaskTitle = nullptr;

    std::shared_ptr<SortCriteriaData> m_criteria;
    PlistArray m_fields;
    QString m_title;
};
