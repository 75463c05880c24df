#pragma once

#include "FieldOperationSheetController.h"

#include <memory>

class DatafileSettingsData;
class QCheckBox;
class QLineEdit;

// Fields ▸ Add Field with Content: the new field's name and what each selected record
// gets in it: a prefix, a running number (padded with zeros, records added up to the
// ending number) and a suffix; optionally the datafile's automatic content from then on.
class AddFieldWithContentSheetController : public FieldOperationSheetController {
    Q_OBJECT

public:
    void beginAddFieldSheetForWindow(QWidget* window,
                                     std::shared_ptr<DatafileSettingsData> settings,
                                     DidEndCallback didEnd);
    std::shared_ptr<DatafileSettingsData> settings() const { return m_settings; }

    QString fieldName() const;
    bool useSequentialNumber() const;
    // The leading integers of the texts, in the 32-bit range.
    int startingNumber() const;
    bool addRecords() const;
    int endingNumber() const;
    bool padWithZeroes() const;
    int digitCount() const;
    bool useStaticPrefix() const;
    QString staticPrefix() const;
    bool useStaticSuffix() const;
    QString staticSuffix() const;
    bool autoAddContent() const;

    // Everything off, enabled as at the start, the texts empty.
    void initializeDialog();
    bool maintainButtons() override;
    void handleSequentialNumberClick();
    void handleAddRecordsClick();
    void handleLeadingZeroesClick();
    void handleStaticPrefixClick();
    void handleStaticSuffixClick();

    QLineEdit* fieldNameField() const { return m_fieldNameField; }
    QCheckBox* sequentialNumbersCheck() const { return m_sequentialNumbersCheck; }
    QLineEdit* startingNumberField() const { return m_startingNumberField; }
    QCheckBox* addRecordsCheck() const { return m_addRecordsCheck; }
    QLineEdit* endingNumberField() const { return m_endingNumberField; }
    QCheckBox* leadingZeroesCheck() const { return m_leadingZeroesCheck; }
    QLineEdit* digitCountField() const { return m_digitCountField; }
    QCheckBox* staticPrefixCheck() const { return m_staticPrefixCheck; }
    QLineEdit* staticPrefixField() const { return m_staticPrefixField; }
    QCheckBox* staticSuffixCheck() const { return m_staticSuffixCheck; }
    QLineEdit* staticSuffixField() const { return m_staticSuffixField; }
    QCheckBox* autoAddContentCheck() const { return m_autoAddContentCheck; }

protected:
    QString nibName() const override { return QStringLiteral("AddFieldWithContentSheet"); }
    void buildInterface(QDialog* window) override;

private:
    // Switching the box on enables the text and puts the focus in it.
    void enableWhenTurnedOn(QCheckBox* check, QLineEdit* field, bool allowed);

    std::shared_ptr<DatafileSettingsData> m_settings;
    QLineEdit* m_fieldNameField = nullptr;
    QCheckBox* m_sequentialNumbersCheck = nullptr;
    QLineEdit* m_startingNumberField = nullptr;
    QCheckBox* m_addRecordsCheck = nullptr;
    QLineEdit* m_endingNumberField = nullptr;
    QCheckBox* m_leadingZeroesCheck = nullptr;
    QLineEdit* m_digitCountField = nullptr;
    QCheckBox* m_staticPrefixCheck = nullptr;
    QLineEdit* m_staticPrefixField = nullptr;
    QCheckBox* m_staticSuffixCheck = nullptr;
    QLineEdit* m_staticSuffixField = nullptr;
    QCheckBox* m_autoAddContentCheck = nullptr;
};
