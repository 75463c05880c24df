#pragma once

#include "MarginUnits.h"
#include "VKSheetController.h"

#include <memory>

class DatafileSettingsData;
class QButtonGroup;
class QCheckBox;
class QLineEdit;

// The margins and text options of a record or List View print, in inches or centimetres,
// with the offer to skip the sheet from now on. The margins are kept in points; the
// caller reads them back in its did-end, whatever the sheet ended with.
class PrintMarginsSheetController : public VKSheetController {
    Q_OBJECT

public:
    // The tags of the units' buttons.
    static constexpr int CentimetresTag = MarginUnits::CentimetresTag;
    static constexpr int InchesTag = MarginUnits::InchesTag;

    void beginSheetWithTopMargin(float topMargin, float bottomMargin, float leftMargin,
                                 float rightMargin, bool dontPrintEmptyFields,
                                 bool printBoldFieldNames, bool printRecordNumbers, bool useInches,
                                 bool printHeader, bool isListView,
                                 std::shared_ptr<DatafileSettingsData> settings, QWidget* docWindow,
                                 DidEndCallback didEnd);

    bool prepare() override;
    void okay(QObject* sender = nullptr) override;
    // The units' action: the margins typed are kept and shown in the other unit.
    void changeUnits();
    float pixelsAsUnits(float points) const;
    float unitsAsPixels(float units) const;

    float topMargin() const { return m_topMargin; }
    void setTopMargin(float points) { m_topMargin = points; }
    float bottomMargin() const { return m_bottomMargin; }
    void setBottomMargin(float points) { m_bottomMargin = points; }
    float leftMargin() const { return m_leftMargin; }
    void setLeftMargin(float points) { m_leftMargin = points; }
    float rightMargin() const { return m_rightMargin; }
    void setRightMargin(float points) { m_rightMargin = points; }
    bool useInches() const { return m_useInches; }
    void setUseInches(bool useInches) { m_useInches = useInches; }
    bool dontPrintEmptyFields() const { return m_dontPrintEmptyFields; }
    void setDontPrintEmptyFields(bool flag) { m_dontPrintEmptyFields = flag; }
    bool printBoldFieldNames() const { return m_printBoldFieldNames; }
    void setPrintBoldFieldNames(bool flag) { m_printBoldFieldNames = flag; }
    bool printRecordNumbers() const { return m_printRecordNumbers; }
    void setPrintRecordNumbers(bool flag) { m_printRecordNumbers = flag; }
    bool printHeader() const { return m_printHeader; }
    void setPrintHeader(bool flag) { m_printHeader = flag; }
    bool hideMargins() const { return m_hideMargins; }
    void setHideMargins(bool flag) { m_hideMargins = flag; }
    const std::shared_ptr<DatafileSettingsData>& settings() const { return m_settings; }

    // Outlets.
    QLineEdit* marginsTopField() const { return m_marginsTopField; }
    QLineEdit* marginsLeftField() const { return m_marginsLeftField; }
    QLineEdit* marginsBottomField() const { return m_marginsBottomField; }
    QLineEdit* marginsRightField() const { return m_marginsRightField; }
    QButtonGroup* unitsMatrix() const { return m_unitsMatrix; }
    QCheckBox* dontPrintEmptyFieldsCheck() const { return m_dontPrintEmptyFieldsCheck; }
    QCheckBox* printBoldFieldNamesCheck() const { return m_printBoldFieldNamesCheck; }
    QCheckBox* printRecordNumbersCheck() const { return m_printRecordNumbersCheck; }
    QCheckBox* printHeaderCheck() const { return m_printHeaderCheck; }
    QCheckBox* hideThisDialogCheck() const { return m_hideThisDialogCheck; }

protected:
    QString nibName() const override { return QStringLiteral("PrintMarginsSheet"); }
    void buildInterface(QDialog* window) override;

private:
    // The four fields read back into the margins, in the unit shown until now.
    void takeMargins();
    void showMargin(QLineEdit* field, float points) const;
    float typedMargin(const QLineEdit* field) const;

    float m_topMargin = 72.0f;
    float m_bottomMargin = 72.0f;
    float m_leftMargin = 72.0f;
    float m_rightMargin = 72.0f;
    bool m_useInches = true;
    bool m_dontPrintEmptyFields = false;
    bool m_printBoldFieldNames = false;
    bool m_printRecordNumbers = false;
    bool m_printHeader = false;
    bool m_hideMargins = false;
    std::shared_ptr<DatafileSettingsData> m_settings;

    QLineEdit* m_marginsTopField = nullptr;
    QLineEdit* m_marginsLeftField = nullptr;
    QLineEdit* m_marginsBottomField = nullptr;
    QLineEdit* m_marginsRightField = nullptr;
    QButtonGroup* m_unitsMatrix = nullptr;
    QCheckBox* m_dontPrintEmptyFieldsCheck = nullptr;
    QCheckBox* m_printBoldFieldNamesCheck = nullptr;
    QCheckBox* m_printRecordNumbersCheck = nullptr;
    QCheckBox* m_printHeaderCheck = nullptr;
    QCheckBox* m_hideThisDialogCheck = nullptr;
};
