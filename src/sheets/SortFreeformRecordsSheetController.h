#pragma once

#include "SortCriteriaData.h"
#include "VKSheetController.h"

#include <QStringList>

#include <memory>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableView;
class TitleListModel;

// The sort sheet of a datafile without fields: its records sort by what their text
// says. Tab "Name": a person's name on a line, skipping the titles of the title list;
// tab "Word": a word of a line counted from the top or the bottom of the record or of its
// address block; tab "Other": the whole record, a record date or the postal code. It also
// edits the title list, which every datafile shares (user default "SortTitleList"); each
// edit is kept at once, whatever the sheet ends with. On OK the caller sends
// handleOkayClick, reads the criteria and the title, sorts, then resets the sheet.
class SortFreeformRecordsSheetController : public VKSheetController {
    Q_OBJECT

public:
    static inline const QString SortTitleListKey = QStringLiteral("SortTitleList");
    // Each longer form stands before the forms it begins with.
    static const QStringList& defaultTitles();

    void beginSheetWithCriteria(const std::shared_ptr<SortCriteriaData>& criteria, QWidget* window,
                                DidEndCallback didEnd);
    void resetSortRecordsSheet();
    // Shows the stored title list; a missing or empty one is replaced by the defaults.
    void setUpTitleTable();

    // Radios, one group each line.
    void handleNameLineNumberClick();
    void handleNameOnLastLineOfAddressClick();
    void handleNameOnLastLineOfRecordClick();
    void handleLineFromTopOfAddressClick();
    void handleLineFromTopOfRecordClick();
    void handleLineFromBottomOfAddressClick();
    void handleLineFromBottomOfRecordClick();
    void handleWordNumberClick();
    void handleLastWordOnLineClick();
    void handleWholeRecordClick();
    void handleCreatedDateClick();
    void handleModifiedDateClick();
    void handlePostalCodeClick();

    // The title list.
    void handleInsertTitleClick();
    void handleDeleteTitleClick();
    int numberOfRowsInTableView() const { return int(m_titles.size()); }
    QString tableViewObjectValue(int row) const;
    void tableViewSetObjectValue(const QString& value, int row);
    void tableViewSelectionDidChange();
    // Commits a title being typed.
    void forceEndEditing();

    void handleAddToSortTasksClick();
    // Writes the controls into the criteria and the title.
    void handleOkayClick();

    QString title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }
    const std::shared_ptr<SortCriteriaData>& criteria() const { return m_criteria; }
    void setCriteria(std::shared_ptr<SortCriteriaData> criteria)
    {
        m_criteria = std::move(criteria);
    }
    const QStringList& titles() const { return m_titles; }

    // Outlets.
    QTabWidget* sortTabView() const { return m_sortTabView; }
    // The tab page of that identifier ("Name", "Word", "Other").
    QWidget* tabWithIdentifier(const QString& identifier) const;
    QRadioButton* nameOnLineNumberRadio() const { return m_nameOnLineNumberRadio; }
    QRadioButton* nameOnLastLineOfAddressRadio() const { return m_nameOnLastLineOfAddressRadio; }
    QRadioButton* nameOnLastLineOfRecordRadio() const { return m_nameOnLastLineOfRecordRadio; }
    QLineEdit* nameLineNumberField() const { return m_nameLineNumberField; }
    QLineEdit* lineNumberField() const { return m_lineNumberField; }
    QRadioButton* lineFromTopOfAddressRadio() const { return m_lineFromTopOfAddressRadio; }
    QRadioButton* lineFromTopOfRecordRadio() const { return m_lineFromTopOfRecordRadio; }
    QRadioButton* lineFromBottomOfAddressRadio() const { return m_lineFromBottomOfAddressRadio; }
    QRadioButton* lineFromBottomOfRecordRadio() const { return m_lineFromBottomOfRecordRadio; }
    QRadioButton* byWordNumberRadio() const { return m_byWordNumberRadio; }
    QRadioButton* byLastWordRadio() const { return m_byLastWordRadio; }
    QLineEdit* wordNumberField() const { return m_wordNumberField; }
    QRadioButton* byWholeRecordRadio() const { return m_byWholeRecordRadio; }
    QRadioButton* byCreatedDateRadio() const { return m_byCreatedDateRadio; }
    QRadioButton* byModifiedDateRadio() const { return m_byModifiedDateRadio; }
    QRadioButton* byPostalCodeRadio() const { return m_byPostalCodeRadio; }
    QTableView* titleTableView() const { return m_titleTableView; }
    QPushButton* insertTitleButton() const { return m_insertTitleButton; }
    QPushButton* deleteTitleButton() const { return m_deleteTitleButton; }
    QCheckBox* reverseSortCheckbox() const { return m_reverseSortCheckbox; }
    QCheckBox* addToSortTasksCheckbox() const { return m_addToSortTasksCheckbox; }
    QLineEdit* sortTaskTitle() const { return m_sortTaskTitle; }

    // OK needs a whole number from 1 in every number field in use: 0 and below would be
    // taken for the codes of "last line" and "last word".
    bool maintainButtons() override;
    bool validate() override;
    void help(QObject* sender = nullptr) override;

protected:
    QString nibName() const override { return QStringLiteral("SortFreeformRecordsSheet"); }
    void buildInterface(QDialog* window) override;

private:
    QWidget* buildNameTab();
    QWidget* buildWordTab();
    QWidget* buildOtherTab();
    QRadioButton* addRadio(QButtonGroup* group, const QString& title,
                           void (SortFreeformRecordsSheetController::*handler)());
    void choose(QRadioButton* radio);
    QString selectedTabIdentifier() const;
    // The number fields OK reads on the tab in front.
    QList<QLineEdit*> numberFieldsInUse() const;
    static qint64 wholeNumberIn(const QLineEdit* field);
    void writeTitles();
    void reloadTitles();
    int selectedTitleRow() const;
    void editTitleAtRow(int row);

    QTabWidget* m_sortTabView = nullptr;
    QRadioButton* m_nameOnLineNumberRadio = nullptr;
    QRadioButton* m_nameOnLastLineOfAddressRadio = nullptr;
    QRadioButton* m_nameOnLastLineOfRecordRadio = nullptr;
    QLineEdit* m_nameLineNumberField = nullptr;
    QLineEdit* m_lineNumberField = nullptr;
    QRadioButton* m_lineFromTopOfAddressRadio = nullptr;
    QRadioButton* m_lineFromTopOfRecordRadio = nullptr;
    QRadioButton* m_lineFromBottomOfAddressRadio = nullptr;
    QRadioButton* m_lineFromBottomOfRecordRadio = nullptr;
    QRadioButton* m_byWordNumberRadio = nullptr;
    QRadioButton* m_byLastWordRadio = nullptr;
    QLineEdit* m_wordNumberField = nullptr;
    QRadioButton* m_byWholeRecordRadio = nullptr;
    QRadioButton* m_byCreatedDateRadio = nullptr;
    QRadioButton* m_byModifiedDateRadio = nullptr;
    QRadioButton* m_byPostalCodeRadio = nullptr;
    QTableView* m_titleTableView = nullptr;
    TitleListModel* m_titleModel = nullptr;
    QPushButton* m_insertTitleButton = nullptr;
    QPushButton* m_deleteTitleButton = nullptr;
    QCheckBox* m_reverseSortCheckbox = nullptr;
    QCheckBox* m_addToSortTasksCheckbox = nullptr;
    QLineEdit* m_sortTaskTitle = nullptr;

    std::shared_ptr<SortCriteriaData> m_criteria;
    QStringList m_titles;
    QString m_title;
};
