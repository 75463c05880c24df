#pragma once

#include "TemplatePageSheetController.h"

// The label sheet: the grid of rows and columns, margins and spacing.
class TemplateLabelPageSheetController : public TemplatePageSheetController {
    Q_OBJECT

public:
    QLineEdit* sizeColumnsField() const { return m_sizeColumnsField; }
    QLineEdit* sizeRowsField() const { return m_sizeRowsField; }
    QLineEdit* marginsTopField() const { return m_marginsTopField; }
    QLineEdit* marginsLeftField() const { return m_marginsLeftField; }
    QLineEdit* marginsBottomField() const { return m_marginsBottomField; }
    QLineEdit* marginsRightField() const { return m_marginsRightField; }
    QLineEdit* spacingVerticalField() const { return m_spacingVerticalField; }
    QLineEdit* spacingHorizontalField() const { return m_spacingHorizontalField; }

protected:
    QString nibName() const override { return QStringLiteral("TemplateLabelPageSheet"); }
    void addFields(QGridLayout* grid, int& row) override;
    void prepareFields() override;
    bool fieldsAreValid() const override;
    QString helpPage() const override { return QStringLiteral("TemplatesEditLabel.html"); }
    void updateFields(qint64 units) override;
    void didApply() override;

private:
    QLineEdit* m_sizeColumnsField = nullptr;
    QLineEdit* m_sizeRowsField = nullptr;
    QLineEdit* m_marginsTopField = nullptr;
    QLineEdit* m_marginsLeftField = nullptr;
    QLineEdit* m_marginsBottomField = nullptr;
    QLineEdit* m_marginsRightField = nullptr;
    QLineEdit* m_spacingVerticalField = nullptr;
    QLineEdit* m_spacingHorizontalField = nullptr;
};
